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

#include "tests/e2e/PlayerProcess.h"
#include "tests/support/AudioCapture.h"
#include "tests/support/MediaMaker.h"
#include "tests/support/RipMaker.h"

namespace {

using e2e::Near;
using testsupport::AudioCapture;
using testsupport::RipTrack;

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

    ASSERT_TRUE(e2e::WriteCollection(path("list.lst"), {path("a.wav"), QStringLiteral("R:\\ CDﾄﾗｯｸ 02"),
                                                      QStringLiteral("R:\\ CDﾄﾗｯｸ 03"), QStringLiteral("S:\\ CDﾄﾗｯｸ 01")}));
    const QString raw = path("capture.raw");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LIRABOX_DRIVES", "R=" + path("flac/a.cue") + ";S=" + path("wav/b.cue"));
    QProcess player;
    ASSERT_TRUE(e2e::StartPlayer(player, {path("list.lst"), QStringLiteral("/A")}, env, path("config"), raw));

    // Played through once nothing more has come for a while.
    e2e::WaitUntilQuiet(player, raw, 60'000);
    EXPECT_EQ(player.state(), QProcess::Running);
    EXPECT_GE(e2e::Terminate(player, 10'000), 0) << "still running or not exit status 0";

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
