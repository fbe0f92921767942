#pragma once
// cdrdao tables of contents made on the spot, with the files they name
// beside them: one sine per tone track, silent tracks and data tracks, in
// the forms cdrdao writes and people edit.

#include <QString>
#include <QtGlobal>
#include <vector>

namespace testsupport {

struct TocTrackSpec {
    enum class Kind { Tone, Silence, Data };
    Kind kind = Kind::Tone;
    double toneHz = 0;
    int lengthMs = 0;  // from INDEX 01; whole sectors (a data track more than a second)
    int pregapMs = 0;  // a tone track's silence before INDEX 01; whole sectors
};

enum class TocStyle {
    // One raw file of big-endian samples, as cdrdao read-cd writes it:
    // FILE "disc.cdr" start length, times as MM:SS:FF, gaps as PREGAP.
    BigEndianImage,
    // The same file; starts and lengths as sample counts, the last track's
    // FILE without a length; gaps as SILENCE and START.
    SampleCounts,
    // The same file; each track from a "#byte offset", start 0.
    ByteOffsets,
    // A raw file of little-endian samples, every FILE with SWAP.
    SwappedImage,
    // A WAVE file per tone track: FILE "NN tone.wav" 0.
    WavPerTrack,
};

// Writes tocPath and its files beside it, named relative to it. A data track
// is MODE1: a DATAFILE and a second of ZERO after it. The table opens with
// comments, a CD_TEXT block, a catalogue number and per-track flags.
bool WriteToc(const QString& tocPath, const std::vector<TocTrackSpec>& tracks, TocStyle style);

// The disc's samples (left and right alike): per track its gap, then its
// sine; silent and data tracks all zeros.
std::vector<qint16> TocSamples(const std::vector<TocTrackSpec>& tracks);
// The sector of each track's INDEX 01, then the lead-out's.
std::vector<int> TocStartSectors(const std::vector<TocTrackSpec>& tracks);

}  // namespace testsupport
