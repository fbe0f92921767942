#pragma once
// A ripped disc (private to platform/mci): the audio of the files a cue
// sheet names, one after the other as on the disc, with the silence of
// PREGAP and POSTGAP between, and the table of contents the sheet gives it.
// Positions are samples (44.1 kHz stereo frames; 588 to a sector) from the
// start of the first file.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace mci {

// Whether a drive's target is played as a rip: a cue sheet, unless it is
// the one kind libcdio reads right, a single BINARY file named like the sheet.
bool PlaysAsRip(const QString& target);

struct RipSource {
    enum class Kind { Pcm, PcmBigEndian, Decoded };
    QByteArray path;  // native
    Kind kind = Kind::Decoded;
    std::int64_t dataOffset = 0;  // bytes before the first sample, for Pcm kinds
    std::int64_t samples = 0;
};

// A stretch of the disc: samples of one source, or silence (source < 0).
struct RipSegment {
    std::int64_t discSample = 0;
    std::int64_t samples = 0;
    int source = -1;
    std::int64_t sourceSample = 0;
};

struct RipDisc {
    // nullptr when the sheet is broken: unreadable or past 1 MB, a file
    // missing or of unknown length, an INDEX past the end of its file, times
    // that do not increase, more than 99 tracks.
    static std::shared_ptr<const RipDisc> Load(const QString& cuePath);

    int firstTrack = 1;
    std::vector<std::int32_t> starts;  // sectors, per track: INDEX 01
    std::vector<bool> audio;
    std::int32_t leadOut = 0;          // the sector after the last sample
    std::int64_t samples = 0;
    std::vector<RipSource> sources;
    std::vector<RipSegment> segments;  // in order, covering [0, samples)
};

}  // namespace mci
