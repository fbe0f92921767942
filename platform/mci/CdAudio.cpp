#include "platform/mci/CdAudio.h"

#include "platform/drives/DriveMap.h"
#include "platform/mci/CdDevice.h"
#include "platform/mci/MciString.h"

namespace mci {
RealCdSystem::RealCdSystem(drives::DriveMap& drives) : m_drives(drives) {}

RealCdSystem::~RealCdSystem() = default;

CdDevice* RealCdSystem::Find(DeviceId id) const
{
    const auto it = m_devices.find(id);
    return it == m_devices.end() ? nullptr : it->second.get();
}

std::optional<DeviceId> RealCdSystem::Open(const QString& driveName)
{
    // The drive may have been plugged in after start.
    m_drives.RefreshDetected();
    if (m_drives.GetDriveType(driveName) != drives::DRIVE_CDROM)
        return std::nullopt;
    std::unique_ptr<CdDevice> device = CdDevice::Open(m_drives.Target(driveName));
    if (!device)
        return std::nullopt;
    DeviceId id = m_lastId;
    do
        ++id;
    while (id == 0 || m_devices.count(id));
    m_lastId = id;
    m_devices.emplace(id, std::move(device));
    return id;
}

std::optional<std::uint32_t> RealCdSystem::Status(DeviceId id, StatusItem item, int track)
{
    CdDevice* device = Find(id);
    if (!device || track < 0)
        return std::nullopt;
    switch (item) {
    case StatusItem::Ready:
        return device->Ready() ? 1u : 0u;
    case StatusItem::Mode:
        return static_cast<std::uint32_t>(device->Mode());
    case StatusItem::NumberOfTracks:
        if (const auto count = device->TrackCount())
            return static_cast<std::uint32_t>(*count);
        return std::nullopt;
    case StatusItem::Position:
        return track == 0 ? device->Position() : device->TrackStart(track);
    case StatusItem::Length:
        return track == 0 ? device->DiscLength() : device->TrackLength(track);
    case StatusItem::TrackType:
        if (const auto audio = device->TrackIsAudio(track))
            return *audio ? kCdTrackAudio : kCdTrackOther;
        return std::nullopt;
    }
    return std::nullopt;
}

bool RealCdSystem::SetTimeFormatMs(DeviceId id)
{
    return Find(id) != nullptr;
}

bool RealCdSystem::Play(DeviceId id, std::uint32_t from, std::optional<std::uint32_t> to)
{
    CdDevice* device = Find(id);
    return device && device->Play(from, to);
}

bool RealCdSystem::Stop(DeviceId id)
{
    CdDevice* device = Find(id);
    return device && device->Stop();
}

bool RealCdSystem::Pause(DeviceId id)
{
    CdDevice* device = Find(id);
    return device && device->Pause();
}

bool RealCdSystem::Resume(DeviceId id)
{
    CdDevice* device = Find(id);
    return device && device->Resume();
}

bool RealCdSystem::SetDoor(DeviceId id, bool open)
{
    CdDevice* device = Find(id);
    return device && device->SetDoor(open);
}

bool RealCdSystem::Close(DeviceId id)
{
    if (m_stringDevice == id)
        m_stringDevice.reset();
    return m_devices.erase(id) != 0;
}

QString RealCdSystem::DiscProblem(DeviceId id)
{
    CdDevice* device = Find(id);
    return device ? device->Problem() : QString();
}

bool RealCdSystem::SendString(const QString& command, QString* result)
{
    if (result)
        result->clear();
    const auto parsed = ParseCdString(command);
    if (!parsed)
        return false;
    if (*parsed == CdStringCommand::Open) {
        m_drives.RefreshDetected();
        const std::optional<QString> drive = m_drives.FirstCdDrive();
        if (m_stringDevice || !drive)
            return false;
        m_stringDevice = Open(*drive);
        return m_stringDevice.has_value();
    }
    if (!m_stringDevice)
        return false;
    const DeviceId id = *m_stringDevice;
    switch (*parsed) {
    case CdStringCommand::StatusMode:
        if (result)
            *result = ModeWord(Find(id)->Mode());
        return true;
    case CdStringCommand::DoorOpen:
        return SetDoor(id, true);
    case CdStringCommand::DoorClosed:
        return SetDoor(id, false);
    case CdStringCommand::Close:
        return Close(id);
    case CdStringCommand::Open:
        break;
    }
    return false;
}

}  // namespace mci
