#pragma once
// The track listing of the CD dialogs: open CD audio on a drive, ask the
// track count, one call per track, close. Runs on the CD system of the
// services.

#include <QString>
#include <functional>

namespace cd {

enum class TrackListing {
    Listed,       // opened, counted, every track given, closed
    OpenFailed,   // nothing was opened
    CountFailed,  // the device was closed again, no track given
    CloseFailed,  // every track was given, the close failed
};

// driveName is "X:". The device is closed after every successful open.
TrackListing ListCdTracks(const QString& driveName, const std::function<void(int track)>& addTrack);

}  // namespace cd
