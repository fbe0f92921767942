// Collection files: read, write what was read, read again gives the same
// entries in the same encoding; a file whose lines all end in CR LF comes
// back byte for byte.
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

    text::Encoding encoding = text::Encoding::Cp932;
    const std::optional<QStringList> entries = collection::ReadCollectionFile(in, &encoding);
    FUZZ_CHECK(entries);

    text::Encoding written = encoding;
    FUZZ_CHECK(collection::WriteCollectionFile(out, *entries, encoding, &written));
    FUZZ_CHECK(written == encoding);

    text::Encoding again = encoding;
    FUZZ_CHECK(collection::ReadCollectionFile(out, &again) == entries);
    FUZZ_CHECK(again == encoding);
    if (IsCanonical(bytes))
        FUZZ_CHECK(ReadBytes(out) == bytes);
    return 0;
}
