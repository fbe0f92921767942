#pragma once
// Collection files: one entry per line, each line ended by CR LF, no header,
// no byte order mark; Shift-JIS as made on Windows, or UTF-8 (see FileText.h).
// Paths are local file names; drive letters are resolved before.

#include <QString>
#include <QStringList>
#include <optional>

#include "platform/text/FileText.h"

namespace collection {

// The entries, or nullopt when the file cannot be opened for reading. A line
// ends at LF, without one CR directly before it; a last line without LF is an
// entry too, and nothing is trimmed. *encoding receives the file's encoding,
// to write it back in.
std::optional<QStringList> ReadCollectionFile(const QString& path, text::Encoding* encoding = nullptr);

// Replaces the file as a whole, through a temporary file in its folder; on
// failure the old file is left as it was. A symbolic link keeps pointing to
// the file, which gets the new contents and keeps its permissions. CP932 is
// used unless some entry cannot be written so, then UTF-8; *written receives
// the encoding used.
bool WriteCollectionFile(const QString& path, const QStringList& entries,
                         text::Encoding encoding = text::Encoding::Cp932, text::Encoding* written = nullptr);

}  // namespace collection
