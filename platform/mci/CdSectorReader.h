#pragma once
// Audio sectors of one play, read through cdio-paranoia (private to
// platform/mci). Disc images go through the same reader as drives.

#include <cdio/cdio.h>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/mci/SectorSource.h"

namespace mci {

inline constexpr int kSectorBytes = CDIO_CD_FRAMESIZE_RAW;  // 2352: 588 stereo 16-bit samples

class CdSectorReader : public SectorSource {
public:
    // Reads from sector `from` on. The CdIo_t stays the caller's and must
    // outlive the reader; every use of it holds `mutex`. nullptr when
    // paranoia cannot take the disc.
    static std::unique_ptr<CdSectorReader> Create(CdIo_t* cdio, std::mutex& mutex, std::int32_t from);
    ~CdSectorReader() override;
    CdSectorReader(const CdSectorReader&) = delete;
    CdSectorReader& operator=(const CdSectorReader&) = delete;

    // Reads up to count sectors, in native byte order, into out; returns the
    // number read, fewer only at a read error.
    int Read(std::uint8_t* out, int count) override;

private:
    struct Handles;
    CdSectorReader(std::mutex& mutex, std::unique_ptr<Handles> handles);

    std::mutex& m_mutex;
    std::unique_ptr<Handles> m_handles;
};

}  // namespace mci
