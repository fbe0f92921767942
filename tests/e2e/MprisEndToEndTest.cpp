// The lirabox program on a private session bus, driven by playerctl as a
// desktop's media keys would drive it; what it plays is captured.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

#include "tests/e2e/PlayerProcess.h"
#include "tests/e2e/SessionBus.h"
#include "tests/support/AudioCapture.h"
#include "tests/support/MediaMaker.h"

namespace {

using e2e::Near;
using testsupport::AudioCapture;

class MprisEndToEndTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!e2e::SessionBus::Available() || QStandardPaths::findExecutable(QStringLiteral("playerctl")).isEmpty())
            GTEST_SKIP() << "needs dbus-daemon and playerctl";
        ASSERT_TRUE(m_bus.Start());
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert("DBUS_SESSION_BUS_ADDRESS", m_bus.Address());
    }

    void TearDown() override
    {
        if (m_player.state() != QProcess::NotRunning)
            e2e::Terminate(m_player, 10'000);
    }

    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QString Raw() const { return Path("capture.raw"); }

    void WriteCollection(const QStringList& entries) { ASSERT_TRUE(e2e::WriteCollection(Path("list.lst"), entries)); }

    void StartPlayer(const QStringList& arguments)
    {
        ASSERT_TRUE(e2e::StartPlayer(m_player, arguments, m_env, Path("config"), Raw()));
    }

    // playerctl's answer, trimmed; nothing when it failed.
    std::optional<QString> RunPlayerctl(const QStringList& arguments)
    {
        QProcess playerctl;
        playerctl.setProcessEnvironment(m_env);
        playerctl.start(QStringLiteral("playerctl"), QStringList{QStringLiteral("-p"), QStringLiteral("lirabox")} + arguments);
        if (!playerctl.waitForFinished(10'000) || playerctl.exitStatus() != QProcess::NormalExit
            || playerctl.exitCode() != 0)
            return std::nullopt;
        return QString::fromUtf8(playerctl.readAllStandardOutput()).trimmed();
    }

    QString Playerctl(const QStringList& arguments) { return RunPlayerctl(arguments).value_or(QString()); }

    bool WaitFor(const std::function<bool()>& done, int limitMs = 20'000)
    {
        return e2e::WaitWhileRunning(m_player, done, limitMs);
    }

    qint64 CapturedMs() const { return e2e::CapturedMs(Raw()); }

    QTemporaryDir m_dir;
    e2e::SessionBus m_bus;
    QProcess m_player;
    QProcessEnvironment m_env;
};

TEST_F(MprisEndToEndTest, PlayerctlReadsAndDrivesThePlayer)
{
    ASSERT_TRUE(testsupport::WriteWavTone(Path("first.wav"), 440, 6000));
    ASSERT_TRUE(testsupport::WriteWavTone(Path("second.wav"), 660, 6000));
    ASSERT_TRUE(testsupport::WriteWavTone(Path("third.wav"), 880, 6000));
    WriteCollection({Path("first.wav"), Path("second.wav"), Path("third.wav")});
    StartPlayer({Path("list.lst"), "/A"});
    if (HasFatalFailure())
        return;

    ASSERT_TRUE(WaitFor([this] { return Playerctl({"status"}) == "Playing"; }));
    EXPECT_EQ(Playerctl({"metadata", "xesam:title"}), "first");
    ASSERT_TRUE(WaitFor([this] { return CapturedMs() > 1000; }));

    Playerctl({"next"});
    ASSERT_TRUE(WaitFor([this] { return Playerctl({"metadata", "xesam:title"}) == "second"; }));
    const qint64 atNext = CapturedMs();
    ASSERT_TRUE(WaitFor([&] { return CapturedMs() > atNext + 1000; }));

    Playerctl({"pause"});
    ASSERT_TRUE(WaitFor([this] { return Playerctl({"status"}) == "Paused"; }));
    QThread::msleep(500);
    const qint64 atPause = CapturedMs();
    QThread::msleep(1500);
    EXPECT_LT(CapturedMs() - atPause, 200) << "nothing plays while paused";
    EXPECT_EQ(Playerctl({"metadata", "xesam:title"}), "second");

    ::kill(static_cast<pid_t>(m_player.processId()), SIGTERM);
    ASSERT_TRUE(m_player.waitForFinished(10'000));
    EXPECT_EQ(m_player.exitCode(), 0);

    // The first tone broken off well before its end, the next one after it.
    const std::vector<AudioCapture::Tone> tones = AudioCapture::TonesOfFile(Raw());
    ASSERT_EQ(tones.size(), 2u);
    EXPECT_TRUE(Near(tones[0].frequencyHz, 440)) << tones[0].frequencyHz;
    EXPECT_LT(tones[0].lengthMs, 5000);
    EXPECT_TRUE(Near(tones[1].frequencyHz, 660)) << tones[1].frequencyHz;
    EXPECT_GT(tones[1].lengthMs, 900);
    EXPECT_LT(tones[1].lengthMs, 5000);
}

TEST_F(MprisEndToEndTest, NextOnTheLastEntryIsRefused)
{
    ASSERT_TRUE(testsupport::WriteWavTone(Path("only.wav"), 440, 3000));
    WriteCollection({Path("only.wav")});
    StartPlayer({Path("list.lst"), "/A"});
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(WaitFor([this] { return Playerctl({"status"}) == "Playing"; }));
    Playerctl({"next"});
    QThread::msleep(500);
    EXPECT_EQ(Playerctl({"status"}), "Playing");
    EXPECT_EQ(Playerctl({"metadata", "xesam:title"}), "only");
    ASSERT_TRUE(WaitFor([this] { return Playerctl({"status"}) == "Stopped"; }));
    const std::vector<AudioCapture::Tone> tones = AudioCapture::TonesOfFile(Raw());
    ASSERT_EQ(tones.size(), 1u);
    EXPECT_NEAR(tones[0].lengthMs, 3000, 100) << "played to its end";
}

TEST_F(MprisEndToEndTest, VolumeSetOnTheBusLowersWhatPlaysAndTheNextEntry)
{
    ASSERT_TRUE(testsupport::WriteWavTone(Path("first.wav"), 440, 4000));
    ASSERT_TRUE(testsupport::WriteWavTone(Path("second.wav"), 660, 2000));
    WriteCollection({Path("first.wav"), Path("second.wav")});
    StartPlayer({Path("list.lst"), "/A"});
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(WaitFor([this] { return CapturedMs() > 1200; }));
    Playerctl({"volume", "0.5"});
    const qint64 atChange = CapturedMs();
    EXPECT_EQ(Playerctl({"volume"}).toDouble(), 0.5);
    ASSERT_TRUE(WaitFor([this] { return Playerctl({"status"}) == "Stopped"; }));

    // Half the amplitude, 6 dB down, from the change on (a block or two of
    // what was already on its way to the output plays as it was).
    const double before = AudioCapture::RmsDbfsOfFile(Raw(), int(atChange) - 1000, int(atChange) - 200);
    const double after = AudioCapture::RmsDbfsOfFile(Raw(), int(atChange) + 600, int(atChange) + 1400);
    EXPECT_NEAR(after - before, -6.0, 0.5) << before << " dBFS, then " << after;
    const std::vector<AudioCapture::Tone> tones = AudioCapture::TonesOfFile(Raw());
    ASSERT_EQ(tones.size(), 2u);
    EXPECT_TRUE(Near(tones[1].frequencyHz, 660)) << tones[1].frequencyHz;
    const double second =
        AudioCapture::RmsDbfsOfFile(Raw(), tones[1].startMs + 200, tones[1].startMs + tones[1].lengthMs - 200);
    EXPECT_NEAR(second - before, -6.0, 0.5) << "the next entry keeps the volume";
}

TEST_F(MprisEndToEndTest, OpenUriSwitchesToAShiftJisNamedCollectionAndPlaysIt)
{
    ASSERT_TRUE(testsupport::WriteWavTone(Path("first.wav"), 440, 8000));
    ASSERT_TRUE(testsupport::WriteWavTone(Path("second.wav"), 660, 2000));
    WriteCollection({Path("first.wav")});
    ASSERT_TRUE(e2e::WriteCollection(Path("written.lst"), {Path("second.wav")}));
    // Named as unpacked from an old Windows archive: bytes that are no UTF-8.
    const QByteArray name = QFile::encodeName(m_dir.path()) + "/\x8B\xC8.lst";
    ASSERT_EQ(std::rename(QFile::encodeName(Path("written.lst")).constData(), name.constData()), 0);
    StartPlayer({Path("list.lst"), "/A"});
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(WaitFor([this] { return CapturedMs() > 1000; }));

    const QString uri = QStringLiteral("file://") + QString::fromLatin1(name.toPercentEncoding("/"));
    const bool opened = RunPlayerctl({"open", uri}).has_value();
    std::remove(name.constData());  // QTemporaryDir cannot remove it
    ASSERT_TRUE(opened) << uri.toStdString();
    ASSERT_TRUE(WaitFor([this] { return Playerctl({"metadata", "xesam:title"}) == "second"; }));
    ASSERT_TRUE(WaitFor([this] { return Playerctl({"status"}) == "Stopped"; }));
    EXPECT_FALSE(RunPlayerctl({"open", uri}).has_value()) << "a file that is gone is refused";

    // The first collection broken off, the opened one played to its end.
    const std::vector<AudioCapture::Tone> tones = AudioCapture::TonesOfFile(Raw());
    ASSERT_EQ(tones.size(), 2u);
    EXPECT_TRUE(Near(tones[0].frequencyHz, 440)) << tones[0].frequencyHz;
    EXPECT_LT(tones[0].lengthMs, 7000);
    EXPECT_TRUE(Near(tones[1].frequencyHz, 660)) << tones[1].frequencyHz;
    EXPECT_NEAR(tones[1].lengthMs, 2000, 100);
}

}  // namespace
