#include "platform/drives/RealFileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/drives/DriveMap.h"

namespace drives {

bool RealFileAccess::Access(const QString& path, int mode) const
{
    const QByteArray native = m_map.ResolveNativePath(path);
    // _access's modes 0, 2, 4 and 6 are F_OK, W_OK, R_OK and their sum here too.
    return !native.isEmpty() && ::access(native.constData(), mode) == 0;
}

int OpenRegularFile(const QByteArray& nativePath)
{
    struct stat named {};
    if (nativePath.isEmpty() || nativePath.contains('\0') || ::stat(nativePath.constData(), &named) != 0
        || !S_ISREG(named.st_mode))
        return -1;
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    // The name may have been given to something else since the stat.
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool OpenRegularFile(QFile& file, const QByteArray& nativePath)
{
    const int fd = OpenRegularFile(nativePath);
    if (fd < 0)
        return false;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return false;
}

bool IsReadableRegularFile(const QByteArray& nativePath)
{
    const int fd = OpenRegularFile(nativePath);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

}  // namespace drives
