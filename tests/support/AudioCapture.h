#pragma once
// Captures everything the program plays while the object lives: points
// LIRABOX_AUDIO_SINK at a bin that appends S16LE 44100 Hz stereo to a file,
// and analyses that file. The capture holds only what was played, without
// the gaps between streams or the time spent paused.

#include <QByteArray>
#include <QString>
#include <vector>

namespace testsupport {

class AudioCapture {
public:
    static constexpr int kRate = 44100;

    // rawPath is truncated; the previous LIRABOX_AUDIO_SINK comes back on destruction.
    explicit AudioCapture(const QString& rawPath);
    ~AudioCapture();
    AudioCapture(const AudioCapture&) = delete;
    AudioCapture& operator=(const AudioCapture&) = delete;

    static QString SinkDescription(const QString& rawPath);
    QString Path() const { return m_path; }

    // The capture so far, left and right mixed, full scale = 1.0. Read it
    // once the pipelines that wrote it are gone.
    std::vector<float> Samples() const;
    int LengthMs() const;

    struct Window {
        int startMs;
        double rms;          // full scale sine = 0.707
        double frequencyHz;  // from zero crossings; 0 when silent
    };
    std::vector<Window> Analyse(int windowMs = 50) const;

    // Stretches of one steady tone, in order: at least two neighbouring
    // windows louder than minRms whose frequencies agree within 3 %.
    struct Tone {
        int startMs;
        int lengthMs;
        double frequencyHz;
    };
    std::vector<Tone> Tones(double minRms = 0.02, int windowMs = 50) const;
    // The tones of a capture written by another process.
    static std::vector<Tone> TonesOfFile(const QString& rawPath, double minRms = 0.02, int windowMs = 50);

    // RMS in dB relative to full scale over [fromMs, toMs); toMs < 0 = to the end.
    double RmsDbfs(int fromMs = 0, int toMs = -1) const;
    // The same of a capture written by another process.
    static double RmsDbfsOfFile(const QString& rawPath, int fromMs = 0, int toMs = -1);
    double PeakDbfs() const;

    // Helpers on any block of samples at kRate.
    static double Rms(const float* samples, std::size_t count);
    static double ZeroCrossingFrequency(const float* samples, std::size_t count);

private:
    struct ReadOnly {};
    AudioCapture(const QString& rawPath, ReadOnly) : m_path(rawPath), m_hadSink(false), m_readOnly(true) {}

    QString m_path;
    QByteArray m_savedSink;
    bool m_hadSink;
    bool m_readOnly = false;
};

}  // namespace testsupport
