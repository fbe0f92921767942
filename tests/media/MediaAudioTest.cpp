// What reaches the audio output: the captured sound of WAV and MIDI files.
#include "platform/mci/GstMediaWindow.h"
#include "tests/media/MediaTestUtil.h"
#include "tests/support/AudioCapture.h"
#include "tests/support/MediaMaker.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testsupport;
using mediatest::WaitUntil;

namespace {

class MediaAudio : public testing::Test {
protected:
    QString Path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

    // Plays the file to its end while captured.
    void PlayThrough(const QString& path)
    {
        auto window = m_factory.Create(nullptr, mci::kStyleChild, path);
        ASSERT_NE(window, nullptr) << path.toStdString();
        window->Play();
        ASSERT_TRUE(WaitUntil([&] { return window->Mode() == mci::kModeStopped; }, 20'000));
    }

    QTemporaryDir m_dir;
    mci::GstMediaFactory m_factory;
};

TEST_F(MediaAudio, WavFilesPlayTheirToneForTheirLengthInOrder)
{
    ASSERT_TRUE(WriteWavTone(Path("a.wav"), 440, 1000));
    ASSERT_TRUE(WriteWavTone(Path("b.wav"), 1000, 600, 22050, 1));
    ASSERT_TRUE(WriteAvi(Path("c.avi"), 800, 660));
    AudioCapture capture(Path("capture.raw"));
    PlayThrough(Path("a.wav"));
    PlayThrough(Path("b.wav"));
    PlayThrough(Path("c.avi"));

    EXPECT_NEAR(capture.LengthMs(), 2400, 60);
    const auto tones = capture.Tones();
    ASSERT_EQ(tones.size(), 3u);
    const double kFrequencies[] = {440, 1000, 660};
    const int kLengths[] = {1000, 600, 800};
    for (std::size_t i = 0; i < tones.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(tones[i].frequencyHz, kFrequencies[i], kFrequencies[i] * 0.01);
        EXPECT_NEAR(tones[i].lengthMs, kLengths[i], 60);
    }
    // Amplitude 0.5 of full scale: -9 dBFS.
    EXPECT_NEAR(capture.RmsDbfs(100, 900), -9.0, 0.5);
}

TEST_F(MediaAudio, PausedTimeIsSilentAndPlayingGoesOnWhereItStopped)
{
    ASSERT_TRUE(WriteWavTone(Path("a.wav"), 440, 1500));
    AudioCapture capture(Path("capture.raw"));
    {
        auto window = m_factory.Create(nullptr, mci::kStyleChild, Path("a.wav"));
        ASSERT_NE(window, nullptr);
        window->Play();
        mediatest::Spin(500);
        window->Pause();
        mediatest::Spin(500);
        window->Resume();
        ASSERT_TRUE(WaitUntil([&] { return window->Mode() == mci::kModeStopped; }, 10'000));
    }
    // The capture holds what was played: the file once, without the pause.
    EXPECT_NEAR(capture.LengthMs(), 1500, 60);
}

TEST_F(MediaAudio, MidiPlaysAboutAsLoudAsAFullScaleWav)
{
    ASSERT_TRUE(WriteMidiTune(Path("tune.mid"), 4000));
    ASSERT_TRUE(WriteWavTone(Path("full.wav"), 440, 1000, 44100, 2, 1.0));
    double midiPeak = 0;
    double midiRms = 0;
    {
        AudioCapture capture(Path("midi.raw"));
        PlayThrough(Path("tune.mid"));
        midiPeak = capture.PeakDbfs();
        midiRms = capture.RmsDbfs();
        EXPECT_NEAR(capture.LengthMs(), 4000, 60);
    }
    AudioCapture capture(Path("wav.raw"));
    PlayThrough(Path("full.wav"));
    const double wavPeak = capture.PeakDbfs();
    // The synthesizer's own default gain would leave the tune's peaks near
    // -18 dBFS; a full-scale WAV peaks at 0 dBFS.
    EXPECT_GT(midiPeak, wavPeak - 8.0);
    EXPECT_LT(midiPeak, -0.1);  // not driven into clipping
    EXPECT_GT(midiRms, -26.0);
}

}  // namespace
