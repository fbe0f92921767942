#pragma once
// Text files as the program keeps them: Shift-JIS (CP932) as on Windows, or
// UTF-8 when a Linux tool made the file so. Conversion is lossless both ways:
// encoding a decoded file in its own encoding gives back its bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace text {

enum class Encoding { Cp932, Utf8 };

struct DecodedText {
    QString text;
    Encoding encoding = Encoding::Cp932;
};

// UTF-8 when the bytes are valid UTF-8 and not all ASCII, else CP932.
// A byte order mark stays in the text as U+FEFF.
DecodedText DecodeFileText(QByteArrayView bytes);

// Escape code points are written as their bytes in either encoding. CP932
// falls back to UTF-8 when some character has no CP932 code, so nothing is
// ever lost; *written tells which encoding was used.
QByteArray EncodeFileText(const QString& text, Encoding encoding, Encoding* written = nullptr);

}  // namespace text
