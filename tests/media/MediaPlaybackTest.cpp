// Playing WAV, MIDI and AVI files through the GStreamer media windows:
// lengths, positions, the transport requests and what happens at the end.
#include "platform/mci/GstMediaWindow.h"
#include "tests/media/MediaTestUtil.h"
#include "tests/support/AudioCapture.h"
#include "tests/support/MediaMaker.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testsupport;
using mediatest::Spin;
using mediatest::WaitUntil;

namespace {

constexpr long kPositionTolerance = 150;
constexpr long kLengthTolerance = 15;

struct Kind {
    const char* name;
    bool (*make)(const QString& path, int lengthMs);
};

bool MakeWav(const QString& path, int lengthMs)
{
    return WriteWavTone(path, 440, lengthMs);
}
bool MakeMidi(const QString& path, int lengthMs)
{
    return WriteMidiTune(path, lengthMs);
}
bool MakeAvi(const QString& path, int lengthMs)
{
    return WriteAvi(path, lengthMs, 660);
}

const Kind kKinds[] = {{"wav", MakeWav}, {"mid", MakeMidi}, {"avi", MakeAvi}};

class MediaPlayback : public testing::TestWithParam<Kind> {
protected:
    QString Make(int lengthMs, const QString& stem = QStringLiteral("media"))
    {
        const QString path = m_dir.filePath(stem + QLatin1Char('.') + QLatin1String(GetParam().name));
        EXPECT_TRUE(GetParam().make(path, lengthMs));
        return path;
    }
    std::unique_ptr<mci::MediaWindow> Open(const QString& path)
    {
        return m_factory.Create(nullptr, mci::kStyleChild, path);
    }

    QTemporaryDir m_dir;
    mci::GstMediaFactory m_factory;
};

TEST_P(MediaPlayback, LengthIsTheFilesAndTheWindowStandsStoppedAtZero)
{
    for (int lengthMs : {1000, 2520}) {
        auto window = Open(Make(lengthMs, QString::number(lengthMs)));
        ASSERT_NE(window, nullptr);
        EXPECT_NEAR(window->Length(), lengthMs, kLengthTolerance);
        EXPECT_EQ(window->Mode(), mci::kModeStopped);
        EXPECT_EQ(window->Position(), 0);
    }
}

TEST_P(MediaPlayback, PositionFollowsPlayingAndStandsWhilePaused)
{
    auto window = Open(Make(3000));
    ASSERT_NE(window, nullptr);
    QElapsedTimer clock;
    window->Play();
    clock.start();
    Spin(700);
    EXPECT_EQ(window->Mode(), mci::kModePlaying);
    EXPECT_NEAR(window->Position(), clock.elapsed(), kPositionTolerance);

    window->Pause();
    EXPECT_EQ(window->Mode(), mci::kModePaused);
    const long paused = window->Position();
    EXPECT_NEAR(paused, clock.elapsed(), kPositionTolerance);
    Spin(400);
    EXPECT_NEAR(window->Position(), paused, kPositionTolerance);
    EXPECT_EQ(window->Mode(), mci::kModePaused);

    window->Resume();
    clock.restart();
    Spin(400);
    EXPECT_EQ(window->Mode(), mci::kModePlaying);
    EXPECT_NEAR(window->Position(), paused + clock.elapsed(), kPositionTolerance);
}

TEST_P(MediaPlayback, SeekToStartKeepsTheModeAndStopRewinds)
{
    const QString path = Make(3000);
    auto window = Open(path);
    ASSERT_NE(window, nullptr);
    window->Play();
    Spin(600);
    window->SeekToStart();
    EXPECT_LT(window->Position(), kPositionTolerance);
    Spin(400);
    EXPECT_EQ(window->Mode(), mci::kModePlaying);
    EXPECT_NEAR(window->Position(), 400, kPositionTolerance);

    window->Pause();
    window->SeekToStart();
    Spin(300);
    EXPECT_EQ(window->Mode(), mci::kModePaused);
    EXPECT_LT(window->Position(), kPositionTolerance);
    window->Resume();
    Spin(300);
    EXPECT_NEAR(window->Position(), 300, kPositionTolerance);

    window->Stop();
    EXPECT_EQ(window->Mode(), mci::kModeStopped);
    EXPECT_EQ(window->Position(), 0);
    Spin(300);
    EXPECT_EQ(window->Position(), 0);
    window->Pause();
    window->Resume();
    EXPECT_EQ(window->Mode(), mci::kModeStopped);

    window->Play();
    Spin(400);
    EXPECT_EQ(window->Mode(), mci::kModePlaying);
    EXPECT_NEAR(window->Position(), 400, kPositionTolerance);

    window.reset();
    window = Open(path);
    ASSERT_NE(window, nullptr);
    window->Play();
    Spin(300);
    EXPECT_NEAR(window->Position(), 300, kPositionTolerance);
}

// The player finds the end of an entry only by position >= length.
TEST_P(MediaPlayback, AtTheEndItStandsStoppedAtItsLengthAndPlaysAgainFromTheStart)
{
    auto window = Open(Make(1200));
    ASSERT_NE(window, nullptr);
    const long length = window->Length();
    window->Play();
    ASSERT_TRUE(WaitUntil([&] { return window->Mode() == mci::kModeStopped; }, 10'000));
    EXPECT_GE(window->Position(), length);
    Spin(200);
    EXPECT_EQ(window->Mode(), mci::kModeStopped);
    EXPECT_GE(window->Position(), length);

    window->Play();
    Spin(300);
    EXPECT_EQ(window->Mode(), mci::kModePlaying);
    EXPECT_NEAR(window->Position(), 300, kPositionTolerance);
    ASSERT_TRUE(WaitUntil([&] { return window->Mode() == mci::kModeStopped; }, 10'000));
    EXPECT_GE(window->Position(), length);

    window->SeekToStart();
    EXPECT_EQ(window->Mode(), mci::kModeStopped);
    EXPECT_EQ(window->Position(), 0);
}

TEST_P(MediaPlayback, PathWithBlanksHashAndPercentPlays)
{
    const QString dir = m_dir.filePath(QStringLiteral("a dir #1 %41"));
    ASSERT_TRUE(QDir().mkpath(dir));
    const QString path = dir + QStringLiteral("/track #2 100%20 ok.") + QLatin1String(GetParam().name);
    ASSERT_TRUE(GetParam().make(path, 1000));
    auto window = Open(path);
    ASSERT_NE(window, nullptr);
    EXPECT_NEAR(window->Length(), 1000, kLengthTolerance);
    window->Play();
    Spin(300);
    EXPECT_EQ(window->Mode(), mci::kModePlaying);
    EXPECT_GT(window->Position(), 0);
}

INSTANTIATE_TEST_SUITE_P(Files, MediaPlayback, testing::ValuesIn(kKinds),
                         [](const testing::TestParamInfo<Kind>& info) { return std::string(info.param.name); });

class MediaEnd : public testing::Test {
protected:
    QTemporaryDir m_dir;
    mci::GstMediaFactory m_factory;
};

TEST_F(MediaEnd, WavWhoseHeaderClaimsMoreThanTheFileHoldsEnds)
{
    const QString path = m_dir.filePath(QStringLiteral("cut.wav"));
    ASSERT_TRUE(WriteWavWithLyingHeader(path, 440, 800, 5000));
    auto window = m_factory.Create(nullptr, mci::kStyleChild, path);
    ASSERT_NE(window, nullptr);
    const long length = window->Length();
    window->Play();
    ASSERT_TRUE(WaitUntil([&] { return window->Mode() == mci::kModeStopped; }, 10'000));
    EXPECT_GE(window->Position(), length);
}

TEST_F(MediaEnd, StreamingErrorEndsTheFileAndPlayStartsItAgain)
{
    const QString path = m_dir.filePath(QStringLiteral("tone.wav"));
    ASSERT_TRUE(WriteWavTone(path, 440, 3000));
    const QString raw = m_dir.filePath(QStringLiteral("capture.raw"));
    // identity fails the stream after 4 blocks of 200 ms (0.8 s of this file).
    mediatest::ScopedEnv sink("LIRABOX_AUDIO_SINK",
                              "identity error-after=4 ! " + AudioCapture::SinkDescription(raw).toUtf8());
    auto window = m_factory.Create(nullptr, mci::kStyleChild, path);
    ASSERT_NE(window, nullptr);
    const long length = window->Length();
    window->Play();
    ASSERT_TRUE(WaitUntil([&] { return window->Mode() == mci::kModeStopped; }, 10'000));
    EXPECT_GE(window->Position(), length);
    window->Play();
    Spin(200);
    EXPECT_EQ(window->Mode(), mci::kModePlaying);
    EXPECT_LT(window->Position(), length);
    ASSERT_TRUE(WaitUntil([&] { return window->Mode() == mci::kModeStopped; }, 10'000));
    EXPECT_GE(window->Position(), length);
    window.reset();
    // Both plays broke off well before the end of the file.
    const int playedMs = int(QFile(raw).size() / 4 * 1000 / AudioCapture::kRate);
    EXPECT_GT(playedMs, 0);
    EXPECT_LT(playedMs, length);
}

// Motion-JPEG in a multipart stream carries no duration.
TEST_F(MediaEnd, FileOfUnknownLengthReportsADayAndReachesItAtTheEnd)
{
    const QString path = m_dir.filePath(QStringLiteral("camera.mjpg"));
    ASSERT_TRUE(mediatest::WriteWithPipeline(
        QStringLiteral("videotestsrc num-buffers=10 ! video/x-raw,width=160,height=120,framerate=25/1 ! jpegenc "
                       "! multipartmux ! filesink name=out"),
        path));
    auto window = m_factory.Create(nullptr, mci::kStyleChild, path);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Length(), 24L * 60 * 60 * 1000);
    window->Play();
    ASSERT_TRUE(WaitUntil([&] { return window->Mode() == mci::kModeStopped; }, 10'000));
    EXPECT_EQ(window->Position(), window->Length());
}

}  // namespace
