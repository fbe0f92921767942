#pragma once
// Lossless Shift-JIS (code page 932) conversion.
//
// Bytes that do not form a CP932 character, and characters whose code would
// not encode back to the same bytes (duplicate codes such as ED40/FA5C),
// decode to escape code points, one per byte, that encode back to that byte.
// So EncodeCp932(DecodeCp932(b)) == b for every byte string b.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace text {

// Escape code point of a byte: kEscapeBase + byte. Plane 16 private use,
// which CP932 never produces; in UTF-16 it is the pair DBFF, DF00 + byte.
inline constexpr char32_t kEscapeBase = 0x10FF00;

inline constexpr bool IsEscape(char32_t c) { return c >= kEscapeBase && c <= kEscapeBase + 0xFF; }

QString DecodeCp932(QByteArrayView bytes);

// A character without a CP932 code is written as '?', as the system's own
// converter does, and *ok is set to false (else true).
QByteArray EncodeCp932(QStringView text, bool* ok = nullptr);

// True when every character of text has a CP932 code (escapes included).
bool CanEncodeCp932(QStringView text);

// text with every escaped duplicate code (ED40, kept as two escapes) turned
// into the character it stands for, for writing in another encoding.
QString ResolveCp932Duplicates(QStringView text);

}  // namespace text
