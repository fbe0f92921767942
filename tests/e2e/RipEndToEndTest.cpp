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
#include <utility>
#include <vector>

#include "tests/e2e/PlayerProcess.h"
#include "tests/support/AudioCapture.h"
#include "tests/support/MediaMaker.h"
#include "tests/support/RipMaker.h"
#include "tests/support/TocMaker.h"

namespace {

using e2e::Near;
using testsupport::AudioCapture;
using testsupport::RipTrack;

// Plays the collection to its end with env's drives, ends the player with
// SIGTERM and hands back its stderr.
QString PlayThrough(const QString& folder, const QProcessEnvironment& env)
{
    const auto path = [&folder](const char* name) { return folder + QLatin1Char('/') + QLatin1String(name); };
    const QString raw = path("capture.raw");
    QProcess player;
    player.setProcessChannelMode(QProcess::SeparateChannels);
    EXPECT_TRUE(e2e::StartPlayer(player, {path("list.lst"), QStringLiteral("/A")}, env, path("config"), raw));
    // Played through once nothing more has come for a while.
    e2e::WaitUntilQuiet(player, raw, 60'000);
    EXPECT_EQ(player.state(), QProcess::Running);
    EXPECT_GE(e2e::Terminate(player, 10'000), 0) << "still running or not exit status 0";
    return QString::fromLocal8Bit(player.readAllStandardError());
}

// The tones of the capture, each of its frequency and length (ms).
std::vector<AudioCapture::Tone> ExpectTones(const QString& raw, const std::vector<std::pair<double, int>>& expected)
{
    const auto tones = AudioCapture::TonesOfFile(raw);
    EXPECT_EQ(tones.size(), expected.size());
    for (std::size_t i = 0; i < std::min(tones.size(), expected.size()); ++i) {
        EXPECT_TRUE(Near(tones[i].frequencyHz, expected[i].first)) << i << ": " << tones[i].frequencyHz;
        EXPECT_NEAR(tones[i].lengthMs, expected[i].second, 60) << i;
    }
    return tones;
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

    ASSERT_TRUE(e2e::WriteCollection(path("list.lst"), {path("a.wav"), QStringLiteral("R:\\ CDﾄﾗｯｸ 02"),
                                                      QStringLiteral("R:\\ CDﾄﾗｯｸ 03"), QStringLiteral("S:\\ CDﾄﾗｯｸ 01")}));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LIRABOX_DRIVES", "R=" + path("flac/a.cue") + ";S=" + path("wav/b.cue"));
    PlayThrough(dir.path(), env);

    // The WAV; tracks 2 and 3 of R: (track 2 runs on through the gap that
    // opens track 3, which already sounds track 3's tone); track 1 of S:.
    const auto tones = ExpectTones(path("capture.raw"), {{440, 1200}, {550, 1000}, {770, 1200}, {990, 1000}});
    ASSERT_EQ(tones.size(), 4u);
    // R: 02 and 03 in one stream: the one starts where the other ends.
    EXPECT_NEAR(tones[2].startMs, tones[1].startMs + tones[1].lengthMs, 60);
}

// The discs users bring besides plain cue sheets, Skip on: a cdrdao table of
// contents of an enhanced CD (data track 1, then audio, a silent track among
// it), a rip of tracks 4 to 6 of a disc, and a rip whose tracks are marked by
// INDEX 00 alone. Each track named plays its own tone; the data track is
// skipped with one line on stderr.
TEST(RipEndToEnd, ATableOfContentsAPartialRipAndIndex00TracksPlay)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto path = [&dir](const QString& name) { return dir.filePath(name); };
    for (const char* sub : {"toc", "part", "index00", "config/Quenda"})
        QDir(dir.path()).mkpath(QString::fromLatin1(sub));
    using Kind = testsupport::TocTrackSpec::Kind;
    ASSERT_TRUE(testsupport::WriteToc(path("toc/disc.toc"),
                                      {{Kind::Data, 0, 2000}, {Kind::Tone, 550, 900, 400}, {Kind::Silence, 0, 700},
                                       {Kind::Tone, 880, 800}},
                                      testsupport::TocStyle::BigEndianImage));
    ASSERT_TRUE(testsupport::WriteWavTrackRip(path("part/part.cue"), {{300, 700}, {660, 900}, {300, 700}}, 4));
    ASSERT_TRUE(testsupport::WriteIndex00Rip(path("index00/i.cue"), {{990, 800}, {300, 700}}));
    QFile settings(path("config/Quenda/Lirabox.conf"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[Settings]\nSkip=1\n");
    settings.close();

    ASSERT_TRUE(e2e::WriteCollection(path("list.lst"),
                                     {QStringLiteral("T:\\ CDﾄﾗｯｸ 01"), QStringLiteral("T:\\ CDﾄﾗｯｸ 02"),
                                      QStringLiteral("T:\\ CDﾄﾗｯｸ 04"), QStringLiteral("U:\\ CDﾄﾗｯｸ 05"),
                                      QStringLiteral("V:\\ CDﾄﾗｯｸ 01")}));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LIRABOX_DRIVES",
               "T=" + path("toc/disc.toc") + ";U=" + path("part/part.cue") + ";V=" + path("index00/i.cue"));
    const QString errors = PlayThrough(dir.path(), env);
    ExpectTones(path("capture.raw"), {{550, 900}, {880, 800}, {660, 900}, {990, 800}});
    EXPECT_TRUE(errors.contains(QStringLiteral("lirabox: cannot play T:\\ CDﾄﾗｯｸ 01: track 1 on the disc in T: is a data track\n")))
        << errors.toStdString();
    EXPECT_EQ(errors.count(QStringLiteral("lirabox: cannot play")), 1) << errors.toStdString();
}

}  // namespace
