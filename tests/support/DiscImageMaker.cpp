#include "tests/support/DiscImageMaker.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace testsupport {
namespace {

constexpr int kSectorBytes = 2352;
constexpr int kSamplesPerSector = 588;
constexpr int kRate = 44100;
constexpr double kAmplitude = 1.0 / 3;

QByteArray Msf(int sector)
{
    return QString::asprintf("%02d:%02d:%02d", sector / (75 * 60), sector / 75 % 60, sector % 75).toLatin1();
}

void AppendAudio(QByteArray& bin, const TrackSpec& track, bool soft)
{
    const int samples = TrackSectors(track.lengthMs) * kSamplesPerSector;
    std::vector<double> notes{track.toneHz};
    notes.insert(notes.end(), track.chordHz.begin(), track.chordHz.end());
    const double fade = 0.03 * kRate;
    for (int n = 0; n < samples; ++n) {
        const double t = double(n) / kRate;
        double x = 0;
        for (double hz : notes)
            x += std::sin(2 * std::numbers::pi * hz * t);
        x *= kAmplitude / double(notes.size());
        if (soft) {
            x *= 0.85 + 0.15 * std::sin(2 * std::numbers::pi * 0.5 * t);
            x *= std::min({1.0, n / fade, (samples - n) / fade});
        }
        const auto value = qint16(std::lround(x * 32767));
        char bytes[4];
        qToLittleEndian(value, bytes);
        qToLittleEndian(value, bytes + 2);
        bin.append(bytes, 4);
    }
}

int Bcd(int value)
{
    return value / 10 * 16 + value % 10;
}

// Sync pattern and header; the rest zero, which no audio reader takes for sound.
void AppendData(QByteArray& bin, int firstSector, int sectors)
{
    for (int s = 0; s < sectors; ++s) {
        QByteArray sector(kSectorBytes, '\0');
        for (int i = 1; i <= 10; ++i)
            sector[i] = char(0xFF);
        const int address = firstSector + s + 150;
        sector[12] = char(Bcd(address / (75 * 60)));
        sector[13] = char(Bcd(address / 75 % 60));
        sector[14] = char(Bcd(address % 75));
        sector[15] = 1;
        bin.append(sector);
    }
}

}  // namespace

int TrackSectors(int lengthMs)
{
    return int(std::lround(lengthMs * 75.0 / 1000));
}

std::vector<int> TrackStartSectors(const std::vector<TrackSpec>& tracks)
{
    std::vector<int> starts;
    int sector = 0;
    for (const TrackSpec& track : tracks) {
        starts.push_back(sector);
        sector += TrackSectors(track.lengthMs);
    }
    return starts;
}

bool WriteCueBin(const QString& cuePath, const std::vector<TrackSpec>& tracks, const DiscImageOptions& options)
{
    const QFileInfo cueInfo(cuePath);
    const QString binName = cueInfo.completeBaseName() + QStringLiteral(".bin");
    QByteArray cue = "FILE \"" + binName.toUtf8() + "\" BINARY\r\n";
    QByteArray bin;
    const std::vector<int> starts = TrackStartSectors(tracks);
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        cue += QString::asprintf("  TRACK %02d %s\r\n", int(i) + options.firstTrack,
                                 tracks[i].data ? "MODE1/2352" : "AUDIO").toLatin1();
        cue += (options.index00Only ? "    INDEX 00 " : "    INDEX 01 ") + Msf(starts[i]) + "\r\n";
        if (tracks[i].data)
            AppendData(bin, starts[i], TrackSectors(tracks[i].lengthMs));
        else
            AppendAudio(bin, tracks[i], options.soft);
    }
    const qint64 cut = qint64(options.cutShortMs) * kRate / 1000 * 4;
    bin.truncate(std::max<qint64>(0, bin.size() - cut));

    QFile cueFile(cuePath);
    QFile binFile(cueInfo.dir().filePath(binName));
    return cueFile.open(QIODevice::WriteOnly | QIODevice::Truncate) && cueFile.write(cue) == cue.size() &&
           binFile.open(QIODevice::WriteOnly | QIODevice::Truncate) && binFile.write(bin) == bin.size();
}

bool WriteTocFor(const QString& tocPath, const QString& binPath, const std::vector<TrackSpec>& tracks)
{
    QByteArray toc = "CD_DA\n";
    const std::vector<int> starts = TrackStartSectors(tracks);
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        toc += "TRACK AUDIO\nAUDIOFILE \"" + QFileInfo(binPath).absoluteFilePath().toUtf8() + "\" " + Msf(starts[i]) + " " +
               Msf(TrackSectors(tracks[i].lengthMs)) + "\n";
    }
    QFile file(tocPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(toc) == toc.size();
}

}  // namespace testsupport
