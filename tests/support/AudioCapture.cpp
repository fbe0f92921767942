#include "tests/support/AudioCapture.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace testsupport {

AudioCapture::AudioCapture(const QString& rawPath)
    : m_path(rawPath), m_savedSink(qgetenv("LIRABOX_AUDIO_SINK")), m_hadSink(qEnvironmentVariableIsSet("LIRABOX_AUDIO_SINK"))
{
    QFile file(m_path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.close();
    qputenv("LIRABOX_AUDIO_SINK", SinkDescription(m_path).toUtf8());
}

AudioCapture::~AudioCapture()
{
    if (m_readOnly)
        return;
    if (m_hadSink)
        qputenv("LIRABOX_AUDIO_SINK", m_savedSink);
    else
        qunsetenv("LIRABOX_AUDIO_SINK");
}

QString AudioCapture::SinkDescription(const QString& rawPath)
{
    QString location = rawPath;
    location.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QStringLiteral(
               "audioconvert ! audioresample ! audio/x-raw,format=S16LE,rate=%1,channels=2 "
               "! filesink location=\"%2\" append=true sync=true")
        .arg(kRate)
        .arg(location);
}

std::vector<float> AudioCapture::Samples() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype frames = bytes.size() / 4;
    std::vector<float> samples(static_cast<std::size_t>(frames));
    for (qsizetype i = 0; i < frames; ++i) {
        const int left = qFromLittleEndian<qint16>(data + 4 * i);
        const int right = qFromLittleEndian<qint16>(data + 4 * i + 2);
        samples[std::size_t(i)] = float(left + right) / 65536.0f;
    }
    return samples;
}

int AudioCapture::LengthMs() const
{
    return int(QFile(m_path).size() / 4 * 1000 / kRate);
}

double AudioCapture::Rms(const float* samples, std::size_t count)
{
    if (!count)
        return 0;
    double sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / double(count));
}

double AudioCapture::ZeroCrossingFrequency(const float* samples, std::size_t count)
{
    // Upward crossings, placed between samples by linear interpolation.
    double first = -1;
    double last = -1;
    int crossings = 0;
    for (std::size_t i = 1; i < count; ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            const double at = double(i - 1) + samples[i - 1] / double(samples[i - 1] - samples[i]);
            if (first < 0)
                first = at;
            last = at;
            ++crossings;
        }
    }
    if (crossings < 2 || last <= first)
        return 0;
    return (crossings - 1) * double(kRate) / (last - first);
}

std::vector<AudioCapture::Window> AudioCapture::Analyse(int windowMs) const
{
    const std::vector<float> samples = Samples();
    const std::size_t step = std::size_t(kRate) * std::size_t(windowMs) / 1000;
    std::vector<Window> windows;
    for (std::size_t at = 0; step && at + step <= samples.size(); at += step) {
        const double rms = Rms(samples.data() + at, step);
        const double frequency = rms > 0.001 ? ZeroCrossingFrequency(samples.data() + at, step) : 0;
        windows.push_back({int(at * 1000 / kRate), rms, frequency});
    }
    return windows;
}

std::vector<AudioCapture::Tone> AudioCapture::Tones(double minRms, int windowMs) const
{
    std::vector<Tone> tones;
    double sum = 0;
    int count = 0;
    for (const Window& window : Analyse(windowMs)) {
        const bool loud = window.rms >= minRms && window.frequencyHz > 0;
        const bool same = loud && count > 0 && std::abs(window.frequencyHz - sum / count) <= 0.03 * (sum / count);
        if (same) {
            tones.back().lengthMs += windowMs;
            sum += window.frequencyHz;
            ++count;
            tones.back().frequencyHz = sum / count;
        } else if (loud) {
            tones.push_back({window.startMs, windowMs, window.frequencyHz});
            sum = window.frequencyHz;
            count = 1;
        } else {
            count = 0;
        }
    }
    // A window across the border of two tones reads as a third one.
    std::erase_if(tones, [windowMs](const Tone& tone) { return tone.lengthMs < 2 * windowMs; });
    return tones;
}

std::vector<AudioCapture::Tone> AudioCapture::TonesOfFile(const QString& rawPath, double minRms, int windowMs)
{
    return AudioCapture(rawPath, ReadOnly{}).Tones(minRms, windowMs);
}

double AudioCapture::RmsDbfsOfFile(const QString& rawPath, int fromMs, int toMs)
{
    return AudioCapture(rawPath, ReadOnly{}).RmsDbfs(fromMs, toMs);
}

double AudioCapture::RmsDbfs(int fromMs, int toMs) const
{
    const std::vector<float> samples = Samples();
    const auto from = std::min(samples.size(), std::size_t(std::max(fromMs, 0)) * kRate / 1000);
    const auto to = toMs < 0 ? samples.size() : std::min(samples.size(), std::size_t(toMs) * kRate / 1000);
    const double rms = to > from ? Rms(samples.data() + from, to - from) : 0;
    return rms > 0 ? 20 * std::log10(rms) : -200;
}

double AudioCapture::PeakDbfs() const
{
    float peak = 0;
    for (float sample : Samples())
        peak = std::max(peak, std::abs(sample));
    return peak > 0 ? 20 * std::log10(double(peak)) : -200;
}

}  // namespace testsupport
