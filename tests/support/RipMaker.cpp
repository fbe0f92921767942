#include "tests/support/RipMaker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cmath>
#include <gst/gst.h>
#include <numbers>

#include "platform/text/Cp932.h"
#include "tests/support/MediaMaker.h"

namespace testsupport {
namespace {

constexpr int kRate = 44100;
constexpr int kSamplesPerSector = 588;
constexpr double kAmplitude = 1.0 / 3;

int Sectors(int ms)
{
    return (ms * 75 + 999) / 1000;
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QString Beside(const QString& cuePath, const QString& name)
{
    return QFileInfo(cuePath).absoluteDir().filePath(name);
}

bool EncodeFlac(const QString& wavPath, const QString& flacPath)
{
    return WriteWithPipeline(QStringLiteral("filesrc name=in ! wavparse ! audioconvert ! flacenc ! filesink name=out"),
                             flacPath, wavPath);
}

// Sectors where each track's gap starts; the last entry is the lead-out.
std::vector<int> GapSectors(const std::vector<RipTrack>& tracks)
{
    std::vector<int> gaps;
    int at = 0;
    for (const RipTrack& track : tracks) {
        gaps.push_back(at);
        at += Sectors(track.gapMs) + Sectors(track.lengthMs);
    }
    gaps.push_back(at);
    return gaps;
}

// A sheet for files that each hold a run of the disc: file f from disc
// sector fileStart[f]. Every INDEX goes into the file that holds it.
QByteArray Sheet(const std::vector<RipTrack>& tracks, const QList<QByteArray>& fileNames, const QByteArray& type,
                 const std::vector<int>& fileStart, int firstTrack = 1)
{
    const std::vector<int> gaps = GapSectors(tracks);
    const std::vector<int> starts = RipStartSectors(tracks);
    QByteArray sheet = "REM GENRE Test\nPERFORMER \"Lirabox\"\nTITLE \"Tones\"\n";
    std::size_t file = 0;
    auto index = [&](int number, int sector) {
        while (qsizetype(file) + 1 < fileNames.size() && sector >= fileStart[file + 1]) {
            ++file;
            sheet += "FILE \"" + fileNames[qsizetype(file)] + "\" " + type + "\n";
        }
        sheet += "    INDEX " + QByteArray::number(number).rightJustified(2, '0') + ' '
                 + CueTime(sector - fileStart[file]) + '\n';
    };
    sheet += "FILE \"" + fileNames[0] + "\" " + type + "\n";
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        sheet += "  TRACK " + QByteArray::number(int(t) + firstTrack).rightJustified(2, '0') + " AUDIO\n";
        sheet += "    TITLE \"Tone " + QByteArray::number(tracks[t].toneHz) + "\"\n";
        if (tracks[t].gapMs > 0)
            index(0, gaps[t]);
        index(1, starts[t]);
    }
    return sheet;
}

}  // namespace

QByteArray StereoPcm(const std::vector<qint16>& samples, std::size_t from, std::size_t to, ByteOrder order)
{
    QByteArray bytes;
    bytes.reserve(qsizetype((to - from) * 4));
    for (std::size_t i = from; i < to; ++i) {
        char two[2];
        if (order == ByteOrder::LittleEndian)
            qToLittleEndian(samples[i], two);
        else
            qToBigEndian(samples[i], two);
        bytes.append(two, 2).append(two, 2);
    }
    return bytes;
}

QByteArray WavFile(const QByteArray& pcm)
{
    QByteArray header("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\1\0\2\0\0\0\0\0\0\0\0\0\4\0\x10\0data\0\0\0\0", 44);
    qToLittleEndian(quint32(36 + pcm.size()), header.data() + 4);
    qToLittleEndian(quint32(kRate), header.data() + 24);
    qToLittleEndian(quint32(kRate * 4), header.data() + 28);
    qToLittleEndian(quint32(pcm.size()), header.data() + 40);
    return header + pcm;
}

QByteArray CueTime(int sectors)
{
    return QString::asprintf("%02d:%02d:%02d", sectors / (75 * 60), sectors / 75 % 60, sectors % 75).toLatin1();
}

std::vector<int> RipStartSectors(const std::vector<RipTrack>& tracks)
{
    std::vector<int> gaps = GapSectors(tracks);
    for (std::size_t t = 0; t < tracks.size(); ++t)
        gaps[t] += Sectors(tracks[t].gapMs);
    return gaps;
}

std::vector<qint16> RipSamples(const std::vector<RipTrack>& tracks, GapSound gapSound)
{
    std::vector<qint16> samples;
    for (const RipTrack& track : tracks) {
        const int gap = Sectors(track.gapMs) * kSamplesPerSector;
        const int total = gap + Sectors(track.lengthMs) * kSamplesPerSector;
        for (int n = 0; n < total; ++n) {
            const double x = kAmplitude * std::sin(2 * std::numbers::pi * track.toneHz * n / kRate);
            const bool silent = gapSound == GapSound::Silence && n < gap;
            samples.push_back(silent ? qint16(0) : qint16(std::lround(x * 32767)));
        }
    }
    return samples;
}

bool WriteFlacRip(const QString& cuePath, const std::vector<RipTrack>& tracks, const QString& fileName)
{
    const std::vector<qint16> samples = RipSamples(tracks);
    const QString flac = Beside(cuePath, fileName);
    const QString wav = flac + QStringLiteral(".wav");
    const bool ok = WriteAll(wav, WavFile(StereoPcm(samples, 0, samples.size()))) && EncodeFlac(wav, flac);
    QFile::remove(wav);
    return ok && WriteAll(cuePath, Sheet(tracks, {fileName.toUtf8()}, "WAVE", {0}));
}

bool WriteWavTrackRip(const QString& cuePath, const std::vector<RipTrack>& tracks, int firstTrack)
{
    const std::vector<qint16> samples = RipSamples(tracks);
    const std::vector<int> gaps = GapSectors(tracks);
    const std::vector<int> starts = RipStartSectors(tracks);
    QList<QByteArray> names;
    std::vector<int> fileStart;
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        // The first file holds the first gap too; each file the next gap.
        const int from = t == 0 ? 0 : starts[t];
        const int to = t + 1 < tracks.size() ? starts[t + 1] : gaps.back();
        const QByteArray number = QByteArray::number(int(t + 1)).rightJustified(2, '0');
        if (!WriteAll(Beside(cuePath, QString::fromLatin1(number + " track.wav")),
                      WavFile(StereoPcm(samples, std::size_t(from) * kSamplesPerSector, std::size_t(to) * kSamplesPerSector))))
            return false;
        names.append(number + " Track.WAV");
        fileStart.push_back(from);
    }
    return WriteAll(cuePath, Sheet(tracks, names, "WAVE", fileStart, firstTrack));
}

bool WriteIndex00Rip(const QString& cuePath, const std::vector<RipTrack>& tracks, int firstTrack)
{
    const std::vector<qint16> samples = RipSamples(tracks);
    const std::vector<int> starts = RipStartSectors(tracks);
    QByteArray sheet = "REM COMMENT \"each track a file of its own\"\n";
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        const QByteArray number = QByteArray::number(int(t) + firstTrack).rightJustified(2, '0');
        const QByteArray name = number + " tone.wav";
        const QByteArray wav = WavFile(StereoPcm(samples, std::size_t(starts[t]) * kSamplesPerSector,
                                                 std::size_t(starts[t + 1]) * kSamplesPerSector));
        if (!WriteAll(Beside(cuePath, QString::fromLatin1(name)), wav))
            return false;
        sheet += "FILE \"" + name + "\" WAVE\n  TRACK " + number + " AUDIO\n    INDEX 00 00:00:00\n";
    }
    return WriteAll(cuePath, sheet);
}

bool WriteBinRip(const QString& cuePath, const std::vector<RipTrack>& tracks, const QString& binName)
{
    // The image holds no gap: PREGAP asks for silence instead.
    QByteArray bin;
    QByteArray sheet = "FILE \"" + binName.toUtf8() + "\" BINARY\n";
    const std::vector<qint16> samples = RipSamples(tracks);
    std::size_t at = 0;
    int sector = 0;
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        const std::size_t gap = std::size_t(Sectors(tracks[t].gapMs)) * kSamplesPerSector;
        const std::size_t body = std::size_t(Sectors(tracks[t].lengthMs)) * kSamplesPerSector;
        bin += StereoPcm(samples, at + gap, at + gap + body);
        sheet += "  TRACK " + QByteArray::number(int(t + 1)).rightJustified(2, '0') + " AUDIO\n";
        if (gap > 0)
            sheet += "    PREGAP " + CueTime(int(gap / kSamplesPerSector)) + '\n';
        sheet += "    INDEX 01 " + CueTime(sector) + '\n';
        sector += int(body / kSamplesPerSector);
        at += gap + body;
    }
    return WriteAll(Beside(cuePath, binName), bin) && WriteAll(cuePath, sheet);
}

bool WriteJapaneseNamedRip(const QString& cuePath, const std::vector<RipTrack>& tracks, const QString& fileName,
                           SheetText text)
{
    const std::vector<qint16> samples = RipSamples(tracks);
    if (!WriteAll(Beside(cuePath, fileName), WavFile(StereoPcm(samples, 0, samples.size()))))
        return false;
    const QByteArray name = text == SheetText::Cp932 ? text::EncodeCp932(fileName) : fileName.toUtf8();
    QByteArray sheet = Sheet(tracks, {name}, "WAVE", {0});
    sheet.replace("\n", "\r\n");
    if (text == SheetText::Utf8WithBom)
        sheet.prepend("\xEF\xBB\xBF");
    return WriteAll(cuePath, sheet);
}

}  // namespace testsupport
