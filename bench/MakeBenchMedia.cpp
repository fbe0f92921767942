// make-bench-media <folder> [seconds]: the media compare.sh plays, each
// `seconds` long (default 120): tune.wav (44.1 kHz stereo 16-bit, a chord
// progression with a melody over it), tune.mid (the test tune: piano, bass,
// strings and drums) and disc.cue + disc.bin (one audio track of chords).
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "tests/support/DiscImageMaker.h"
#include "tests/support/MediaMaker.h"

namespace {

constexpr int kRate = 44100;

double NoteHz(int key)
{
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

// A plucked note: a few harmonics under an exponential decay.
double Pluck(int key, double t)
{
    const double hz = NoteHz(key);
    double x = 0;
    for (int harmonic = 1; harmonic <= 4; ++harmonic)
        x += std::sin(2 * std::numbers::pi * hz * harmonic * t) / (harmonic * harmonic);
    return x * std::exp(-3.0 * t) * std::min(1.0, t * 200);
}

// I - vi - IV - V in C, two seconds a chord, a melody note every quarter second.
bool WriteMusicWav(const QString& path, int seconds)
{
    static constexpr int kChords[4][3] = {{48, 64, 67}, {45, 64, 69}, {41, 65, 69}, {43, 62, 71}};
    static constexpr int kMelody[8] = {72, 76, 79, 76, 74, 77, 81, 79};
    const qint64 frames = qint64(seconds) * kRate;
    QByteArray data;
    data.reserve(int(frames * 4));
    for (qint64 n = 0; n < frames; ++n) {
        const double t = double(n) / kRate;
        const int bar = int(t / 2.0);
        const double inBar = t - bar * 2.0;
        const int step = int(t / 0.25);
        const double inStep = t - step * 0.25;
        double left = 0;
        double right = 0;
        for (int key : kChords[bar % 4]) {
            const double v = Pluck(key, inBar) * 0.22;
            left += v;
            right += v * 0.8;
        }
        const double melody = Pluck(kMelody[(step + bar) % 8], inStep) * 0.25;
        left += melody * 0.7;
        right += melody;
        char bytes[4];
        qToLittleEndian(qint16(std::lround(std::clamp(left, -1.0, 1.0) * 32767 * 0.8)), bytes);
        qToLittleEndian(qint16(std::lround(std::clamp(right, -1.0, 1.0) * 32767 * 0.8)), bytes + 2);
        data.append(bytes, 4);
    }
    QByteArray header("RIFF");
    char word[4];
    auto put32 = [&](quint32 v) { qToLittleEndian(v, word); header.append(word, 4); };
    auto put16 = [&](quint16 v) { qToLittleEndian(v, word); header.append(word, 2); };
    put32(quint32(36 + data.size()));
    header.append("WAVEfmt ");
    put32(16);
    put16(1);  // PCM
    put16(2);
    put32(kRate);
    put32(kRate * 4);
    put16(4);
    put16(16);
    header.append("data");
    put32(quint32(data.size()));
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(header) == header.size()
           && file.write(data) == data.size();
}

int Fail(const QString& what)
{
    std::fprintf(stderr, "make-bench-media: cannot write %s\n", qPrintable(what));
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: make-bench-media <folder> [seconds]\n");
        return 2;
    }
    const int seconds = arguments.size() > 2 ? std::max(1, arguments[2].toInt()) : 120;
    QDir dir(arguments[1]);
    if (!dir.mkpath(QStringLiteral(".")))
        return Fail(arguments[1]);

    const QString wave = dir.absoluteFilePath(QStringLiteral("tune.wav"));
    const QString midi = dir.absoluteFilePath(QStringLiteral("tune.mid"));
    const QString disc = dir.absoluteFilePath(QStringLiteral("disc.cue"));
    if (!WriteMusicWav(wave, seconds))
        return Fail(wave);
    if (!testsupport::WriteMidiTune(midi, seconds * 1000))
        return Fail(midi);
    testsupport::DiscImageOptions options;
    options.soft = true;
    // A C major chord with its ninth, swelling slowly.
    if (!testsupport::WriteCueBin(disc, {{261.63, seconds * 1000, false, {329.63, 392.00, 587.33}}}, options))
        return Fail(disc);
    return 0;
}
