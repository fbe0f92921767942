// Where a table of contents puts its files' data: tracks one after the
// other in whole sectors, INDEX 01 after the pregap, data tracks as silence,
// the byte order and offsets cdrdao gives raw files, and the end of the data
// where a file holds less than the table takes.
#include <gtest/gtest.h>
#include <map>
#include <string>

#include "platform/mci/TocFile.h"
#include "platform/mci/TocLayout.h"

using mci::RipSegment;
using mci::RipSource;

namespace {

constexpr std::int64_t kSector = 588;

// Files by name: a.cdr raw, b.wav a WAVE file, c.flac one to decode, d.iso
// a data file; none else.
class Files {
public:
    Files()
    {
        m_audio["a.cdr"] = {"/x/a.cdr", RipSource::Kind::PcmBigEndian, 0, 100 * kSector};
        m_audio["b.wav"] = {"/x/b.wav", RipSource::Kind::Pcm, 44, 30 * kSector + 7};
        m_audio["c.flac"] = {"/x/c.flac", RipSource::Kind::Decoded, 0, 20 * kSector};
        m_data["d.iso"] = {"/x/d.iso", 10 * 2048 + 1};
        m_data["a.cdr"] = {"/x/a.cdr", 100 * kSector * 4};
    }

    mci::TocFileProbe Probe()
    {
        mci::TocFileProbe probe;
        probe.audio = [this](const QByteArray& name) -> std::optional<RipSource> {
            const auto it = m_audio.find(name);
            return it == m_audio.end() ? std::nullopt : std::optional<RipSource>(it->second);
        };
        probe.data = [this](const QByteArray& name) -> std::optional<mci::TocDataFile> {
            const auto it = m_data.find(name);
            return it == m_data.end() ? std::nullopt : std::optional<mci::TocDataFile>(it->second);
        };
        return probe;
    }

private:
    std::map<QByteArray, RipSource> m_audio;
    std::map<QByteArray, mci::TocDataFile> m_data;
};

std::optional<mci::RipDisc> LayOut(const std::string& text)
{
    const auto toc = mci::ParseTocFile(QByteArrayView(text.data(), qsizetype(text.size())));
    if (!toc)
        return std::nullopt;
    Files files;
    return mci::LayOutToc(*toc, files.Probe());
}

bool SameSegment(const RipSegment& a, const RipSegment& b)
{
    return a.discSample == b.discSample && a.samples == b.samples && a.source == b.source
           && a.sourceSample == b.sourceSample;
}

void ExpectSegments(const mci::RipDisc& disc, const std::vector<RipSegment>& expected)
{
    ASSERT_EQ(disc.segments.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(SameSegment(disc.segments[i], expected[i]))
            << "segment " << i << ": at " << disc.segments[i].discSample << ", " << disc.segments[i].samples
            << " samples of " << disc.segments[i].source << " from " << disc.segments[i].sourceSample;
}

TEST(TocLayout, TracksFollowEachOtherInWholeSectorsTheLastOneSilentToItsEnd)
{
    const auto disc = LayOut("CD_DA\n"
                             "TRACK AUDIO\nFILE \"a.cdr\" 0 500\n"
                             "TRACK AUDIO\nFILE \"a.cdr\" 00:00:10 00:00:02\nFILE \"b.wav\" 0\n");
    ASSERT_TRUE(disc);
    EXPECT_EQ(disc->firstTrack, 1);
    ASSERT_EQ(disc->starts, (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(disc->audio, (std::vector<bool>{true, true}));
    // b.wav holds 30 sectors and 7 samples: track 2 ends in the sector they start.
    EXPECT_EQ(disc->leadOut, 1 + 2 + 31);
    EXPECT_EQ(disc->samples, disc->leadOut * kSector);
    ASSERT_EQ(disc->sources.size(), 2u);
    ExpectSegments(*disc, {{0, 500, 0, 0},
                           {500, kSector - 500, -1, 0},
                           {kSector, 2 * kSector, 0, 10 * kSector},
                           {3 * kSector, 30 * kSector + 7, 1, 0},
                           {33 * kSector + 7, kSector - 7, -1, 0}});
}

TEST(TocLayout, PregapAndStartPutIndex01IntoTheTrack)
{
    const auto disc = LayOut("TRACK AUDIO\nFILE \"a.cdr\" 0 00:00:05\n"
                             "TRACK AUDIO\nPREGAP 00:00:03\nFILE \"a.cdr\" 0 00:00:05\n"
                             "TRACK AUDIO\nSILENCE 100\nFILE \"a.cdr\" 0 00:00:05\nSTART\nFILE \"b.wav\" 0 00:00:01\n"
                             "TRACK AUDIO\nFILE \"a.cdr\" 0 00:00:05\nSTART 00:00:04\n");
    ASSERT_TRUE(disc);
    // Track 3's START falls after 100 + 5 * 588 samples: rounded up to 6
    // sectors of its 7.
    EXPECT_EQ(disc->starts, (std::vector<std::int32_t>{0, 5 + 3, 13 + 6, 20 + 4}));
    EXPECT_EQ(disc->leadOut, 25);
}

// A data track lies on the disc as silence, in sectors of its mode; the
// audio after it starts where it ends.
TEST(TocLayout, AudioAfterADataTrackAndASilentTrackKeepTheirPlaces)
{
    const auto disc = LayOut("CD_ROM\n"
                             "TRACK MODE1\nDATAFILE \"d.iso\"\nZERO 00:00:02 // post-gap\n"
                             "TRACK AUDIO\nSILENCE 00:00:02\nSTART\nFILE \"a.cdr\" 0 00:00:05\n"
                             "TRACK AUDIO\nSILENCE 00:00:04\n"
                             "TRACK MODE2_FORM2\nDATAFILE \"d.iso\" #2 5000\n"
                             "TRACK AUDIO\nFILE \"a.cdr\" 00:00:05 00:00:03\n");
    ASSERT_TRUE(disc);
    // 10 sectors of 2048 bytes and one byte, and 2 of ZERO: 13.
    EXPECT_EQ(disc->starts, (std::vector<std::int32_t>{0, 13 + 2, 20, 24, 24 + 3}));
    EXPECT_EQ(disc->audio, (std::vector<bool>{false, true, true, false, true}));
    EXPECT_EQ(disc->leadOut, 30);
    // Silence next to silence is one stretch.
    ExpectSegments(*disc, {{0, 15 * kSector, -1, 0},
                           {15 * kSector, 5 * kSector, 0, 0},
                           {20 * kSector, 7 * kSector, -1, 0},
                           {27 * kSector, 3 * kSector, 0, 5 * kSector}});
}

// Raw files are big-endian unless SWAP says otherwise; WAVE files the other
// way round. An offset skips bytes of the file's data.
TEST(TocLayout, ByteOrderAndOffsetsOfTheSources)
{
    const auto disc = LayOut("TRACK AUDIO\nFILE \"a.cdr\" 0 00:00:01\n"
                             "AUDIOFILE \"a.cdr\" SWAP 0 00:00:01\n"
                             "FILE \"b.wav\" SWAP 0 00:00:01\n"
                             "FILE \"a.cdr\" #6 00:00:01 00:00:01\n"
                             "DATAFILE \"a.cdr\" 00:00:01\n"
                             "FILE \"c.flac\" 0 00:00:01\n"
                             "FILE \"a.cdr\" 0 00:00:01\n");
    ASSERT_TRUE(disc);
    ASSERT_EQ(disc->sources.size(), 5u) << "a.cdr as it is is one source";
    const struct {
        RipSource::Kind kind;
        std::int64_t dataOffset;
        std::int64_t samples;
    } expected[] = {
        {RipSource::Kind::PcmBigEndian, 0, 100 * kSector},
        {RipSource::Kind::Pcm, 0, 100 * kSector},
        {RipSource::Kind::PcmBigEndian, 44, 30 * kSector + 7},
        {RipSource::Kind::PcmBigEndian, 6, 100 * kSector - 2},
        {RipSource::Kind::Decoded, 0, 20 * kSector},
    };
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(disc->sources[i].kind, expected[i].kind);
        EXPECT_EQ(disc->sources[i].dataOffset, expected[i].dataOffset);
        EXPECT_EQ(disc->sources[i].samples, expected[i].samples);
    }
    // The DATAFILE names the same file as the first FILE, read the same way.
    EXPECT_EQ(disc->segments[4].source, 0);
    EXPECT_EQ(disc->segments[6].source, 0);
    EXPECT_EQ(disc->segments[3].sourceSample, kSector);
}

// The table gives the tracks their lengths; the data ends where a file
// runs out, and no segment reaches past that.
TEST(TocLayout, AFileShorterThanTheTableEndsTheDataThere)
{
    const auto disc = LayOut("TRACK AUDIO\nFILE \"b.wav\" 0 00:00:20\n"
                             "TRACK AUDIO\nFILE \"b.wav\" 00:00:20 00:00:20\n"
                             "TRACK AUDIO\nFILE \"b.wav\" 00:00:40 00:00:20\n"
                             "TRACK AUDIO\nFILE \"a.cdr\" 0 00:00:20\n");
    ASSERT_TRUE(disc);
    EXPECT_EQ(disc->starts, (std::vector<std::int32_t>{0, 20, 40, 60}));
    EXPECT_EQ(disc->leadOut, 80);
    EXPECT_EQ(disc->samples, 30 * kSector + 7);
    ExpectSegments(*disc, {{0, 20 * kSector, 0, 0}, {20 * kSector, 10 * kSector + 7, 0, 20 * kSector}});
}

TEST(TocLayout, TablesThatCannotBeLaidOutAreRefused)
{
    const std::vector<std::pair<const char*, std::string>> cases{
        {"a missing file", "TRACK AUDIO\nFILE \"gone.cdr\" 0\n"},
        {"a missing data file", "TRACK MODE1\nDATAFILE \"gone.iso\" 00:00:10\n"},
        {"a DATAFILE that is no data file", "TRACK MODE1\nDATAFILE \"b.wav\"\n"},
        {"a start at the end of the file, to its end", "TRACK AUDIO\nFILE \"a.cdr\" 00:01:25\n"},
        {"an offset past the file", "TRACK AUDIO\nFILE \"a.cdr\" #300000 0\n"},
        {"a data offset at its end", "TRACK MODE1\nDATAFILE \"d.iso\" #20481\n"},
        {"SWAP on a file to decode", "TRACK AUDIO\nFILE \"c.flac\" SWAP 0\n"},
        {"an offset in a file to decode", "TRACK AUDIO\nFILE \"c.flac\" #4 0\n"},
        {"START at the track's end", "TRACK AUDIO\nFILE \"a.cdr\" 0 00:00:05\nSTART 00:00:05\n"},
        {"START after all there is", "TRACK AUDIO\nFILE \"a.cdr\" 0 00:00:05\nSTART\n"},
        {"a disc past 9999 minutes", "TRACK AUDIO\nSILENCE 9999:00:00\nTRACK AUDIO\nSILENCE 00:00:01\n"},
    };
    for (const auto& [name, text] : cases)
        EXPECT_FALSE(LayOut(text)) << name;
    EXPECT_TRUE(LayOut("TRACK AUDIO\nSILENCE 9999:00:00\n"));
}

}  // namespace
