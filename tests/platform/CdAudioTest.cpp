// The real "cdaudio" device on BIN/CUE images: table of contents, plays that
// run across track boundaries without a gap, pause, exclusive open, the tray
// of the string commands, and the end of a play on a damaged image.
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include "cd/CdDrives.h"
#include "platform/Services.h"
#include "platform/drives/DriveMap.h"
#include "platform/mci/CdAudio.h"
#include "platform/mci/DiscImage.h"
#include "tests/support/AudioCapture.h"
#include "tests/support/DiscImageMaker.h"
#include "tests/support/FileBytes.h"

#include <sys/stat.h>

using mci::StatusItem;
using testsupport::TrackSpec;

namespace {

// One tone per track; neighbours an octave or more apart.
const std::vector<TrackSpec> kTwelveTracks{
    {262, 3000}, {440, 700}, {880, 600}, {330, 500}, {523, 500}, {659, 500},
    {784, 500},  {988, 500}, {392, 500}, {587, 500}, {698, 500}, {1047, 800},
};

// Disc milliseconds of a sector, computed here from first principles.
std::uint32_t SectorMs(int sector)
{
    return std::uint32_t(sector * 1000 / 75);
}

class CdAudioTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(testsupport::WriteCueBin(Path("disc.cue"), kTwelveTracks));
        MapDrives({{QStringLiteral("Q"), Path("disc.cue")}, {QStringLiteral("R"), Path("disc.cue")}});
    }

    QString Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    void MapDrives(const QMap<QString, QString>& drives)
    {
        m_drives = drives::DriveMap::Build({}, drives, {});
        platform::GetServices().drives = &m_drives;
        platform::GetServices().cd = &m_cd;
    }

    mci::DeviceId OpenDrive(const char* drive)
    {
        const auto id = m_cd.Open(QString::fromLatin1(drive));
        EXPECT_TRUE(id.has_value());
        EXPECT_TRUE(id && m_cd.SetTimeFormatMs(*id));
        return id.value_or(0);
    }

    long Mode(mci::DeviceId id) { return long(m_cd.Status(id, StatusItem::Mode).value_or(0)); }
    std::uint32_t Position(mci::DeviceId id) { return m_cd.Status(id, StatusItem::Position).value_or(0); }

    // Polls as the player does; the deadline only keeps a broken device from hanging the test.
    void WaitWhilePlaying(mci::DeviceId id)
    {
        QElapsedTimer timer;
        timer.start();
        while (Mode(id) == mci::kModePlaying && timer.elapsed() < 30000)
            QThread::msleep(20);
    }

    QTemporaryDir m_dir;
    drives::DriveMap m_drives;
    mci::RealCdSystem m_cd{m_drives};
    platform::ScopedServices m_scope{platform::Services{}};
};

TEST_F(CdAudioTest, TableOfContentsOfATwelveTrackDisc)
{
    const mci::DeviceId id = OpenDrive("Q:");
    EXPECT_EQ(m_cd.Status(id, StatusItem::Ready), 1u);
    EXPECT_EQ(Mode(id), mci::kModeStopped);
    ASSERT_EQ(m_cd.Status(id, StatusItem::NumberOfTracks), 12u);

    const std::vector<int> starts = testsupport::TrackStartSectors(kTwelveTracks);
    const int leadOut = starts.back() + testsupport::TrackSectors(kTwelveTracks.back().lengthMs);
    for (int track = 1; track <= 12; ++track) {
        const int end = track < 12 ? starts[std::size_t(track)] : leadOut;
        EXPECT_EQ(m_cd.Status(id, StatusItem::Position, track), SectorMs(starts[std::size_t(track - 1)])) << track;
        EXPECT_EQ(cd::GetCdTrackLength(id, track), long(SectorMs(end) - SectorMs(starts[std::size_t(track - 1)])))
            << track;
    }
    EXPECT_EQ(m_cd.Status(id, StatusItem::Length, 12), SectorMs(leadOut) - SectorMs(starts[11]));
    EXPECT_EQ(m_cd.Status(id, StatusItem::Length), SectorMs(leadOut));
    EXPECT_EQ(Position(id), 0u);

    EXPECT_EQ(cd::GetCdTrackLength(id, 13), -1);
    EXPECT_EQ(cd::GetCdTrackLength(id, 0), -1);
    EXPECT_FALSE(m_cd.Status(id, StatusItem::Position, 13));
    EXPECT_FALSE(m_cd.Status(id, StatusItem::Length, 13));
    EXPECT_TRUE(m_cd.Close(id));
    EXPECT_FALSE(m_cd.Close(id));
    EXPECT_FALSE(m_cd.Status(id, StatusItem::Ready));
}

TEST_F(CdAudioTest, APlayAcrossTracksIsOneStreamWithoutGapOrRepeat)
{
    testsupport::AudioCapture capture(Path("cap.raw"));
    const mci::DeviceId id = OpenDrive("Q:");
    const std::uint32_t from = *m_cd.Status(id, StatusItem::Position, 2);
    const std::uint32_t to = *m_cd.Status(id, StatusItem::Position, 4);
    ASSERT_TRUE(m_cd.Play(id, from, to));
    WaitWhilePlaying(id);
    EXPECT_EQ(Mode(id), mci::kModeStopped);
    EXPECT_EQ(Position(id), to);
    m_cd.Close(id);

    const int track2Ms = int(SectorMs(testsupport::TrackSectors(700)));
    const int track3Ms = int(SectorMs(testsupport::TrackSectors(600)));
    EXPECT_NEAR(capture.LengthMs(), track2Ms + track3Ms, 15);
    const auto windows = capture.Analyse(10);
    ASSERT_FALSE(windows.empty());
    int boundaryMs = -1;
    for (std::size_t i = 0; i + 1 < windows.size(); ++i) {
        const auto& w = windows[i];
        EXPECT_GT(w.rms, 0.1) << "silence at " << w.startMs << " ms";
        const bool high = w.frequencyHz > 660;
        if (high && boundaryMs < 0)
            boundaryMs = w.startMs;
        EXPECT_TRUE(high || boundaryMs < 0) << "the first track again at " << w.startMs << " ms";
    }
    EXPECT_NEAR(boundaryMs, track2Ms, 15);
}

TEST_F(CdAudioTest, PositionMovesWhilePlayingAndHoldsWhilePaused)
{
    const mci::DeviceId id = OpenDrive("Q:");
    const std::uint32_t from = *m_cd.Status(id, StatusItem::Position, 1);
    const std::uint32_t to = *m_cd.Status(id, StatusItem::Position, 2);
    QElapsedTimer sincePlay;
    sincePlay.start();
    ASSERT_TRUE(m_cd.Play(id, from, to));
    QThread::msleep(500);
    const std::uint32_t playing = Position(id);
    EXPECT_EQ(Mode(id), mci::kModePlaying);
    EXPECT_GT(playing, from);
    EXPECT_LE(playing, from + sincePlay.elapsed() + 150);

    ASSERT_TRUE(m_cd.Pause(id));
    EXPECT_EQ(Mode(id), mci::kModePaused);
    QThread::msleep(100);
    const std::uint32_t paused = Position(id);
    QThread::msleep(600);
    EXPECT_EQ(Mode(id), mci::kModePaused);
    EXPECT_NEAR(double(Position(id)), double(paused), 20);
    EXPECT_GE(paused, playing);

    ASSERT_TRUE(m_cd.Resume(id));
    EXPECT_EQ(Mode(id), mci::kModePlaying);
    QThread::msleep(400);
    const std::uint32_t resumed = Position(id);
    EXPECT_GT(resumed, paused + 100);
    EXPECT_LT(resumed, to);

    ASSERT_TRUE(m_cd.Stop(id));
    EXPECT_EQ(Mode(id), mci::kModeStopped);
    const std::uint32_t stopped = Position(id);
    EXPECT_GE(stopped, resumed);
    EXPECT_LT(stopped, to);
    EXPECT_FALSE(m_cd.Resume(id));
    EXPECT_TRUE(m_cd.Close(id));
}

TEST_F(CdAudioTest, PlaysThatCannotBeAreRefused)
{
    const mci::DeviceId id = OpenDrive("Q:");
    const std::uint32_t end = *m_cd.Status(id, StatusItem::Length);
    EXPECT_FALSE(m_cd.Play(id, end, std::nullopt));
    EXPECT_FALSE(m_cd.Play(id, 1000, 1000));
    EXPECT_FALSE(m_cd.Play(id, 2000, 1000));
    EXPECT_FALSE(m_cd.Play(id, 0, end + 1));
    EXPECT_EQ(Mode(id), mci::kModeStopped);
    m_cd.Close(id);
}

TEST_F(CdAudioTest, OpenIsExclusivePerTarget)
{
    const auto first = m_cd.Open(QStringLiteral("Q:"));
    ASSERT_TRUE(first);
    EXPECT_FALSE(m_cd.Open(QStringLiteral("q:")));
    // R: names the same image.
    EXPECT_FALSE(m_cd.Open(QStringLiteral("R:")));
    // No such drive, or not a CD drive.
    EXPECT_FALSE(m_cd.Open(QStringLiteral("S:")));
    EXPECT_TRUE(m_cd.Close(*first));
    const auto second = m_cd.Open(QStringLiteral("R:"));
    ASSERT_TRUE(second);
    EXPECT_NE(*second, *first);
    m_cd.Close(*second);
}

TEST_F(CdAudioTest, AnEmptyDriveOpensButIsNotReady)
{
    MapDrives({{QStringLiteral("E"), Path("no-disc.cue")}});
    const mci::DeviceId id = OpenDrive("E:");
    EXPECT_EQ(m_cd.Status(id, StatusItem::Ready), 0u);
    EXPECT_EQ(Mode(id), mci::kModeNotReady);
    EXPECT_FALSE(m_cd.Status(id, StatusItem::NumberOfTracks));
    EXPECT_FALSE(m_cd.Status(id, StatusItem::Position));
    EXPECT_FALSE(m_cd.Play(id, 0, std::nullopt));

    // The disc arrives: the open device sees it.
    ASSERT_TRUE(testsupport::WriteCueBin(Path("no-disc.cue"), {{440, 500}}));
    EXPECT_EQ(m_cd.Status(id, StatusItem::Ready), 1u);
    EXPECT_EQ(m_cd.Status(id, StatusItem::NumberOfTracks), 1u);
    EXPECT_TRUE(m_cd.Close(id));
}

TEST_F(CdAudioTest, TrayOfTheStringCommandsMakesTheDriveNotReadyAndReadyAgain)
{
    QString answer;
    EXPECT_FALSE(m_cd.SendString(QStringLiteral("status cdaudio mode"), &answer));
    ASSERT_TRUE(m_cd.SendString(QStringLiteral("open cdaudio"), nullptr));
    EXPECT_FALSE(m_cd.SendString(QStringLiteral("open cdaudio"), nullptr));
    EXPECT_FALSE(m_cd.Open(QStringLiteral("Q:")));
    EXPECT_TRUE(m_cd.SendString(QStringLiteral("status cdaudio mode notify"), &answer));
    EXPECT_EQ(answer, QStringLiteral("stopped"));
    EXPECT_TRUE(m_cd.SendString(QStringLiteral("set cdaudio door open notify"), nullptr));
    EXPECT_TRUE(m_cd.SendString(QStringLiteral("status cdaudio mode"), &answer));
    EXPECT_EQ(answer, QStringLiteral("open"));
    EXPECT_TRUE(m_cd.SendString(QStringLiteral("close cdaudio"), nullptr));

    const mci::DeviceId id = OpenDrive("Q:");
    EXPECT_EQ(m_cd.Status(id, StatusItem::Ready), 0u);
    EXPECT_EQ(Mode(id), mci::kModeOpen);
    EXPECT_FALSE(m_cd.Status(id, StatusItem::NumberOfTracks));
    EXPECT_FALSE(m_cd.Play(id, 0, std::nullopt));
    m_cd.Close(id);

    ASSERT_TRUE(m_cd.SendString(QStringLiteral("OPEN CDAUDIO WAIT"), nullptr));
    EXPECT_TRUE(m_cd.SendString(QStringLiteral("set cdaudio door closed notify"), nullptr));
    EXPECT_TRUE(m_cd.SendString(QStringLiteral("close cdaudio"), nullptr));
    EXPECT_FALSE(m_cd.SendString(QStringLiteral("close cdaudio"), nullptr));

    const mci::DeviceId again = OpenDrive("Q:");
    EXPECT_EQ(m_cd.Status(again, StatusItem::Ready), 1u);
    EXPECT_EQ(m_cd.Status(again, StatusItem::NumberOfTracks), 12u);
    m_cd.Close(again);
}

TEST_F(CdAudioTest, PlayingIntoADataTrackStopsAtItsStart)
{
    ASSERT_TRUE(testsupport::WriteCueBin(Path("mixed.cue"), {{440, 500}, {880, 600}, {0, 800, true}}));
    MapDrives({{QStringLiteral("M"), Path("mixed.cue")}});
    testsupport::AudioCapture capture(Path("mixed.raw"));
    const mci::DeviceId id = OpenDrive("M:");
    ASSERT_EQ(m_cd.Status(id, StatusItem::NumberOfTracks), 3u);
    EXPECT_FALSE(m_cd.Play(id, *m_cd.Status(id, StatusItem::Position, 3), std::nullopt));
    ASSERT_TRUE(m_cd.Play(id, *m_cd.Status(id, StatusItem::Position, 2), std::nullopt));
    WaitWhilePlaying(id);
    EXPECT_EQ(Mode(id), mci::kModeStopped);
    EXPECT_EQ(Position(id), *m_cd.Status(id, StatusItem::Length));
    m_cd.Close(id);
    EXPECT_NEAR(capture.LengthMs(), int(SectorMs(testsupport::TrackSectors(600))), 15);
}

TEST_F(CdAudioTest, AnImageCutShortEndsThePlayAtItsToPosition)
{
    testsupport::DiscImageOptions options;
    options.cutShortMs = 1500;
    ASSERT_TRUE(testsupport::WriteCueBin(Path("cut.cue"), {{440, 1000}, {880, 1000}, {660, 1000}}, options));
    MapDrives({{QStringLiteral("K"), Path("cut.cue")}});
    const mci::DeviceId id = OpenDrive("K:");
    const std::uint32_t from = *m_cd.Status(id, StatusItem::Position, 2);
    const std::uint32_t to = *m_cd.Status(id, StatusItem::Position, 3);
    ASSERT_TRUE(m_cd.Play(id, from, to));
    WaitWhilePlaying(id);
    EXPECT_EQ(Mode(id), mci::kModeStopped);
    EXPECT_GE(Position(id), to);
    m_cd.Close(id);
}

// A .bin cut in the middle of track 2 of 3, described by its cue sheet
// (whose lead-out libcdio takes from the .bin) and by a cdrdao table of
// contents (whose lead-out comes from the table): either way the disc ends
// where the data does.
TEST_F(CdAudioTest, AnImageCutInsideATrackEndsWhereItsDataEnds)
{
    const std::vector<TrackSpec> tracks{{440, 1000}, {880, 1000}, {660, 1000}};
    testsupport::DiscImageOptions options;
    options.cutShortMs = 1500;
    ASSERT_TRUE(testsupport::WriteCueBin(Path("cut.cue"), tracks, options));
    ASSERT_TRUE(testsupport::WriteTocFor(Path("cut.toc"), Path("cut.bin"), tracks));
    // 1.5 s of 3 s remain: 112.5 sectors, the last one partly.
    const std::uint32_t dataEndMin = SectorMs(112);
    const std::uint32_t dataEndMax = SectorMs(113);

    for (const char* image : {"cut.cue", "cut.toc"}) {
        SCOPED_TRACE(image);
        MapDrives({{QStringLiteral("K"), Path(image)}});
        const mci::DeviceId id = OpenDrive("K:");
        ASSERT_EQ(m_cd.Status(id, StatusItem::NumberOfTracks), 3u);
        const std::uint32_t end = m_cd.Status(id, StatusItem::Length).value_or(0);
        EXPECT_GE(end, dataEndMin);
        EXPECT_LE(end, dataEndMax);
        const std::uint32_t start2 = *m_cd.Status(id, StatusItem::Position, 2);
        EXPECT_EQ(start2, SectorMs(75));
        EXPECT_EQ(cd::GetCdTrackLength(id, 2), long(end - start2));
        // Track 3 has no data at all: it starts where the data ends, and lasts nothing.
        EXPECT_EQ(m_cd.Status(id, StatusItem::Position, 3), end);
        EXPECT_EQ(cd::GetCdTrackLength(id, 3), 0);
        EXPECT_FALSE(m_cd.Play(id, end, std::nullopt));

        // A run from track 1 to the end of the disc, as the player starts it.
        ASSERT_TRUE(m_cd.Play(id, *m_cd.Status(id, StatusItem::Position, 1), std::nullopt));
        WaitWhilePlaying(id);
        EXPECT_EQ(Mode(id), mci::kModeStopped);
        EXPECT_EQ(Position(id), end);
        m_cd.Close(id);
    }
}

TEST_F(CdAudioTest, AnAudioOutputThatNeverOpensFailsThePlayInsteadOfHanging)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("sink.raw")).constData(), 0600), 0);
    // filesink's open of a FIFO waits for a reader that never comes; the
    // pipeline is left to that wait.
    const QByteArray saved = qgetenv("LIRABOX_AUDIO_SINK");
    qputenv("LIRABOX_AUDIO_SINK", "filesink location=" + QFile::encodeName(Path("sink.raw")));
    const mci::DeviceId id = OpenDrive("Q:");
    EXPECT_FALSE(m_cd.Play(id, 0, 1000));
    EXPECT_EQ(Mode(id), mci::kModeStopped);
    EXPECT_TRUE(m_cd.Close(id));
    qputenv("LIRABOX_AUDIO_SINK", saved);
}

TEST(CueSheet, LibcdioIsGivenOnlySheetsWhoseFilesAllHaveTracks)
{
    const struct {
        QByteArray sheet;
        bool whole;
    } cases[] = {
        {"FILE \"a.bin\" BINARY\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n", true},
        {"REM x\nTITLE \"t\"\nFILE \"a.bin\" BINARY\nREM y\n\n\tTRACK 1 AUDIO\nFILE b BINARY\nTRACK 2 MODE1/2352\n", true},
        {"", true},
        {"FILE \"a.bin\" BINARY\r\n", false},
        {"FILE \"a.bin\" BINARY\r\nREM only\r\n", false},
        {"FILE a.bin BINARY\nFILE b.bin BINARY\nTRACK 01 AUDIO\n", false},
        {"FILE a.bin BINARY\nTITLE \"t\"\nTRACK 01 AUDIO\n", true},
        {"FILE a.bin BINARY\nTRACK 01\n", false},
        {"FILE a.bin BINARY\nTRACK 00 AUDIO\n", false},
        {"FILE a.bin BINARY\nTRACK 100 AUDIO\n", false},
        {"FILE a.bin BINARY\nTRACK x AUDIO\n", false},
        {"FILE a.bin BINARY\nTRACK 01 AUDIO\nFILE b.bin BINARY\n", false},
        {"FILE a.bin BINARY\ntrack 01 audio\n", false},
        // libcdio reads a line in pieces of 4095 bytes, and stops a line at NUL.
        {"FILE a.bin BINARY\nREM " + QByteArray(4090, 'x') + "TRACK 01 AUDIO\n", false},
        {"FILE a.bin BINARY\nREM " + QByteArray(4091, 'x') + "TRACK 01 AUDIO\n", true},
        {"FILE a.bin BINARY\nREM " + QByteArray(4091, 'x') + "FILE b.bin BINARY\nTRACK 01 AUDIO\n", false},
        {"FILE a.bin BINARY\nTRACK 01" + QByteArray(1, '\0') + " AUDIO\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sheet.left(80).toStdString());
        EXPECT_EQ(mci::CueSheetIsWhole(c.sheet), c.whole);
    }
}

TEST_F(CdAudioTest, AnImageThatIsNoRegularFileOrHasNoTracksIsNoDisc)
{
    ASSERT_TRUE(testsupport::WriteCueBin(Path("empty.cue"), {{440, 500}}));
    ASSERT_TRUE(testsupport::WriteFileBytes(Path("empty.cue"), "FILE \"empty.bin\" BINARY\r\n"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("fifo.cue")).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("fifo.toc")).constData(), 0600), 0);
    ASSERT_TRUE(testsupport::WriteCueBin(Path("sheet-fifo.cue"), {{440, 500}}));
    ASSERT_TRUE(QFile::remove(Path("sheet-fifo.cue")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("sheet-fifo.cue")).constData(), 0600), 0);
    // libcdio would wait for a writer on a FIFO for good.
    for (const char* image : {"empty.cue", "fifo.cue", "fifo.toc", "sheet-fifo.bin"}) {
        SCOPED_TRACE(image);
        MapDrives({{QStringLiteral("E"), Path(image)}});
        const mci::DeviceId id = OpenDrive("E:");
        EXPECT_EQ(m_cd.Status(id, StatusItem::Ready), 0u);
        EXPECT_EQ(Mode(id), mci::kModeNotReady);
        m_cd.Close(id);
    }
}

}  // namespace
