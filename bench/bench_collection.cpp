// Reading and writing a large Shift-JIS collection: 100,000 Japanese paths,
// about 6 MB.
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "collection/CollectionFile.h"

using namespace Qt::StringLiterals;

namespace {

QStringList MakeEntries()
{
    const QString folders[] = {u"C:\\マイドキュメント\\音楽\\クラシック\\"_s, u"D:\\データ\\ゲーム音楽\\ﾌｧﾐｺﾝ\\"_s,
                               u"E:\\MIDI\\表示ソフト\\作品集\\"_s};
    const QString names[] = {u"交響曲第九番"_s, u"ソナタ"_s, u"ﾃｰﾏ曲"_s, u"夜想曲"_s};
    const QString exts[] = {u".mid"_s, u".wav"_s, u".avi"_s};
    QStringList entries;
    entries.reserve(100000);
    for (int i = 0; i < 100000; ++i) {
        entries.append(folders[i % 3] + u"第"_s + QString::number(i / 100) + u"集\\"_s + names[i % 4] + u"_"_s +
                       QString::number(i) + exts[i % 3]);
    }
    return entries;
}

struct Fixture {
    QTemporaryDir dir;
    QStringList entries = MakeEntries();
    QString path = dir.filePath(u"large.lst"_s);
};

Fixture& GetFixture()
{
    static Fixture s_fixture;
    return s_fixture;
}

void BM_WriteCollectionFile(benchmark::State& state)
{
    Fixture& f = GetFixture();
    for (auto _ : state) {
        if (!collection::WriteCollectionFile(f.path, f.entries))
            state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(f.path).size());
}

void BM_ReadCollectionFile(benchmark::State& state)
{
    Fixture& f = GetFixture();
    if (!collection::WriteCollectionFile(f.path, f.entries)) {
        state.SkipWithError("write failed");
        return;
    }
    for (auto _ : state) {
        std::optional<QStringList> entries = collection::ReadCollectionFile(f.path);
        if (!entries || entries->size() != f.entries.size())
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(entries);
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(f.path).size());
}

}  // namespace

BENCHMARK(BM_WriteCollectionFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCollectionFile)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
