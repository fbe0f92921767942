#pragma once
// Collection files: one entry per line, each line ended by CR LF, no header,
// no byte order mark; Shift-JIS as made on Windows, or UTF-8 (see FileText.h).
// Paths are local file names; drive letters are resolved before.

#include <QString>
#include <QStringList>
#include <optional>

#include "platform/text/FileText.h"

namespace collection {

// The entries, or nullopt when the file cannot be opened for reading, is no
// regular file (a FIFO, a device, a folder) or holds over 256 MB. A line
// ends at LF, without one CR directly before it; a last line without LF is an
// entry too, and nothing is trimmed. *encoding receives the file's encoding,
// to write it back in.
std::optional<QStringList> ReadCollectionFile(const QString& path, text::Encoding* encoding = nullptr);

// Replaces the file as a whole: the new contents go to a temporary file in
// the same folder, flushed to disk, which is then renamed over the file. The
// file is never written in place, so a failed or interrupted save leaves the
// old contents whole; when the folder takes no new file, the save fails. A
// symbolic link keeps pointing to the file, which gets the new contents and
// keeps its mode, and its owner and group when the user may give them. CP932
// is used unless some entry cannot be written so, then UTF-8; *written
// receives the encoding used.
bool WriteCollectionFile(const QString& path, const QStringList& entries,
                         text::Encoding encoding = text::Encoding::Cp932, text::Encoding* written = nullptr);

// Creates the temporary file of a save as mkstemp does (nameTemplate ends in
// "XXXXXX" and receives the name); the descriptor, or -1. Tests install one
// that fails, to stand for a folder that takes no new file (root writes to
// any folder). nullptr restores mkstemp. Returns the previous one.
using TempFileCreator = int (*)(char* nameTemplate);
TempFileCreator SetTempFileCreator(TempFileCreator creator);

}  // namespace collection
