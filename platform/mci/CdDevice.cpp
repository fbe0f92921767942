#include "platform/mci/CdDevice.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cdio/mmc.h>
#include <map>
#include <set>
#include <sys/stat.h>

#include "platform/drives/CdioSetup.h"
#include "platform/mci/CdSectorReader.h"
#include "platform/mci/CdStream.h"
#include "platform/mci/CdTime.h"
#include "platform/mci/DiscImage.h"
#include "platform/mci/Mci.h"
#include "platform/mci/RipDisc.h"
#include "platform/mci/RipReader.h"

namespace mci {
namespace {

// Targets open in this process, and the trays of disc images (which have
// none, so the tray lives here and outlasts the devices).
struct Tables {
    std::mutex mutex;
    std::set<QString> open;
    std::set<QString> imageTraysOpen;
};

Tables& GetTables()
{
    static Tables s_tables;
    return s_tables;
}

bool ImageTrayOpen(const QString& key)
{
    Tables& tables = GetTables();
    std::lock_guard lock(tables.mutex);
    return tables.imageTraysOpen.count(key) != 0;
}

QString CanonicalKey(const QString& target)
{
    const QFileInfo info(target);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

bool IsDeviceNode(const QString& target)
{
    struct stat info {};
    return ::stat(QFile::encodeName(target).constData(), &info) == 0 &&
           (S_ISBLK(info.st_mode) || S_ISCHR(info.st_mode));
}

}  // namespace

std::int32_t CdDevice::Toc::StartOf(std::size_t index) const
{
    return std::min(start[index], readableEnd);
}

std::unique_ptr<CdDevice> CdDevice::Open(const QString& target)
{
    drives::InitCdio();
    const QString key = CanonicalKey(target);
    Tables& tables = GetTables();
    {
        std::lock_guard lock(tables.mutex);
        if (!tables.open.insert(key).second)
            return nullptr;
    }
    return std::unique_ptr<CdDevice>(new CdDevice(target, key, !IsDeviceNode(target)));
}

CdDevice::CdDevice(QString target, QString key, bool image)
    : m_target(std::move(target)), m_key(std::move(key)), m_image(image)
{
}

CdDevice::~CdDevice()
{
    DropDisc();
    Tables& tables = GetTables();
    std::lock_guard lock(tables.mutex);
    tables.open.erase(m_key);
}

bool CdDevice::LoadDisc()
{
    if (m_image && ImageTrayOpen(m_key))
        return false;
    std::lock_guard lock(m_cdioMutex);
    if (!m_image && m_cdio && !m_stream && cdio_get_media_changed(m_cdio) == 1) {
        cdio_destroy(m_cdio);
        m_cdio = nullptr;
        m_toc.reset();
    }
    if (m_toc)
        return true;
    if (m_image && PlaysAsRip(m_target))
        return LoadRip();
    if (!m_cdio && m_image && !ImageCanBeOpened(m_target)) {
        SetImageProblem(QStringLiteral("is no regular file, or its cue sheet has a FILE without a TRACK"));
        return false;
    }
    if (!m_cdio)
        m_cdio = cdio_open(QFile::encodeName(m_target).constData(), m_image ? DRIVER_UNKNOWN : DRIVER_DEVICE);
    if (!m_cdio) {
        SetImageProblem(QStringLiteral("is no disc image libcdio reads"));
        return false;
    }
    Toc toc;
    const track_t first = cdio_get_first_track_num(m_cdio);
    const track_t count = cdio_get_num_tracks(m_cdio);
    toc.leadOut = cdio_get_track_lsn(m_cdio, CDIO_CDROM_LEADOUT_TRACK);
    bool valid = first != CDIO_INVALID_TRACK && count != CDIO_INVALID_TRACK && count > 0 &&
                 toc.leadOut != CDIO_INVALID_LSN;
    for (int t = first; valid && t < first + count; ++t) {
        const lsn_t start = cdio_get_track_lsn(m_cdio, static_cast<track_t>(t));
        valid = start != CDIO_INVALID_LSN;
        toc.start.push_back(start);
        toc.audio.push_back(cdio_get_track_format(m_cdio, static_cast<track_t>(t)) == TRACK_FORMAT_AUDIO);
    }
    if (!valid) {
        // No disc (yet): the next question opens the drive afresh.
        cdio_destroy(m_cdio);
        m_cdio = nullptr;
        SetImageProblem(QStringLiteral("holds no track"));
        return false;
    }
    toc.first = first;
    // A .bin cut short ends before the table of contents does; what lies
    // beyond cannot be played, and no track reaches into it.
    toc.readableEnd = m_image ? ReadableEnd(m_cdio, toc.start.front(), toc.leadOut)
                              : std::max(toc.leadOut, toc.start.front());
    m_position = LsnToMs(toc.start.front());
    m_toc = std::move(toc);
    SetImageProblem({});
    return true;
}

bool CdDevice::LoadRip()
{
    QString why;
    m_rip = RipDisc::Load(m_target, &why);
    if (!m_rip) {
        SetImageProblem(why);
        return false;
    }
    Toc toc;
    toc.first = m_rip->firstTrack;
    toc.start = m_rip->starts;
    toc.audio = m_rip->audio;
    toc.leadOut = m_rip->leadOut;
    // A table of contents may give its tracks more than their files hold.
    const auto dataEnd = std::int32_t((m_rip->samples + kRipSamplesPerSector - 1) / kRipSamplesPerSector);
    toc.readableEnd = std::max(std::min(m_rip->leadOut, dataEnd), toc.start.front());
    m_position = LsnToMs(toc.start.front());
    m_toc = std::move(toc);
    SetImageProblem({});
    return true;
}

void CdDevice::SetImageProblem(const QString& problem)
{
    if (m_image)
        m_imageProblem = problem.isEmpty() ? QString() : QStringLiteral("the disc image %1 %2").arg(m_target, problem);
}

QString CdDevice::DataFile() const
{
    // libcdio reads the one BINARY file of a sheet, named like the sheet.
    if (m_target.endsWith(QLatin1String(".cue")))
        return m_target.chopped(3) + QLatin1String("bin");
    if (m_target.endsWith(QLatin1String(".CUE")))
        return m_target.chopped(3) + QLatin1String("BIN");
    return m_target;
}

void CdDevice::Lose(const QString& file)
{
    m_lost = true;
    if (m_image)
        m_lostProblem = QStringLiteral("the disc image %1 cannot be read any more: %2 was cut short or removed")
                            .arg(m_target, file.isEmpty() ? DataFile() : file);
}

QString CdDevice::Problem() const
{
    return m_lost ? m_lostProblem : m_imageProblem;
}

void CdDevice::DropDisc()
{
    EndStream();
    std::lock_guard lock(m_cdioMutex);
    if (m_cdio)
        cdio_destroy(m_cdio);
    m_cdio = nullptr;
    m_toc.reset();
    m_rip.reset();
}

bool CdDevice::TrayOpen()
{
    if (m_image)
        return ImageTrayOpen(m_key);
    if (m_stream)
        return false;
    std::lock_guard lock(m_cdioMutex);
    return m_cdio && mmc_get_tray_status(m_cdio) == 1;
}

std::optional<std::size_t> CdDevice::IndexOf(int track) const
{
    if (!m_toc || track < m_toc->first)
        return std::nullopt;
    const auto index = static_cast<std::size_t>(track - m_toc->first);
    if (index >= m_toc->start.size())
        return std::nullopt;
    return index;
}

bool CdDevice::Ready()
{
    SettleStream();
    return m_stream || LoadDisc();
}

void CdDevice::CheckImageData()
{
    // An image file cut short or emptied while it plays reads as a silence
    // libcdio does not report: ask for the sector being played.
    if (!m_stream || !m_image || m_rip || !m_cdio || !m_toc)
        return;
    const std::int32_t lsn = std::min(MsToLsn(StreamPosition()), m_toc->readableEnd - 1);
    std::uint8_t sector[CDIO_CD_FRAMESIZE_RAW];
    bool readable;
    {
        std::lock_guard lock(m_cdioMutex);
        readable = cdio_read_audio_sector(m_cdio, sector, lsn) == DRIVER_OP_SUCCESS;
    }
    if (!readable) {
        EndStream();
        Lose({});
    }
}

long CdDevice::Mode()
{
    SettleStream();
    CheckImageData();
    if (m_stream)
        return m_paused ? kModePaused : kModePlaying;
    if (TrayOpen())
        return kModeOpen;
    return !m_lost && LoadDisc() ? kModeStopped : kModeNotReady;
}

std::optional<int> CdDevice::TrackCount()
{
    if (!Ready())
        return std::nullopt;
    return static_cast<int>(m_toc->start.size());
}

std::optional<std::uint32_t> CdDevice::TrackStart(int track)
{
    const auto index = Ready() ? IndexOf(track) : std::nullopt;
    if (!index)
        return std::nullopt;
    return LsnToMs(m_toc->StartOf(*index));
}

std::optional<std::uint32_t> CdDevice::TrackLength(int track)
{
    const auto index = Ready() ? IndexOf(track) : std::nullopt;
    if (!index)
        return std::nullopt;
    const std::int32_t end = *index + 1 < m_toc->start.size() ? m_toc->StartOf(*index + 1) : m_toc->readableEnd;
    const std::uint32_t startMs = LsnToMs(m_toc->StartOf(*index));
    const std::uint32_t endMs = LsnToMs(end);
    return endMs > startMs ? endMs - startMs : 0;
}

std::optional<bool> CdDevice::TrackIsAudio(int track)
{
    const auto index = Ready() ? IndexOf(track) : std::nullopt;
    if (!index)
        return std::nullopt;
    return m_toc->audio[*index];
}

std::optional<std::uint32_t> CdDevice::DiscLength()
{
    if (!Ready())
        return std::nullopt;
    const std::uint32_t endMs = LsnToMs(m_toc->readableEnd);
    return endMs - std::min(endMs, LsnToMs(m_toc->start.front()));
}

std::optional<std::uint32_t> CdDevice::Position()
{
    CheckImageData();
    if (!Ready() || m_lost)
        return std::nullopt;
    return m_stream ? StreamPosition() : m_position;
}

std::uint32_t CdDevice::StreamPosition() const
{
    const std::int64_t played = m_stream->PositionMs().value_or(0);
    return static_cast<std::uint32_t>(std::min<std::int64_t>(m_playStart + played, m_playEnd));
}

bool CdDevice::Play(std::uint32_t from, std::optional<std::uint32_t> to)
{
    if (!Ready())
        return false;
    const Toc& toc = *m_toc;
    const std::int32_t fromLsn = std::max(MsToLsn(from), toc.start.front());
    if (fromLsn >= toc.readableEnd || (to && (*to <= from || *to > LsnToMs(toc.readableEnd))))
        return false;
    // fromLsn is at or after the first start, so some track holds it.
    const auto track =
        static_cast<std::size_t>(std::upper_bound(toc.start.begin(), toc.start.end(), fromLsn) - toc.start.begin() - 1);
    if (!toc.audio[track])
        return false;
    std::int32_t readEnd = std::min(to ? MsToLsn(*to) : toc.readableEnd, toc.readableEnd);
    for (std::size_t next = track + 1; next < toc.start.size(); ++next)
        if (!toc.audio[next]) {
            readEnd = std::min(readEnd, toc.start[next]);
            break;
        }

    EndStream();
    std::unique_ptr<SectorSource> reader;
    if (m_rip)
        reader = std::make_unique<RipReader>(m_rip, fromLsn);
    else
        reader = CdSectorReader::Create(m_cdio, m_cdioMutex, fromLsn);
    if (!reader)
        return false;
    auto stream = std::make_unique<CdStream>(std::move(reader), fromLsn, readEnd);
    QString error;
    if (!stream->Start(&error))
        return false;
    m_stream = std::move(stream);
    m_lost = false;
    m_paused = false;
    m_playStart = LsnToMs(fromLsn);
    m_playEnd = to ? *to : std::max(LsnToMs(toc.readableEnd), m_playStart);
    return true;
}

void CdDevice::EndStream()
{
    if (!m_stream)
        return;
    m_position = StreamPosition();
    m_stream.reset();
    m_paused = false;
}

void CdDevice::SettleStream()
{
    if (m_stream && m_stream->Ended()) {
        m_lost = false;
        if (m_stream->ReadFailed())
            Lose(QFile::decodeName(m_stream->FailedFile()));
        m_stream.reset();
        m_paused = false;
        m_position = m_playEnd;
    }
}

bool CdDevice::Stop()
{
    SettleStream();
    EndStream();
    return true;
}

bool CdDevice::Pause()
{
    SettleStream();
    if (m_stream && !m_paused) {
        m_stream->SetPaused(true);
        m_paused = true;
    }
    return true;
}

bool CdDevice::Resume()
{
    SettleStream();
    if (!m_stream)
        return false;
    if (m_paused) {
        m_stream->SetPaused(false);
        m_paused = false;
    }
    return true;
}

bool CdDevice::SetDoor(bool open)
{
    if (m_image) {
        if (open)
            DropDisc();
        Tables& tables = GetTables();
        std::lock_guard lock(tables.mutex);
        if (open)
            tables.imageTraysOpen.insert(m_key);
        else
            tables.imageTraysOpen.erase(m_key);
        return true;
    }
    // cdio_eject_media would free the handle it is given: close ours first
    // and eject by the drive's path.
    DropDisc();
    const QByteArray path = QFile::encodeName(m_target);
    const driver_return_code_t result =
        open ? cdio_eject_media_drive(path.constData()) : cdio_close_tray(path.constData(), nullptr);
    return result == DRIVER_OP_SUCCESS;
}

}  // namespace mci
