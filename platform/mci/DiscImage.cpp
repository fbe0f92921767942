#include "platform/mci/DiscImage.h"

#include <QFile>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <unistd.h>
#include <vector>

#include "platform/drives/RealFileAccess.h"

namespace mci {
namespace {

// Far beyond the sheet of a 99-track disc.
constexpr qint64 kMaxCueSheetBytes = 1 << 20;
// libcdio reads a sheet with fgets into a buffer of this size.
constexpr qsizetype kCdioLineBytes = 4096 - 1;

bool EndsWith(const QString& name, const char* lower, const char* upper)
{
    return name.endsWith(QLatin1String(lower)) || name.endsWith(QLatin1String(upper));
}

// The sheet cdio_open reads for target: a .cue itself, or the .cue named like
// a .bin (the extension matched as libcdio matches it: all lower or all upper
// case).
QString CueSheetOf(const QString& target)
{
    if (EndsWith(target, "cue", "CUE"))
        return target;
    if (target.endsWith(QLatin1String("bin")))
        return target.chopped(3) + QLatin1String("cue");
    if (target.endsWith(QLatin1String("BIN")))
        return target.chopped(3) + QLatin1String("CUE");
    return {};
}

std::optional<QByteArray> ReadSheet(const QString& path)
{
    QFile file;
    if (!drives::OpenRegularFile(file, QFile::encodeName(path)))
        return std::nullopt;
    QByteArray sheet = file.read(kMaxCueSheetBytes + 1);
    if (sheet.size() > kMaxCueSheetBytes)
        return std::nullopt;
    return sheet;
}

QList<QByteArray> Words(QByteArray line)
{
    const qsizetype nul = line.indexOf('\0');
    if (nul >= 0)
        line.truncate(nul);
    QList<QByteArray> words;
    for (const QByteArray& word : line.replace('\t', ' ').replace('\r', ' ').replace('\n', ' ').split(' '))
        if (!word.isEmpty())
            words.append(word);
    return words;
}

// "TRACK nn mode", read as libcdio reads it (sscanf "%d" on the number).
bool IsTrackLine(const QList<QByteArray>& words)
{
    if (words.size() < 3)
        return false;
    const QByteArray number = words[1];
    char* end = nullptr;
    const long track = std::strtol(number.constData(), &end, 10);
    return end != number.constData() && track >= 1 && track <= 99;
}

}  // namespace

bool CueSheetIsWhole(const QByteArray& sheet)
{
    bool fileWithoutTrack = false;
    for (qsizetype start = 0; start < sheet.size();) {
        const qsizetype lf = sheet.indexOf('\n', start);
        const qsizetype end = std::min(lf < 0 ? sheet.size() : lf + 1, start + kCdioLineBytes);
        const QList<QByteArray> words = Words(sheet.mid(start, end - start));
        start = end;
        if (words.isEmpty())
            continue;
        if (words[0] == "FILE") {
            if (fileWithoutTrack)
                return false;
            fileWithoutTrack = true;
        } else if (words[0] == "TRACK" && fileWithoutTrack) {
            if (!IsTrackLine(words))
                return false;
            fileWithoutTrack = false;
        }
    }
    return !fileWithoutTrack;
}

bool ImageCanBeOpened(const QString& target)
{
    if (!drives::IsReadableRegularFile(QFile::encodeName(target)))
        return false;
    const QString sheetPath = CueSheetOf(target);
    if (sheetPath.isEmpty())
        return true;
    // A .bin without its sheet: libcdio finds nothing to read, and leaks nothing.
    if (sheetPath != target && !QFile::exists(sheetPath))
        return true;
    const std::optional<QByteArray> sheet = ReadSheet(sheetPath);
    return sheet && CueSheetIsWhole(*sheet);
}

std::int32_t ReadableEnd(CdIo_t* cdio, std::int32_t first, std::int32_t leadOut)
{
    if (leadOut <= first)
        return first;
    std::vector<std::uint8_t> sector(CDIO_CD_FRAMESIZE_RAW);
    const auto readable = [&](std::int32_t lsn) {
        return cdio_read_audio_sector(cdio, sector.data(), lsn) == DRIVER_OP_SUCCESS;
    };
    if (readable(leadOut - 1))
        return leadOut;
    // The last readable sector lies in [first, leadOut - 1): below `good`
    // every sector reads (first - 1 stands for none), from `bad` on none does.
    std::int32_t good = first - 1;
    std::int32_t bad = leadOut - 1;
    while (bad - good > 1) {
        const std::int32_t middle = good + (bad - good) / 2;
        (readable(middle) ? good : bad) = middle;
    }
    return good + 1;
}

}  // namespace mci
