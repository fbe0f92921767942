#include "platform/drives/RealFileAccess.h"

#include <unistd.h>

#include "platform/drives/DriveMap.h"

namespace drives {

bool RealFileAccess::Access(const QString& path, int mode) const
{
    const QByteArray native = m_map.ResolveNativePath(path);
    // _access's modes 0, 2, 4 and 6 are F_OK, W_OK, R_OK and their sum here too.
    return !native.isEmpty() && ::access(native.constData(), mode) == 0;
}

}  // namespace drives
