#include "cd/CdDrives.h"

#include "cd/CdTrackListing.h"
#include "platform/Services.h"
#include "platform/drives/DriveMap.h"
#include "platform/ui/MessageBox.h"
#include "res/Strings.h"

namespace cd {

BOOL GetCdDriveList(QStringList& out)
{
    drives::DriveMap* map = platform::GetServices().drives;
    if (!map)
        return FALSE;
    // A drive plugged in since the last question is found now.
    map->RefreshDetected();
    for (const QString& root : map->LogicalDriveStrings())
        if (map->GetDriveType(root) == drives::DRIVE_CDROM)
            out.append(root);
    return TRUE;
}

BOOL GetFirstCdDrive(QString& drive)
{
    drives::DriveMap* map = platform::GetServices().drives;
    if (map)
        map->RefreshDetected();
    const std::optional<QString> first = map ? map->FirstCdDrive() : std::nullopt;
    if (!first) {
        platform::AfxMessageBox(res::LoadStr(108));
        return FALSE;
    }
    drive = *first;
    return TRUE;
}

long GetCdTrackLength(mci::DeviceId id, int track)
{
    mci::CdSystem* cd = platform::GetServices().cd;
    if (!cd)
        return -1;
    const auto count = cd->Status(id, mci::StatusItem::NumberOfTracks);
    if (!count || track < 1 || static_cast<std::uint32_t>(track) > *count)
        return -1;
    if (static_cast<std::uint32_t>(track) == *count) {
        const auto length = cd->Status(id, mci::StatusItem::Length, track);
        return length ? static_cast<long>(*length) : -1;
    }
    const auto start = cd->Status(id, mci::StatusItem::Position, track);
    const auto next = start ? cd->Status(id, mci::StatusItem::Position, track + 1) : std::nullopt;
    if (!next)
        return -1;
    return static_cast<long>(*next) - static_cast<long>(*start);
}

std::optional<int> CountCdTracks(const QString& root)
{
    int count = 0;
    if (ListCdTracks(root.left(2), [&count](int) { ++count; }) != TrackListing::Listed)
        return std::nullopt;
    return count;
}

}  // namespace cd
