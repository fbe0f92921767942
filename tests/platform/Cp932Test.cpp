// The CP932 codec is lossless on every byte string and decodes real
// Shift-JIS as the system does.
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include "platform/text/Cp932.h"
#include "platform/text/FileText.h"

using namespace Qt::StringLiterals;
using text::DecodeCp932;
using text::EncodeCp932;

namespace {

QString Escape(uint8_t byte)
{
    const char32_t c = text::kEscapeBase + byte;
    return QString::fromUcs4(&c, 1);
}

QByteArray Bytes(std::initializer_list<uint8_t> list)
{
    QByteArray bytes;
    for (uint8_t b : list)
        bytes += static_cast<char>(b);
    return bytes;
}

}  // namespace

TEST(Cp932, EverySingleByteRoundTrips)
{
    for (int b = 0; b < 256; ++b) {
        const QByteArray bytes(1, static_cast<char>(b));
        bool ok = false;
        EXPECT_EQ(EncodeCp932(DecodeCp932(bytes), &ok), bytes) << "byte " << b;
        EXPECT_TRUE(ok);
    }
}

TEST(Cp932, EveryTwoByteSequenceRoundTrips)
{
    int failures = 0;
    for (int code = 0; code < 0x10000; ++code) {
        const QByteArray bytes = Bytes({static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(code)});
        bool ok = false;
        if (EncodeCp932(DecodeCp932(bytes), &ok) != bytes || !ok)
            ++failures;
    }
    EXPECT_EQ(failures, 0);
}

TEST(Cp932, RandomBytesRoundTripInBothEncodings)
{
    QRandomGenerator random(932);
    QByteArray bytes(200000, Qt::Uninitialized);
    for (char& b : bytes)
        b = static_cast<char>(random.bounded(256));
    EXPECT_TRUE(EncodeCp932(DecodeCp932(bytes)) == bytes);
    // The UTF-8 side keeps whatever is no valid UTF-8 the same way.
    const QString decoded = text::DecodeText(bytes, text::Encoding::Utf8);
    EXPECT_TRUE(text::EncodeFileText(decoded, text::Encoding::Utf8) == bytes);
}

TEST(Cp932, DecodesShiftJisAsTheSystemDoes)
{
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"\\~", u"\\~"_s},
        {Bytes({0x82, 0xA0, 0x88, 0x9F}), u"あ亜"_s},
        {Bytes({0xB1, 0xDF}), u"ｱﾟ"_s},
        {Bytes({0x81, 0x5F, 0x83, 0x5C}), u"＼ソ"_s},
        {Bytes({0x87, 0x40, 0xFA, 0x5C}), u"①纊"_s},
        {Bytes({0x43, 0x44, 0xC4, 0xD7, 0xAF, 0xB8}), u"CDﾄﾗｯｸ"_s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeCp932(c.bytes), c.text);
        bool ok = false;
        EXPECT_EQ(EncodeCp932(c.text, &ok), c.bytes);
        EXPECT_TRUE(ok);
    }
}

TEST(Cp932, KeepsBytesThatAreNoCharacterAsEscapes)
{
    EXPECT_EQ(DecodeCp932(Bytes({0x80, 0xA0, 0xFF})), Escape(0x80) + Escape(0xA0) + Escape(0xFF));
    // A lead byte whose trail is no trail byte escapes alone; the next byte reads anew.
    EXPECT_EQ(DecodeCp932(Bytes({0x81, 0x20})), Escape(0x81) + u" "_s);
    EXPECT_EQ(DecodeCp932(Bytes({0x41, 0x82})), u"A"_s + Escape(0x82));
    // ED40 is a second code of U+7E8A, which encodes as FA5C.
    EXPECT_EQ(DecodeCp932(Bytes({0xED, 0x40})), Escape(0xED) + Escape(0x40));
}

TEST(Cp932, ReportsCharactersWithoutCode)
{
    const struct {
        QString text;
        bool encodable;
    } cases[] = {
        {u"C:\\曲\\ｿﾝｸﾞ.mid"_s, true},
        {u"a"_s + Escape(0x81), true},
        {u"\U0001F600"_s, false},
        {u"é"_s, false},
        {u"¥"_s, false},  // one-way mapping to 5C, which reads back as '\'
    };
    for (const auto& c : cases) {
        bool ok = !c.encodable;
        EncodeCp932(c.text, &ok);
        EXPECT_EQ(ok, c.encodable) << c.text.toStdString();
        EXPECT_EQ(text::CanEncodeCp932(c.text), c.encodable) << c.text.toStdString();
    }
    EXPECT_EQ(EncodeCp932(u"a\U0001F600b"_s), "a?b");
}

TEST(FileText, ChoosesUtf8OnlyForValidNonAsciiUtf8)
{
    const struct {
        QByteArray bytes;
        text::Encoding encoding;
    } cases[] = {
        {"C:\\a.mid\r\n", text::Encoding::Cp932},
        {"/m/\xC3\xA9.wav", text::Encoding::Utf8},
        {Bytes({0x82, 0xA0}), text::Encoding::Cp932},
        {Bytes({0xC0, 0x80}), text::Encoding::Cp932},        // overlong
        {Bytes({0xED, 0xA0, 0x80}), text::Encoding::Cp932},  // surrogate
        {Bytes({0xE3, 0x81}), text::Encoding::Cp932},        // cut short
    };
    for (const auto& c : cases)
        EXPECT_EQ(text::DecodeFileText(c.bytes).encoding, c.encoding) << c.bytes.toHex().toStdString();
}

TEST(FileText, EncodingADecodedFileGivesBackItsBytes)
{
    const QByteArray files[] = {
        "\xEF\xBB\xBF/m/\xE6\x9B\xB2.mid\r\n",  // UTF-8 with byte order mark
        "/m/\xF4\x8F\xBD\x81\xC3\xA9\r\n",      // UTF-8 holding a character of the escape range
        Bytes({0x82, 0xA0, 0x80, 0xED, 0x40, 0x0D, 0x0A, 0x81}),
    };
    for (const QByteArray& bytes : files) {
        const text::DecodedText decoded = text::DecodeFileText(bytes);
        text::Encoding written = decoded.encoding == text::Encoding::Utf8 ? text::Encoding::Cp932 : text::Encoding::Utf8;
        EXPECT_EQ(text::EncodeFileText(decoded.text, decoded.encoding, &written), bytes);
        EXPECT_EQ(written, decoded.encoding);
    }
}

TEST(FileText, FallsBackToUtf8AndWritesEscapesAsBytes)
{
    text::Encoding written = text::Encoding::Cp932;
    const QString mixed = u"あ\U0001F600"_s + Escape(0x81);
    EXPECT_EQ(text::EncodeFileText(mixed, text::Encoding::Cp932, &written), "\xE3\x81\x82\xF0\x9F\x98\x80\x81");
    EXPECT_EQ(written, text::Encoding::Utf8);
}
