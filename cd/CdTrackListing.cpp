#include "cd/CdTrackListing.h"

#include <algorithm>

#include "platform/Services.h"
#include "platform/mci/Mci.h"

namespace cd {
namespace {

// A disc holds tracks 1 to 99; an entry writes the number in two digits.
constexpr std::uint32_t kMaxTracks = 99;

}  // namespace

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
    const std::uint32_t last = std::min(*count, kMaxTracks);
    for (std::uint32_t track = 1; track <= last; ++track)
        addTrack(static_cast<int>(track));
    return cdSystem->Close(*device) ? TrackListing::Listed : TrackListing::CloseFailed;
}

}  // namespace cd
