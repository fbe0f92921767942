// The player reaching its idle window on a 100,000-entry collection: the
// file read, the title list filled, the window shown.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "app/CPlayerApp.h"
#include "platform/Services.h"
#include "platform/text/Cp932.h"
#include "player/CPlayerDlg.h"

namespace {

QString s_collection;

QString MakeCollection(const QString& dir, int entries)
{
    QByteArray bytes;
    for (int i = 0; i < entries; ++i)
        bytes += text::EncodeCp932(QStringLiteral("C:\\ミュージック\\アルバム%1\\曲名その%2.mid").arg(i / 12).arg(i))
                 + "\r\n";
    const QString path = dir + QStringLiteral("/big.lst");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

void BM_PlayerOpensLargeCollection(benchmark::State& state)
{
    for (auto _ : state) {
        CPlayerApp app;
        app.m_state.m_collectionPath = s_collection;
        CPlayerDlg dlg(app.m_state, app);
        dlg.Create();
        dlg.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(dlg.m_entryCount);
        state.PauseTiming();
        dlg.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PlayerOpensLargeCollection)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    QApplication application(argc, argv);
    s_collection = MakeCollection(dir.path(), 100'000);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
