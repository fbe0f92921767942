// The engine's volume: one level for files and CD tracks alike, the same for
// every pipeline made after it is set, and at once for what plays.
#include "platform/mci/GstMediaWindow.h"
#include "tests/media/DiscPlayFixture.h"
#include "tests/media/MediaTestUtil.h"
#include "tests/support/AudioCapture.h"
#include "tests/support/DiscImageMaker.h"
#include "tests/support/MediaMaker.h"

#include <gtest/gtest.h>
#include <map>

namespace {

using testsupport::AudioCapture;

constexpr int kToneMs = 1500;

class OutputVolumeTest : public mediatest::DiscPlayTest {
protected:
    void SetUp() override
    {
        DiscPlayTest::SetUp();
        ASSERT_TRUE(testsupport::WriteWavTone(Path("tone.wav"), 440, kToneMs));
        ASSERT_TRUE(testsupport::WriteAvi(Path("tone.avi"), kToneMs, 550));
        ASSERT_TRUE(testsupport::WriteMidiTune(Path("tune.mid"), kToneMs));
        ASSERT_TRUE(testsupport::WriteCueBin(Path("disc.cue"), {{660, kToneMs}}));
        Map(Path("disc.cue"));
    }

    // The level is the process's: the next test starts where the program does.
    void TearDown() override { m_media.SetVolume(1.0); }

    // A file played through; the capture's path.
    QString PlayFile(const char* name)
    {
        const QString raw = NextCapture();
        AudioCapture capture(raw);
        auto window = m_media.Create(nullptr, mci::kStyleChild, Path(QLatin1String(name)));
        EXPECT_NE(window, nullptr);
        if (!window)
            return raw;
        window->Play();
        EXPECT_TRUE(mediatest::WaitUntil([&] { return window->Mode() == mci::kModeStopped; }, 20'000));
        return raw;
    }

    // Track 1 of drive R played through, during(capture) run once it
    // started; the capture's path.
    QString PlayTrack(const std::function<void(const AudioCapture&)>& during = {})
    {
        const QString raw = NextCapture();
        AudioCapture capture(raw);
        const mci::DeviceId id = Open();
        EXPECT_TRUE(m_cd.Play(id, Start(id, 1), std::nullopt));
        if (during)
            during(capture);
        WaitWhilePlaying(id);
        m_cd.Close(id);
        return raw;
    }

    // dBFS of a capture of the tone, its edges left out.
    static double Middle(const QString& raw) { return AudioCapture::RmsDbfsOfFile(raw, 200, kToneMs - 200); }

    QString NextCapture() { return Path(QStringLiteral("capture%1.raw").arg(++m_captures)); }

    mci::GstMediaFactory m_media;
    int m_captures = 0;
};

// WAV and MIDI play in pipelines of their own, AVI in playbin.
TEST_F(OutputVolumeTest, FilesAndDiscTracksPlayAtTheLevelSet)
{
    const char* const files[] = {"tone.wav", "tone.avi", "tune.mid"};
    std::map<QString, double> full;
    for (const char* file : files)
        full[QLatin1String(file)] = Middle(PlayFile(file));
    const double discFull = Middle(PlayTrack());
    EXPECT_NEAR(full["tone.wav"], -9.0, 0.5) << "half of full scale at 1";
    // Amplitude times the level: 20 log10 of it in dB.
    for (const auto& [level, db] : {std::pair{0.5, -6.02}, std::pair{0.25, -12.04}}) {
        SCOPED_TRACE(level);
        m_media.SetVolume(level);
        EXPECT_EQ(m_media.Volume(), level);
        for (const char* file : files)
            EXPECT_NEAR(Middle(PlayFile(file)) - full[QLatin1String(file)], db, 0.2) << file;
        EXPECT_NEAR(Middle(PlayTrack()) - discFull, db, 0.2) << "CD track";
    }
    m_media.SetVolume(0);
    EXPECT_LT(Middle(PlayFile("tone.wav")), -90) << "0 is silence";
    EXPECT_LT(Middle(PlayTrack()), -90);
    m_media.SetVolume(7);
    EXPECT_EQ(m_media.Volume(), 1.0) << "never louder than recorded";
    EXPECT_NEAR(Middle(PlayFile("tone.wav")), full["tone.wav"], 0.1);
}

TEST_F(OutputVolumeTest, AChangeReachesATrackAsItPlays)
{
    constexpr int kLongMs = 3000;
    ASSERT_TRUE(testsupport::WriteCueBin(Path("long.cue"), {{660, kLongMs}}));
    Map(Path("long.cue"));
    int changedAtMs = 0;
    const QString raw = PlayTrack([&](const AudioCapture& capture) {
        EXPECT_TRUE(mediatest::WaitUntil([&] { return capture.LengthMs() >= 500; }, 20'000));
        changedAtMs = capture.LengthMs();
        m_media.SetVolume(0.25);
    });
    ASSERT_LT(changedAtMs, kLongMs - 1000) << "the change came too late to be heard";
    const double before = AudioCapture::RmsDbfsOfFile(raw, 100, 450);
    // What was on its way to the output when it changed plays as it was.
    const double after = AudioCapture::RmsDbfsOfFile(raw, changedAtMs + 500, kLongMs - 100);
    EXPECT_NEAR(after - before, -12.04, 0.3) << "changed at " << changedAtMs << " ms";
}

}  // namespace
