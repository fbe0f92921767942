// Telling a Shift-JIS list from a UTF-8 one when both readings are valid:
// a corpus of Windows paths written both ways, and the pairs that read alike.
#include <QStringList>
#include <gtest/gtest.h>
#include <random>

#include "platform/text/Cp932.h"
#include "platform/text/FileText.h"

namespace {

using text::Encoding;

const char* Name(Encoding encoding)
{
    return encoding == Encoding::Utf8 ? "UTF-8" : "CP932";
}

// Paths as Japanese users name their files: kanji, kana, half-width kana,
// full-width digits, ～, circled numbers, NEC and IBM extension characters.
QStringList RealLookingPaths(int count)
{
    const QStringList folders = {
        "MIDI", "音楽", "ｱﾆﾒ", "ゲーム音楽", "ﾐｭｰｼﾞｯｸ", "クラシック", "童謡", "Ｊ－ＰＯＰ", "ｻｳﾝﾄﾞﾄﾗｯｸ", "練習曲",
        "①作業用", "㈱音源", "Ⅲ期", "ﾃｽﾄ", "新しいフォルダ", "纊褜鍈銈", "ⅰⅱⅲ", "～お気に入り～", "2024年", "ＣＤ"};
    const QStringList names = {
        "ﾃｽ", "テスト", "さくら", "春の海", "ﾒｲﾝﾃｰﾏ", "オープニング", "ｴﾝﾃﾞｨﾝｸﾞ", "第１楽章", "ｶﾉﾝ", "主題歌～ﾌﾙ～",
        "①イントロ", "②ｻﾋﾞ", "夢の中へ", "ﾄﾞﾗｸｴ序曲", "きらきら星", "ﾊﾟｯﾍﾙﾍﾞﾙ", "練習１２３", "森のくまさん",
        "ｿﾅﾀ", "㍉波", "髙橋の曲", "ﾀｲﾄﾙ画面", "ｽﾃｰｼﾞ１", "ボス戦", "ﾃｨｰﾀｲﾑ"};
    // Half-width kana pairs whose CP932 bytes are also valid UTF-8 (C3 BD...),
    // in folders of plain ASCII: these lines read both ways.
    const QStringList asciiFolders = {"MIDI", "Music", "BGM", "GAME", "old"};
    const QStringList pairNames = {"ﾃｽ", "ﾃｽﾄｳ", "ﾅｶﾆｼ", "ﾏｲﾕｷ", "ﾔｽﾋｶ", "ﾌｸﾎｼ", "ﾐｷ"};
    const QStringList extensions = {".mid", ".MID", ".wav", ".avi", ".rmi"};
    std::mt19937 random(932);
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const bool readsBothWays = i % 5 == 0;
        const QStringList& from = readsBothWays ? asciiFolders : folders;
        const QStringList& fileNames = readsBothWays ? pairNames : names;
        QString path = QStringLiteral("%1:").arg(QChar(u'C' + int(random() % 4)));
        for (unsigned depth = random() % 3 + 1; depth > 0; --depth)
            path += QLatin1Char('\\') + from.at(int(random() % unsigned(from.size())));
        path += QLatin1Char('\\') + fileNames.at(int(random() % unsigned(fileNames.size())));
        if (random() % 3 == 0)
            path += fileNames.at(int(random() % unsigned(fileNames.size())));
        path += extensions.at(int(random() % unsigned(extensions.size())));
        paths.append(path);
    }
    return paths;
}

TEST(EncodingDetection, RealLookingPathsAreDetectedInTheEncodingTheyWereWrittenIn)
{
    const QStringList paths = RealLookingPaths(300);
    int validUtf8AsCp932 = 0;
    for (const QString& path : paths) {
        bool encodable = false;
        const QByteArray cp932 = text::EncodeCp932(path, &encodable) + "\r\n";
        ASSERT_TRUE(encodable) << path.toStdString();
        if (text::CheckUtf8(cp932) == text::Utf8Check::Valid)
            ++validUtf8AsCp932;
        EXPECT_EQ(Name(text::DetectEncoding(cp932)), std::string("CP932")) << path.toStdString();
        EXPECT_EQ(Name(text::DetectEncoding(path.toUtf8() + "\r\n")), std::string("UTF-8")) << path.toStdString();
    }
    EXPECT_GT(validUtf8AsCp932, 0) << "the corpus holds lines whose CP932 bytes are also valid UTF-8";
}

TEST(EncodingDetection, BytesThatReadBothWays)
{
    struct Case {
        const char* bytes;
        Encoding expected;
    };
    const Case cases[] = {
        {"C:\\MIDI\\\xC3\xBD.mid\r\n", Encoding::Cp932},                  // ﾃｽ, or ý alone
        {"\xC3\xBD\xC3\xBD\r\n", Encoding::Cp932},                         // ﾃｽﾃｽ
        {"\xD0\xAD\xC3\xBD.mid\r\n", Encoding::Cp932},                     // ﾐｭﾃｽ, or Эý
        {"/music/caf\xC3\xA9.wav\r\n", Encoding::Utf8},                    // café
        {"/music/M\xC3\xBCller Fr\xC3\xA8re.mid\r\n", Encoding::Utf8},     // Müller Frère
        {"/music/\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.mid\r\n", Encoding::Utf8},  // テスト
        {"\xEF\xBB\xBF" "C:\\a.mid\r\n", Encoding::Utf8},                  // a byte order mark
        {"C:\\a.mid\r\n", Encoding::Cp932},                                // ASCII
        {"C:\\\x83\x65\x83\x58\x83\x67.mid\r\n", Encoding::Cp932},         // テスト in CP932
    };
    for (const Case& c : cases)
        EXPECT_EQ(Name(text::DetectEncoding(c.bytes)), std::string(Name(c.expected))) << c.bytes;
}

TEST(EncodingDetection, PiecesGiveTheAnswerOfTheWhole)
{
    // A CP932 kana pair in one line outweighs nothing in the others; a later
    // invalid line decides for CP932 whatever came before.
    text::EncodingDetector detector;
    detector.Feed("C:\\a.mid");
    detector.Feed("C:\\\xC3\xBD.mid");
    EXPECT_EQ(detector.Result(), Encoding::Cp932);

    text::EncodingDetector utf8;
    utf8.Feed("/m/caf\xC3\xA9.wav");
    utf8.Feed("/m/\xE6\x98\xA5.wav");
    EXPECT_EQ(utf8.Result(), Encoding::Utf8);
    utf8.Feed("/m/\x83\x65.wav");
    EXPECT_EQ(utf8.Result(), Encoding::Cp932);
    EXPECT_TRUE(utf8.Settled());

    // However clear the lead of UTF-8, a line that is no UTF-8 still decides.
    text::EncodingDetector late;
    for (int i = 0; i < 500; ++i)
        late.Feed("/m/\xE6\x98\xA5\xE3\x81\xAE\xE6\xB5\xB7.wav");
    EXPECT_FALSE(late.Settled());
    late.Feed("/m/\x8F\x8F.wav");
    EXPECT_EQ(late.Result(), Encoding::Cp932);
}

}  // namespace
