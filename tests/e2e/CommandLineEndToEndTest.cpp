// The lirabox program started from a shell on names that are bytes, and on
// a session bus of its own while a start-up message waits for the user.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/e2e/PlayerProcess.h"
#include "tests/e2e/SessionBus.h"
#include "tests/support/AudioCapture.h"
#include "tests/support/MediaMaker.h"

namespace {

using e2e::Near;
using testsupport::AudioCapture;

// "曲" in Shift-JIS: no UTF-8 decoder takes these bytes as they are.
const QByteArray kShiftJisName = QByteArray("\x8B\xC8") + ".lst";

class CommandLineEndToEndTest : public testing::Test {
protected:
    void TearDown() override
    {
        if (m_player.state() != QProcess::NotRunning)
            e2e::Terminate(m_player, 10'000);
        // QDir cannot name what is not UTF-8, so the folder would stay.
        for (const QByteArray& path : m_nativeFiles)
            ::unlink(path.constData());
    }

    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QByteArray NativePath(const QByteArray& name) const { return QFile::encodeName(m_dir.path()) + '/' + name; }
    QString Raw() const { return Path("capture.raw"); }

    QTemporaryDir m_dir;
    e2e::SessionBus m_bus;
    QProcess m_player;
    QProcessEnvironment m_env = QProcessEnvironment::systemEnvironment();
    QList<QByteArray> m_nativeFiles;
};

TEST_F(CommandLineEndToEndTest, ShiftJisNamedCollectionOpensAndPlays)
{
    ASSERT_TRUE(testsupport::WriteWavTone(Path("tone.wav"), 440, 1500));
    const QByteArray collection = NativePath(kShiftJisName);
    {
        const int fd = ::open(collection.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        m_nativeFiles.append(collection);
        const QByteArray line = text::EncodeCp932(Path("tone.wav")) + "\r\n";
        ASSERT_EQ(::write(fd, line.constData(), size_t(line.size())), line.size());
        ::close(fd);
    }
    ASSERT_TRUE(e2e::StartPlayerWithBytes(m_player, {collection, "/A"}, m_env, Path("config"), Raw()));

    // Refused, the player would wait behind "does not exist" and play nothing.
    EXPECT_TRUE(e2e::WaitWhileRunning(m_player, [this] { return e2e::CapturedMs(Raw()) >= 1400; }, 30'000))
        << "nothing played; stderr: " << m_player.readAllStandardError().constData();
    e2e::WaitUntilQuiet(m_player, Raw(), 20'000, 1500);
    const std::vector<AudioCapture::Tone> tones = AudioCapture::TonesOfFile(Raw());
    ASSERT_EQ(tones.size(), 1u);
    EXPECT_TRUE(Near(tones[0].frequencyHz, 440)) << tones[0].frequencyHz;
    EXPECT_NEAR(tones[0].lengthMs, 1500, 60);
    EXPECT_GE(e2e::Terminate(m_player, 10'000), 0) << "ended cleanly";
}

TEST_F(CommandLineEndToEndTest, PlayerIsOnTheBusWhileAStartUpMessageWaits)
{
    if (!e2e::SessionBus::Available())
        GTEST_SKIP() << "needs dbus-daemon";
    ASSERT_TRUE(m_bus.Start());
    m_env.insert("DBUS_SESSION_BUS_ADDRESS", m_bus.Address());
    // A name that does not exist: "指定されたｺﾚｸｼｮﾝﾌｧｲﾙが存在しません。" waits for OK.
    ASSERT_TRUE(e2e::StartPlayer(m_player, {Path("missing.lst")}, m_env, Path("config"), Raw()));
    QDBusConnection bus = QDBusConnection::connectToBus(m_bus.Address(), QStringLiteral("command-line-test"));
    ASSERT_TRUE(bus.isConnected());
    const auto published = [&bus] {
        return bus.interface()->isServiceRegistered(QStringLiteral("org.mpris.MediaPlayer2.lirabox")).value();
    };
    EXPECT_TRUE(e2e::WaitWhileRunning(m_player, published, 30'000)) << "the player never came on the bus";
    EXPECT_EQ(m_player.state(), QProcess::Running);
    EXPECT_GE(e2e::Terminate(m_player, 10'000), 0) << "SIGTERM ends it with the message still up";
    QDBusConnection::disconnectFromBus(QStringLiteral("command-line-test"));
}

}  // namespace
