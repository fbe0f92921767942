// A drive letter mapped to a cdrdao table of contents: raw images in either
// byte order, sample counts, byte offsets and WAVE files give the listing of
// their table, a track alone and a run of tracks play exactly the samples the
// table puts there, a data track and a silent track keep their places, and
// a broken table is a drive that is not ready.
#include <QDir>
#include <gtest/gtest.h>

#include "cd/CdDrives.h"
#include "tests/media/DiscPlayFixture.h"
#include "tests/support/FileBytes.h"
#include "tests/support/RipMaker.h"
#include "tests/support/TocMaker.h"

#include <sys/stat.h>

using mci::StatusItem;
using testsupport::TocStyle;
using testsupport::TocTrackSpec;

namespace {

using Kind = TocTrackSpec::Kind;

// Tones a fifth or more apart; tracks 2 and 4 open with a gap, track 3 is
// silence alone.
const std::vector<TocTrackSpec> kTracks{
    {Kind::Tone, 440, 700}, {Kind::Tone, 660, 600, 200}, {Kind::Silence, 0, 500},
    {Kind::Tone, 880, 500, 300}, {Kind::Tone, 990, 400},
};

const std::pair<const char*, TocStyle> kStyles[]{
    {"big-endian image", TocStyle::BigEndianImage}, {"sample counts", TocStyle::SampleCounts},
    {"byte offsets", TocStyle::ByteOffsets},        {"SWAP", TocStyle::SwappedImage},
    {"WAVE per track", TocStyle::WavPerTrack},
};

class TocDiscTest : public mediatest::DiscPlayTest {
protected:
    // Writes the table under a folder of its own and maps drive R to it.
    QString Make(const std::vector<TocTrackSpec>& tracks, TocStyle style)
    {
        const QString folder = QStringLiteral("toc%1").arg(++m_made);
        QDir(m_dir.path()).mkdir(folder);
        const QString toc = Path(folder + QStringLiteral("/disc.toc"));
        EXPECT_TRUE(testsupport::WriteToc(toc, tracks, style));
        Map(toc);
        return toc;
    }

    // The track count and every track's start and length as the CD layer
    // reports them.
    void ExpectListing(const std::vector<int>& starts)
    {
        const mci::DeviceId id = Open();
        EXPECT_EQ(m_cd.Status(id, StatusItem::Ready), 1u);
        const auto count = int(starts.size()) - 1;
        ASSERT_EQ(m_cd.Status(id, StatusItem::NumberOfTracks), std::uint32_t(count));
        for (int track = 1; track <= count; ++track) {
            const auto k = std::size_t(track - 1);
            EXPECT_EQ(Start(id, track), SectorMs(starts[k])) << track;
            EXPECT_EQ(cd::GetCdTrackLength(id, track), long(SectorMs(starts[k + 1]) - SectorMs(starts[k]))) << track;
        }
        EXPECT_EQ(m_cd.Status(id, StatusItem::Length), SectorMs(starts.back()) - SectorMs(starts.front()));
        EXPECT_EQ(cd::GetCdTrackLength(id, count + 1), -1);
        m_cd.Close(id);
    }

    int m_made = 0;
};

TEST_F(TocDiscTest, TrackListingFollowsTheTableWhateverItsFiles)
{
    const std::vector<int> starts = testsupport::TocStartSectors(kTracks);
    for (const auto& [name, style] : kStyles) {
        SCOPED_TRACE(name);
        Make(kTracks, style);
        ExpectListing(starts);
    }
}

TEST_F(TocDiscTest, ATrackAloneAndARunPlayTheTablesSamples)
{
    const std::vector<int> starts = testsupport::TocStartSectors(kTracks);
    const std::vector<qint16> samples = testsupport::TocSamples(kTracks);
    for (const auto& [name, style] : kStyles) {
        SCOPED_TRACE(name);
        Make(kTracks, style);
        EXPECT_EQ(PlayTracks(2, 2, samples, starts), -1) << "track 2 alone";
        // Through the silent track and the gap of track 4 to the end.
        EXPECT_EQ(PlayTracks(3, 5, samples, starts), -1) << "a run of tracks 3 to 5";
    }
}

// The table cdrdao's manual begins with, over a raw file named relative to
// the table (not to the working directory).
TEST_F(TocDiscTest, TheSmallestTableOfContentsPlays)
{
    const std::vector<TocTrackSpec> one{{Kind::Tone, 440, 800}};
    const QString toc = Make(one, TocStyle::SampleCounts);
    ASSERT_TRUE(testsupport::WriteFileBytes(toc, "CD_DA\nTRACK AUDIO\nFILE \"disc.cdr\" 0\n"));
    ASSERT_NE(QDir::currentPath(), QFileInfo(toc).absolutePath());
    const std::vector<int> starts = testsupport::TocStartSectors(one);
    ExpectListing(starts);
    EXPECT_EQ(PlayTracks(1, 1, testsupport::TocSamples(one), starts), -1);
}

// Track 1 holds data: it takes its sectors on the disc and never plays;
// the audio after it plays from its own start.
TEST_F(TocDiscTest, AudioAfterADataTrackPlaysFromItsStart)
{
    const std::vector<TocTrackSpec> mixed{{Kind::Data, 0, 2000}, {Kind::Tone, 440, 700}, {Kind::Tone, 660, 600}};
    const std::vector<int> starts = testsupport::TocStartSectors(mixed);
    Make(mixed, TocStyle::BigEndianImage);
    ExpectListing(starts);
    const mci::DeviceId id = Open();
    EXPECT_FALSE(m_cd.Play(id, Start(id, 1), Start(id, 2)));
    EXPECT_EQ(Mode(id), mci::kModeStopped);
    m_cd.Close(id);
    const std::vector<qint16> samples = testsupport::TocSamples(mixed);
    EXPECT_EQ(PlayTracks(2, 2, samples, starts), -1) << "track 2 alone";
    EXPECT_EQ(PlayTracks(2, 3, samples, starts), -1) << "a run of tracks 2 and 3";
}

// Each broken table: the drive opens but is not ready, it says why, naming
// the table and the file at fault, nothing plays, and the next drive plays
// as before.
TEST_F(TocDiscTest, BrokenTablesAreDrivesThatAreNotReady)
{
    m_good = Make(kTracks, TocStyle::WavPerTrack);
    const QString folder = QFileInfo(m_good).absolutePath() + QLatin1Char('/');
    const struct {
        const char* name;
        QByteArray table;
        const char* logged;
    } tables[]{
        {"a missing file", "CD_DA\nTRACK AUDIO\nFILE \"gone.cdr\" 0\n", "names \"gone.cdr\", which is not there"},
        {"a missing data file", "CD_ROM\nTRACK MODE1\nDATAFILE \"gone.iso\"\n", "names \"gone.iso\", which is not there"},
        {"a FIFO", "CD_DA\nTRACK AUDIO\nFIFO \"" + QFile::encodeName(folder) + "fifo\" 44100\n", "cdrdao"},
        {"START past the track", "CD_DA\nTRACK AUDIO\nFILE \"01 tone.wav\" 0\nSTART 01:00:00\n", "past its end"},
        {"a start past the file, to its end", "CD_DA\nTRACK AUDIO\nFILE \"01 tone.wav\" 01:00:00\n", "past its end"},
        {"a FILE that is a folder", "CD_DA\nTRACK AUDIO\nFILE \".\" 0\n", "names \".\", which is not there"},
        {"a FILE that is no audio", "CD_DA\nTRACK AUDIO\nFILE \"disc.wav\" 0\n", "whose audio and length cannot be told"},
        {"a cue sheet", "FILE \"01 tone.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n", "cdrdao"},
        {"binary garbage", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "cdrdao"},
    };
    ASSERT_TRUE(testsupport::WriteFileBytes(folder + QStringLiteral("disc.wav"), "RIFF, but no more"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + QStringLiteral("fifo")).constData(), 0600), 0);
    for (const auto& c : tables) {
        SCOPED_TRACE(c.name);
        const QString broken = folder + QStringLiteral("broken.toc");
        ASSERT_TRUE(testsupport::WriteFileBytes(broken, c.table));
        Map(broken);
        const mci::DeviceId id = Open();
        ExpectNotReady(id);
        EXPECT_EQ(cd::GetCdTrackLength(id, 1), -1);
        const QString problem = m_cd.DiscProblem(id);
        EXPECT_TRUE(problem.startsWith(QStringLiteral("the disc image ") + broken)) << problem.toStdString();
        EXPECT_TRUE(problem.contains(QString::fromUtf8(c.logged))) << problem.toStdString();
        EXPECT_TRUE(m_cd.Close(id));

        const mci::DeviceId good = Open("S:");
        EXPECT_EQ(m_cd.Status(good, StatusItem::NumberOfTracks), 5u);
        EXPECT_TRUE(m_cd.DiscProblem(good).isEmpty());
        EXPECT_TRUE(m_cd.Close(good));
    }
}

}  // namespace
