// The cdrdao table of contents grammar: every statement that puts data into
// a track is read with its times in the units cdrdao gives them, what
// moves no sample is read past, and anything else is refused.
#include <gtest/gtest.h>
#include <string>

#include "platform/mci/TocFile.h"

using mci::ParseTocFile;
using mci::TocPiece;

namespace {

constexpr std::int64_t kSector = 588;

std::optional<mci::TocFile> Parse(const std::string& text)
{
    return ParseTocFile(QByteArrayView(text.data(), qsizetype(text.size())));
}

TEST(TocFile, HeaderFlagsCdTextAndCommentsAreReadPast)
{
    const auto toc = Parse("CD_DA // audio only\n"
                           "CATALOG \"0000000000000\"\n"
                           "CD_TEXT {\n"
                           "  LANGUAGE_MAP { 0 : EN 1 : 9 }\n"
                           "  LANGUAGE 0 {\n"
                           "    TITLE \"Tones } { \\\" // not a comment\"\n"
                           "    GENRE { 0, 10, 255 }\n"
                           "    UPC_EAN \"\"\n"
                           "  }\n"
                           "}\n"
                           "TRACK AUDIO\n"
                           "NO COPY COPY NO PRE_EMPHASIS PRE_EMPHASIS TWO_CHANNEL_AUDIO FOUR_CHANNEL_AUDIO\n"
                           "ISRC \"DEXXX9800001\"\n"
                           "CD_TEXT { LANGUAGE 0 { TITLE \"One\" PERFORMER \"\\101\" } }\n"
                           "FILE \"one.wav\" 0// right after a number\n"
                           "INDEX 00:01:00\n"
                           "END 00:01:50\n"
                           "// TRACK AUDIO\n"
                           "TRACK AUDIO FILE \"two.wav\" 0 END\n");
    ASSERT_TRUE(toc);
    ASSERT_EQ(toc->tracks.size(), 2u);
    ASSERT_EQ(toc->tracks[0].pieces.size(), 1u);
    EXPECT_EQ(toc->tracks[0].pieces[0].name, "one.wav");
    EXPECT_FALSE(toc->tracks[0].startSectors || toc->tracks[0].startAfterPieces);
    ASSERT_EQ(toc->tracks[1].pieces.size(), 1u);
    EXPECT_EQ(toc->tracks[1].pieces[0].name, "two.wav");
}

// Times are MM:SS:FF, sectors of the track; numbers count samples in an
// audio track and bytes in a data track and in every DATAFILE.
TEST(TocFile, StartsAndLengthsInTheUnitsOfTheirTrack)
{
    struct Case {
        const char* track;
        const char* statement;
        TocPiece::Kind kind;
        std::int64_t byteOffset;
        std::int64_t start;
        std::int64_t length;
        bool swap = false;
    };
    const Case cases[] = {
        {"AUDIO", "FILE \"a.cdr\" 1:0:0 0:2:10", TocPiece::Kind::AudioFile, 0, 4500 * kSector, 160 * kSector},
        {"AUDIO", "AUDIOFILE \"a.cdr\" 44100 88200", TocPiece::Kind::AudioFile, 0, 44100, 88200},
        {"AUDIO", "FILE \"a.cdr\" 0", TocPiece::Kind::AudioFile, 0, 0, 0},
        {"AUDIO", "FILE \"a.cdr\" #176400 0 00:00:01", TocPiece::Kind::AudioFile, 176400, 0, kSector},
        {"AUDIO", "AUDIOFILE \"a.cdr\" SWAP # 4 10", TocPiece::Kind::AudioFile, 4, 10, 0, true},
        {"AUDIO", "SILENCE 00:00:30", TocPiece::Kind::Silence, 0, 0, 30 * kSector},
        {"AUDIO", "SILENCE 1000", TocPiece::Kind::Silence, 0, 0, 1000},
        {"AUDIO", "ZERO 00:00:02", TocPiece::Kind::Silence, 0, 0, 2 * kSector},
        {"AUDIO", "DATAFILE \"a.raw\" 2352", TocPiece::Kind::DataFile, 0, 0, kSector},
        {"AUDIO", "DATAFILE \"a.raw\" #8 00:00:03", TocPiece::Kind::DataFile, 8, 0, 3 * kSector},
        {"MODE1", "DATAFILE \"d.iso\" 00:00:10", TocPiece::Kind::DataFile, 0, 0, 10 * 2048},
        {"MODE1", "DATAFILE \"d.iso\" 5000", TocPiece::Kind::DataFile, 0, 0, 5000},
        {"MODE1", "DATAFILE \"d.iso\"", TocPiece::Kind::DataFile, 0, 0, 0},
        {"MODE1", "ZERO 00:02:00", TocPiece::Kind::Silence, 0, 0, 150 * 2048},
        {"MODE1", "ZERO MODE2_FORM1 RW 4096", TocPiece::Kind::Silence, 0, 0, 4096},
        {"MODE1_RAW", "DATAFILE \"d.bin\" 00:00:01", TocPiece::Kind::DataFile, 0, 0, 2352},
        {"MODE2", "DATAFILE \"d.bin\" 00:00:01", TocPiece::Kind::DataFile, 0, 0, 2336},
        {"MODE2_FORM2", "DATAFILE \"d.bin\" 1:0:0", TocPiece::Kind::DataFile, 0, 0, 4500 * 2324},
        {"MODE2_RAW RW_RAW", "DATAFILE \"d.bin\" 00:00:01", TocPiece::Kind::DataFile, 0, 0, 2352 + 96},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.track) + ": " + c.statement);
        const auto toc = Parse(std::string("TRACK ") + c.track + "\n" + c.statement + "\n");
        ASSERT_TRUE(toc);
        ASSERT_EQ(toc->tracks.size(), 1u);
        EXPECT_EQ(toc->tracks[0].audio, std::string(c.track) == "AUDIO");
        ASSERT_EQ(toc->tracks[0].pieces.size(), 1u);
        const TocPiece& piece = toc->tracks[0].pieces[0];
        EXPECT_EQ(piece.kind, c.kind);
        EXPECT_EQ(piece.byteOffset, c.byteOffset);
        EXPECT_EQ(piece.start, c.start);
        EXPECT_EQ(piece.length, c.length);
        EXPECT_EQ(piece.swap, c.swap);
    }
}

TEST(TocFile, StartAndPregapPlaceIndex01)
{
    const auto toc = Parse("TRACK AUDIO\nFILE \"a.cdr\" 0\nSTART 0:10:0\n"
                           "TRACK AUDIO\nSILENCE 0:1:0\nFILE \"p.wav\" 0\nSTART\nFILE \"b.cdr\" 0\n"
                           "TRACK AUDIO\nPREGAP 0:2:0\nFILE \"c.cdr\" 0\n"
                           "TRACK MODE1\nPREGAP 0:2:0\nDATAFILE \"d.iso\"\n");
    ASSERT_TRUE(toc);
    ASSERT_EQ(toc->tracks.size(), 4u);
    EXPECT_EQ(toc->tracks[0].startSectors, 750);
    EXPECT_FALSE(toc->tracks[0].startAfterPieces);
    EXPECT_EQ(toc->tracks[1].startAfterPieces, 2u);
    EXPECT_FALSE(toc->tracks[1].startSectors);
    // PREGAP is SILENCE (ZERO in a data track) and START.
    for (const std::size_t t : {2u, 3u}) {
        SCOPED_TRACE(t);
        const mci::TocTrack& track = toc->tracks[t];
        ASSERT_EQ(track.pieces.size(), 2u);
        EXPECT_EQ(track.pieces[0].kind, TocPiece::Kind::Silence);
        EXPECT_EQ(track.pieces[0].length, 150 * track.UnitsPerSector());
        EXPECT_EQ(track.startAfterPieces, 1u);
    }
    EXPECT_EQ(toc->tracks[3].UnitsPerSector(), 2048);
}

TEST(TocFile, NamesUndoTheirEscapesAndKeepTheirBytes)
{
    const auto toc = Parse("TRACK AUDIO\n"
                           "FILE \"say \\\"hi\\\".wav\" 0\n"
                           "FILE \"\\101\\102.cdr\" 0\n"
                           "FILE \"C:\\dir\\x y.wav\" 0\n"
                           "FILE \"\x83\x5c\x83\x93\x83\x4f.wav\" 0\n"
                           "FILE \"tab\there.wav\" 0\n");
    ASSERT_TRUE(toc);
    const auto& pieces = toc->tracks[0].pieces;
    ASSERT_EQ(pieces.size(), 5u);
    EXPECT_EQ(pieces[0].name, "say \"hi\".wav");
    EXPECT_EQ(pieces[1].name, "AB.cdr");
    EXPECT_EQ(pieces[2].name, "C:\\dir\\x y.wav");
    EXPECT_EQ(pieces[3].name, "\x83\x5c\x83\x93\x83\x4f.wav");
    EXPECT_EQ(pieces[4].name, "tab\there.wav");
}

TEST(TocFile, TablesThatPlaceNoDataAreRefused)
{
    const std::string track = "TRACK AUDIO\nFILE \"a.wav\" 0\n";
    std::string hundred;
    for (int t = 1; t <= 100; ++t)
        hundred += track;
    const std::vector<std::pair<const char*, std::string>> cases{
        {"empty", ""},
        {"header only", "CD_DA\nCATALOG \"0000000000000\"\n"},
        {"an unknown word", "CD_DA\nTRACK AUDIO\nFILE \"a.wav\" 0\nTITLE \"x\"\n"},
        {"keywords in lower case", "track audio\nfile \"a.wav\" 0\n"},
        {"a track with nothing in it", "TRACK AUDIO\n" + track},
        {"a track mode that is none", "TRACK MODE3\nDATAFILE \"d\"\n"},
        {"MODE0 as a track mode", "TRACK MODE0\nDATAFILE \"d\"\n"},
        {"sub-channel data in an audio track", "TRACK AUDIO RW\nFILE \"a.wav\" 0\n"},
        {"FILE in a data track", "TRACK MODE1\nFILE \"a.wav\" 0\n"},
        {"SILENCE in a data track", "TRACK MODE1\nSILENCE 00:01:00\n"},
        {"SILENCE of nothing", "TRACK AUDIO\nSILENCE 0\n"},
        {"ZERO of nothing", "TRACK MODE1\nZERO 00:00:00\n"},
        {"a FIFO", "TRACK AUDIO\nFIFO \"/tmp/pipe\" 1000\n"},
        {"FILE without a start", "TRACK AUDIO\nFILE \"a.wav\"\n"},
        {"FILE without a name", "TRACK AUDIO\nFILE \"\" 0\n"},
        {"FILE with an unquoted name", "TRACK AUDIO\nFILE a.wav 0\n"},
        {"an offset that is a time", "TRACK AUDIO\nFILE \"a.cdr\" #00:00:01 0\n"},
        {"an offset without a number", "TRACK AUDIO\nFILE \"a.cdr\" # SWAP 0\n"},
        {"seconds past 59", "TRACK AUDIO\nFILE \"a.wav\" 00:60:00\n"},
        {"frames past 74", "TRACK AUDIO\nFILE \"a.wav\" 00:00:75\n"},
        {"a time of two fields", "TRACK AUDIO\nFILE \"a.wav\" 01:00\n"},
        {"a number too long for any disc", "TRACK AUDIO\nFILE \"a.wav\" 0 1000000000000000\n"},
        {"a string left open", "TRACK AUDIO\nFILE \"a.wav 0\n"},
        {"a string over a line end", "TRACK AUDIO\nFILE \"a\n.wav\" 0\n"},
        {"a CD_TEXT block left open", "CD_TEXT { LANGUAGE 0 { TITLE \"x\" }\n" + track},
        {"CD_TEXT without a block", "CD_TEXT\n" + track},
        {"START as a number", track + "START 44100\n"},
        {"START twice", track + "START 00:00:01\nSTART 00:00:02\n"},
        {"PREGAP and START", "TRACK AUDIO\nPREGAP 00:02:00\nFILE \"a.wav\" 0\nSTART\n"},
        {"PREGAP after data", track + "PREGAP 00:02:00\n"},
        {"PREGAP of nothing", "TRACK AUDIO\nPREGAP 00:00:00\nFILE \"a.wav\" 0\n"},
        {"INDEX as a number", track + "INDEX 100\n"},
        {"100 tracks", hundred},
        {"a NUL byte", track + std::string("// \0\n", 5)},
    };
    for (const auto& [name, text] : cases)
        EXPECT_FALSE(Parse(text)) << name;
    EXPECT_TRUE(Parse(track));
    EXPECT_TRUE(Parse("\xEF\xBB\xBF" + track));
    EXPECT_EQ(Parse(hundred.substr(track.size()))->tracks.size(), 99u);
}

}  // namespace
