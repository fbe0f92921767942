#include "collection/CollectionFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "platform/drives/RealFileAccess.h"
#include "platform/text/Cp932.h"

namespace collection {
namespace {

TempFileCreator s_tempFileCreator = nullptr;

// Where a save over path must go: a symbolic link is followed to the file it
// names, even when that file does not exist yet.
QString SaveTarget(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

// Far more than any list of entries a person keeps (a million entries of
// 250 bytes); a file that grows past it is not a collection.
constexpr qint64 kMaxCollectionBytes = qint64(256) << 20;

// Calls onLine(line, ended) for every line of the file, without its LF;
// ended is false for a last line that has no LF. Reads in blocks, so that a
// large file needs no buffer of its size. onLine returns false to stop early.
// False when reading fails, or when the file holds more than
// kMaxCollectionBytes (it may be growing while we read).
template <typename OnLine>
bool ForEachLine(QFile& file, OnLine onLine)
{
    constexpr qsizetype kBlockSize = 64 * 1024;
    QByteArray block(kBlockSize, Qt::Uninitialized);
    QByteArray partial;
    qint64 total = 0;
    for (;;) {
        const qint64 got = file.read(block.data(), block.size());
        if (got < 0)
            return false;
        if (got == 0)
            break;
        total += got;
        if (total > kMaxCollectionBytes)
            return false;
        const QByteArrayView view(block.constData(), got);
        qsizetype start = 0;
        for (qsizetype lf; (lf = view.indexOf('\n', start)) >= 0; start = lf + 1) {
            bool more;
            if (partial.isEmpty()) {
                more = onLine(view.sliced(start, lf - start), true);
            } else {
                partial += view.sliced(start, lf - start);
                more = onLine(QByteArrayView(partial), true);
                partial.clear();
            }
            if (!more)
                return true;
        }
        partial += view.sliced(start);
    }
    if (!partial.isEmpty())
        onLine(QByteArrayView(partial), false);
    return true;
}

std::optional<text::Encoding> DetectFileEncoding(QFile& file)
{
    text::EncodingDetector detector;
    const bool read = ForEachLine(file, [&](QByteArrayView line, bool) {
        detector.Feed(line);
        return !detector.Settled();
    });
    if (!read)
        return std::nullopt;
    return detector.Result();
}

bool WriteAll(int fd, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes = bytes.sliced(n);
    }
    return true;
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Gives the temporary file the old file's owner, group and mode (mkstemp
// makes it 0600). chown fails with EPERM for a user who may not give a file
// away: the file then becomes the user's, as any file the user writes anew.
// chown comes first because it clears the set-id bits.
void CopyOwnership(int fd, const struct stat* old)
{
    if (!old) {
        ::fchmod(fd, NewFileMode());
        return;
    }
    if (old->st_uid != ::geteuid() || old->st_gid != ::getegid()) {
        [[maybe_unused]] const int changed = ::fchown(fd, old->st_uid, old->st_gid);
    }
    ::fchmod(fd, old->st_mode & 07777);
}

void SyncFolder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes bytes to a new file beside target, flushes it and renames it over
// target.
bool ReplaceFile(const QByteArray& target, QByteArrayView bytes)
{
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return false;
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);
    QByteArray temp = (slash < 0 ? QByteArray() : target.left(slash + 1)) + '.' + target.mid(slash + 1) + ".XXXXXX";
    const int fd = s_tempFileCreator ? s_tempFileCreator(temp.data()) : ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    CopyOwnership(fd, exists ? &old : nullptr);
    const bool flushed = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !flushed || ::rename(temp.constData(), target.constData()) != 0) {
        ::unlink(temp.constData());
        return false;
    }
    SyncFolder(folder);
    return true;
}

}  // namespace

std::optional<QStringList> ReadCollectionFile(const QString& path, text::Encoding* encoding)
{
    // Only a regular file: a FIFO would block the reader, /dev/zero never ends.
    const int fd = drives::OpenRegularFile(QFile::encodeName(path));
    if (fd < 0)
        return std::nullopt;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    if (file.size() > kMaxCollectionBytes)
        return std::nullopt;
    const std::optional<text::Encoding> fileEncoding = DetectFileEncoding(file);
    if (!fileEncoding || !file.seek(0))
        return std::nullopt;

    QStringList entries;
    entries.reserve(file.size() / 64);
    const bool read = ForEachLine(file, [&](QByteArrayView line, bool ended) {
        if (ended && line.endsWith('\r'))
            line.chop(1);
        entries.append(text::DecodeText(line, *fileEncoding));
        return true;
    });
    if (!read)
        return std::nullopt;
    if (encoding)
        *encoding = *fileEncoding;
    return entries;
}

bool WriteCollectionFile(const QString& path, const QStringList& entries, text::Encoding encoding,
                         text::Encoding* written)
{
    if (encoding == text::Encoding::Cp932) {
        const bool allCp932 = std::all_of(entries.begin(), entries.end(),
                                          [](const QString& entry) { return text::CanEncodeCp932(entry); });
        if (!allCp932)
            encoding = text::Encoding::Utf8;
    }
    qsizetype length = 0;
    for (const QString& entry : entries)
        length += entry.size() + 2;
    QByteArray bytes;
    bytes.reserve(encoding == text::Encoding::Cp932 ? length * 2 : length * 3);
    for (const QString& entry : entries) {
        bytes += text::EncodeFileText(entry, encoding);
        bytes += "\r\n";
    }

    if (!ReplaceFile(QFile::encodeName(SaveTarget(path)), bytes))
        return false;
    if (written)
        *written = encoding;
    return true;
}

TempFileCreator SetTempFileCreator(TempFileCreator creator)
{
    return std::exchange(s_tempFileCreator, creator);
}

}  // namespace collection
