// A drive letter mapped to a ripped disc: cue sheets over FLAC, per-track
// WAV, BINARY of another name and Japanese file names give the listing of
// their sheet, play runs across files without a sample added or lost, and a
// broken sheet is a drive that is not ready.
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "cd/CdDrives.h"
#include "cd/CdTrackListing.h"
#include "platform/mci/RipDisc.h"
#include "tests/media/DiscPlayFixture.h"
#include "tests/support/DiscImageMaker.h"
#include "tests/support/RipMaker.h"

using mci::StatusItem;
using testsupport::RipTrack;

namespace {

// Five tones a fifth or more apart; tracks 2 to 4 open with a gap.
const std::vector<RipTrack> kTracks{
    {440, 700}, {660, 600, 200}, {880, 500, 300}, {550, 600, 160}, {990, 400},
};

enum class Kind { Flac, WavPerTrack, OtherNamedBin, Cp932Name, Utf8BomName };

struct Rip {
    const char* name;
    Kind kind;
};

const Rip kRips[]{
    {"FLAC", Kind::Flac},
    {"per-track WAV", Kind::WavPerTrack},
    {"BINARY of another name", Kind::OtherNamedBin},
    {"CP932 sheet", Kind::Cp932Name},
    {"UTF-8 sheet", Kind::Utf8BomName},
};

class RipDiscTest : public mediatest::DiscPlayTest {
protected:
    // Makes the rip under a folder of its own and maps drive R to it.
    QString Make(Kind kind)
    {
        const QString folder = QStringLiteral("rip%1").arg(++m_made);
        QDir(m_dir.path()).mkdir(folder);
        const QString cue = Path(folder + QStringLiteral("/Album.cue"));
        bool made = false;
        switch (kind) {
        case Kind::Flac:
            made = testsupport::WriteFlacRip(cue, kTracks, QStringLiteral("Album (1).flac"));
            break;
        case Kind::WavPerTrack:
            made = testsupport::WriteWavTrackRip(cue, kTracks);
            break;
        case Kind::OtherNamedBin:
            made = testsupport::WriteBinRip(cue, kTracks, QStringLiteral("image.img"));
            break;
        case Kind::Cp932Name:
        case Kind::Utf8BomName:
            made = testsupport::WriteJapaneseNamedRip(
                cue, kTracks, QStringLiteral("ﾃｽﾄ ソース.wav"),
                kind == Kind::Cp932Name ? testsupport::SheetText::Cp932 : testsupport::SheetText::Utf8WithBom);
            break;
        }
        EXPECT_TRUE(made);
        Map(cue);
        return cue;
    }

    int m_made = 0;
};

TEST_F(RipDiscTest, TrackListingFollowsTheSheetWhateverTheFiles)
{
    const std::vector<int> starts = testsupport::RipStartSectors(kTracks);
    for (const Rip& rip : kRips) {
        SCOPED_TRACE(rip.name);
        Make(rip.kind);
        const mci::DeviceId id = Open();
        EXPECT_EQ(m_cd.Status(id, StatusItem::Ready), 1u);
        EXPECT_EQ(Mode(id), mci::kModeStopped);
        ASSERT_EQ(m_cd.Status(id, StatusItem::NumberOfTracks), 5u);
        for (int track = 1; track <= 5; ++track) {
            // INDEX 01 starts a track; the next one's gap is still its own.
            EXPECT_EQ(Start(id, track), SectorMs(starts[std::size_t(track - 1)])) << track;
            EXPECT_EQ(cd::GetCdTrackLength(id, track),
                      long(SectorMs(starts[std::size_t(track)]) - SectorMs(starts[std::size_t(track - 1)])))
                << track;
        }
        EXPECT_EQ(m_cd.Status(id, StatusItem::Length), SectorMs(starts.back()) - SectorMs(starts.front()));
        EXPECT_EQ(Position(id), SectorMs(starts.front()));
        EXPECT_EQ(cd::GetCdTrackLength(id, 6), -1);
        m_cd.Close(id);
    }
}

TEST_F(RipDiscTest, ARunOfTracksTwoToFourHoldsEverySampleOnceAcrossFiles)
{
    const std::vector<int> starts = testsupport::RipStartSectors(kTracks);
    for (const Kind kind : {Kind::Flac, Kind::WavPerTrack, Kind::OtherNamedBin}) {
        SCOPED_TRACE(int(kind));
        Make(kind);
        const QString raw = Path(QStringLiteral("run%1.raw").arg(m_made));
        {
            testsupport::AudioCapture capture(raw);
            const mci::DeviceId id = Open();
            const std::uint32_t from = Start(id, 2);
            const std::uint32_t to = Start(id, 5);
            ASSERT_TRUE(m_cd.Play(id, from, to));
            WaitWhilePlaying(id);
            EXPECT_EQ(Mode(id), mci::kModeStopped);
            EXPECT_EQ(Position(id), to);
            m_cd.Close(id);

            const auto tones = capture.Tones();
            ASSERT_EQ(tones.size(), 3u);
            for (std::size_t i = 0; i < 3; ++i)
                EXPECT_NEAR(tones[i].frequencyHz, kTracks[i + 1].toneHz, kTracks[i + 1].toneHz * 0.03) << i;
        }
        const auto gaps = kind == Kind::OtherNamedBin ? testsupport::GapSound::Silence : testsupport::GapSound::Tone;
        EXPECT_EQ(FirstDifference(raw, testsupport::RipSamples(kTracks, gaps), starts[1], starts[4]), -1);
    }
}

TEST_F(RipDiscTest, PauseHoldsThePositionAndResumeLosesNothing)
{
    const std::vector<int> starts = testsupport::RipStartSectors(kTracks);
    Make(Kind::Flac);
    const QString raw = Path(QStringLiteral("paused.raw"));
    {
        testsupport::AudioCapture capture(raw);
        const mci::DeviceId id = Open();
        ASSERT_TRUE(m_cd.Play(id, Start(id, 1), Start(id, 3)));
        QThread::msleep(400);
        ASSERT_TRUE(m_cd.Pause(id));
        EXPECT_EQ(Mode(id), mci::kModePaused);
        const std::uint32_t paused = Position(id);
        EXPECT_GT(paused, 0u);
        QThread::msleep(500);
        EXPECT_EQ(Position(id), paused);
        ASSERT_TRUE(m_cd.Resume(id));
        EXPECT_EQ(Mode(id), mci::kModePlaying);
        WaitWhilePlaying(id);
        EXPECT_EQ(Position(id), Start(id, 3));
        m_cd.Close(id);
    }
    EXPECT_EQ(FirstDifference(raw, testsupport::RipSamples(kTracks), starts[0], starts[2]), -1);
}

TEST_F(RipDiscTest, OnlyASingleBinaryNamedLikeItsSheetIsLeftToLibcdio)
{
    ASSERT_TRUE(testsupport::WriteCueBin(Path("same.cue"), {{440, 1000}, {660, 1000}}));
    EXPECT_FALSE(mci::PlaysAsRip(Path("same.cue")));
    ASSERT_TRUE(testsupport::WriteBinRip(Path("other.cue"), kTracks, QStringLiteral("other-name.bin")));
    EXPECT_TRUE(mci::PlaysAsRip(Path("other.cue")));
    EXPECT_TRUE(mci::PlaysAsRip(Make(Kind::Flac)));
    EXPECT_FALSE(mci::PlaysAsRip(Path("same.bin")));
    // libcdio would place a track marked by INDEX 00 alone before the disc.
    testsupport::DiscImageOptions index00;
    index00.index00Only = true;
    ASSERT_TRUE(testsupport::WriteCueBin(Path("index00.cue"), {{440, 1000}, {660, 1000}}, index00));
    EXPECT_TRUE(mci::PlaysAsRip(Path("index00.cue")));
    EXPECT_TRUE(mci::PlaysAsRip(Path("disc.toc")));
    EXPECT_TRUE(mci::PlaysAsRip(Path("DISC.TOC")));
}

// Three tones, no gaps: a single BINARY makes the same samples.
const std::vector<RipTrack> kGapless{{440, 700}, {660, 600}, {880, 500}};

std::vector<testsupport::TrackSpec> AsImage(const std::vector<RipTrack>& tracks)
{
    std::vector<testsupport::TrackSpec> specs;
    for (const RipTrack& track : tracks)
        specs.push_back({track.toneHz, track.lengthMs});
    return specs;
}

// Tracks 4 to 6 of a disc, as the sheet of a copy of part of it numbers
// them: over WAV files of a rip, and over a single BINARY that libcdio reads.
TEST_F(RipDiscTest, ADiscBeginningAtTrack4AnswersAndPlaysByItsOwnNumbers)
{
    const std::vector<int> starts = testsupport::RipStartSectors(kGapless);
    const std::vector<qint16> samples = testsupport::RipSamples(kGapless);
    testsupport::DiscImageOptions fromFour;
    fromFour.firstTrack = 4;
    ASSERT_TRUE(testsupport::WriteWavTrackRip(Path("wav.cue"), kGapless, 4));
    ASSERT_TRUE(testsupport::WriteCueBin(Path("image.cue"), AsImage(kGapless), fromFour));
    ASSERT_FALSE(mci::PlaysAsRip(Path("image.cue")));
    for (const char* sheet : {"wav.cue", "image.cue"}) {
        SCOPED_TRACE(sheet);
        Map(Path(sheet));
        const mci::DeviceId id = Open();
        EXPECT_EQ(m_cd.Status(id, StatusItem::NumberOfTracks), 3u);
        EXPECT_EQ(cd::GetCdFirstTrack(id), 4);
        for (int track = 1; track <= 3; ++track)
            EXPECT_FALSE(m_cd.Status(id, StatusItem::Position, track)) << track;
        for (int track = 4; track <= 6; ++track) {
            const auto k = std::size_t(track - 4);
            EXPECT_EQ(Start(id, track), SectorMs(starts[k])) << track;
            EXPECT_EQ(cd::GetCdTrackLength(id, track), long(SectorMs(starts[k + 1]) - SectorMs(starts[k]))) << track;
        }
        EXPECT_EQ(cd::GetCdTrackLength(id, 7), -1);
        EXPECT_EQ(cd::GetCdTrackLength(id, 3), -1);
        m_cd.Close(id);
        std::vector<int> listed;
        EXPECT_EQ(cd::ListCdTracks(QStringLiteral("R:"), [&listed](int track) { listed.push_back(track); }),
                  cd::TrackListing::Listed);
        EXPECT_EQ(listed, (std::vector<int>{4, 5, 6}));

        EXPECT_EQ(PlayTracks(4, 4, samples, starts, 4), -1) << "track 4 alone";
        EXPECT_EQ(PlayTracks(5, 6, samples, starts, 4), -1) << "a run of tracks 5 and 6";
    }
}

// Each track a file of its own marked by INDEX 00 alone, and a single
// BINARY whose sheet marks its tracks so: each track starts at its INDEX 00.
TEST_F(RipDiscTest, TracksMarkedByIndex00AloneStartThere)
{
    const std::vector<int> starts = testsupport::RipStartSectors(kGapless);
    const std::vector<qint16> samples = testsupport::RipSamples(kGapless);
    testsupport::DiscImageOptions index00;
    index00.index00Only = true;
    ASSERT_TRUE(testsupport::WriteIndex00Rip(Path("files.cue"), kGapless));
    ASSERT_TRUE(testsupport::WriteCueBin(Path("image.cue"), AsImage(kGapless), index00));
    for (const char* sheet : {"files.cue", "image.cue"}) {
        SCOPED_TRACE(sheet);
        Map(Path(sheet));
        const mci::DeviceId id = Open();
        EXPECT_EQ(m_cd.Status(id, StatusItem::Ready), 1u);
        ASSERT_EQ(m_cd.Status(id, StatusItem::NumberOfTracks), 3u);
        for (int track = 1; track <= 3; ++track) {
            const auto k = std::size_t(track - 1);
            EXPECT_EQ(Start(id, track), SectorMs(starts[k])) << track;
            EXPECT_EQ(cd::GetCdTrackLength(id, track), long(SectorMs(starts[k + 1]) - SectorMs(starts[k]))) << track;
        }
        m_cd.Close(id);
        EXPECT_EQ(PlayTracks(2, 2, samples, starts), -1) << "track 2 alone";
        EXPECT_EQ(PlayTracks(1, 3, samples, starts), -1) << "a run of all three";
    }
}

// Each broken sheet: the drive opens but is not ready, nothing plays, and
// the next drive plays as before.
TEST_F(RipDiscTest, BrokenSheetsAreDrivesThatAreNotReady)
{
    m_good = Make(Kind::WavPerTrack);
    ASSERT_TRUE(testsupport::WriteFlacRip(Path("flac.cue"), kTracks, QStringLiteral("disc.flac")));
    const QByteArray flacSheet = [&] {
        QFile file(Path("flac.cue"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    ASSERT_FALSE(flacSheet.isEmpty());
    const QByteArray track = "FILE \"disc.flac\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
    QByteArray hundred = "FILE \"disc.flac\" WAVE\n";
    for (int t = 1; t <= 100; ++t)
        hundred += "  TRACK " + QByteArray::number(t) + " AUDIO\n    INDEX 01 " + testsupport::CueTime(t) + "\n";
    QByteArray garbage(200'000, '\0');
    for (qsizetype i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919 + 13) % 251);
    // A sheet that would be whole but for its size.
    QByteArray bigText = track;
    while (bigText.size() < 10 * 1024 * 1024)
        bigText += "REM COMMENT \"a comment long enough to make a big file of a sheet\"\n";

    const std::vector<std::pair<const char*, QByteArray>> sheets{
        {"missing file", QByteArray(flacSheet).replace("disc.flac", "gone.flac")},
        // disc.flac holds 3.7 s; the disc goes on in its second copy.
        {"INDEX past the end of its file", track + "  TRACK 02 AUDIO\n    INDEX 01 00:03:60\n"
                                                   "FILE \"disc.flac\" WAVE\n  TRACK 03 AUDIO\n    INDEX 01 00:01:00\n"},
        {"INDEX times going down", track + "  TRACK 02 AUDIO\n    INDEX 00 00:02:00\n    INDEX 01 00:01:00\n"},
        {"two tracks on one INDEX", track + "  TRACK 02 AUDIO\n    INDEX 01 00:00:00\n"},
        {"more than 99 tracks", hundred},
        {"gaps past 9999 minutes", track + "  TRACK 02 AUDIO\n    PREGAP 9999:00:00\n    INDEX 01 00:01:00\n"
                                           "  TRACK 03 AUDIO\n    PREGAP 9999:00:00\n    INDEX 01 00:02:00\n"},
        {"binary garbage", garbage},
        {"a 10 MB text file", bigText},
        {"a FILE that is a folder", "FILE \".\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"},
        {"a FILE that is not audio", "FILE \"flac.cue\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"},
    };
    for (const auto& [name, bytes] : sheets) {
        SCOPED_TRACE(name);
        QFile file(Path("broken.cue"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        Map(Path("broken.cue"));
        const mci::DeviceId id = Open();
        ExpectNotReady(id);
        EXPECT_EQ(cd::GetCdTrackLength(id, 1), -1);
        EXPECT_TRUE(m_cd.Close(id));

        const mci::DeviceId good = Open("S:");
        EXPECT_EQ(m_cd.Status(good, StatusItem::NumberOfTracks), 5u);
        EXPECT_TRUE(m_cd.Play(good, Start(good, 5), std::nullopt));
        EXPECT_TRUE(m_cd.Close(good));
    }
}

}  // namespace
