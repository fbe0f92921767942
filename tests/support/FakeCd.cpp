#include "tests/support/FakeCd.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <utility>

#include "platform/mci/MciString.h"
#include "tests/support/FakeMedia.h"

namespace testsupport {
namespace {

QString ItemName(mci::StatusItem item)
{
    switch (item) {
    case mci::StatusItem::Length:
        return QStringLiteral("length");
    case mci::StatusItem::Position:
        return QStringLiteral("position");
    case mci::StatusItem::NumberOfTracks:
        return QStringLiteral("tracks");
    case mci::StatusItem::Mode:
        return QStringLiteral("mode");
    case mci::StatusItem::Ready:
        return QStringLiteral("ready");
    case mci::StatusItem::TrackType:
        return QStringLiteral("type");
    }
    return QStringLiteral("?");
}

}  // namespace

long FakeDisc::TrackStart(int track) const
{
    return firstTrackStartMs
           + std::accumulate(trackLengthsMs.begin(), trackLengthsMs.begin() + (track - firstTrack), 0L);
}

int FakeDisc::LastTrack() const
{
    return firstTrack + int(trackLengthsMs.size()) - 1;
}

long FakeDisc::DiscLength() const
{
    return firstTrackStartMs + std::accumulate(trackLengthsMs.begin(), trackLengthsMs.end(), 0L);
}

FakeCdSystem::FakeCdSystem(FakeClock& clock)
    : m_clock(clock), m_subscription(clock.Subscribe([this](long ms) { Tick(ms); }))
{
}

FakeCdSystem::~FakeCdSystem()
{
    m_clock.Unsubscribe(m_subscription);
}

FakeDisc& FakeCdSystem::AddDrive(const QString& driveName, FakeDisc disc)
{
    m_drives.emplace_back(driveName.toUpper(), std::move(disc));
    return m_drives.back().second;
}

FakeDisc& FakeCdSystem::Disc(const QString& driveName)
{
    return const_cast<FakeDisc&>(std::as_const(*this).Disc(driveName));
}

const FakeDisc& FakeCdSystem::Disc(const QString& driveName) const
{
    for (const auto& [name, disc] : m_drives)
        if (name == driveName.toUpper())
            return disc;
    throw std::out_of_range("no fake CD drive " + driveName.toStdString());
}

std::vector<mci::DeviceId> FakeCdSystem::OpenDevices() const
{
    std::vector<mci::DeviceId> ids;
    for (const auto& [id, device] : m_devices)
        ids.push_back(id);
    return ids;
}

QString FakeCdSystem::DriveOf(mci::DeviceId id) const
{
    const auto it = m_devices.find(id);
    return it == m_devices.end() ? QString() : it->second.drive;
}

void FakeCdSystem::SetPosition(mci::DeviceId id, long ms)
{
    if (Device* device = Find(id))
        device->position = ms;
}

FakeCdSystem::Device* FakeCdSystem::Find(mci::DeviceId id)
{
    const auto it = m_devices.find(id);
    return it == m_devices.end() ? nullptr : &it->second;
}

bool FakeCdSystem::Ready(const Device& device) const
{
    const FakeDisc& disc = Disc(device.drive);
    return disc.present && !disc.doorOpen;
}

long FakeCdSystem::Mode(const Device& device) const
{
    const FakeDisc& disc = Disc(device.drive);
    if (disc.doorOpen)
        return mci::kModeOpen;
    if (!disc.present)
        return mci::kModeNotReady;
    return device.mode;
}

void FakeCdSystem::Tick(long ms)
{
    for (auto& [id, device] : m_devices) {
        if (device.mode != mci::kModePlaying)
            continue;
        device.position += ms;
        if (device.position >= device.stopAt) {
            device.position = device.end;
            device.mode = mci::kModeStopped;
        }
    }
}

std::optional<mci::DeviceId> FakeCdSystem::Open(const QString& driveName)
{
    const QString drive = driveName.toUpper();
    const auto known = std::find_if(m_drives.begin(), m_drives.end(), [&](const auto& d) { return d.first == drive; });
    const bool inUse = std::any_of(m_devices.begin(), m_devices.end(),
                                   [&](const auto& entry) { return entry.second.drive == drive; });
    if (known == m_drives.end() || known->second.busy || known->second.failOpen || inUse) {
        Record(QStringLiteral("Open %1 -> fail").arg(driveName));
        return std::nullopt;
    }
    mci::DeviceId id = m_lastId;
    do
        ++id;
    while (id == 0 || m_devices.count(id));
    m_lastId = id;
    m_devices[id] = Device{drive};
    Record(QStringLiteral("Open %1 -> %2").arg(driveName).arg(id));
    return id;
}

std::optional<std::uint32_t> FakeCdSystem::Status(mci::DeviceId id, mci::StatusItem item, int track)
{
    Record(QStringLiteral("Status %1 %2").arg(id).arg(ItemName(item)) +
           (track ? QStringLiteral(" %1").arg(track) : QString()));
    Device* device = Find(id);
    if (!device || track < 0)
        return std::nullopt;
    const FakeDisc& disc = Disc(device->drive);
    const int count = int(disc.trackLengthsMs.size());
    switch (item) {
    case mci::StatusItem::Ready:
        return disc.failReady ? std::nullopt : std::optional<std::uint32_t>(Ready(*device) ? 1 : 0);
    case mci::StatusItem::Mode:
        return std::uint32_t(Mode(*device));
    default:
        break;
    }
    if (!Ready(*device) || (track != 0 && (track < disc.firstTrack || track > disc.LastTrack())))
        return std::nullopt;
    switch (item) {
    case mci::StatusItem::NumberOfTracks:
        return disc.failCount ? std::nullopt : std::optional<std::uint32_t>(count);
    case mci::StatusItem::Position:
        if (disc.failPosition)
            return std::nullopt;
        return std::uint32_t(track ? disc.TrackStart(track) : device->position);
    case mci::StatusItem::Length:
        if (disc.failLength)
            return std::nullopt;
        return std::uint32_t(track ? disc.trackLengthsMs[std::size_t(track - disc.firstTrack)] : disc.DiscLength());
    case mci::StatusItem::TrackType:
        if (track == 0)
            return std::nullopt;
        return disc.dataTracks.count(track) ? mci::kCdTrackOther : mci::kCdTrackAudio;
    default:
        return std::nullopt;
    }
}

bool FakeCdSystem::SetTimeFormatMs(mci::DeviceId id)
{
    Record(QStringLiteral("TimeFormatMs %1").arg(id));
    const Device* device = Find(id);
    return device && !Disc(device->drive).failTimeFormat;
}

bool FakeCdSystem::Play(mci::DeviceId id, std::uint32_t from, std::optional<std::uint32_t> to)
{
    Record(QStringLiteral("Play %1 %2 %3").arg(id).arg(from).arg(to ? QString::number(*to) : QStringLiteral("end")));
    Device* device = Find(id);
    if (!device || !Ready(*device))
        return false;
    const FakeDisc& disc = Disc(device->drive);
    const long discEnd = disc.DiscLength();
    if (disc.failPlay || long(from) >= discEnd || (to && (*to <= from || long(*to) > discEnd)))
        return false;
    int track = disc.firstTrack;
    while (track < disc.LastTrack() && disc.TrackStart(track + 1) <= long(from))
        ++track;
    if (disc.dataTracks.count(track))
        return false;
    device->mode = mci::kModePlaying;
    device->position = long(from);
    device->end = to ? long(*to) : discEnd;
    device->stopAt = device->end;
    for (int next = track + 1; next <= disc.LastTrack(); ++next)
        if (disc.dataTracks.count(next)) {
            device->stopAt = std::min(device->stopAt, disc.TrackStart(next));
            break;
        }
    return true;
}

bool FakeCdSystem::Stop(mci::DeviceId id)
{
    Record(QStringLiteral("Stop %1").arg(id));
    Device* device = Find(id);
    if (!device)
        return false;
    device->mode = mci::kModeStopped;
    return true;
}

bool FakeCdSystem::Pause(mci::DeviceId id)
{
    Record(QStringLiteral("Pause %1").arg(id));
    Device* device = Find(id);
    if (!device)
        return false;
    if (device->mode == mci::kModePlaying)
        device->mode = mci::kModePaused;
    return true;
}

bool FakeCdSystem::Resume(mci::DeviceId id)
{
    Record(QStringLiteral("Resume %1").arg(id));
    Device* device = Find(id);
    if (!device || device->mode == mci::kModeStopped)
        return false;
    device->mode = mci::kModePlaying;
    return true;
}

bool FakeCdSystem::SetDoor(mci::DeviceId id, bool open)
{
    Record(QStringLiteral("Door %1 %2").arg(id).arg(open ? QStringLiteral("open") : QStringLiteral("closed")));
    Device* device = Find(id);
    if (!device)
        return false;
    device->mode = mci::kModeStopped;
    Disc(device->drive).doorOpen = open;
    return true;
}

bool FakeCdSystem::Close(mci::DeviceId id)
{
    Record(QStringLiteral("Close %1").arg(id));
    const auto it = m_devices.find(id);
    if (it == m_devices.end())
        return false;
    const bool fail = Disc(it->second.drive).failClose;
    m_devices.erase(it);
    if (m_stringDevice == id)
        m_stringDevice.reset();
    return !fail;
}

QString FakeCdSystem::DiscProblem(mci::DeviceId id)
{
    Record(QStringLiteral("Problem %1").arg(id));
    const Device* device = Find(id);
    return device ? Disc(device->drive).problem : QString();
}

bool FakeCdSystem::SendString(const QString& command, QString* result)
{
    Record(QStringLiteral("String ") + command);
    if (result)
        result->clear();
    const auto parsed = mci::ParseCdString(command);
    if (!parsed)
        return false;
    if (*parsed == mci::CdStringCommand::Open) {
        if (m_stringDevice || m_drives.empty())
            return false;
        m_stringDevice = Open(m_drives.front().first);
        return m_stringDevice.has_value();
    }
    if (!m_stringDevice)
        return false;
    switch (*parsed) {
    case mci::CdStringCommand::StatusMode:
        if (result)
            *result = mci::ModeWord(Mode(*Find(*m_stringDevice)));
        return true;
    case mci::CdStringCommand::DoorOpen:
        return SetDoor(*m_stringDevice, true);
    case mci::CdStringCommand::DoorClosed:
        return SetDoor(*m_stringDevice, false);
    case mci::CdStringCommand::Close:
        return Close(*m_stringDevice);
    case mci::CdStringCommand::Open:
        break;
    }
    return false;
}

}  // namespace testsupport
