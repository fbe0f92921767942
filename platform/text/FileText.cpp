#include "platform/text/FileText.h"

#include "platform/text/Cp932.h"

#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace text {
namespace {

// Length of the valid UTF-8 sequence at p[i] (its character in *c), or 0.
int Utf8SequenceAt(const uint8_t* p, qsizetype size, qsizetype i, char32_t* c)
{
    const uint8_t b = p[i];
    int length;
    char32_t value;
    if (b < 0x80) {
        *c = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        value = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        value = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        value = b & 0x07;
    } else {
        return 0;
    }
    if (i + length > size)
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((p[i + k] & 0xC0) != 0x80)
            return 0;
        value = value << 6 | (p[i + k] & 0x3F);
    }
    const char32_t minimum = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *c = value;
    return length;
}

enum class Utf8Kind {
    Ascii,
    Plain,    // valid, and QString::fromUtf8 keeps every character
    Special,  // a byte order mark at the start, which fromUtf8 drops, or
              // characters of the escape range, which would encode as bytes
    Invalid,
};

Utf8Kind ClassifyUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const qsizetype size = bytes.size();
    bool ascii = true;
    bool special = false;
    for (qsizetype i = 0; i < size;) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        char32_t c;
        const int length = Utf8SequenceAt(p, size, i, &c);
        if (length == 0)
            return Utf8Kind::Invalid;
        ascii = false;
        special = special || IsEscape(c) || (i == 0 && c == 0xFEFF);
        i += length;
    }
    if (ascii)
        return Utf8Kind::Ascii;
    return special ? Utf8Kind::Special : Utf8Kind::Plain;
}

void AppendEscape(QString& text, uint8_t byte)
{
    const char32_t escape = kEscapeBase + byte;
    text += QChar(QChar::highSurrogate(escape));
    text += QChar(QChar::lowSurrogate(escape));
}

QString DecodeUtf8WithEscapes(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const qsizetype size = bytes.size();
    QString text;
    text.reserve(size);
    for (qsizetype i = 0; i < size;) {
        char32_t c;
        const int length = Utf8SequenceAt(p, size, i, &c);
        if (length == 0 || IsEscape(c)) {
            for (int k = 0; k < qMax(length, 1); ++k)
                AppendEscape(text, p[i + k]);
            i += qMax(length, 1);
        } else if (QChar::requiresSurrogates(c)) {
            text += QChar(QChar::highSurrogate(c));
            text += QChar(QChar::lowSurrogate(c));
            i += length;
        } else {
            text += QChar(static_cast<char16_t>(c));
            i += length;
        }
    }
    return text;
}

QString DecodeUtf8(QByteArrayView bytes)
{
    switch (ClassifyUtf8(bytes)) {
    case Utf8Kind::Ascii:
        return QString::fromLatin1(bytes);
    case Utf8Kind::Plain:
        return QString::fromUtf8(bytes);
    case Utf8Kind::Special:
    case Utf8Kind::Invalid:
        break;
    }
    return DecodeUtf8WithEscapes(bytes);
}

QByteArray EncodeUtf8(QStringView text)
{
    QByteArray bytes;
    const qsizetype size = text.size();
    qsizetype runStart = 0;
    for (qsizetype i = 0; i + 1 < size; ++i) {
        if (!text[i].isHighSurrogate() || !text[i + 1].isLowSurrogate())
            continue;
        const char32_t c = QChar::surrogateToUcs4(text[i], text[i + 1]);
        if (IsEscape(c)) {
            bytes += text.sliced(runStart, i - runStart).toUtf8();
            bytes += static_cast<char>(c - kEscapeBase);
            runStart = i + 2;
        }
        ++i;
    }
    if (runStart == 0)
        return text.toUtf8();
    bytes += text.sliced(runStart).toUtf8();
    return bytes;
}

}  // namespace

Encoding DetectEncoding(QByteArrayView bytes)
{
    EncodingDetector detector;
    detector.Feed(bytes);
    return detector.Result();
}

namespace {

bool InRange(char32_t c, char32_t first, char32_t last)
{
    return c >= first && c <= last;
}

bool IsAsciiLetter(char32_t c)
{
    return InRange(c | 0x20, U'a', U'z');
}

bool IsLatinLetter(char32_t c)
{
    return (InRange(c, 0xC0, 0x24F) && c != 0xD7 && c != 0xF7) || IsAsciiLetter(c);
}

// Characters of the names Japanese users give files, as UTF-8 reads them:
// kana, kanji, full- and half-width forms, CJK punctuation, circled and
// Roman numerals, the symbols of the JIS rows.
bool IsJapaneseText(char32_t c)
{
    return InRange(c, 0x3000, 0x30FF) || InRange(c, 0x3400, 0x9FFF) || InRange(c, 0xF900, 0xFAFF)
           || InRange(c, 0xFF01, 0xFFEF) || InRange(c, 0x2460, 0x24FF) || InRange(c, 0x2150, 0x218F)
           || InRange(c, 0x3200, 0x33FF) || InRange(c, 0x2010, 0x2312) || InRange(c, 0x2500, 0x257F)
           || InRange(c, 0x25A0, 0x26FF);
}

// Accented letters common in European names. Their UTF-8 bytes C3 A1..BC
// also read as two half-width kana in CP932, so rarer letters ("ý", which is
// "ﾃｽ") count for less than the kana pair they might be.
bool IsCommonAccentedLetter(char32_t c)
{
    static constexpr char32_t kCommon[] = {0xE0, 0xE1, 0xE2, 0xE4, 0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xED, 0xEE,
                                           0xEF, 0xF1, 0xF3, 0xF4, 0xF6, 0xFA, 0xFB, 0xFC};
    const char32_t lower = InRange(c, 0xC0, 0xDE) ? c + 0x20 : c;
    return std::find(std::begin(kCommon), std::end(kCommon), lower) != std::end(kCommon);
}

std::vector<char32_t> CodePoints(const QString& text)
{
    std::vector<char32_t> points;
    points.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            points.push_back(QChar::surrogateToUcs4(text[i], text[i + 1]));
            ++i;
        } else {
            points.push_back(text[i].unicode());
        }
    }
    return points;
}

long long Utf8Plausibility(const std::vector<char32_t>& points)
{
    long long score = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const char32_t c = points[i];
        if (c < 0x80)
            continue;
        if (IsJapaneseText(c) || (c >= 0x10000 && !IsEscape(c))) {
            score += 6;  // also emoji and the rarer kanji: four bytes of UTF-8 are seldom anything else
        } else if (IsLatinLetter(c)) {
            const bool inWord = (i > 0 && IsLatinLetter(points[i - 1]))
                                || (i + 1 < points.size() && IsLatinLetter(points[i + 1]));
            if (IsCommonAccentedLetter(c))
                score += inWord ? 7 : 6;
            else
                score += inWord ? 4 : 0;
        } else if (InRange(c, 0x370, 0x4FF)) {
            score += 2;  // Greek, Cyrillic
        } else if (!InRange(c, 0xA0, 0xBF)) {
            score -= 6;  // C1 controls, escapes, scripts nobody names files in here
        }
    }
    return score;
}

long long Cp932Plausibility(const std::vector<char32_t>& points)
{
    long long score = 0;
    for (char32_t c : points) {
        if (c < 0x80)
            continue;
        if (IsEscape(c))
            score -= 20;
        else if (InRange(c, 0xFF61, 0xFF9F))
            score += 3;  // half-width kana
        else if (InRange(c, 0x3000, 0x30FF) || InRange(c, 0xFF01, 0xFF60))
            score += 4;
        else if (InRange(c, 0x4E00, 0x9FFF))
            score += 2;  // also what UTF-8 kana turn into when read as CP932
        else if (InRange(c, 0xE000, 0xF8FF))
            score -= 6;  // user-defined characters, which lead bytes F0..F9 make
        else
            score += 1;
    }
    return score;
}

}  // namespace

void EncodingDetector::Feed(QByteArrayView piece)
{
    if (m_first) {
        m_first = false;
        m_bom = piece.startsWith("\xEF\xBB\xBF");
    }
    if (m_bom || m_invalid)
        return;
    switch (CheckUtf8(piece)) {
    case Utf8Check::Ascii:
        return;
    case Utf8Check::Invalid:
        m_invalid = true;
        return;
    case Utf8Check::Valid:
        break;
    }
    m_nonAscii = true;
    // Once one reading leads by this much no real list turns it round; what
    // is left to learn is only whether some later piece is invalid UTF-8.
    constexpr long long kClearLead = 1000;
    if (std::abs(m_utf8Score - m_cp932Score) > kClearLead)
        return;
    m_utf8Score += Utf8Plausibility(CodePoints(DecodeUtf8WithEscapes(piece)));
    m_cp932Score += Cp932Plausibility(CodePoints(DecodeCp932(piece)));
}

bool EncodingDetector::Settled() const
{
    return m_bom || m_invalid;
}

Encoding EncodingDetector::Result() const
{
    if (m_bom)
        return Encoding::Utf8;
    return !m_invalid && m_nonAscii && m_utf8Score >= m_cp932Score ? Encoding::Utf8 : Encoding::Cp932;
}

Utf8Check CheckUtf8(QByteArrayView bytes)
{
    switch (ClassifyUtf8(bytes)) {
    case Utf8Kind::Ascii:
        return Utf8Check::Ascii;
    case Utf8Kind::Plain:
    case Utf8Kind::Special:
        return Utf8Check::Valid;
    case Utf8Kind::Invalid:
        break;
    }
    return Utf8Check::Invalid;
}

QString DecodeText(QByteArrayView bytes, Encoding encoding)
{
    return encoding == Encoding::Utf8 ? DecodeUtf8(bytes) : DecodeCp932(bytes);
}

DecodedText DecodeFileText(QByteArrayView bytes)
{
    const Encoding encoding = DetectEncoding(bytes);
    return {DecodeText(bytes, encoding), encoding};
}

QByteArray EncodeFileText(QStringView text, Encoding encoding, Encoding* written)
{
    if (encoding == Encoding::Cp932) {
        bool ok = false;
        QByteArray bytes = EncodeCp932(text, &ok);
        if (ok) {
            if (written)
                *written = Encoding::Cp932;
            return bytes;
        }
    }
    if (written)
        *written = Encoding::Utf8;
    return EncodeUtf8(text);
}

QString DecodeFileName(QByteArrayView bytes)
{
    return DecodeText(bytes, Encoding::Utf8);
}

QString DecodeDiskName(QByteArrayView bytes)
{
    if (CheckUtf8(bytes) != Utf8Check::Invalid)
        return DecodeFileName(bytes);
    QString cp932 = DecodeCp932(bytes);
    const bool escaped = std::any_of(cp932.begin(), cp932.end(), [](QChar c) { return c.isSurrogate(); });
    return escaped ? DecodeFileName(bytes) : cp932;
}

QByteArray EncodeFileName(QStringView name)
{
    return EncodeFileText(name, Encoding::Utf8);
}

QString DisplayFileName(QStringView name)
{
    QStringList components;
    for (const QStringView component : name.split(QLatin1Char('/')))
        components.append(DecodeDiskName(EncodeFileName(component)));
    return components.join(QLatin1Char('/'));
}

}  // namespace text
