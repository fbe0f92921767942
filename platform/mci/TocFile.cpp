#include "platform/mci/TocFile.h"

#include <QList>
#include <utility>

namespace mci {
namespace {

constexpr std::size_t kMaxTracks = 99;
// Far beyond any disc, and far from overflowing once summed and multiplied.
constexpr int kMaxDigits = 12;
constexpr int kMaxMinuteDigits = 4;
constexpr int kSubChannelBytes = 96;

struct Token {
    enum class Kind { Word, String, Open, Close, Hash, Comma, End };
    Kind kind = Kind::End;
    QByteArray text;
};

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool IsOctal(char c)
{
    return c >= '0' && c <= '7';
}

// The string whose opening quote is at text[at]; at moves past its closing
// quote. nullopt when a line end or the end of the text comes first.
std::optional<QByteArray> ReadString(QByteArrayView text, qsizetype& at)
{
    QByteArray value;
    for (qsizetype i = at + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            at = i + 1;
            return value;
        }
        if (c == '\n')
            return std::nullopt;
        if (c == '\\' && i + 1 < text.size() && text[i + 1] == '"') {
            value += '"';
            ++i;
        } else if (c == '\\' && i + 3 < text.size() && IsOctal(text[i + 1]) && IsOctal(text[i + 2])
                   && IsOctal(text[i + 3])) {
            value += char((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0'));
            i += 3;
        } else {
            value += c;
        }
    }
    return std::nullopt;
}

std::optional<std::vector<Token>> Tokens(QByteArrayView text)
{
    std::vector<Token> tokens;
    qsizetype at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (IsSpace(c)) {
            ++at;
        } else if (c == '/' && at + 1 < text.size() && text[at + 1] == '/') {
            while (at < text.size() && text[at] != '\n')
                ++at;
        } else if (c == '"') {
            auto value = ReadString(text, at);
            if (!value)
                return std::nullopt;
            tokens.push_back({Token::Kind::String, std::move(*value)});
        } else if (c == '{' || c == '}' || c == '#' || c == ',') {
            const Token::Kind kind = c == '{'   ? Token::Kind::Open
                                     : c == '}' ? Token::Kind::Close
                                     : c == '#' ? Token::Kind::Hash
                                                : Token::Kind::Comma;
            tokens.push_back({kind, {}});
            ++at;
        } else {
            const qsizetype begin = at;
            while (at < text.size() && !IsSpace(text[at]) && QByteArrayView("\"{}#,").indexOf(text[at]) < 0
                   && !(text[at] == '/' && at + 1 < text.size() && text[at + 1] == '/'))
                ++at;
            tokens.push_back({Token::Kind::Word, text.sliced(begin, at - begin).toByteArray()});
        }
    }
    tokens.push_back({Token::Kind::End, {}});
    return tokens;
}

std::optional<std::int64_t> Digits(QByteArrayView word, int maxDigits)
{
    if (word.isEmpty() || word.size() > maxDigits)
        return std::nullopt;
    std::int64_t value = 0;
    for (const char c : word) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// A time or a count: MM:SS:FF as frames, or a plain number.
struct Amount {
    bool frames = false;
    std::int64_t value = 0;
};

std::optional<Amount> ReadAmount(const QByteArray& word)
{
    const QList<QByteArray> parts = word.split(':');
    if (parts.size() == 1) {
        const auto value = Digits(word, kMaxDigits);
        return value ? std::optional<Amount>({false, *value}) : std::nullopt;
    }
    if (parts.size() != 3)
        return std::nullopt;
    const auto minutes = Digits(parts[0], kMaxMinuteDigits);
    const auto seconds = Digits(parts[1], 2);
    const auto frames = Digits(parts[2], 2);
    if (!minutes || !seconds || !frames || *seconds > 59 || *frames > 74)
        return std::nullopt;
    return Amount{true, (*minutes * 60 + *seconds) * 75 + *frames};
}

// Bytes of a sector of a data mode as files hold it.
std::optional<int> ModeSectorBytes(const QByteArray& mode)
{
    static const std::pair<const char*, int> kModes[] = {
        {"AUDIO", 2352},       {"MODE0", 2336},       {"MODE1", 2048},       {"MODE1_RAW", 2352},
        {"MODE2", 2336},       {"MODE2_RAW", 2352},   {"MODE2_FORM1", 2048}, {"MODE2_FORM2", 2324},
        {"MODE2_FORM_MIX", 2336},
    };
    for (const auto& [name, bytes] : kModes)
        if (mode == name)
            return bytes;
    return std::nullopt;
}

bool IsSubChannelMode(const QByteArray& word)
{
    return word == "RW" || word == "RW_RAW";
}

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : m_tokens(std::move(tokens)) {}
    std::optional<TocFile> Parse();

private:
    const Token& Peek() const { return m_tokens[m_at]; }
    bool PeekWord(const char* word) const { return Peek().kind == Token::Kind::Word && Peek().text == word; }
    const Token& Take() { return m_tokens[m_at < m_tokens.size() - 1 ? m_at++ : m_at]; }
    bool TakeWord(const char* word);
    std::optional<QByteArray> TakeString();
    std::optional<Amount> TakeAmount();
    std::optional<Amount> TakeOptionalAmount();
    bool SkipBlock();
    bool Header();
    bool Track();
    bool TrackStatement(TocTrack& track);
    bool File(TocTrack& track, TocPiece::Kind kind);
    enum class Count { Samples, Bytes };
    std::int64_t Units(const TocTrack& track, const Amount& amount, Count count) const;
    bool Silence(TocTrack& track, Count count);

    std::vector<Token> m_tokens;
    std::size_t m_at = 0;
    TocFile m_toc;
};

bool Parser::TakeWord(const char* word)
{
    if (!PeekWord(word))
        return false;
    Take();
    return true;
}

std::optional<QByteArray> Parser::TakeString()
{
    if (Peek().kind != Token::Kind::String)
        return std::nullopt;
    return Take().text;
}

std::optional<Amount> Parser::TakeAmount()
{
    if (Peek().kind != Token::Kind::Word)
        return std::nullopt;
    return ReadAmount(Take().text);
}

std::optional<Amount> Parser::TakeOptionalAmount()
{
    if (Peek().kind != Token::Kind::Word || !ReadAmount(Peek().text))
        return std::nullopt;
    return TakeAmount();
}

// A CD_TEXT block, braces nested, whatever it holds.
bool Parser::SkipBlock()
{
    if (Take().kind != Token::Kind::Open)
        return false;
    for (int depth = 1; depth > 0;) {
        const Token::Kind kind = Take().kind;
        if (kind == Token::Kind::End)
            return false;
        depth += kind == Token::Kind::Open ? 1 : kind == Token::Kind::Close ? -1 : 0;
    }
    return true;
}

// A time counts sectors; a number counts samples or bytes as the statement
// says, bytes being samples of 4 in an audio track (a part of one padded).
std::int64_t Parser::Units(const TocTrack& track, const Amount& amount, Count count) const
{
    if (amount.frames)
        return amount.value * track.UnitsPerSector();
    return track.audio && count == Count::Bytes ? (amount.value + 3) / 4 : amount.value;
}

bool Parser::Header()
{
    while (!PeekWord("TRACK")) {
        if (TakeWord("CATALOG")) {
            if (!TakeString())
                return false;
        } else if (TakeWord("CD_TEXT")) {
            if (!SkipBlock())
                return false;
        } else if (!TakeWord("CD_DA") && !TakeWord("CD_ROM") && !TakeWord("CD_ROM_XA") && !TakeWord("CD_I")) {
            return false;
        }
    }
    return true;
}

bool Parser::File(TocTrack& track, TocPiece::Kind kind)
{
    TocPiece piece;
    piece.kind = kind;
    const bool dataFile = kind == TocPiece::Kind::DataFile;
    const auto name = TakeString();
    if (!name || name->isEmpty())
        return false;
    piece.name = *name;
    if (!dataFile && TakeWord("SWAP"))
        piece.swap = true;
    if (Peek().kind == Token::Kind::Hash) {
        Take();
        const auto offset = TakeAmount();
        if (!offset || offset->frames)
            return false;
        piece.byteOffset = offset->value;
    }
    if (!dataFile) {
        const auto start = TakeAmount();
        if (!start)
            return false;
        piece.start = Units(track, *start, Count::Samples);
    }
    // A DATAFILE, also in an audio track, is measured in bytes.
    if (const auto length = TakeOptionalAmount())
        piece.length = Units(track, *length, dataFile ? Count::Bytes : Count::Samples);
    track.pieces.push_back(std::move(piece));
    return true;
}

bool Parser::Silence(TocTrack& track, Count count)
{
    const auto length = TakeAmount();
    if (!length || length->value == 0)
        return false;
    track.pieces.push_back({TocPiece::Kind::Silence, {}, false, 0, 0, Units(track, *length, count)});
    return true;
}

bool Parser::TrackStatement(TocTrack& track)
{
    if (TakeWord("ISRC"))
        return TakeString().has_value();
    if (TakeWord("NO"))
        return TakeWord("COPY") || TakeWord("PRE_EMPHASIS");
    if (TakeWord("COPY") || TakeWord("PRE_EMPHASIS") || TakeWord("TWO_CHANNEL_AUDIO") || TakeWord("FOUR_CHANNEL_AUDIO"))
        return true;
    if (TakeWord("CD_TEXT"))
        return SkipBlock();
    const bool startGiven = track.startSectors || track.startAfterPieces;
    if (TakeWord("PREGAP")) {
        const auto gap = TakeAmount();
        if (!gap || !gap->frames || gap->value == 0 || startGiven || !track.pieces.empty())
            return false;
        track.pieces.push_back({TocPiece::Kind::Silence, {}, false, 0, 0, Units(track, *gap, Count::Samples)});
        track.startAfterPieces = 1;
        return true;
    }
    if (TakeWord("FILE") || TakeWord("AUDIOFILE"))
        return track.audio && File(track, TocPiece::Kind::AudioFile);
    if (TakeWord("DATAFILE"))
        return File(track, TocPiece::Kind::DataFile);
    if (TakeWord("SILENCE"))
        return track.audio && Silence(track, Count::Samples);
    if (TakeWord("ZERO")) {
        // Its own data mode and sub-channel change nothing here: a time
        // counts sectors, a number bytes.
        if (Peek().kind == Token::Kind::Word && ModeSectorBytes(Peek().text))
            Take();
        if (Peek().kind == Token::Kind::Word && IsSubChannelMode(Peek().text))
            Take();
        return Silence(track, Count::Bytes);
    }
    if (TakeWord("START")) {
        if (startGiven)
            return false;
        if (const auto at = TakeOptionalAmount()) {
            if (!at->frames)
                return false;
            track.startSectors = at->value;
        } else {
            track.startAfterPieces = track.pieces.size();
        }
        return true;
    }
    if (TakeWord("END")) {
        const auto at = TakeOptionalAmount();
        return !at || at->frames;
    }
    if (TakeWord("INDEX")) {
        const auto at = TakeAmount();
        return at && at->frames;
    }
    // FIFO among them: a play cannot wait on a pipe.
    return false;
}

bool Parser::Track()
{
    if (!TakeWord("TRACK") || Peek().kind != Token::Kind::Word)
        return false;
    TocTrack track;
    const QByteArray mode = Take().text;
    const auto sectorBytes = ModeSectorBytes(mode);
    if (!sectorBytes || mode == "MODE0")
        return false;
    track.audio = mode == "AUDIO";
    track.sectorBytes = *sectorBytes;
    if (Peek().kind == Token::Kind::Word && IsSubChannelMode(Peek().text)) {
        // Sub-channel data lies between an audio track's samples.
        if (track.audio)
            return false;
        Take();
        track.sectorBytes += kSubChannelBytes;
    }
    while (!PeekWord("TRACK") && Peek().kind != Token::Kind::End)
        if (!TrackStatement(track))
            return false;
    if (track.pieces.empty() || m_toc.tracks.size() == kMaxTracks)
        return false;
    m_toc.tracks.push_back(std::move(track));
    return true;
}

std::optional<TocFile> Parser::Parse()
{
    if (!Header())
        return std::nullopt;
    while (Peek().kind != Token::Kind::End)
        if (!Track())
            return std::nullopt;
    if (m_toc.tracks.empty())
        return std::nullopt;
    return std::move(m_toc);
}

}  // namespace

std::optional<TocFile> ParseTocFile(QByteArrayView text)
{
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    // A text file has no NUL; a table that has one is something else.
    if (text.contains('\0'))
        return std::nullopt;
    auto tokens = Tokens(text);
    if (!tokens)
        return std::nullopt;
    return Parser(std::move(*tokens)).Parse();
}

}  // namespace mci
