#include "collection/CollectionEntry.h"

#include "platform/text/Cp932.h"
#include "platform/text/MbString.h"
#include "platform/text/PathSplit.h"
#include "res/Strings.h"

namespace collection {
namespace {

const QString& CdTrackWord()
{
    static const QString s_word = res::Text(res::text::kCdTrackWord);
    return s_word;
}

// The drive and track rules count CP932 bytes: a double-byte character
// must neither stand for a one-letter drive nor lend a digit to the track.
qsizetype FirstCharLength(const QString& entry)
{
    return entry.size() >= 2 && entry[0].isHighSurrogate() && entry[1].isLowSurrogate() ? 2 : 1;
}

QByteArray LastBytes(const QString& entry, qsizetype count)
{
    qsizetype start = entry.size();
    for (qsizetype n = 0; n < count && start > 0; ++n)
        start -= start >= 2 && entry[start - 1].isLowSurrogate() && entry[start - 2].isHighSurrogate() ? 2 : 1;
    return text::EncodeCp932(QStringView(entry).sliced(start)).right(count);
}

}  // namespace

bool IsCdTrackEntry(const QString& entry)
{
    return entry.contains(CdTrackWord());
}

EntryKind FileEntryKind(const QString& entry)
{
    const QString ext = text::SplitPath(entry).ext;
    if (text::MbsICmp(ext, u".mid") == 0)
        return EntryKind::Midi;
    if (text::MbsICmp(ext, u".wav") == 0)
        return EntryKind::Wave;
    if (text::MbsICmp(ext, u".avi") == 0)
        return EntryKind::Video;
    return EntryKind::Other;
}

SplitForm SplitEntry(const QString& entry)
{
    if (IsCdTrackEntry(entry))
        return {QString(), entry};
    text::PathParts parts = text::SplitPath(entry);
    return {parts.drive + parts.dir, parts.fname + parts.ext};
}

QString FormatCdTrackEntry(const QString& drive, int track)
{
    const QString word = CdTrackWord() + QString::asprintf(" %02d", track);
    return drive.isEmpty() ? word : drive + QStringLiteral("\\ ") + word;
}

CdTrackRef ParseCdTrackEntry(const QString& entry)
{
    CdTrackRef ref;
    if (!entry.isEmpty()) {
        const qsizetype first = FirstCharLength(entry);
        const bool singleByte = text::EncodeCp932(QStringView(entry).first(first)).size() == 1;
        if (singleByte && entry.size() > first && entry[first] == u':')
            ref.drive = entry.left(first + 1);
    }
    ref.track = text::Atoi(QString::fromLatin1(LastBytes(entry, 2)));
    return ref;
}

QString DisplayName(const QString& entry)
{
    if (IsCdTrackEntry(entry))
        return entry;
    return text::SplitPath(entry).fname;
}

}  // namespace collection
