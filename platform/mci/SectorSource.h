#pragma once
// Where a play's sectors come from (private to platform/mci): a drive
// through paranoia, a disc image read plainly, or a rip's files.

#include <cstdint>

namespace mci {

class SectorSource {
public:
    virtual ~SectorSource() = default;
    // Reads the next count sectors (2352 bytes: 588 stereo 16-bit samples
    // in native byte order) into out; returns the number read, fewer only at
    // a read error. Called on the play's read-ahead thread.
    virtual int Read(std::uint8_t* out, int count) = 0;
};

}  // namespace mci
