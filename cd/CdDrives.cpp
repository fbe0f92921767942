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
    if (!count || track < 1)
        return -1;
    // Only a number past the count asks where the disc begins, so a disc
    // that begins at track 1 is asked what it always was.
    std::int64_t last = *count;
    if (track > last)
        last = std::int64_t(GetCdFirstTrack(id)) + *count - 1;
    if (track > last)
        return -1;
    if (track == last) {
        const auto length = cd->Status(id, mci::StatusItem::Length, track);
        return length ? static_cast<long>(*length) : -1;
    }
    const auto start = cd->Status(id, mci::StatusItem::Position, track);
    const auto next = start ? cd->Status(id, mci::StatusItem::Position, track + 1) : std::nullopt;
    if (!next)
        return -1;
    return static_cast<long>(*next) - static_cast<long>(*start);
}

int GetCdFirstTrack(mci::DeviceId id)
{
    mci::CdSystem* cd = platform::GetServices().cd;
    for (int track = 1; cd && track <= kMaxCdTrack; ++track)
        if (cd->Status(id, mci::StatusItem::Position, track))
            return track;
    return 1;
}

std::optional<int> CountCdTracks(const QString& root)
{
    int count = 0;
    if (ListCdTracks(root.left(2), [&count](int) { ++count; }) != TrackListing::Listed)
        return std::nullopt;
    return count;
}

}  // namespace cd
