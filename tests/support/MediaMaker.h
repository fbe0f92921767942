#pragma once
// Media files made on the spot for tests: tones, a tune, a small movie.

#include <QString>

namespace testsupport {

// 16-bit PCM sine. amplitude is a fraction of full scale.
bool WriteWavTone(const QString& path, double freqHz, int lengthMs, int sampleRate = 44100, int channels = 2,
                  double amplitude = 0.5);

// A WAV whose header claims claimedMs of sound while the file holds only
// actualMs of it (a file cut short in a copy or a download).
bool WriteWavWithLyingHeader(const QString& path, double freqHz, int actualMs, int claimedMs,
                             int sampleRate = 44100, int channels = 2);

// A Standard MIDI File (format 0): a short piano melody over strings, bass and drums,
// ending exactly at lengthMs.
bool WriteMidiTune(const QString& path, int lengthMs = 4000);

// AVI: 320x240 Motion-JPEG of a moving ball on blue at 25 fps, with a sine
// tone of toneHz (PCM 44100 Hz stereo) of the same length.
bool WriteAvi(const QString& path, int lengthMs, double toneHz);

// Runs a gst-launch style pipeline whose "filesink name=out" writes path (and
// whose element "in", when inputPath is given, reads it) to its end of
// stream; false on an error, after 60 s, or when path stays empty.
bool WriteWithPipeline(const QString& description, const QString& path, const QString& inputPath = {});

}  // namespace testsupport
