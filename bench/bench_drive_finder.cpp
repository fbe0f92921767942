// Looking for a missing drive's folder in a large home: 100,000 files in
// 300 folders of 10 subfolders each, hidden folders of 4,000 files, and one
// subfolder holding MIDI/Song.mid. The player allows the look 200 ms.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

#include "platform/drives/DriveFinder.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kFolders = 300;
constexpr int kSubfolders = 10;
constexpr int kFilesPerSubfolder = 30;  // 90,000 files
constexpr int kHiddenFolders = 3;
constexpr int kFilesPerHiddenFolder = 3400;  // 10,200 more

void MakeFiles(const QString& folder, int count, const char* extension)
{
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        const QByteArray path = QFile::encodeName(folder) + "/track" + QByteArray::number(i) + extension;
        if (FILE* file = std::fopen(path.constData(), "wb"))
            std::fclose(file);
    }
}

struct Home {
    QTemporaryDir dir{QDir::tempPath() + u"/lirabox-bench-home-XXXXXX"_s};
    drives::FindPlaces places;

    Home()
    {
        places.home = dir.path();
        for (int f = 0; f < kFolders; ++f)
            for (int s = 0; s < kSubfolders; ++s)
                MakeFiles(dir.filePath(u"folder%1/sub%2"_s.arg(f).arg(s)), kFilesPerSubfolder, ".mid");
        for (int h = 0; h < kHiddenFolders; ++h)
            MakeFiles(dir.filePath(u".hidden%1"_s.arg(h)), kFilesPerHiddenFolder, ".dat");
        MakeFiles(dir.filePath(u"folder150/sub5/MIDI"_s), 0, "");
        QFile song(dir.filePath(u"folder150/sub5/MIDI/Song.mid"_s));
        song.open(QIODevice::WriteOnly);
    }
};

Home& GetHome()
{
    static Home s_home;
    return s_home;
}

void Look(benchmark::State& state, const QString& entry, qsizetype expected)
{
    Home& home = GetHome();
    for (auto _ : state) {
        const QStringList found = drives::FindDriveFolders(
            entry, home.places, std::chrono::steady_clock::now() + std::chrono::seconds(10));
        if (found.size() != expected)
            state.SkipWithError("unexpected folders found");
        benchmark::DoNotOptimize(found);
    }
}

void BM_FindDriveFoldersFound(benchmark::State& state)
{
    Look(state, u"C:\\midi\\song.mid"_s, 1);
}

void BM_FindDriveFoldersFoundNowhere(benchmark::State& state)
{
    Look(state, u"C:\\MIDI\\Missing.mid"_s, 0);
}

}  // namespace

BENCHMARK(BM_FindDriveFoldersFound)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindDriveFoldersFoundNowhere)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
