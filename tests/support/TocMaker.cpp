#include "tests/support/TocMaker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "tests/support/RipMaker.h"

namespace testsupport {
namespace {

constexpr int kSamplesPerSector = 588;
constexpr int kDataSectorBytes = 2048;
constexpr int kPostgapSectors = 75;  // the ZERO after a data track's file

int Sectors(int ms)
{
    return (ms * 75 + 999) / 1000;
}

std::vector<RipTrack> AsRip(const std::vector<TocTrackSpec>& tracks)
{
    std::vector<RipTrack> rip;
    for (const TocTrackSpec& track : tracks) {
        const bool tone = track.kind == TocTrackSpec::Kind::Tone;
        rip.push_back({tone ? track.toneHz : 0.0, track.lengthMs, tone ? track.pregapMs : 0});
    }
    return rip;
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray Samples(std::size_t count)
{
    return QByteArray::number(qulonglong(count));
}

// The statements of one tone track's sound; `at` is where its body starts
// in the image, in samples.
QByteArray ToneStatements(const TocTrackSpec& track, TocStyle style, std::size_t at, bool last, int number)
{
    const std::size_t body = std::size_t(Sectors(track.lengthMs)) * kSamplesPerSector;
    const int gap = Sectors(track.pregapMs);
    const bool pregapStatement = style == TocStyle::BigEndianImage || style == TocStyle::ByteOffsets
                                 || style == TocStyle::SwappedImage;
    QByteArray text;
    if (gap > 0 && pregapStatement)
        text += "PREGAP " + CueTime(gap) + "\n";
    else if (gap > 0)
        text += "SILENCE " + Samples(std::size_t(gap) * kSamplesPerSector) + "\nSTART\n";
    switch (style) {
    case TocStyle::BigEndianImage:
        text += "FILE \"disc.cdr\" " + CueTime(int(at / kSamplesPerSector)) + " " + CueTime(int(body / kSamplesPerSector)) + "\n";
        break;
    case TocStyle::SampleCounts:
        text += "FILE \"disc.cdr\" " + Samples(at) + (last ? QByteArray() : " " + Samples(body)) + "\n";
        break;
    case TocStyle::ByteOffsets:
        text += "FILE \"disc.cdr\" #" + Samples(at * 4) + " 0 " + CueTime(int(body / kSamplesPerSector)) + "\n";
        break;
    case TocStyle::SwappedImage:
        text += "AUDIOFILE \"disc.cdr\" SWAP " + CueTime(int(at / kSamplesPerSector)) + " "
                + CueTime(int(body / kSamplesPerSector)) + "\n";
        break;
    case TocStyle::WavPerTrack:
        text += "FILE \"" + QByteArray::number(number).rightJustified(2, '0') + " tone.wav\" 0\n";
        break;
    }
    return text;
}

}  // namespace

std::vector<qint16> TocSamples(const std::vector<TocTrackSpec>& tracks)
{
    return RipSamples(AsRip(tracks), GapSound::Silence);
}

std::vector<int> TocStartSectors(const std::vector<TocTrackSpec>& tracks)
{
    return RipStartSectors(AsRip(tracks));
}

bool WriteToc(const QString& tocPath, const std::vector<TocTrackSpec>& tracks, TocStyle style)
{
    const QDir folder = QFileInfo(tocPath).absoluteDir();
    const std::vector<qint16> samples = TocSamples(tracks);
    const std::vector<int> starts = TocStartSectors(tracks);
    const bool data = std::any_of(tracks.begin(), tracks.end(),
                                  [](const TocTrackSpec& t) { return t.kind == TocTrackSpec::Kind::Data; });
    QByteArray toc = "// Lirabox test disc\n";
    toc += data ? "CD_ROM\n" : "CD_DA\n";
    toc += "CATALOG \"0000000000000\"\n"
           "CD_TEXT {\n  LANGUAGE_MAP {\n    0 : EN\n  }\n  LANGUAGE 0 {\n"
           "    TITLE \"Tones { and braces }\"\n    PERFORMER \"Lirabox\"\n    GENRE { 0, 9, 255 }\n  }\n}\n";
    QByteArray image;
    const auto order = style == TocStyle::SwappedImage ? ByteOrder::LittleEndian : ByteOrder::BigEndian;
    int lastTone = -1;
    for (std::size_t t = 0; t < tracks.size(); ++t)
        if (tracks[t].kind == TocTrackSpec::Kind::Tone)
            lastTone = int(t);
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        const TocTrackSpec& track = tracks[t];
        const int number = int(t + 1);
        const std::size_t from = std::size_t(starts[t]) * kSamplesPerSector;
        const std::size_t to = from + std::size_t(Sectors(track.lengthMs)) * kSamplesPerSector;
        toc += "\n// Track " + QByteArray::number(number) + "\n";
        switch (track.kind) {
        case TocTrackSpec::Kind::Tone: {
            toc += "TRACK AUDIO\nNO COPY\nNO PRE_EMPHASIS\nTWO_CHANNEL_AUDIO\n"
                   "CD_TEXT {\n  LANGUAGE 0 {\n    TITLE \"Tone " + QByteArray::number(track.toneHz) + "\"\n  }\n}\n";
            toc += ToneStatements(track, style, std::size_t(image.size()) / 4, int(t) == lastTone, number);
            if (style == TocStyle::WavPerTrack) {
                const QString name = QStringLiteral("%1 tone.wav").arg(number, 2, 10, QLatin1Char('0'));
                if (!WriteAll(folder.filePath(name), WavFile(StereoPcm(samples, from, to))))
                    return false;
            } else {
                image += StereoPcm(samples, from, to, order);
            }
            break;
        }
        case TocTrackSpec::Kind::Silence:
            toc += "TRACK AUDIO\nSILENCE " + CueTime(Sectors(track.lengthMs)) + "\n";
            break;
        case TocTrackSpec::Kind::Data: {
            // The file ends a hundred bytes short of a sector: the track is
            // padded to whole sectors.
            const QString name = QStringLiteral("data%1.iso").arg(number);
            const qsizetype bytes = qsizetype(Sectors(track.lengthMs) - kPostgapSectors) * kDataSectorBytes - 100;
            if (bytes <= 0 || !WriteAll(folder.filePath(name), QByteArray(bytes, '\x5a')))
                return false;
            toc += "TRACK MODE1\nDATAFILE \"" + name.toUtf8() + "\"\nZERO " + CueTime(kPostgapSectors)
                   + " // post-gap\n";
            break;
        }
        }
    }
    if (!image.isEmpty() && !WriteAll(folder.filePath(QStringLiteral("disc.cdr")), image))
        return false;
    return WriteAll(tocPath, toc);
}

}  // namespace testsupport
