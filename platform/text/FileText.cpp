#include "platform/text/FileText.h"

#include "platform/text/Cp932.h"

namespace text {
namespace {

enum class Utf8Kind {
    Ascii,
    Plain,     // QString::fromUtf8 keeps every character
    Special,   // a leading BOM, or characters in the escape range
    Invalid,
};

Utf8Kind ClassifyUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const qsizetype size = bytes.size();
    bool ascii = true;
    bool special = size >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF;
    for (qsizetype i = 0; i < size;) {
        const uint8_t b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        ascii = false;
        int length;
        char32_t c;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            c = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            c = b & 0x07;
        } else {
            return Utf8Kind::Invalid;
        }
        if (i + length > size)
            return Utf8Kind::Invalid;
        for (int k = 1; k < length; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return Utf8Kind::Invalid;
            c = c << 6 | (p[i + k] & 0x3F);
        }
        const char32_t minimum = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return Utf8Kind::Invalid;
        if (IsEscape(c))
            special = true;
        i += length;
    }
    if (ascii)
        return Utf8Kind::Ascii;
    return special ? Utf8Kind::Special : Utf8Kind::Plain;
}

// Valid UTF-8 that QString::fromUtf8 would change: a leading BOM, which it
// drops, and characters in the escape range, which would be written back as
// single bytes. The latter are kept as escapes of their own bytes.
QString DecodeSpecialUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    QString text;
    text.reserve(bytes.size());
    qsizetype runStart = 0;
    auto flushRun = [&](qsizetype end) {
        if (end > runStart)
            text += QString::fromUtf8(bytes.sliced(runStart, end - runStart));
    };
    for (qsizetype i = 0; i < bytes.size();) {
        const bool bom = p[i] == 0xEF && i + 2 < bytes.size() && p[i + 1] == 0xBB && p[i + 2] == 0xBF;
        const bool escapeRange = p[i] == 0xF4 && i + 3 < bytes.size() && p[i + 1] == 0x8F && p[i + 2] >= 0xBC;
        if (bom) {
            flushRun(i);
            text += QChar(0xFEFF);
            i += 3;
            runStart = i;
        } else if (escapeRange) {
            flushRun(i);
            for (int k = 0; k < 4; ++k) {
                const char32_t escape = kEscapeBase + p[i + k];
                text += QChar(QChar::highSurrogate(escape));
                text += QChar(QChar::lowSurrogate(escape));
            }
            i += 4;
            runStart = i;
        } else {
            ++i;
        }
    }
    flushRun(bytes.size());
    return text;
}

QByteArray EncodeUtf8(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 3);
    const char16_t* in = text.utf16();
    const qsizetype size = text.size();
    qsizetype runStart = 0;
    for (qsizetype i = 0; i + 1 < size; ++i) {
        const char32_t c = QChar::surrogateToUcs4(in[i], in[i + 1]);
        if (QChar::isHighSurrogate(in[i]) && QChar::isLowSurrogate(in[i + 1]) && IsEscape(c)) {
            bytes += QStringView(in + runStart, i - runStart).toUtf8();
            bytes += static_cast<char>(c - kEscapeBase);
            ++i;
            runStart = i + 1;
        }
    }
    bytes += QStringView(in + runStart, size - runStart).toUtf8();
    return bytes;
}

}  // namespace

DecodedText DecodeFileText(QByteArrayView bytes)
{
    switch (ClassifyUtf8(bytes)) {
    case Utf8Kind::Plain:
        return {QString::fromUtf8(bytes), Encoding::Utf8};
    case Utf8Kind::Special:
        return {DecodeSpecialUtf8(bytes), Encoding::Utf8};
    case Utf8Kind::Ascii:
    case Utf8Kind::Invalid:
        break;
    }
    return {DecodeCp932(bytes), Encoding::Cp932};
}

QByteArray EncodeFileText(const QString& text, Encoding encoding, Encoding* written)
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

}  // namespace text
