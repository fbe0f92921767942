#include "platform/mci/CueSheet.h"

#include <QList>
#include <utility>

namespace mci {
namespace {

constexpr int kMaxTrack = 99;
constexpr int kMaxIndex = 99;

// Words of a line; a double-quoted word may hold spaces and runs to the next
// quote (a CP932 trail byte is never a quote, so Shift-JIS names survive).
std::vector<QByteArray> Words(QByteArrayView line)
{
    std::vector<QByteArray> words;
    qsizetype i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t') {
            ++i;
        } else if (c == '"') {
            const qsizetype close = line.indexOf('"', i + 1);
            const qsizetype end = close < 0 ? line.size() : close;
            words.emplace_back(line.sliced(i + 1, end - i - 1).toByteArray());
            i = end + 1;
        } else {
            qsizetype end = i;
            while (end < line.size() && line[end] != ' ' && line[end] != '\t')
                ++end;
            words.emplace_back(line.sliced(i, end - i).toByteArray());
            i = end;
        }
    }
    return words;
}

std::optional<int> Number(const QByteArray& word, int max)
{
    if (word.isEmpty() || word.size() > 3)
        return std::nullopt;
    int value = 0;
    for (const char c : word) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > max)
        return std::nullopt;
    return value;
}

// "mm:ss:ff" to frames; minutes may pass 99 in sheets of long files.
std::optional<std::int64_t> Frames(const QByteArray& word)
{
    const QList<QByteArray> parts = word.split(':');
    if (parts.size() != 3 || parts[0].isEmpty() || parts[0].size() > 4)
        return std::nullopt;
    std::int64_t minutes = 0;
    for (const char c : parts[0]) {
        if (c < '0' || c > '9')
            return std::nullopt;
        minutes = minutes * 10 + (c - '0');
    }
    const auto seconds = Number(parts[1], 59);
    const auto frames = Number(parts[2], 74);
    if (!seconds || !frames)
        return std::nullopt;
    return (minutes * 60 + *seconds) * 75 + *frames;
}

class Parser {
public:
    bool Line(const std::vector<QByteArray>& words);
    std::optional<CueSheet> Finish();

private:
    bool TrackDone() const;

    CueSheet m_sheet;
    bool m_trackOpen = false;
};

bool Parser::TrackDone() const
{
    return !m_trackOpen || !m_sheet.tracks.back().indexes.empty();
}

bool Parser::Line(const std::vector<QByteArray>& words)
{
    if (words.empty())
        return true;
    const QByteArray keyword = words[0].toUpper();
    if (keyword == "FILE") {
        if (words.size() < 2 || words[1].isEmpty())
            return false;
        m_sheet.files.push_back({words[1], words.size() > 2 ? words.back().toUpper() : QByteArray()});
        return true;
    }
    if (keyword == "TRACK") {
        if (m_sheet.files.empty() || words.size() < 3 || !TrackDone())
            return false;
        const auto number = Number(words[1], kMaxTrack);
        if (!number || *number == 0 || (!m_sheet.tracks.empty() && *number <= m_sheet.tracks.back().number))
            return false;
        CueTrack track;
        track.number = *number;
        track.audio = words[2].toUpper() == "AUDIO";
        m_sheet.tracks.push_back(std::move(track));
        m_trackOpen = true;
        return true;
    }
    if (keyword == "INDEX") {
        if (!m_trackOpen || words.size() < 3)
            return false;
        const auto number = Number(words[1], kMaxIndex);
        const auto frame = Frames(words[2]);
        auto& indexes = m_sheet.tracks.back().indexes;
        // 00 and 01 open a track; 02 and on follow 01.
        const int before = indexes.empty() ? -1 : indexes.back().number;
        if (!number || !frame || *number <= before || (*number > 1 && before < 1))
            return false;
        indexes.push_back({*number, int(m_sheet.files.size()) - 1, *frame});
        return true;
    }
    if (keyword == "PREGAP" || keyword == "POSTGAP") {
        const auto frames = words.size() > 1 ? Frames(words[1]) : std::nullopt;
        if (!m_trackOpen || !frames)
            return false;
        (keyword == "PREGAP" ? m_sheet.tracks.back().pregapFrames : m_sheet.tracks.back().postgapFrames) = *frames;
        return true;
    }
    // REM, TITLE, PERFORMER, CATALOG, FLAGS, ISRC, CDTEXTFILE...: nothing
    // that places a sample.
    return true;
}

std::optional<CueSheet> Parser::Finish()
{
    if (m_sheet.tracks.empty() || !TrackDone())
        return std::nullopt;
    return std::move(m_sheet);
}

}  // namespace

const CueIndex& CueTrack::Start() const
{
    // INDEX 01 comes first, or second after INDEX 00.
    return indexes.front().number == 0 && indexes.size() > 1 ? indexes[1] : indexes.front();
}

std::optional<CueSheet> ParseCueSheet(QByteArrayView sheet)
{
    if (sheet.startsWith("\xEF\xBB\xBF"))
        sheet = sheet.sliced(3);
    // A text file has no NUL; a sheet that has one is something else.
    if (sheet.contains('\0'))
        return std::nullopt;
    Parser parser;
    qsizetype start = 0;
    while (start < sheet.size()) {
        qsizetype end = start;
        while (end < sheet.size() && sheet[end] != '\n' && sheet[end] != '\r')
            ++end;
        if (!parser.Line(Words(sheet.sliced(start, end - start))))
            return std::nullopt;
        start = end + 1;
    }
    return parser.Finish();
}

}  // namespace mci
