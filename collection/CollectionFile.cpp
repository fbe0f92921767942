#include "collection/CollectionFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

#include "platform/text/Cp932.h"

namespace collection {
namespace {

// Where a save over path must go: a symbolic link is followed to the file it
// names, even when that file does not exist yet.
QString SaveTarget(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

// Calls onLine(line, ended) for every line of the file, without its LF;
// ended is false for a last line that has no LF. Reads in blocks, so that a
// large file needs no buffer of its size. onLine returns false to stop early.
// False when reading fails.
template <typename OnLine>
bool ForEachLine(QFile& file, OnLine onLine)
{
    constexpr qsizetype kBlockSize = 64 * 1024;
    QByteArray block(kBlockSize, Qt::Uninitialized);
    QByteArray partial;
    for (;;) {
        const qint64 got = file.read(block.data(), block.size());
        if (got < 0)
            return false;
        if (got == 0)
            break;
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
    bool valid = false;
    bool invalid = false;
    const bool read = ForEachLine(file, [&](QByteArrayView line, bool) {
        const text::Utf8Check check = text::CheckUtf8(line);
        valid = valid || check == text::Utf8Check::Valid;
        invalid = check == text::Utf8Check::Invalid;
        return !invalid;
    });
    if (!read)
        return std::nullopt;
    return valid && !invalid ? text::Encoding::Utf8 : text::Encoding::Cp932;
}

}  // namespace

std::optional<QStringList> ReadCollectionFile(const QString& path, text::Encoding* encoding)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
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

    QSaveFile file(SaveTarget(path));
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return false;
    if (written)
        *written = encoding;
    return true;
}

}  // namespace collection
