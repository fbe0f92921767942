// atoi, the multibyte comparisons and the path rules as the C run-time has them.
#include <QString>
#include <climits>
#include <gtest/gtest.h>

#include "platform/text/MbString.h"
#include "platform/text/PathSplit.h"

using namespace Qt::StringLiterals;

TEST(Atoi, FollowsTheCRule)
{
    const struct {
        QString text;
        int value;
    } cases[] = {
        {u"2abc"_s, 2}, {u"abc"_s, 0}, {u" 12"_s, 12}, {u"\t\n-7x"_s, -7}, {u"+5"_s, 5},
        {u""_s, 0}, {u"- 5"_s, 0}, {u"007"_s, 7}, {u"１２"_s, 0}, {u"3 4"_s, 3},
        {u"99999999999"_s, INT_MAX}, {u"-99999999999"_s, INT_MIN}, {u"-2147483648"_s, INT_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text::Atoi(c.text), c.value) << c.text.toStdString();
}

TEST(MbsCompare, FoldsAsciiLettersOnly)
{
    EXPECT_EQ(text::MbsICmp(u"C:\\Music\\A.lst", u"c:\\music\\a.LST"), 0);
    EXPECT_NE(text::MbsICmp(u"Ａ", u"ａ"), 0);
    EXPECT_NE(text::MbsICmp(u"É", u"é"), 0);
    EXPECT_LT(text::MbsICmp(u"a", u"B"), 0);
    EXPECT_GT(text::MbsICmp(u"abc", u"AB"), 0);
    EXPECT_GT(text::MbsICmp(u"Z", u"_"), 0);  // letters fold to lower case, as _stricmp does

    EXPECT_NE(text::MbsCmp(u"abc", u"ABC"), 0);
    EXPECT_EQ(text::MbsCmp(u"曲.lst", u"曲.lst"), 0);
    EXPECT_LT(text::MbsCmp(u"ab", u"abc"), 0);
}

TEST(SamePath, FoldsCaseOnlyBetweenDriveLetterPaths)
{
    EXPECT_TRUE(text::SamePath(u"C:\\Lists\\A.lst", u"c:\\lists\\a.LST"));
    EXPECT_FALSE(text::SamePath(u"C:\\Ａ.lst", u"C:\\ａ.lst"));
    EXPECT_FALSE(text::SamePath(u"/x/A.lst", u"/x/a.lst"));
    EXPECT_TRUE(text::SamePath(u"/x/A.lst", u"/x/A.lst"));
    EXPECT_FALSE(text::SamePath(u"C:\\a.lst", u"/C:/a.lst"));
}

TEST(SplitPath, SplitsLikeSplitpathOnBothSeparators)
{
    const struct {
        QString path, drive, dir, fname, ext;
    } cases[] = {
        {u"C:\\MIDI\\song.mid"_s, u"C:"_s, u"\\MIDI\\"_s, u"song"_s, u".mid"_s},
        {u"/home/u/a.b.wav"_s, u""_s, u"/home/u/"_s, u"a.b"_s, u".wav"_s},
        {u"D:/x\\y/z"_s, u"D:"_s, u"/x\\y/"_s, u"z"_s, u""_s},
        {u"\\\\server\\share\\d\\f.avi"_s, u""_s, u"\\\\server\\share\\d\\"_s, u"f"_s, u".avi"_s},
        {u"C:\\表示\\ソフト.mid"_s, u"C:"_s, u"\\表示\\"_s, u"ソフト"_s, u".mid"_s},
        {u"dir.d\\file"_s, u""_s, u"dir.d\\"_s, u"file"_s, u""_s},
        {u".bashrc"_s, u""_s, u""_s, u""_s, u".bashrc"_s},
        {u"C:name.txt"_s, u"C:"_s, u""_s, u"name"_s, u".txt"_s},
        {u"name"_s, u""_s, u""_s, u"name"_s, u""_s},
        {u"C:"_s, u"C:"_s, u""_s, u""_s, u""_s},
        {u"a:"_s, u"a:"_s, u""_s, u""_s, u""_s},
        {u""_s, u""_s, u""_s, u""_s, u""_s},
    };
    for (const auto& c : cases) {
        const text::PathParts parts = text::SplitPath(c.path);
        EXPECT_EQ(parts.drive, c.drive) << c.path.toStdString();
        EXPECT_EQ(parts.dir, c.dir) << c.path.toStdString();
        EXPECT_EQ(parts.fname, c.fname) << c.path.toStdString();
        EXPECT_EQ(parts.ext, c.ext) << c.path.toStdString();
    }
}
