// make-demo [folder]: writes a demo collection into folder (default: "demo"
// beside this program) - a MIDI tune, a WAV, an AVI and three tracks of the
// disc image demo-disc.cue, which run.sh maps to drive Q:.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

#include "collection/CollectionEntry.h"
#include "collection/CollectionFile.h"
#include "tests/support/DiscImageMaker.h"
#include "tests/support/MediaMaker.h"

namespace {

constexpr const char* kDiscDrive = "Q:";

bool WriteDisc(const QString& cuePath)
{
    using testsupport::TrackSpec;
    // Three chords of C major, four seconds each: I, IV, V.
    const std::vector<TrackSpec> tracks{
        {261.63, 4000, false, {329.63, 392.00}},
        {349.23, 4000, false, {440.00, 523.25}},
        {392.00, 4000, false, {493.88, 587.33}},
    };
    testsupport::DiscImageOptions options;
    options.soft = true;
    return testsupport::WriteCueBin(cuePath, tracks, options);
}

int Fail(const QString& what)
{
    std::fprintf(stderr, "make-demo: cannot write %s\n", qPrintable(what));
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString folder = arguments.size() > 1 ? arguments[1]
                                                : QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("demo"));
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        return Fail(folder);

    const QString midi = dir.absoluteFilePath(QStringLiteral("ﾃﾞﾓ曲.mid"));
    const QString wave = dir.absoluteFilePath(QStringLiteral("ﾃﾞﾓ音.wav"));
    const QString video = dir.absoluteFilePath(QStringLiteral("ﾃﾞﾓ映像.avi"));
    const QString disc = dir.absoluteFilePath(QStringLiteral("demo-disc.cue"));
    if (!testsupport::WriteMidiTune(midi, 8000))
        return Fail(midi);
    if (!testsupport::WriteWavTone(wave, 440.0, 3000, 44100, 2, 0.3))
        return Fail(wave);
    if (!testsupport::WriteAvi(video, 4000, 523.25))
        return Fail(video);
    if (!WriteDisc(disc))
        return Fail(disc);

    QStringList entries{midi, wave, video};
    for (int track = 1; track <= 3; ++track)
        entries.append(collection::FormatCdTrackEntry(QString::fromLatin1(kDiscDrive), track));
    const QString list = dir.absoluteFilePath(QStringLiteral("demo.lst"));
    if (!collection::WriteCollectionFile(list, entries))
        return Fail(list);
    std::printf("%s\n", qPrintable(QDir::toNativeSeparators(list)));
    return 0;
}
