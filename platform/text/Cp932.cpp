#include "platform/text/Cp932.h"

#include <QHash>
#include <QVarLengthArray>
#include <array>
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <vector>

namespace text {
namespace {

// Decode table values that are no character.
constexpr char16_t kInvalid = 0xFFFF;     // the bytes form no character
constexpr char16_t kEscapePair = 0xFFFE;  // a character that encodes to other bytes
// Encode table value of a character without a code.
constexpr uint16_t kNoCode = 0xFFFF;

constexpr char16_t kEscapeHigh = 0xDBFF;
constexpr char16_t kEscapeLowBase = 0xDC00 + (kEscapeBase & 0x3FF);

enum class ByteClass : uint8_t { Single, Lead, Invalid };

constexpr uint8_t kNoRow = 0xFF;

// Held for the life of the process, so kept small: two-byte codes only for
// the lead bytes there are, and code pages of 256 UTF-16 units only for the
// pages that have characters.
struct Tables {
    std::array<ByteClass, 256> byteClass{};
    std::array<char16_t, 256> single{};
    std::array<uint8_t, 256> leadRow{};  // row of pair per lead byte, or kNoRow
    std::vector<char16_t> pair;           // 256 per lead byte, by trail byte
    std::array<uint8_t, 256> encodeRow{};  // row of encode per high byte of a UTF-16 unit, or kNoRow
    std::vector<uint16_t> encode;           // 256 per row, by low byte; < 0x100 one byte
    QHash<uint16_t, char16_t> duplicates;  // the character of each kEscapePair code

    char16_t Pair(uint8_t lead, uint8_t trail) const
    {
        return leadRow[lead] == kNoRow ? kInvalid : pair[leadRow[lead] * 256 + trail];
    }
    uint16_t Encode(char16_t c) const
    {
        const uint8_t row = encodeRow[c >> 8];
        return row == kNoRow ? kNoCode : encode[row * 256 + (c & 0xFF)];
    }
    void SetEncode(char16_t c, uint16_t code)
    {
        uint8_t& row = encodeRow[c >> 8];
        if (row == kNoRow) {
            row = static_cast<uint8_t>(encode.size() / 256);
            encode.resize(encode.size() + 256, kNoCode);
        }
        encode[row * 256 + (c & 0xFF)] = code;
    }
};

struct IconvCloser {
    void operator()(iconv_t cd) const { iconv_close(cd); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

IconvHandle OpenIconv(const char* to, const char* from)
{
    iconv_t cd = iconv_open(to, from);
    return IconvHandle(cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd);
}

enum class DecodeResult { Char, Incomplete, Invalid };

// Converts a whole code to exactly one UTF-16 unit outside the surrogates.
DecodeResult DecodeCode(iconv_t cd, const char* code, size_t size, char16_t* out)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(code);
    size_t inLeft = size;
    unsigned char buffer[8];
    char* outPtr = reinterpret_cast<char*>(buffer);
    size_t outLeft = sizeof buffer;
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return errno == EINVAL ? DecodeResult::Incomplete : DecodeResult::Invalid;
    if (inLeft != 0 || sizeof buffer - outLeft != 2)
        return DecodeResult::Invalid;
    const char16_t c = static_cast<char16_t>(buffer[0] | buffer[1] << 8);
    if (c >= 0xD800 && c <= 0xDFFF)
        return DecodeResult::Invalid;
    *out = c;
    return DecodeResult::Char;
}

// The CP932 code iconv gives for c, or kNoCode.
uint16_t EncodeChar(iconv_t cd, char16_t c)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    unsigned char utf16[2] = {static_cast<unsigned char>(c & 0xFF), static_cast<unsigned char>(c >> 8)};
    char* in = reinterpret_cast<char*>(utf16);
    size_t inLeft = sizeof utf16;
    unsigned char buffer[8];
    char* outPtr = reinterpret_cast<char*>(buffer);
    size_t outLeft = sizeof buffer;
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
        return kNoCode;
    const size_t written = sizeof buffer - outLeft;
    if (written == 1)
        return buffer[0];
    if (written == 2)
        return static_cast<uint16_t>(buffer[0] << 8 | buffer[1]);
    return kNoCode;
}

// Keeps a decoded character only when it encodes back to its own code.
bool RoundTrips(Tables& t, iconv_t encoder, char16_t c, uint16_t code)
{
    const uint16_t back = EncodeChar(encoder, c);
    if (back != code)
        return false;
    t.SetEncode(c, code);
    return true;
}

std::unique_ptr<Tables> BuildTables()
{
    auto t = std::make_unique<Tables>();
    t->byteClass.fill(ByteClass::Invalid);
    t->single.fill(kInvalid);
    t->leadRow.fill(kNoRow);
    t->encodeRow.fill(kNoRow);

    const IconvHandle decoder = OpenIconv("UTF-16LE", "CP932");
    const IconvHandle encoder = OpenIconv("CP932", "UTF-16LE");
    if (!decoder || !encoder) {
        // Without the converter ASCII still maps to itself; other bytes escape.
        for (int b = 0; b < 0x80; ++b) {
            t->byteClass[b] = ByteClass::Single;
            t->single[b] = static_cast<char16_t>(b);
            t->SetEncode(static_cast<char16_t>(b), static_cast<uint16_t>(b));
        }
        return t;
    }

    for (int b = 0; b < 256; ++b) {
        const char code = static_cast<char>(b);
        char16_t c;
        switch (DecodeCode(decoder.get(), &code, 1, &c)) {
        case DecodeResult::Char:
            if (RoundTrips(*t, encoder.get(), c, static_cast<uint16_t>(b))) {
                t->byteClass[b] = ByteClass::Single;
                t->single[b] = c;
            }
            break;
        case DecodeResult::Incomplete:
            t->byteClass[b] = ByteClass::Lead;
            break;
        case DecodeResult::Invalid:
            break;
        }
    }
    for (int lead = 0; lead < 256; ++lead) {
        if (t->byteClass[lead] != ByteClass::Lead)
            continue;
        const size_t rowStart = t->pair.size();
        t->leadRow[lead] = static_cast<uint8_t>(rowStart / 256);
        t->pair.resize(rowStart + 256, kInvalid);
        for (int trail = 0; trail < 256; ++trail) {
            const char code[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const uint16_t index = static_cast<uint16_t>(lead << 8 | trail);
            char16_t c;
            if (DecodeCode(decoder.get(), code, 2, &c) != DecodeResult::Char)
                continue;
            if (RoundTrips(*t, encoder.get(), c, index)) {
                t->pair[rowStart + trail] = c;
            } else {
                t->pair[rowStart + trail] = kEscapePair;
                t->duplicates.insert(index, c);
            }
        }
    }
    t->pair.shrink_to_fit();
    t->encode.shrink_to_fit();
    return t;
}

const Tables& GetTables()
{
    static const std::unique_ptr<Tables> s_tables = BuildTables();
    return *s_tables;
}

inline char16_t* PutEscape(char16_t* out, uint8_t byte)
{
    *out++ = kEscapeHigh;
    *out++ = static_cast<char16_t>(kEscapeLowBase + byte);
    return out;
}

inline bool IsEscapeLow(char16_t c) { return c >= kEscapeLowBase && c <= kEscapeLowBase + 0xFF; }

}  // namespace

QString DecodeCp932(QByteArrayView bytes)
{
    const Tables& t = GetTables();
    const auto* in = reinterpret_cast<const uint8_t*>(bytes.data());
    const qsizetype size = bytes.size();
    // Decoded into a scratch buffer first, so that the text gets exactly its size.
    QVarLengthArray<char16_t, 512> buffer(size * 2);
    char16_t* const begin = buffer.data();
    char16_t* out = begin;
    for (qsizetype i = 0; i < size;) {
        const uint8_t b = in[i];
        switch (t.byteClass[b]) {
        case ByteClass::Single:
            *out++ = t.single[b];
            ++i;
            break;
        case ByteClass::Lead:
            if (i + 1 < size) {
                const char16_t c = t.Pair(b, in[i + 1]);
                if (c == kEscapePair) {
                    out = PutEscape(PutEscape(out, b), in[i + 1]);
                    i += 2;
                    break;
                }
                if (c != kInvalid) {
                    *out++ = c;
                    i += 2;
                    break;
                }
            }
            out = PutEscape(out, b);
            ++i;
            break;
        case ByteClass::Invalid:
            out = PutEscape(out, b);
            ++i;
            break;
        }
    }
    return QString(reinterpret_cast<const QChar*>(begin), out - begin);
}

QByteArray EncodeCp932(QStringView text, bool* ok)
{
    const Tables& t = GetTables();
    bool allEncoded = true;
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    char* const begin = bytes.data();
    char* out = begin;
    const char16_t* in = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = in[i];
        if (c >= 0xD800 && c <= 0xDFFF) {
            const bool pair = c <= 0xDBFF && i + 1 < size && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF;
            if (pair && c == kEscapeHigh && IsEscapeLow(in[i + 1])) {
                *out++ = static_cast<char>(in[i + 1] - kEscapeLowBase);
            } else {
                *out++ = '?';
                allEncoded = false;
            }
            if (pair)
                ++i;
            continue;
        }
        const uint16_t code = t.Encode(c);
        if (code == kNoCode) {
            *out++ = '?';
            allEncoded = false;
        } else if (code < 0x100) {
            *out++ = static_cast<char>(code);
        } else {
            *out++ = static_cast<char>(code >> 8);
            *out++ = static_cast<char>(code & 0xFF);
        }
    }
    bytes.truncate(out - begin);
    if (ok)
        *ok = allEncoded;
    return bytes;
}

bool CanEncodeCp932(QStringView text)
{
    const Tables& t = GetTables();
    const char16_t* in = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = in[i];
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c != kEscapeHigh || i + 1 >= size || !IsEscapeLow(in[i + 1]))
                return false;
            ++i;
        } else if (t.Encode(c) == kNoCode) {
            return false;
        }
    }
    return true;
}


QString ResolveCp932Duplicates(QStringView text)
{
    const Tables& t = GetTables();
    QString out;
    out.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (i + 3 < size && text[i] == kEscapeHigh && IsEscapeLow(text[i + 1].unicode())
            && text[i + 2] == kEscapeHigh && IsEscapeLow(text[i + 3].unicode())) {
            const auto code = static_cast<uint16_t>((text[i + 1].unicode() - kEscapeLowBase) << 8
                                                    | (text[i + 3].unicode() - kEscapeLowBase));
            const auto found = t.duplicates.constFind(code);
            if (found != t.duplicates.constEnd()) {
                out += QChar(*found);
                i += 3;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace text
