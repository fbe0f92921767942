#pragma once
// Where a cue sheet puts the samples of its files on the disc (private to
// platform/mci): file after file, with the silence of PREGAP and POSTGAP.

namespace mci {

struct CueSheet;
struct RipDisc;

// disc.sources holds the probed file of each FILE line, in order. Fills the
// segments, the samples, the track starts and the lead-out; false when an
// INDEX lies past the end of its file, an index is not after the one before
// it on the disc, two tracks start in one sector, or the disc runs past 9999
// minutes.
bool LayOutCueSheet(const CueSheet& sheet, RipDisc& disc);

}  // namespace mci
