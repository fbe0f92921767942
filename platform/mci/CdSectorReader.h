#pragma once
// Audio sectors of one play (private to platform/mci): a drive's through
// cdio-paranoia, a disc image's read as they are, many sectors a call.

#include <cdio/cdio.h>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/mci/SectorSource.h"

namespace mci {

inline constexpr int kSectorBytes = CDIO_CD_FRAMESIZE_RAW;  // 2352: 588 stereo 16-bit samples

enum class SectorReading {
    Paranoia,  // verified and repaired: for drives, whose reads jitter and fail
    Plain,     // cdio_read_audio_sectors as it is: for images, whose data is exact
};

class CdSectorReader : public SectorSource {
public:
    // Reads from sector `from` on: plainly from a disc image, through
    // paranoia from a drive. The CdIo_t stays the caller's and must outlive
    // the reader; every use of it holds `mutex`. nullptr when paranoia
    // cannot take the disc.
    static std::unique_ptr<CdSectorReader> Create(CdIo_t* cdio, std::mutex& mutex, std::int32_t from);
    static std::unique_ptr<CdSectorReader> Create(CdIo_t* cdio, std::mutex& mutex, std::int32_t from,
                                                  SectorReading reading);
    ~CdSectorReader() override;
    CdSectorReader(const CdSectorReader&) = delete;
    CdSectorReader& operator=(const CdSectorReader&) = delete;

    // Reads up to count sectors, in native byte order, into out; returns the
    // number read, fewer only at a read error (a plain reader: at the
    // lead-out or where the image's data ends).
    int Read(std::uint8_t* out, int count) override;

private:
    struct Handles;
    CdSectorReader(CdIo_t* cdio, std::mutex& mutex, std::int32_t from, std::unique_ptr<Handles> handles);
    int ReadParanoia(std::uint8_t* out, int count);
    int ReadPlain(std::uint8_t* out, int count);
    int ReadRun(std::uint8_t* out, int count);

    CdIo_t* const m_cdio;
    std::mutex& m_mutex;
    std::unique_ptr<Handles> m_handles;  // paranoia's; none for a plain reader
    std::int32_t m_next;                 // the plain reader's next sector
    std::vector<std::int32_t> m_runEnds;  // track starts before the lead-out, then the lead-out
};

}  // namespace mci
