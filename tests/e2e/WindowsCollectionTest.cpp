// A collection made on Windows, its files copied under the home folder and
// its disc ripped beside it, played by the program with no drive set up:
// each missing drive is asked for once, with the place found proposed, and
// one Enter each is all it takes.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/e2e/PlayerProcess.h"
#include "tests/e2e/XServer.h"
#include "tests/support/AudioCapture.h"
#include "tests/support/DiscImageMaker.h"
#include "tests/support/MediaMaker.h"

namespace {

using e2e::Near;
using e2e::XServer;

constexpr int kWaitMs = 60'000;

// The level of the first toMs of a capture (S16LE, 44100 Hz, stereo).
double RmsDbfs(const QString& capture, int toMs)
{
    QFile file(capture);
    if (!file.open(QIODevice::ReadOnly))
        return -200;
    const QByteArray bytes = file.read(qint64(toMs) * 44100 / 1000 * 4);
    const auto* samples = reinterpret_cast<const qint16*>(bytes.constData());
    const qsizetype count = bytes.size() / 2;
    double sum = 0;
    for (qsizetype i = 0; i < count; ++i)
        sum += double(samples[i]) * samples[i];
    return count == 0 ? -200 : 10 * std::log10(sum / count / (32768.0 * 32768.0) + 1e-20);
}

// Answers the drive question that is up now with Enter, as the user does.
bool PressEnterOnQuestion(const XServer& x)
{
    const QString window = x.WaitForWindow(QStringLiteral("ﾄﾞﾗｲﾌﾞの場所"), kWaitMs);
    if (window.isEmpty())
        return false;
    x.Run(QStringLiteral("xdotool"), {"windowfocus", "--sync", window});
    x.Run(QStringLiteral("xdotool"), {"key", "--clearmodifiers", "Return"});
    // Gone once taken.
    for (int i = 0; i < 50 && !x.WaitForWindow(QStringLiteral("ﾄﾞﾗｲﾌﾞの場所"), 0).isEmpty(); ++i)
        QThread::msleep(100);
    return true;
}

TEST(WindowsCollection, MissingDrivesAreProposedTakenWithOneEnterAndPlay)
{
    if (!XServer::Available({"Xvfb", "xwininfo", "xdotool"}))
        GTEST_SKIP() << "Xvfb, xwininfo or xdotool missing";
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString win = home.filePath("win");
    const QString lists = home.filePath("lists");
    ASSERT_TRUE(QDir().mkpath(win + "/MIDI") && QDir().mkpath(win + "/WAVE") && QDir().mkpath(lists));
    ASSERT_TRUE(testsupport::WriteMidiTune(win + "/MIDI/曲.mid", 2500));
    ASSERT_TRUE(testsupport::WriteWavTone(win + "/WAVE/効果音.wav", 660, 1500));
    ASSERT_TRUE(testsupport::WriteCueBin(lists + "/album.cue", {{330, 500}, {550, 500}, {770, 1500}}));
    const QString collection = lists + "/party.lst";
    ASSERT_TRUE(e2e::WriteCollection(collection, {"C:\\MIDI\\曲.mid", "C:\\WAVE\\効果音.wav", "E:\\ CDﾄﾗｯｸ 03"}));

    XServer x;
    ASSERT_TRUE(x.Start());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("LIRABOX_DRIVES");
    env.insert("HOME", home.path());
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("DISPLAY", x.Display());
    const QString config = home.filePath(".config");
    const QString capture = home.filePath("capture.raw");
    QProcess player;
    ASSERT_TRUE(e2e::StartPlayer(player, {collection}, env, config, capture));

    EXPECT_TRUE(PressEnterOnQuestion(x)) << "no question for C:";
    EXPECT_TRUE(PressEnterOnQuestion(x)) << "no question for E:";
    e2e::WaitUntilQuiet(player, capture, kWaitMs);
    EXPECT_TRUE(x.WaitForWindow(QStringLiteral("ﾄﾞﾗｲﾌﾞの場所"), 0).isEmpty()) << "asked a third time";
    EXPECT_GE(e2e::Terminate(player, 10'000), 0);

    const std::vector<testsupport::AudioCapture::Tone> tones = testsupport::AudioCapture::TonesOfFile(capture);
    // The MIDI tune first (sound, no steady tone of the WAV's pitch), then the
    // WAV, then the disc's track 3.
    ASSERT_GE(tones.size(), 2u);
    const auto wav = std::find_if(tones.begin(), tones.end(), [](const auto& t) { return Near(t.frequencyHz, 660); });
    ASSERT_NE(wav, tones.end()) << "the WAV was not heard";
    EXPECT_NEAR(wav->lengthMs, 1500, 100);
    EXPECT_GT(wav->startMs, 2000) << "the MIDI tune plays before it";
    EXPECT_GT(RmsDbfs(capture, wav->startMs - 100), -45.0) << "the MIDI tune was not heard";
    EXPECT_TRUE(Near(tones.back().frequencyHz, 770)) << tones.back().frequencyHz;
    EXPECT_NEAR(tones.back().lengthMs, 1500, 100);

    QSettings settings(config + "/Quenda/Lirabox.conf", QSettings::IniFormat);
    settings.beginGroup("Drives");
    EXPECT_EQ(settings.childKeys(), QStringList({"C", "E"}));
    EXPECT_EQ(settings.value("C").toString(), win);
    EXPECT_EQ(settings.value("E").toString(), lists + "/album.cue");
}

}  // namespace
