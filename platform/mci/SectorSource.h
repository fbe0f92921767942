#pragma once
// Where a play's sectors come from (private to platform/mci): a drive
// through paranoia, a disc image read plainly, or a rip's files.

#include <QByteArray>
#include <cstdint>

namespace mci {

class SectorSource {
public:
    virtual ~SectorSource() = default;
    // Reads the next count sectors (2352 bytes: 588 stereo 16-bit samples
    // in native byte order) into out; returns the number read, fewer only at
    // a read error. Called on the play's read-ahead thread.
    virtual int Read(std::uint8_t* out, int count) = 0;
    // After a short read: the file that could not be read (native bytes),
    // when the source reads files of its own; empty otherwise. Called on the
    // read-ahead thread.
    virtual QByteArray FailedFile() const { return {}; }
};

}  // namespace mci
