// The lirabox program itself on generated media: what it plays is captured
// through an appending descriptor and checked for order, content and gaps.
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
#include "tests/support/DiscImageMaker.h"
#include "tests/support/MediaMaker.h"

namespace {

using testsupport::AudioCapture;

constexpr int kCaptureFd = 3;

class EndToEndTest : public testing::Test {
protected:
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    void WriteCollection(const QStringList& entries)
    {
        QByteArray bytes;
        for (const QString& entry : entries)
            bytes += text::EncodeCp932(entry) + "\r\n";
        QFile file(Path("list.lst"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void WriteSettings(const QByteArray& lines)
    {
        QDir().mkpath(Path("config/Quenda"));
        QFile file(Path("config/Quenda/Lirabox.conf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Settings]\n" + lines);
    }

    // Runs the player until the capture holds expectedMs of sound (or the
    // time runs out), lets it stand a moment, then ends it with SIGTERM.
    void Run(const QStringList& arguments, int expectedMs)
    {
        const QString raw = Path("capture.raw");
        const int fd = ::open(QFile::encodeName(raw).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
        ASSERT_GE(fd, 0);
        QProcess player;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", Path("config"));
        env.insert("LIRABOX_DRIVES", "Q=" + Path("disc.cue"));
        // filesink empties its file at every flushing seek (each stop of an
        // entry); an O_APPEND descriptor keeps everything that was played.
        env.insert("LIRABOX_AUDIO_SINK",
                   QStringLiteral("audioconvert ! audioresample ! audio/x-raw,format=S16LE,rate=44100,channels=2 ! "
                                  "fdsink fd=%1 sync=true")
                       .arg(kCaptureFd));
        player.setProcessEnvironment(env);
        player.setChildProcessModifier([fd] { ::dup2(fd, kCaptureFd); });
        player.start(QStringLiteral(LIRABOX_BINARY), arguments);
        ASSERT_TRUE(player.waitForStarted());
        ::close(fd);

        // Played through once nothing more has come for a while (an entry's
        // end is found within a second, the next opens in well under one).
        QElapsedTimer clock;
        clock.start();
        QElapsedTimer quiet;
        quiet.start();
        qint64 size = 0;
        while (clock.elapsed() < expectedMs * 3 + 20'000 && player.state() == QProcess::Running) {
            QThread::msleep(100);
            const qint64 now = QFileInfo(raw).size();
            if (now != size) {
                size = now;
                quiet.restart();
            } else if (size > 0 && quiet.elapsed() > 3000) {
                break;
            }
        }
        m_sizeAtEnd = QFileInfo(raw).size();
        QThread::msleep(1500);
        m_sizeLater = QFileInfo(raw).size();
        m_stillRunning = player.state() == QProcess::Running;
        ::kill(static_cast<pid_t>(player.processId()), SIGTERM);
        m_exitedCleanly = player.waitForFinished(10'000) && player.exitStatus() == QProcess::NormalExit
                          && player.exitCode() == 0;
        m_tones = AudioCapture::TonesOfFile(raw);
    }

    QTemporaryDir m_dir;
    std::vector<AudioCapture::Tone> m_tones;
    qint64 m_sizeAtEnd = 0;
    qint64 m_sizeLater = 0;
    bool m_stillRunning = false;
    bool m_exitedCleanly = false;
};

bool Near(double frequency, double expected)
{
    return std::abs(frequency - expected) < expected * 0.03;
}

TEST_F(EndToEndTest, CollectionPlaysThroughInOrderWithAGaplessCdRun)
{
    ASSERT_TRUE(testsupport::WriteWavTone(Path("a.wav"), 440, 1500));
    ASSERT_TRUE(testsupport::WriteMidiTune(Path("b.mid"), 2000));
    ASSERT_TRUE(testsupport::WriteWavTone(Path("c.wav"), 880, 1500));
    ASSERT_TRUE(testsupport::WriteCueBin(Path("disc.cue"), {{330, 1000}, {550, 1000}, {770, 1000}}));
    WriteCollection({Path("a.wav"), Path("b.mid"), Path("c.wav"), "Q:\\ CDﾄﾗｯｸ 01", "Q:\\ CDﾄﾗｯｸ 02",
                     "Q:\\ CDﾄﾗｯｸ 03"});
    Run({Path("list.lst"), "/A"}, 1500 + 2000 + 1500 + 3000);

    ASSERT_GE(m_tones.size(), 5u);
    EXPECT_TRUE(Near(m_tones.front().frequencyHz, 440)) << m_tones.front().frequencyHz;
    EXPECT_NEAR(m_tones.front().lengthMs, 1500, 60);
    const auto last = m_tones.end() - 3;
    EXPECT_TRUE(Near(last[-1].frequencyHz, 880)) << last[-1].frequencyHz;
    const double cd[] = {330, 550, 770};
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(Near(last[i].frequencyHz, cd[i])) << i << ": " << last[i].frequencyHz;
        EXPECT_NEAR(last[i].lengthMs, 1000, 60) << i;
    }
    // One stream across the run: each track starts where the one before ends.
    EXPECT_NEAR(last[1].startMs, last[0].startMs + last[0].lengthMs, 60);
    EXPECT_NEAR(last[2].startMs, last[1].startMs + last[1].lengthMs, 60);
    // Between the WAV and the run: the MIDI tune, audible.
    EXPECT_GT(last[-1].startMs - (m_tones.front().startMs + m_tones.front().lengthMs), 1500);

    EXPECT_EQ(m_sizeLater, m_sizeAtEnd) << "idle at the end of the collection";
    EXPECT_TRUE(m_stillRunning);
    EXPECT_TRUE(m_exitedCleanly);
}

TEST_F(EndToEndTest, SkipPassesAMissingFile)
{
    ASSERT_TRUE(testsupport::WriteWavTone(Path("a.wav"), 440, 1000));
    ASSERT_TRUE(testsupport::WriteWavTone(Path("c.wav"), 660, 1000));
    WriteSettings("Skip=1\n");
    WriteCollection({Path("a.wav"), Path("missing.wav"), Path("c.wav")});
    Run({Path("list.lst")}, 2000);
    ASSERT_EQ(m_tones.size(), 2u);
    EXPECT_TRUE(Near(m_tones[0].frequencyHz, 440));
    EXPECT_TRUE(Near(m_tones[1].frequencyHz, 660));
    EXPECT_TRUE(m_exitedCleanly);
}

TEST_F(EndToEndTest, ShuffleHearsEveryEntryOnce)
{
    const double tones[] = {440, 660, 990};
    QStringList entries;
    for (double hz : tones) {
        entries.append(Path(QStringLiteral("%1.wav").arg(hz)));
        ASSERT_TRUE(testsupport::WriteWavTone(entries.last(), hz, 1000));
    }
    WriteCollection(entries);
    Run({Path("list.lst"), "/S"}, 3000);
    ASSERT_EQ(m_tones.size(), 3u);
    for (double hz : tones)
        EXPECT_EQ(std::count_if(m_tones.begin(), m_tones.end(), [hz](const auto& t) { return Near(t.frequencyHz, hz); }),
                  1)
            << hz;
    EXPECT_FALSE(Near(m_tones[0].frequencyHz, 440)) << "a shuffled order moves every entry";
    EXPECT_TRUE(m_exitedCleanly);
}

}  // namespace
