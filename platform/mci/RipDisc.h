#pragma once
// A disc described by a sheet and played from the files it names (private
// to platform/mci): a cue sheet of a rip, or a cdrdao table of contents.
// The audio of the files lies one after the other as on the disc, with the
// silence the sheet asks for between, under the table of contents the
// sheet gives it. Positions are samples (44.1 kHz stereo frames; 588 to a
// sector) from the start of the disc.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace mci {

inline constexpr int kRipSamplesPerSector = 588;
// Far beyond any disc (9999 minutes), and far from overflowing a sector number.
inline constexpr std::int64_t kRipMaxSectors = std::int64_t(9999) * 60 * 75;

// Whether a drive's target is played from the files its sheet names: a
// table of contents always; a cue sheet unless it is the one kind libcdio
// reads right, a single BINARY file named like the sheet with an INDEX 01
// in every track.
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
    // that do not increase, more than 99 tracks. *why then says what is
    // wrong, for the log.
    static std::shared_ptr<const RipDisc> Load(const QString& sheetPath, QString* why = nullptr);

    int firstTrack = 1;
    std::vector<std::int32_t> starts;  // sectors, per track: INDEX 01
    std::vector<bool> audio;
    std::int32_t leadOut = 0;          // the sector after the last track
    // The samples the files give, [0, samples). A table of contents may
    // promise more of a file than it holds: the disc's data ends there,
    // before the lead-out.
    std::int64_t samples = 0;
    std::vector<RipSource> sources;
    std::vector<RipSegment> segments;  // in order, covering [0, samples)
};

}  // namespace mci
