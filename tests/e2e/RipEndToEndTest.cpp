// The lirabox program on a collection that mixes a WAV file with CD tracks
// of two ripped discs (a FLAC rip and a per-track WAV rip, each mapped to a
// drive letter by LIRABOX_DRIVES): everything is heard, in order.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/text/Cp932.h"
#include "tests/support/AudioCapture.h"
#include "tests/support/MediaMaker.h"
#include "tests/support/RipMaker.h"

namespace {

using testsupport::AudioCapture;
using testsupport::RipTrack;

constexpr int kCaptureFd = 3;

bool Near(double frequency, double expected)
{
    return std::abs(frequency - expected) < expected * 0.03;
}

TEST(RipEndToEnd, AWavFileThenTracksOfAFlacRipAndOfAPerTrackWavRipPlayInOrder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto path = [&dir](const QString& name) { return dir.filePath(name); };
    QDir(dir.path()).mkdir(QStringLiteral("flac"));
    QDir(dir.path()).mkdir(QStringLiteral("wav"));
    ASSERT_TRUE(testsupport::WriteWavTone(path("a.wav"), 440, 1200));
    ASSERT_TRUE(testsupport::WriteFlacRip(path("flac/a.cue"),
                                          {{300, 800}, {550, 1000}, {770, 1000, 200}, {300, 800}}));
    ASSERT_TRUE(testsupport::WriteWavTrackRip(path("wav/b.cue"), {{990, 1000}, {300, 800}}));

    QByteArray list;
    for (const QString& entry : {path("a.wav"), QStringLiteral("R:\\ CDﾄﾗｯｸ 02"), QStringLiteral("R:\\ CDﾄﾗｯｸ 03"),
                                 QStringLiteral("S:\\ CDﾄﾗｯｸ 01")})
        list += text::EncodeCp932(entry) + "\r\n";
    QFile file(path("list.lst"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(list);
    file.close();

    const QString raw = path("capture.raw");
    const int fd = ::open(QFile::encodeName(raw).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
    ASSERT_GE(fd, 0);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", path("config"));
    env.insert("LIRABOX_DRIVES", "R=" + path("flac/a.cue") + ";S=" + path("wav/b.cue"));
    env.insert("LIRABOX_AUDIO_SINK",
               QStringLiteral("audioconvert ! audioresample ! audio/x-raw,format=S16LE,rate=44100,channels=2 ! "
                              "fdsink fd=%1 sync=true")
                   .arg(kCaptureFd));
    QProcess player;
    player.setProcessEnvironment(env);
    player.setChildProcessModifier([fd] { ::dup2(fd, kCaptureFd); });
    player.start(QStringLiteral(LIRABOX_BINARY), {path("list.lst"), QStringLiteral("/A")});
    ::close(fd);
    ASSERT_TRUE(player.waitForStarted());

    // Played through once nothing more has come for a while.
    QElapsedTimer clock;
    clock.start();
    QElapsedTimer quiet;
    quiet.start();
    qint64 size = 0;
    while (clock.elapsed() < 60'000 && player.state() == QProcess::Running) {
        QThread::msleep(100);
        const qint64 now = QFileInfo(raw).size();
        if (now != size) {
            size = now;
            quiet.restart();
        } else if (size > 0 && quiet.elapsed() > 3000) {
            break;
        }
    }
    const bool running = player.state() == QProcess::Running;
    ::kill(static_cast<pid_t>(player.processId()), SIGTERM);
    const bool clean = player.waitForFinished(10'000) && player.exitStatus() == QProcess::NormalExit
                       && player.exitCode() == 0;
    EXPECT_TRUE(running);
    EXPECT_TRUE(clean);

    // The WAV; tracks 2 and 3 of R: (track 2 runs on through the gap that
    // opens track 3, which already sounds track 3's tone); track 1 of S:.
    const auto tones = AudioCapture::TonesOfFile(raw);
    const double heard[] = {440, 550, 770, 990};
    const int lengths[] = {1200, 1000, 1200, 1000};
    ASSERT_EQ(tones.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(Near(tones[std::size_t(i)].frequencyHz, heard[i])) << i << ": " << tones[std::size_t(i)].frequencyHz;
        EXPECT_NEAR(tones[std::size_t(i)].lengthMs, lengths[i], 60) << i;
    }
    // R: 02 and 03 in one stream: the one starts where the other ends.
    EXPECT_NEAR(tones[2].startMs, tones[1].startMs + tones[1].lengthMs, 60);
}

}  // namespace
