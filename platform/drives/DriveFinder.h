#pragma once
// Where a drive letter that the drive map does not know may be on this
// machine: the folders that hold an entry's path below its letter, so that
// the player can propose one before asking the user.

#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

namespace drives {

// Where to look, in this order; duplicates (by real path) are looked at once.
struct FindPlaces {
    QString collectionFolder;   // folder of the open collection (POSIX path), may be empty: it and each of its parents
    QString home;               // the user's home: itself, its subfolders and their subfolders (two levels)
    QStringList mountParents;   // each folder's subfolders: /media/USER, /run/media/USER, /mnt
    // The places of the running user ($HOME or getpwuid, the user name) for a collection path.
    static FindPlaces ForUser(const QString& collectionPath);
};

// Folders F such that F + the entry's path below its letter exists as a
// regular file, found as ResolveUnder finds it (components matched without
// regard to ASCII case when not found as written, CP932 names tried).
// entryPath is "C:\MIDI\曲.mid"; anything without a drive letter and a path
// gives none. Hidden subfolders are not looked into. Stops at the deadline
// and returns what it found by then, and at maxResults folders (2: enough to
// tell "exactly one"). Each folder is given as first reached, not resolved.
QStringList FindDriveFolders(const QString& entryPath, const FindPlaces& places,
                             std::chrono::steady_clock::time_point deadline, int maxResults = 2);

// Disc images (.cue, .toc, .nrg, case-insensitive) directly in folder, sorted by name.
QStringList FindDiscImages(const QString& folder);

// The one place to propose for a drive letter, or nothing: for a file entry
// the single folder FindDriveFolders finds in a look that ran to its end;
// for a CD-track entry ("E:\ CDﾄﾗｯｸ 03") the single disc image in
// places.collectionFolder. The look runs on a worker thread that owns
// copies of its arguments; the caller waits at most budget and gets nothing
// when it takes longer.
std::optional<QString> ProposeDriveTarget(const QString& entryPath, const FindPlaces& places,
                                          std::chrono::milliseconds budget = std::chrono::milliseconds(200));

}  // namespace drives
