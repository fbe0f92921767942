#pragma once
// Paths of collection entries to native paths (private to platform/drives).
// Native paths are bytes: a name unpacked from an old Windows archive keeps
// its Shift-JIS bytes, which no QString spells for the file system.

#include <QByteArray>
#include <QString>
#include <chrono>
#include <optional>

namespace drives {

// A POSIX path as written; when that does not exist, its components are also
// tried in CP932.
QByteArray ResolvePosixPath(const QString& path);

// rest is the part of "X:\dir\file" after "X:", "\" and "/" both separating.
// A component that does not exist as written (UTF-8 or CP932) is matched
// without regard to ASCII case; from the first one found in no form on, the
// rest is kept as written.
QByteArray ResolveUnder(const QByteArray& base, const QString& rest);
// As ResolveUnder; nothing when the steady clock passes deadline while a
// directory is listed (a huge or slow folder).
std::optional<QByteArray> ResolveUnderBefore(const QByteArray& base, const QString& rest,
                                             std::chrono::steady_clock::time_point deadline);

}  // namespace drives
