#pragma once
// _access on the paths of entries, through the drive map; and the one way
// this program opens a file it is about to read as a whole.

#include <QByteArray>
#include <QFile>

#include "platform/Services.h"

namespace drives {

class DriveMap;

class RealFileAccess : public platform::FileAccess {
public:
    explicit RealFileAccess(const DriveMap& map) : m_map(map) {}
    bool Access(const QString& path, int mode) const override;

private:
    const DriveMap& m_map;
};

// A descriptor (O_RDONLY | O_NONBLOCK | O_CLOEXEC) on nativePath when it
// names a regular file, symbolic links followed; else -1. Anything else is
// refused before it is opened: a FIFO blocks its reader until some writer
// comes, a device may never end, and opening one may have effects.
int OpenRegularFile(const QByteArray& nativePath);
// The same, opened for reading into file (which then owns the descriptor).
bool OpenRegularFile(QFile& file, const QByteArray& nativePath);
// Whether nativePath names a regular file that this process may read.
bool IsReadableRegularFile(const QByteArray& nativePath);

}  // namespace drives
