#include "collection/CollectionFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "platform/drives/RealFileAccess.h"
#include "platform/text/Cp932.h"

namespace collection {
namespace {

TempFileCreator s_tempFileCreator = nullptr;
WriteAccess s_writeAccess = nullptr;

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

bool MayWrite(const char* path)
{
    return s_writeAccess ? s_writeAccess(path) : ::access(path, W_OK) == 0;
}

// When this process started, near enough: a temporary file older than that
// was left by a save that never ended (the program was killed).
const struct timespec kProcessStart = [] {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now;
}();

bool Before(const struct timespec& a, const struct timespec& b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// The name of a save's temporary file without mkstemp's six characters:
// ".lirabox-save-" and a digest of the file's name, so that it fits any
// folder whatever the length of the name, and every save of one file gives
// the same.
QByteArray TempFileStem(const QByteArray& fileName)
{
    return ".lirabox-save-" + QCryptographicHash::hash(fileName, QCryptographicHash::Sha1).left(8).toHex() + '.';
}

bool IsMkstempSuffix(QByteArrayView suffix)
{
    return suffix.size() == 6 && std::all_of(suffix.begin(), suffix.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
           });
}

// Removes the temporary files that saves of this file left behind when they
// were killed: regular files of exactly the stem's pattern, older than this
// process. A save running meanwhile in another instance is newer.
void RemoveStaleTempFiles(const QByteArray& folder, const QByteArray& stem)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const struct dirent* entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        if (!name.startsWith(stem) || !IsMkstempSuffix(name.sliced(stem.size())))
            continue;
        struct stat info {};
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)
            && Before(info.st_mtim, kProcessStart))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

// Writes bytes to a new file beside target, flushes it and renames it over
// target. A target the user may not write is refused, as opening it for
// writing would be: the rename would replace it all the same.
bool ReplaceFile(const QByteArray& target, QByteArrayView bytes)
{
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || !MayWrite(target.constData())))
        return false;
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);
    const QByteArray stem = TempFileStem(target.mid(slash + 1));
    RemoveStaleTempFiles(folder, stem);
    QByteArray temp = (slash < 0 ? QByteArray() : target.left(slash + 1)) + stem + "XXXXXX";
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

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

// The bytes of entry's line in encoding, CR LF left out, when they read back
// as the entry.
std::optional<QByteArray> EncodeLine(const QString& entry, text::Encoding encoding, bool readAsCp932)
{
    if (entry.contains(QLatin1Char('\n')))
        return std::nullopt;
    if (encoding == text::Encoding::Cp932) {
        if (!text::CanEncodeCp932(entry))
            return std::nullopt;
        QByteArray bytes = text::EncodeCp932(entry);
        if (text::DecodeCp932(bytes) != entry)
            return std::nullopt;  // escapes that join the bytes around them into other characters
        return bytes;
    }
    // Raw bytes that happen to form a character would come back as it. Read
    // from CP932, a duplicate code (kept as the escapes of its bytes) stands
    // for its character; read from UTF-8, such bytes are only bytes.
    const QString resolved = readAsCp932 ? text::ResolveCp932Duplicates(entry) : entry;
    for (const QString& form : {entry, resolved}) {
        QByteArray bytes = text::EncodeFileText(form, text::Encoding::Utf8);
        if (text::CheckUtf8(bytes) != text::Utf8Check::Invalid
            && text::DecodeText(bytes, text::Encoding::Utf8) == form)
            return bytes;
    }
    return std::nullopt;
}

// Every entry's line in encoding; the index of the first entry that has
// none, or -1.
qsizetype EncodeLines(const QStringList& entries, text::Encoding encoding, bool readAsCp932, QList<QByteArray>* lines)
{
    lines->reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        std::optional<QByteArray> line = EncodeLine(entries.at(i), encoding, readAsCp932);
        if (!line)
            return i;
        lines->append(std::move(*line));
    }
    return -1;
}

// Whether a file of these lines, without a byte order mark, is read in encoding.
bool ReadsAs(const QList<QByteArray>& lines, text::Encoding encoding)
{
    text::EncodingDetector detector;
    for (qsizetype i = 0; i < lines.size() && !detector.Settled(); ++i) {
        // The reader takes a mark at the start for one, and feeds lines with their CR.
        if (i == 0 && lines.at(0).startsWith(kByteOrderMark))
            return false;
        detector.Feed(lines.at(i) + '\r');
    }
    return detector.Result() == encoding;
}

// ASCII reads the same in either encoding: no mark is needed.
bool AllAscii(const QList<QByteArray>& lines)
{
    return std::all_of(lines.begin(), lines.end(),
                       [](const QByteArray& line) { return text::CheckUtf8(line) == text::Utf8Check::Ascii; });
}

QByteArray JoinLines(const QList<QByteArray>& lines, bool byteOrderMark)
{
    qsizetype length = byteOrderMark ? kByteOrderMark.size() : 0;
    for (const QByteArray& line : lines)
        length += line.size() + 2;
    QByteArray bytes;
    bytes.reserve(length);
    if (byteOrderMark)
        bytes += kByteOrderMark;
    for (const QByteArray& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace

std::optional<QStringList> ReadCollectionFile(const QString& path, text::Encoding* encoding)
{
    CollectionFormat format;
    std::optional<QStringList> entries = ReadCollectionFile(path, &format);
    if (entries && encoding)
        *encoding = format.encoding;
    return entries;
}

std::optional<QStringList> ReadCollectionFile(const QString& path, CollectionFormat* format)
{
    // Only a regular file: a FIFO would block the reader, /dev/zero never ends.
    QFile file;
    if (!drives::OpenRegularFile(file, text::EncodeFileName(path)))
        return std::nullopt;
    if (file.size() > kMaxCollectionBytes)
        return std::nullopt;
    const std::optional<text::Encoding> fileEncoding = DetectFileEncoding(file);
    if (!fileEncoding || !file.seek(0))
        return std::nullopt;

    QStringList entries;
    entries.reserve(file.size() / 64);
    bool first = true;
    bool byteOrderMark = false;
    const bool read = ForEachLine(file, [&](QByteArrayView line, bool ended) {
        if (std::exchange(first, false) && *fileEncoding == text::Encoding::Utf8 && line.startsWith(kByteOrderMark)) {
            line = line.sliced(kByteOrderMark.size());
            byteOrderMark = true;
            // A file of a mark alone holds no entry.
            if (!ended && line.isEmpty())
                return true;
        }
        if (ended && line.endsWith('\r'))
            line.chop(1);
        entries.append(text::DecodeText(line, *fileEncoding));
        return true;
    });
    if (!read)
        return std::nullopt;
    if (format)
        *format = {*fileEncoding, byteOrderMark};
    return entries;
}

std::optional<QByteArray> EncodeCollection(const QStringList& entries, CollectionFormat* format, qsizetype* unheld)
{
    const text::Encoding other =
        format->encoding == text::Encoding::Cp932 ? text::Encoding::Utf8 : text::Encoding::Cp932;
    qsizetype firstUnheld = -1;
    for (const text::Encoding encoding : {format->encoding, other}) {
        QList<QByteArray> lines;
        const qsizetype failed = EncodeLines(entries, encoding, format->encoding == text::Encoding::Cp932, &lines);
        if (encoding == text::Encoding::Utf8)
            firstUnheld = failed;
        if (failed >= 0)
            continue;
        const bool asked = encoding == text::Encoding::Utf8 && format->byteOrderMark;
        if (!asked && (ReadsAs(lines, encoding) || AllAscii(lines))) {
            *format = {encoding, false};
            return JoinLines(lines, false);
        }
        // A UTF-8 file that would be read otherwise is marked as UTF-8; CP932 cannot be.
        if (encoding == text::Encoding::Utf8) {
            *format = {encoding, true};
            return JoinLines(lines, true);
        }
    }
    if (unheld)
        *unheld = firstUnheld;
    return std::nullopt;
}

WriteResult WriteCollectionFile(const QString& path, const QStringList& entries, CollectionFormat* format,
                                qsizetype* unheld)
{
    CollectionFormat used = *format;
    const std::optional<QByteArray> bytes = EncodeCollection(entries, &used, unheld);
    if (!bytes)
        return WriteResult::Unencodable;
    if (!ReplaceFile(text::EncodeFileName(SaveTarget(path)), *bytes))
        return WriteResult::Failed;
    *format = used;
    return WriteResult::Written;
}

bool WriteCollectionFile(const QString& path, const QStringList& entries, text::Encoding encoding,
                         text::Encoding* written)
{
    CollectionFormat format{encoding, false};
    if (WriteCollectionFile(path, entries, &format) != WriteResult::Written)
        return false;
    if (written)
        *written = format.encoding;
    return true;
}

TempFileCreator SetTempFileCreator(TempFileCreator creator)
{
    return std::exchange(s_tempFileCreator, creator);
}

WriteAccess SetWriteAccess(WriteAccess check)
{
    return std::exchange(s_writeAccess, check);
}

}  // namespace collection
