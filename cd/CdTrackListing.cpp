#include "cd/CdTrackListing.h"

#include <algorithm>

#include "cd/CdDrives.h"
#include "platform/Services.h"
#include "platform/mci/Mci.h"

namespace cd {

TrackListing ListCdTracks(const QString& driveName, const std::function<void(int track)>& addTrack)
{
    mci::CdSystem* cdSystem = platform::GetServices().cd;
    if (!cdSystem)
        return TrackListing::OpenFailed;
    const std::optional<mci::DeviceId> device = cdSystem->Open(driveName);
    if (!device)
        return TrackListing::OpenFailed;
    const std::optional<std::uint32_t> count = cdSystem->Status(*device, mci::StatusItem::NumberOfTracks);
    if (!count) {
        cdSystem->Close(*device);
        return TrackListing::CountFailed;
    }
    // Tracks by their numbers on the disc, which may begin past track 1.
    const std::uint32_t first = static_cast<std::uint32_t>(GetCdFirstTrack(*device));
    const auto last = static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t(first) + *count - 1, kMaxCdTrack));
    for (std::uint32_t track = first; track <= last; ++track)
        addTrack(static_cast<int>(track));
    return cdSystem->Close(*device) ? TrackListing::Listed : TrackListing::CloseFailed;
}

}  // namespace cd
