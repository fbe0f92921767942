#pragma once
// Little-endian fields appended to the bytes of a file being made.

#include <QByteArray>
#include <QtEndian>

namespace testsupport {

inline void PutLe16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

inline void PutLe32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

}  // namespace testsupport
