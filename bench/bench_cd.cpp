// The "cdaudio" device on a disc image: how long from open to sound, and how
// much CPU a second of playback costs (the reading thread and the pipeline).
// Audio goes to "fakesink sync=true" unless LIRABOX_AUDIO_SINK says otherwise.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "bench/BenchSupport.h"

#include "platform/Services.h"
#include "platform/drives/DriveMap.h"
#include "platform/mci/CdAudio.h"
#include "tests/support/DiscImageMaker.h"

namespace {

using bench::CpuSeconds;
using bench::Status;

// Open, ready, millisecond format, track start, play, and the first position
// past the start: the disc is sounding.
void BM_CdOpenToPlaying(benchmark::State& state)
{
    mci::RealCdSystem cd(*platform::GetServices().drives);
    platform::GetServices().cd = &cd;
    double openSeconds = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const auto id = cd.Open(QStringLiteral("Q:"));
        if (!id || !Status(cd, *id, mci::StatusItem::Ready) || !cd.SetTimeFormatMs(*id)) {
            state.SkipWithError("cannot open");
            return;
        }
        const std::uint32_t from = Status(cd, *id, mci::StatusItem::Position, 2);
        const std::uint32_t to = Status(cd, *id, mci::StatusItem::Position, 3);
        openSeconds += double(timer.nsecsElapsed()) / 1e9;
        if (!cd.Play(*id, from, to)) {
            state.SkipWithError("cannot play");
            return;
        }
        while (Status(cd, *id, mci::StatusItem::Position) <= from)
            QThread::usleep(200);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        cd.Close(*id);
    }
    state.counters["open_ms"] = benchmark::Counter(openSeconds * 1000 / double(state.iterations()));
}
BENCHMARK(BM_CdOpenToPlaying)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Reading libcdio's device list again, as every CD question does so that a
// drive plugged in after start is found.
void BM_DriveRefresh(benchmark::State& state)
{
    drives::DriveMap map = drives::DriveMap::Detecting(&drives::DriveMap::DetectCdDevices, {}, {});
    for (auto _ : state)
        map.RefreshDetected();
}
BENCHMARK(BM_DriveRefresh)->Unit(benchmark::kMillisecond);

// Open of a CD entry's drive as the player makes it (device list read
// again, disc image opened, readiness asked), then closed.
void BM_CdEntryOpenWithRefresh(benchmark::State& state)
{
    drives::DriveMap* const fixed = platform::GetServices().drives;
    drives::DriveMap map = drives::DriveMap::Detecting(&drives::DriveMap::DetectCdDevices,
                                                       {{QStringLiteral("Q"), fixed->Target(QStringLiteral("Q:"))}}, {});
    platform::GetServices().drives = &map;
    mci::RealCdSystem cd(map);
    for (auto _ : state) {
        const auto id = cd.Open(QStringLiteral("Q:"));
        if (!id || !Status(cd, *id, mci::StatusItem::Ready)) {
            state.SkipWithError("cannot open");
            break;
        }
        cd.Close(*id);
    }
    platform::GetServices().drives = fixed;
}
BENCHMARK(BM_CdEntryOpenWithRefresh)->Unit(benchmark::kMillisecond);

// Process CPU time per second of playback, in percent of one core, with the
// position polled once a second as the player does.
void BM_CdCpuWhilePlaying(benchmark::State& state)
{
    mci::RealCdSystem cd(*platform::GetServices().drives);
    platform::GetServices().cd = &cd;
    double cpuPercent = 0;
    for (auto _ : state) {
        const auto id = cd.Open(QStringLiteral("Q:"));
        if (!id || !cd.Play(*id, 0, std::nullopt)) {
            state.SkipWithError("cannot play");
            return;
        }
        QThread::msleep(500);
        QElapsedTimer wall;
        wall.start();
        const double cpuBefore = CpuSeconds();
        for (int second = 0; second < int(state.range(0)) / 1000; ++second) {
            QThread::msleep(1000);
            benchmark::DoNotOptimize(Status(cd, *id, mci::StatusItem::Position));
        }
        const double cpu = CpuSeconds() - cpuBefore;
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        cpuPercent = 100 * cpu / seconds;
        cd.Close(*id);
    }
    state.counters["cpu_percent"] = cpuPercent;
}
BENCHMARK(BM_CdCpuWhilePlaying)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    bench::UseHeadlessSilentOutput();
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString cue = dir.filePath(QStringLiteral("bench.cue"));
    if (!testsupport::WriteCueBin(cue, {{440, 20'000}, {660, 20'000}, {880, 20'000}}))
        return 1;
    drives::DriveMap drives = drives::DriveMap::Build({}, {{QStringLiteral("Q"), cue}}, {});
    platform::ScopedServices services(platform::Services{});
    platform::GetServices().drives = &drives;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
