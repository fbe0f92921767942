#include "platform/mci/CdSectorReader.h"

#include <algorithm>
#include <bit>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>
#include <cstring>

namespace mci {
namespace {

// A damaged sector is retried this often before paranoia gives up on it.
constexpr int kRetries = 5;

void IgnoreProgress(long, paranoia_cb_mode_t) {}

// Left at the start of a plain read's last sector: still there after the
// read, the image's data may have ended before that sector.
constexpr std::uint8_t kUnreadMark[4] = {0x5a, 0xa5, 0x3c, 0xc3};

bool IsImage(CdIo_t* cdio)
{
    const driver_id_t driver = cdio_get_driver_id(cdio);
    return driver == DRIVER_BINCUE || driver == DRIVER_CDRDAO || driver == DRIVER_NRG;
}

// Where a plain read has to stop and start again, ascending, the lead-out
// last: libcdio finds the file offset of a read's first sector only, and an
// image may keep its tracks apart (an NRG's map, a table of contents naming a
// file per track). A cue sheet's lead-out comes from the size of its .bin and
// may lie before the starts of its last tracks.
std::vector<std::int32_t> ReadBounds(CdIo_t* cdio)
{
    const lsn_t leadOut = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
    if (leadOut == CDIO_INVALID_LSN)
        return {};
    std::vector<std::int32_t> bounds;
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first != CDIO_INVALID_TRACK && count != CDIO_INVALID_TRACK)
        for (int t = first; t < first + count; ++t) {
            const lsn_t start = cdio_get_track_lsn(cdio, static_cast<track_t>(t));
            if (start != CDIO_INVALID_LSN && start < leadOut)
                bounds.push_back(start);
        }
    std::sort(bounds.begin(), bounds.end());
    bounds.push_back(leadOut);
    return bounds;
}

}  // namespace

struct CdSectorReader::Handles {
    cdrom_drive_t* drive = nullptr;
    cdrom_paranoia_t* paranoia = nullptr;

    ~Handles()
    {
        if (paranoia)
            cdio_paranoia_free(paranoia);
        if (drive)
            cdio_cddap_close_no_free_cdio(drive);
    }
};

std::unique_ptr<CdSectorReader> CdSectorReader::Create(CdIo_t* cdio, std::mutex& mutex, std::int32_t from)
{
    bool image;
    {
        std::lock_guard lock(mutex);
        image = IsImage(cdio);
    }
    return Create(cdio, mutex, from, image ? SectorReading::Plain : SectorReading::Paranoia);
}

std::unique_ptr<CdSectorReader> CdSectorReader::Create(CdIo_t* cdio, std::mutex& mutex, std::int32_t from,
                                                       SectorReading reading)
{
    std::lock_guard lock(mutex);
    if (reading == SectorReading::Plain) {
        auto reader = std::unique_ptr<CdSectorReader>(new CdSectorReader(cdio, mutex, from, nullptr));
        reader->m_runEnds = ReadBounds(cdio);
        return reader;
    }
    auto handles = std::make_unique<Handles>();
    char* messages = nullptr;
    handles->drive = cdio_cddap_identify_cdio(cdio, CDDA_MESSAGE_FORGETIT, &messages);
    cdio_cddap_free_messages(messages);
    if (!handles->drive)
        return nullptr;
    cdio_cddap_verbose_set(handles->drive, CDDA_MESSAGE_FORGETIT, CDDA_MESSAGE_FORGETIT);
    if (cdio_cddap_open(handles->drive) != 0)
        return nullptr;
    handles->paranoia = cdio_paranoia_init(handles->drive);
    if (!handles->paranoia)
        return nullptr;
    cdio_paranoia_modeset(handles->paranoia, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    cdio_paranoia_seek(handles->paranoia, from, SEEK_SET);
    return std::unique_ptr<CdSectorReader>(new CdSectorReader(cdio, mutex, from, std::move(handles)));
}

CdSectorReader::CdSectorReader(CdIo_t* cdio, std::mutex& mutex, std::int32_t from, std::unique_ptr<Handles> handles)
    : m_cdio(cdio), m_mutex(mutex), m_handles(std::move(handles)), m_next(from)
{
}

CdSectorReader::~CdSectorReader()
{
    std::lock_guard lock(m_mutex);
    m_handles.reset();
}

int CdSectorReader::Read(std::uint8_t* out, int count)
{
    std::lock_guard lock(m_mutex);
    return m_handles ? ReadParanoia(out, count) : ReadPlain(out, count);
}

int CdSectorReader::ReadParanoia(std::uint8_t* out, int count)
{
    for (int i = 0; i < count; ++i) {
        const int16_t* sector = cdio_paranoia_read_limited(m_handles->paranoia, IgnoreProgress, kRetries);
        if (!sector)
            return i;
        std::memcpy(out + static_cast<std::size_t>(i) * kSectorBytes, sector, kSectorBytes);
    }
    return count;
}

int CdSectorReader::ReadPlain(std::uint8_t* out, int count)
{
    int done = 0;
    while (done < count) {
        // Nothing past the lead-out, as on a drive.
        const auto bound = std::upper_bound(m_runEnds.begin(), m_runEnds.end(), m_next);
        if (bound == m_runEnds.end())
            break;
        const int run = std::min<std::int32_t>(count - done, *bound - m_next);
        const int got = ReadRun(out + static_cast<std::size_t>(done) * kSectorBytes, run);
        m_next += got;
        done += got;
        if (got < run)
            break;
    }
    // An image holds its samples little-endian.
    if constexpr (std::endian::native == std::endian::big) {
        auto* samples = reinterpret_cast<std::uint16_t*>(out);
        for (std::size_t i = 0; i < static_cast<std::size_t>(done) * kSectorBytes / 2; ++i)
            samples[i] = static_cast<std::uint16_t>(samples[i] << 8 | samples[i] >> 8);
    }
    return done;
}

int CdSectorReader::ReadRun(std::uint8_t* out, int count)
{
    // A read that starts inside the image's data and runs past its end
    // succeeds all the same and leaves the rest of out as it was. So out is
    // cleared first, but for the mark: gone, the data reached the last
    // sector. A sector the data reaches only partly reads, as ReadableEnd
    // counts it, with silence after the data.
    const std::size_t bytes = static_cast<std::size_t>(count) * kSectorBytes;
    std::uint8_t* const lastSector = out + bytes - kSectorBytes;
    std::memset(out, 0, bytes);
    std::memcpy(lastSector, kUnreadMark, sizeof kUnreadMark);
    if (cdio_read_audio_sectors(m_cdio, out, m_next, static_cast<unsigned>(count)) != DRIVER_OP_SUCCESS)
        return 0;
    if (std::memcmp(lastSector, kUnreadMark, sizeof kUnreadMark) != 0)
        return count;
    // The data ends before the last sector, or that sector begins with the
    // mark itself: ask sector by sector. The first one read, as the read began.
    std::uint8_t sector[kSectorBytes];
    int read = 1;
    while (read < count && cdio_read_audio_sector(m_cdio, sector, m_next + read) == DRIVER_OP_SUCCESS)
        ++read;
    return read;
}

}  // namespace mci
