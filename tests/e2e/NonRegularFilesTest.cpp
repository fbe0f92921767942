// The lirabox program given paths that are no regular files: a FIFO as an
// entry, as the SoundFont or as the collection, and /dev/zero as the
// collection. Nothing blocks: the entry is skipped or refused at once, and
// SIGTERM always ends the program.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/e2e/PlayerProcess.h"
#include "tests/support/AudioCapture.h"
#include "tests/support/MediaMaker.h"

namespace {

using e2e::Near;
using testsupport::AudioCapture;

class NonRegularFilesTest : public testing::Test {
protected:
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    void WriteSettings(const QByteArray& lines)
    {
        QDir().mkpath(Path("config/Quenda"));
        QFile file(Path("config/Quenda/Lirabox.conf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Settings]\n" + lines);
    }

    void MakeFifo(const QString& name) { ASSERT_EQ(::mkfifo(QFile::encodeName(Path(name)).constData(), 0600), 0); }

    bool Heard(double hz) const
    {
        const auto tones = AudioCapture::TonesOfFile(Path("capture.raw"));
        return std::any_of(tones.begin(), tones.end(), [hz](const auto& t) { return Near(t.frequencyHz, hz); });
    }

    // Waits up to limitMs for a tone to be heard.
    bool WaitToHear(double hz, int limitMs) const
    {
        QElapsedTimer clock;
        clock.start();
        while (!Heard(hz) && clock.elapsed() < limitMs)
            QThread::msleep(100);
        return Heard(hz);
    }

    QTemporaryDir m_dir;
};

TEST_F(NonRegularFilesTest, AFifoEntryIsSkippedOrRefusedAtOnce)
{
    MakeFifo("pipe.wav");
    ASSERT_TRUE(testsupport::WriteWavTone(Path("b.wav"), 880, 1500));
    ASSERT_TRUE(e2e::WriteCollection(Path("list.lst"), {Path("pipe.wav"), Path("b.wav")}));

    WriteSettings("Skip=1\n");
    QProcess skipping;
    ASSERT_TRUE(e2e::StartPlayer(skipping, {Path("list.lst")}, QProcessEnvironment::systemEnvironment(),
                                 Path("config"), Path("capture.raw")));
    // The requirement is 1 s; the bound leaves room for a loaded machine and
    // stays below the 5 s after which a blocked open would be given up.
    EXPECT_TRUE(WaitToHear(880, 3'000)) << "the entry after the FIFO did not follow at once";
    EXPECT_GE(e2e::Terminate(skipping, 5000), 0);

    // Without Skip the message box stands; the program still ends on SIGTERM.
    WriteSettings("Skip=0\n");
    QProcess stopping;
    ASSERT_TRUE(e2e::StartPlayer(stopping, {Path("list.lst")}, QProcessEnvironment::systemEnvironment(),
                                 Path("config"), Path("capture.raw")));
    QThread::msleep(2000);
    EXPECT_EQ(stopping.state(), QProcess::Running);
    EXPECT_FALSE(Heard(880)) << "nothing plays past the refused entry";
    EXPECT_GE(e2e::Terminate(stopping, 5000), 0);
}

TEST_F(NonRegularFilesTest, AFifoSoundFontFallsBackAndTheMidiPlays)
{
    MakeFifo("font.sf2");
    ASSERT_TRUE(testsupport::WriteMidiTune(Path("tune.mid"), 2000));
    ASSERT_TRUE(e2e::WriteCollection(Path("list.lst"), {Path("tune.mid")}));
    WriteSettings("SoundFont=" + QFile::encodeName(Path("font.sf2")) + "\n");
    QProcess player;
    ASSERT_TRUE(e2e::StartPlayer(player, {Path("list.lst")}, QProcessEnvironment::systemEnvironment(),
                                 Path("config"), Path("capture.raw")));
    e2e::WaitUntilQuiet(player, Path("capture.raw"), 20'000, 1500);
    EXPECT_GT(QFileInfo(Path("capture.raw")).size(), 44100 * 4) << "the tune was not heard";
    EXPECT_GE(e2e::Terminate(player, 5000), 0);
}

TEST_F(NonRegularFilesTest, ACollectionThatIsNoRegularFileIsRefusedAndSigtermEndsTheProgram)
{
    MakeFifo("pipe.lst");
    for (const QString& collection : {Path("pipe.lst"), QStringLiteral("/dev/zero")}) {
        QProcess player;
        ASSERT_TRUE(e2e::StartPlayer(player, {collection}, QProcessEnvironment::systemEnvironment(), Path("config"),
                                     Path("capture.raw")));
        QThread::msleep(1500);
        EXPECT_EQ(player.state(), QProcess::Running) << collection.toStdString();
        EXPECT_GE(e2e::Terminate(player, 5000), 0) << collection.toStdString();
    }
}

}  // namespace
