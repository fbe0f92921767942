#pragma once
// CD drives and the track queries the player and the dialogs make.

#include <QString>
#include <QStringList>
#include <optional>

#include "platform/mci/Mci.h"
#include "platform/ui/WinTypes.h"

namespace cd {

// Appends the root ("X:\") of every CD-ROM drive, in the order of the
// logical drives. FALSE (out untouched) when the drives cannot be asked.
BOOL GetCdDriveList(QStringList& out);

// The drive name ("X:") of the first CD drive; FALSE after message 108 when
// there is none.
BOOL GetFirstCdDrive(QString& drive);

// Length in ms of a track of an open device in millisecond format: to the
// next track's start, the last one by the length query; -1 on any failure.
long GetCdTrackLength(mci::DeviceId id, int track);

// Open, count, close on the drive of root ("X:\" or "X:"): the count when
// all three succeeded.
std::optional<int> CountCdTracks(const QString& root);

}  // namespace cd
