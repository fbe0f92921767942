#pragma once
// CD drives and the track queries the player and the dialogs make.

#include <QString>
#include <QStringList>
#include <optional>

#include "platform/mci/Mci.h"
#include "platform/ui/WinTypes.h"

namespace cd {

// A disc holds tracks 1 to 99; an entry writes the number in two digits.
inline constexpr int kMaxCdTrack = 99;

// Appends the root ("X:\") of every CD-ROM drive, in the order of the
// logical drives. FALSE (out untouched) when the drives cannot be asked.
BOOL GetCdDriveList(QStringList& out);

// The drive name ("X:") of the first CD drive; FALSE after message 108 when
// there is none.
BOOL GetFirstCdDrive(QString& drive);

// Length in ms of a track of an open device in millisecond format: to the
// next track's start, the last one by the length query; -1 on any failure.
// Tracks are numbered as on the disc, which may begin past track 1.
long GetCdTrackLength(mci::DeviceId id, int track);

// The number of the first track of an open device's disc: the lowest whose
// start the device tells. A copy of part of a disc may begin with any
// track; 1 when the device tells none.
int GetCdFirstTrack(mci::DeviceId id);

// Open, count, close on the drive of root ("X:\" or "X:"): the count when
// all three succeeded.
std::optional<int> CountCdTracks(const QString& root);

}  // namespace cd
