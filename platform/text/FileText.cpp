#include "platform/text/FileText.h"

#include "platform/text/Cp932.h"

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
    return CheckUtf8(bytes) == Utf8Check::Valid ? Encoding::Utf8 : Encoding::Cp932;
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

QByteArray EncodeFileName(QStringView name)
{
    return EncodeFileText(name, Encoding::Utf8);
}

}  // namespace text
