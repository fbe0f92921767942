#pragma once
// Files written and read back as raw bytes, for tests that check what is on disk.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace testsupport {

// Writes bytes to path (replacing it); false when the file cannot be made.
inline bool WriteFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The file's bytes, or "<unreadable>" so a comparison with real contents fails.
inline QByteArray ReadFileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

}  // namespace testsupport
