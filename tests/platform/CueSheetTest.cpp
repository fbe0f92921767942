// The cue sheet grammar: what rippers write is read, with each INDEX tied
// to the FILE it follows; anything that could not place a track is refused.
#include <gtest/gtest.h>

#include "platform/mci/CueSheet.h"

using mci::ParseCueSheet;

namespace {

TEST(CueSheet, GapsAppendedToTheFileBeforeKeepTheirFile)
{
    const auto sheet = ParseCueSheet("\xEF\xBB\xBFREM COMMENT \"ExactAudioCopy\"\r\n"
                                     "FILE \"01 One.wav\" WAVE\r\n"
                                     "  TRACK 01 AUDIO\r\n"
                                     "    INDEX 01 00:00:00\r\n"
                                     "  TRACK 02 AUDIO\r\n"
                                     "    PREGAP 00:01:00\r\n"
                                     "    INDEX 00 03:59:74\r\n"
                                     "FILE \"02 Two.wav\" WAVE\r\n"
                                     "    INDEX 01 00:00:00\r\n"
                                     "    INDEX 02 100:00:00\r\n");
    ASSERT_TRUE(sheet);
    ASSERT_EQ(sheet->files.size(), 2u);
    EXPECT_EQ(sheet->files[0].name, "01 One.wav");
    EXPECT_EQ(sheet->files[1].type, "WAVE");
    ASSERT_EQ(sheet->tracks.size(), 2u);
    const mci::CueTrack& second = sheet->tracks[1];
    EXPECT_EQ(second.number, 2);
    EXPECT_EQ(second.pregapFrames, 75);
    ASSERT_EQ(second.indexes.size(), 3u);
    EXPECT_EQ(second.indexes[0].file, 0);
    EXPECT_EQ(second.indexes[0].frame, (3 * 60 + 59) * 75 + 74);
    EXPECT_EQ(second.Start().file, 1);
    EXPECT_EQ(second.Start().frame, 0);
    EXPECT_EQ(second.indexes[2].frame, 100 * 60 * 75);
}

TEST(CueSheet, KeywordsInAnyCaseNamesUnquotedOrInShiftJis)
{
    const auto sheet = ParseCueSheet("file disc.BIN binary\n"
                                     "track 1 audio\nindex 1 00:00:00\n"
                                     "Track 02 MODE1/2352\nIndex 01 00:02:00\n"
                                     "FILE \"\xC3\xBD\xC4 \x83\x5C\x83\x93\x83\x4F.flac\" FLAC\n"
                                     "TRACK 03 AUDIO\nINDEX 01 00:00:00\n");
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->files[0].name, "disc.BIN");
    EXPECT_EQ(sheet->files[0].type, "BINARY");
    EXPECT_EQ(sheet->files[1].name, "\xC3\xBD\xC4 \x83\x5C\x83\x93\x83\x4F.flac");
    ASSERT_EQ(sheet->tracks.size(), 3u);
    EXPECT_TRUE(sheet->tracks[0].audio);
    EXPECT_FALSE(sheet->tracks[1].audio);
    EXPECT_EQ(sheet->tracks[1].Start().frame, 150);
    EXPECT_EQ(sheet->tracks[2].Start().file, 1);
}

// Rippers that give each track a file of its own may mark its start with
// INDEX 00 alone; a track with both starts at INDEX 01 as ever.
TEST(CueSheet, ATrackWithOnlyIndex00StartsThere)
{
    const auto sheet = ParseCueSheet("FILE \"01.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 00 00:00:00\n"
                                     "FILE \"02.wav\" WAVE\n  TRACK 02 AUDIO\n    INDEX 00 00:00:10\n"
                                     "  TRACK 03 AUDIO\n    INDEX 00 00:01:00\n    INDEX 01 00:02:00\n"
                                     "    INDEX 02 00:03:00\n"
                                     "  TRACK 04 AUDIO\n    INDEX 01 00:04:00\n    INDEX 02 00:05:00\n");
    ASSERT_TRUE(sheet);
    ASSERT_EQ(sheet->tracks.size(), 4u);
    const struct {
        int number;
        int file;
        std::int64_t frame;
    } starts[] = {{0, 0, 0}, {0, 1, 10}, {1, 1, 150}, {1, 1, 300}};
    for (std::size_t t = 0; t < 4; ++t) {
        SCOPED_TRACE(t + 1);
        EXPECT_EQ(sheet->tracks[t].Start().number, starts[t].number);
        EXPECT_EQ(sheet->tracks[t].Start().file, starts[t].file);
        EXPECT_EQ(sheet->tracks[t].Start().frame, starts[t].frame);
    }
}

TEST(CueSheet, SheetsThatPlaceNoTrackAreRefused)
{
    const std::string head = "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n";
    std::string hundred = "FILE a.wav WAVE\n";
    for (int t = 1; t <= 100; ++t)
        hundred += "TRACK " + std::to_string(t) + " AUDIO\nINDEX 01 00:" + std::to_string(t / 75) + ":"
                   + std::to_string(t % 75) + "\n";
    const std::vector<std::pair<const char*, std::string>> cases{
        {"empty", ""},
        {"no track", "FILE a.wav WAVE\n"},
        {"track before file", "TRACK 01 AUDIO\nINDEX 01 00:00:00\n"},
        {"index before track", "FILE a.wav WAVE\nINDEX 01 00:00:00\n"},
        {"no index", "FILE a.wav WAVE\nTRACK 01 AUDIO\n"},
        {"index 02 without 01", "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 00 00:00:00\nINDEX 02 00:01:00\n"},
        {"index 02 first", "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 02 00:00:00\n"},
        {"no index before the next track", head + "TRACK 02 AUDIO\nTRACK 03 AUDIO\nINDEX 01 00:01:00\n"},
        {"track numbers going down", head + "TRACK 01 AUDIO\nINDEX 01 00:02:00\n"},
        {"index numbers going down", head + "TRACK 02 AUDIO\nINDEX 01 00:02:00\nINDEX 00 00:01:00\n"},
        {"seconds past 59", "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:60:00\n"},
        {"frames past 74", "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:75\n"},
        {"track 0", "FILE a.wav WAVE\nTRACK 00 AUDIO\nINDEX 01 00:00:00\n"},
        {"100 tracks", hundred},
        {"a NUL byte", head + std::string("REM \0\n", 6)},
        {"FILE without a name", "FILE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"},
    };
    for (const auto& [name, text] : cases)
        EXPECT_FALSE(ParseCueSheet(QByteArrayView(text.data(), qsizetype(text.size())))) << name;
    EXPECT_TRUE(ParseCueSheet(QByteArrayView(head.data(), qsizetype(head.size()))));
}

}  // namespace
