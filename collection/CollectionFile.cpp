#include "collection/CollectionFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

}  // namespace

std::optional<QStringList> ReadCollectionFile(const QString& path, text::Encoding* encoding)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;

    const text::DecodedText decoded = text::DecodeFileText(bytes);
    if (encoding)
        *encoding = decoded.encoding;
    const QStringView text = decoded.text;
    QStringList entries;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        if (end < 0)
            end = text.size();
        else if (end > start && text[end - 1] == u'\r')
            --end;
        entries.append(text.sliced(start, end - start).toString());
        start = next;
    }
    return entries;
}

bool WriteCollectionFile(const QString& path, const QStringList& entries, text::Encoding encoding,
                         text::Encoding* written)
{
    qsizetype length = 0;
    for (const QString& entry : entries)
        length += entry.size() + 2;
    QString text;
    text.reserve(length);
    for (const QString& entry : entries) {
        text += entry;
        text += u"\r\n";
    }
    text::Encoding used;
    const QByteArray bytes = text::EncodeFileText(text, encoding, &used);

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
        *written = used;
    return true;
}

}  // namespace collection
