#pragma once
// Collection files: one entry per line, each line ended by CR LF, no header;
// Shift-JIS as made on Windows, or UTF-8 (see FileText.h), which may start
// with a byte order mark. Paths are local file names; drive letters are
// resolved before.

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

// How a file is written: its encoding and, for UTF-8, whether it starts with
// a byte order mark (which is no part of the first entry).
struct CollectionFormat {
    text::Encoding encoding = text::Encoding::Cp932;
    bool byteOrderMark = false;
};

std::optional<QStringList> ReadCollectionFile(const QString& path, CollectionFormat* format);

// The bytes of a file holding entries, which read back as the same entries.
// The preferred encoding, *format's, is used when it holds every entry, else
// the other one: CP932 holds an entry when its bytes decode to it; UTF-8 when
// its bytes, escapes written as raw bytes, are valid UTF-8 (an escaped CP932
// duplicate code such as ED40 is written as the character it stands for). A
// UTF-8 file gets a byte order mark when *format asks for one or when it would
// not be read as UTF-8 without one; CP932 that would be read as UTF-8 does not
// hold the entries. *format receives what was used. nullopt when no encoding
// holds every entry; *unheld then receives the index of the first entry that
// keeps UTF-8 from holding them.
std::optional<QByteArray> EncodeCollection(const QStringList& entries, CollectionFormat* format,
                                           qsizetype* unheld = nullptr);

// Replaces the file as a whole: the new contents go to a temporary file in
// the same folder, flushed to disk, which is then renamed over the file. The
// file is never written in place, so a failed or interrupted save leaves the
// old contents whole; when the folder takes no new file, or the file is one
// the user may not write, the save fails. The temporary file's name is
// short whatever the file's (a name of 255 bytes saves), and a save removes
// what saves of the same file killed before this process started left. A
// symbolic link keeps pointing to the file, which gets the new contents and
// keeps its mode, and its owner and group when the user may give them. The
// bytes are EncodeCollection's; *written receives the encoding used. False,
// with nothing written, when no encoding holds every entry.
bool WriteCollectionFile(const QString& path, const QStringList& entries,
                         text::Encoding encoding = text::Encoding::Cp932, text::Encoding* written = nullptr);

enum class WriteResult { Written, Unencodable, Failed };

// The same in *format (which receives the format used); Unencodable, with
// *unheld set as EncodeCollection sets it, when no encoding holds every entry.
WriteResult WriteCollectionFile(const QString& path, const QStringList& entries, CollectionFormat* format,
                                qsizetype* unheld = nullptr);

// Creates the temporary file of a save as mkstemp does (nameTemplate ends in
// "XXXXXX" and receives the name); the descriptor, or -1. Tests install one
// that fails, to stand for a folder that takes no new file (root writes to
// any folder). nullptr restores mkstemp. Returns the previous one.
using TempFileCreator = int (*)(char* nameTemplate);
TempFileCreator SetTempFileCreator(TempFileCreator creator);

// Whether the user may write the existing file at path, as access(W_OK)
// answers. Tests install one that says no, for a file made read-only (root
// may write any file). nullptr restores access. Returns the previous one.
using WriteAccess = bool (*)(const char* path);
WriteAccess SetWriteAccess(WriteAccess check);

}  // namespace collection
