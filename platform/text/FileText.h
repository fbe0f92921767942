#pragma once
// Text files as the program keeps them: Shift-JIS (CP932) as on Windows, or
// UTF-8 when a Linux tool made the file so. Conversion is lossless both ways:
// encoding a decoded file in its own encoding gives back its bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace text {

enum class Encoding { Cp932, Utf8 };

// The encoding of a whole file: UTF-8 after a byte order mark; else CP932
// unless the bytes are valid UTF-8, hold some non-ASCII character and read
// more like the names people give files in UTF-8 than in CP932 (half-width
// kana pairs such as "ﾃｽ" are also valid UTF-8).
Encoding DetectEncoding(QByteArrayView bytes);

// DetectEncoding for a file read in pieces cut at LF.
class EncodingDetector {
public:
    void Feed(QByteArrayView piece);
    Encoding Result() const;
    // True once more pieces cannot change the result: after a byte order
    // mark or a piece that is no UTF-8.
    bool Settled() const;

private:
    bool m_first = true;
    bool m_bom = false;
    bool m_invalid = false;
    bool m_nonAscii = false;
    long long m_utf8Score = 0;   // how plausible the pieces read as UTF-8
    long long m_cp932Score = 0;  // and as CP932
};

// The bytes as UTF-8, for files checked in pieces (cut at LF, which never
// falls inside a character): the file is UTF-8 when no piece is Invalid and
// some piece is Valid.
enum class Utf8Check { Ascii, Valid, Invalid };
Utf8Check CheckUtf8(QByteArrayView bytes);

// Decodes the whole or a part of a file in the file's encoding. UTF-8 keeps
// a byte order mark as U+FEFF; bytes that are not valid UTF-8, and valid
// characters in the escape range, are kept as escapes of their bytes.
QString DecodeText(QByteArrayView bytes, Encoding encoding);

struct DecodedText {
    QString text;
    Encoding encoding = Encoding::Cp932;
};

DecodedText DecodeFileText(QByteArrayView bytes);

// Escape code points are written as their bytes in either encoding. CP932
// falls back to UTF-8 when some character has no CP932 code, so nothing is
// ever lost; *written tells which encoding was used.
QByteArray EncodeFileText(QStringView text, Encoding encoding, Encoding* written = nullptr);

// File names are bytes: UTF-8 where they are valid, anything else (a
// Shift-JIS name unpacked from an old archive) kept as escapes of its bytes,
// so that a name found on disk can be handed on and opened again.
QString DecodeFileName(QByteArrayView bytes);
QByteArray EncodeFileName(QStringView name);

// One name found on disk as a person reads it: UTF-8 where valid, else
// CP932 when every byte decodes so (a name unpacked from an old Windows
// archive), else as DecodeFileName. A CP932 name leads back to its bytes
// through the drive map, which tries each component in CP932 too.
QString DecodeDiskName(QByteArrayView bytes);

// A file name or path as DecodeFileName gives it, for the user's eyes: each
// component read as DecodeDiskName reads it (a Shift-JIS name shows as its
// characters). Only for display: it does not lead back to the file.
QString DisplayFileName(QStringView name);

}  // namespace text
