#include "platform/mci/CdSectorReader.h"

#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>
#include <cstring>

namespace mci {
namespace {

// A damaged sector is retried this often before paranoia gives up on it.
constexpr int kRetries = 5;

void IgnoreProgress(long, paranoia_cb_mode_t) {}

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
    std::lock_guard lock(mutex);
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
    return std::unique_ptr<CdSectorReader>(new CdSectorReader(mutex, std::move(handles)));
}

CdSectorReader::CdSectorReader(std::mutex& mutex, std::unique_ptr<Handles> handles)
    : m_mutex(mutex), m_handles(std::move(handles))
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
    for (int i = 0; i < count; ++i) {
        const int16_t* sector = cdio_paranoia_read_limited(m_handles->paranoia, IgnoreProgress, kRetries);
        if (!sector)
            return i;
        std::memcpy(out + static_cast<std::size_t>(i) * kSectorBytes, sector, kSectorBytes);
    }
    return count;
}

}  // namespace mci
