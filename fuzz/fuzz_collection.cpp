// Collection files: read, write what was read, read again gives the same
// entries in the same encoding and with the same byte order mark; a file
// whose lines all end in CR LF comes back byte for byte.
#include <QFile>

#include "collection/CollectionFile.h"
#include "fuzz/FuzzSupport.h"

namespace {

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every LF has its CR and the last line is ended: what the writer makes.
bool IsCanonical(const QByteArray& bytes)
{
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        return false;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString folder = fuzz::ScratchFolder("collection");
    static const QString in = folder + QStringLiteral("/in.lst");
    static const QString out = folder + QStringLiteral("/out.lst");
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    FUZZ_CHECK(WriteBytes(in, bytes));

    collection::CollectionFormat format;
    const std::optional<QStringList> entries = collection::ReadCollectionFile(in, &format);
    FUZZ_CHECK(entries);

    // Only a file that is itself invalid in its encoding (marked UTF-8 with
    // bytes that are no UTF-8) may hold entries no encoding holds, or be
    // written back in the other encoding.
    const bool invalidInItsOwn = format.byteOrderMark && text::CheckUtf8(bytes) == text::Utf8Check::Invalid;
    collection::CollectionFormat written = format;
    const collection::WriteResult result = collection::WriteCollectionFile(out, *entries, &written);
    if (result == collection::WriteResult::Unencodable) {
        FUZZ_CHECK(invalidInItsOwn);
        return 0;
    }
    FUZZ_CHECK(result == collection::WriteResult::Written);
    if (!invalidInItsOwn)
        FUZZ_CHECK(written.encoding == format.encoding && written.byteOrderMark == format.byteOrderMark);

    collection::CollectionFormat again;
    FUZZ_CHECK(collection::ReadCollectionFile(out, &again) == entries);
    FUZZ_CHECK(again.encoding == written.encoding && again.byteOrderMark == written.byteOrderMark);
    if (IsCanonical(bytes) && !invalidInItsOwn)
        FUZZ_CHECK(ReadBytes(out) == bytes);
    return 0;
}
