// Media windows on GStreamer: how long a file takes from Create to sound,
// how much CPU playing costs, how fast unplayable files are refused.
// Audio goes to "fakesink sync=true" unless LIRABOX_AUDIO_SINK says otherwise.
#include "platform/mci/GstMediaWindow.h"
#include "tests/support/MediaMaker.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "bench/BenchSupport.h"

namespace {

using bench::CpuSeconds;
using bench::Status;

QTemporaryDir* g_dir = nullptr;

QString MediaPath(int kind)
{
    static const char* const kNames[] = {"tone.wav", "tune.mid", "movie.avi"};
    return g_dir->filePath(QLatin1String(kNames[kind]));
}

const char* KindLabel(int kind)
{
    static const char* const kLabels[] = {"wav", "mid", "avi"};
    return kLabels[kind];
}

bool MakeMedia()
{
    using namespace testsupport;
    return WriteWavTone(MediaPath(0), 440, 20'000) && WriteMidiTune(MediaPath(1), 20'000)
           && WriteAvi(MediaPath(2), 20'000, 660)
           && QFile(g_dir->filePath(QStringLiteral("empty.wav"))).open(QIODevice::WriteOnly);
}

// The UI thread as in the program: asleep in its event loop unless a frame
// or a timer wakes it.
void RunEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Create, Play, and the first position past zero: the file is sounding.
void BM_OpenToPlaying(benchmark::State& state)
{
    const int kind = int(state.range(0));
    state.SetLabel(KindLabel(kind));
    mci::GstMediaFactory factory;
    QWidget parent;
    parent.resize(320, 240);
    parent.show();
    double openSeconds = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        auto window = factory.Create(&parent, mci::kStyleChild, MediaPath(kind));
        if (!window) {
            state.SkipWithError("cannot open");
            return;
        }
        openSeconds += double(timer.nsecsElapsed()) / 1e9;
        window->Play();
        while (window->Position() <= 0)
            QThread::usleep(200);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        window.reset();
        QCoreApplication::processEvents();
    }
    state.counters["open_ms"] = benchmark::Counter(openSeconds * 1000 / double(state.iterations()));
}
BENCHMARK(BM_OpenToPlaying)->DenseRange(0, 2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Process CPU time per second of playback, in percent of one core.
void BM_CpuWhilePlaying(benchmark::State& state)
{
    const int kind = int(state.range(0));
    state.SetLabel(KindLabel(kind));
    mci::GstMediaFactory factory;
    QWidget parent;
    parent.resize(320, 240);
    parent.show();
    double cpuPercent = 0;
    for (auto _ : state) {
        auto window = factory.Create(&parent, mci::kStyleChild, MediaPath(kind));
        if (!window) {
            state.SkipWithError("cannot open");
            return;
        }
        window->MoveTo(QRect(0, 0, 320, 240));
        window->Play();
        RunEvents(500);
        QElapsedTimer wall;
        wall.start();
        const double cpuBefore = CpuSeconds();
        RunEvents(int(state.range(1)));
        const double cpu = CpuSeconds() - cpuBefore;
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        cpuPercent = 100 * cpu / seconds;
        window.reset();
    }
    state.counters["cpu_percent"] = cpuPercent;
}
BENCHMARK(BM_CpuWhilePlaying)
    ->ArgsProduct({{0, 1, 2}, {10000}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_RefuseFile(benchmark::State& state)
{
    static const char* const kNames[] = {"missing.wav", "empty.wav", "garbage.wav"};
    const int which = int(state.range(0));
    state.SetLabel(kNames[which]);
    QByteArray garbage;
    for (int i = 0; i < 65536; ++i)
        garbage.append(char((i * 7919) >> 3));
    QFile file(g_dir->filePath(QStringLiteral("garbage.wav")));
    if (file.open(QIODevice::WriteOnly))
        file.write(garbage);
    file.close();
    mci::GstMediaFactory factory;
    const QString path = g_dir->filePath(QLatin1String(kNames[which]));
    for (auto _ : state) {
        auto window = factory.Create(nullptr, mci::kStyleChild, path);
        if (window) {
            state.SkipWithError("opened");
            return;
        }
    }
}
BENCHMARK(BM_RefuseFile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    bench::UseHeadlessSilentOutput();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    if (!MakeMedia())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
