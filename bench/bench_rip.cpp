// Ripped discs as drives: how long from Play to sound on a 20-track FLAC
// rip, and the CPU a second of it costs beside the same FLAC file played as
// a plain entry and beside BINARY images (read by libcdio, or by name).
// Audio goes to "fakesink sync=true" unless LIRABOX_AUDIO_SINK says otherwise.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "bench/BenchSupport.h"

#include "platform/Services.h"
#include "platform/drives/DriveMap.h"
#include "platform/mci/CdAudio.h"
#include "platform/mci/GstMediaWindow.h"
#include "tests/support/DiscImageMaker.h"
#include "tests/support/RipMaker.h"

namespace {

using bench::CpuSeconds;
using bench::Status;

QString g_flacFile;
const char* const kDrives[] = {"F:", "B:", "Q:"};
const char* const kLabels[] = {"20-track FLAC rip", "BINARY of another name", "BINARY image (libcdio)"};

// Open, ready, a track's start (the player's questions), then Play and the
// first position past the start. play_ms is Play to sound alone.
void BM_RipOpenToPlaying(benchmark::State& state)
{
    const auto drive = std::size_t(state.range(0));
    const int track = int(state.range(1));
    state.SetLabel(kLabels[drive]);
    mci::RealCdSystem cd(*platform::GetServices().drives);
    platform::GetServices().cd = &cd;
    double playSeconds = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const auto id = cd.Open(QString::fromLatin1(kDrives[drive]));
        if (!id || !Status(cd, *id, mci::StatusItem::Ready) || !cd.SetTimeFormatMs(*id)) {
            state.SkipWithError("cannot open");
            return;
        }
        const std::uint32_t from = Status(cd, *id, mci::StatusItem::Position, track);
        const std::uint32_t to = from + Status(cd, *id, mci::StatusItem::Length, track);
        QElapsedTimer play;
        play.start();
        if (!cd.Play(*id, from, to)) {
            state.SkipWithError("cannot play");
            return;
        }
        while (Status(cd, *id, mci::StatusItem::Position) <= from)
            QThread::usleep(200);
        playSeconds += double(play.nsecsElapsed()) / 1e9;
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        cd.Close(*id);
    }
    state.counters["play_ms"] = benchmark::Counter(playSeconds * 1000 / double(state.iterations()));
}
BENCHMARK(BM_RipOpenToPlaying)
    ->Args({0, 1})
    ->Args({0, 12})
    ->Args({1, 1})
    ->Args({2, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// Process CPU per second of playback, in percent of one core, with the
// position polled once a second as the player does.
template <typename Poll>
double CpuPercentOver(int seconds, Poll poll)
{
    QThread::msleep(500);
    QElapsedTimer wall;
    wall.start();
    const double before = CpuSeconds();
    for (int second = 0; second < seconds; ++second) {
        QEventLoop loop;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
        poll();
    }
    return 100 * (CpuSeconds() - before) / (double(wall.nsecsElapsed()) / 1e9);
}

void BM_RipCpuWhilePlaying(benchmark::State& state)
{
    const auto drive = std::size_t(state.range(0));
    state.SetLabel(kLabels[drive]);
    mci::RealCdSystem cd(*platform::GetServices().drives);
    platform::GetServices().cd = &cd;
    for (auto _ : state) {
        const auto id = cd.Open(QString::fromLatin1(kDrives[drive]));
        if (!id || !cd.Play(*id, 0, std::nullopt)) {
            state.SkipWithError("cannot play");
            return;
        }
        state.counters["cpu_percent"] =
            CpuPercentOver(10, [&] { benchmark::DoNotOptimize(Status(cd, *id, mci::StatusItem::Position)); });
        cd.Close(*id);
    }
}
BENCHMARK(BM_RipCpuWhilePlaying)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(1);

// The rip's FLAC file as a plain entry: the yardstick for the rip's CPU.
void BM_FlacEntryCpuWhilePlaying(benchmark::State& state)
{
    mci::GstMediaFactory factory;
    QWidget parent;
    for (auto _ : state) {
        auto window = factory.Create(&parent, mci::kStyleChild, g_flacFile);
        if (!window) {
            state.SkipWithError("cannot open");
            return;
        }
        window->Play();
        state.counters["cpu_percent"] = CpuPercentOver(10, [&] { benchmark::DoNotOptimize(window->Position()); });
    }
}
BENCHMARK(BM_FlacEntryCpuWhilePlaying)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    bench::UseHeadlessSilentOutput();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("flac"));
    QDir(dir.path()).mkdir(QStringLiteral("bin"));
    std::vector<testsupport::RipTrack> twenty;
    for (int t = 0; t < 20; ++t)
        twenty.push_back({220.0 + 40 * t, 6000, t == 0 ? 0 : 500});
    const QString flacCue = dir.filePath(QStringLiteral("flac/rip.cue"));
    const QString binCue = dir.filePath(QStringLiteral("bin/rip.cue"));
    const QString image = dir.filePath(QStringLiteral("image.cue"));
    g_flacFile = dir.filePath(QStringLiteral("flac/rip.flac"));
    if (!testsupport::WriteFlacRip(flacCue, twenty, QStringLiteral("rip.flac"))
        || !testsupport::WriteBinRip(binCue, {{440, 20'000}, {660, 20'000}, {880, 20'000}}, QStringLiteral("x.img"))
        || !testsupport::WriteCueBin(image, {{440, 20'000}, {660, 20'000}, {880, 20'000}}))
        return 1;
    drives::DriveMap drives = drives::DriveMap::Build(
        {}, {{QStringLiteral("F"), flacCue}, {QStringLiteral("B"), binCue}, {QStringLiteral("Q"), image}}, {});
    platform::ScopedServices services(platform::Services{});
    platform::GetServices().drives = &drives;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
