#pragma once
// Collection entries: a CD track ("E:\ CDﾄﾗｯｸ 03", "CDﾄﾗｯｸ 03") or the path of a
// media file.

#include <QString>
#include <optional>

namespace collection {

enum class EntryKind { Midi, Wave, Video, Other };

// True when the entry contains "CDﾄﾗｯｸ" anywhere, file paths included.
bool IsCdTrackEntry(const QString& entry);

// By the extension, without regard to case: ".mid", ".wav", ".avi", else Other.
EntryKind FileEntryKind(const QString& entry);

struct SplitForm {
    QString location;  // drive and directory, ending with its separator
    QString name;      // base name and extension
};

// location + name == entry for every entry; a CD-track entry is all name.
SplitForm SplitEntry(const QString& entry);

// "X:\ CDﾄﾗｯｸ 03" for a drive "X:", "CDﾄﾗｯｸ 03" for an empty drive.
QString FormatCdTrackEntry(const QString& drive, int track);

struct CdTrackRef {
    std::optional<QString> drive;  // "X:" when the entry names one
    int track = 0;                 // 0 when the entry ends in no number
};

CdTrackRef ParseCdTrackEntry(const QString& entry);

// The entry as the player's title list shows it: a CD-track entry whole, a
// file by its base name without directory and extension.
QString DisplayName(const QString& entry);

}  // namespace collection
