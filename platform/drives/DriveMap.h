#pragma once
// Logical drive letters: each letter names a target, a CD device node, a disc
// image (which then behaves as a CD drive) or a directory. Answers what
// GetLogicalDriveStrings and GetDriveType answer on Windows, and turns the
// "X:\..." paths of collections made there into paths of this system.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>

namespace drives {

// GetDriveType's answers, with the values of the Windows API.
inline constexpr unsigned DRIVE_UNKNOWN = 0;
inline constexpr unsigned DRIVE_NO_ROOT_DIR = 1;
inline constexpr unsigned DRIVE_FIXED = 3;
inline constexpr unsigned DRIVE_CDROM = 5;

class DriveMap {
public:
    DriveMap() = default;

    // Sources, later ones winning: the CD devices found on the system (in the
    // order found; one letter per physical drive from D: upward, skipping the
    // letters and devices the other sources take), the [Drives] settings
    // (letter -> target) and the LIRABOX_DRIVES text ("Q=/a.cue;R=/b.cue").
    // An empty target removes the letter.
    static DriveMap Build(const QStringList& detectedCdDevices, const QMap<QString, QString>& settings,
                          const QString& environment);
    // Build from libcdio's devices, drivesGroup (the key -> value text of
    // the [Drives] group of the settings) and the environment.
    static DriveMap FromSystem(const QMap<QString, QString>& drivesGroup);
    // As Build, with the devices found by detect, now and at every
    // RefreshDetected.
    static DriveMap Detecting(std::function<QStringList()> detect, const QMap<QString, QString>& settings,
                              const QString& environment);

    // Asks the detector again (a drive plugged in since), keeping the
    // settings and environment read at start. Nothing for a map built from
    // a fixed device list.
    void RefreshDetected();

    static QStringList DetectCdDevices();

    // Gives the letter ("C", "C:") a target as a [Drives] setting would, from
    // now on and through every RefreshDetected; an empty target takes the
    // setting away. The LIRABOX_DRIVES text still wins.
    void SetDrive(const QString& drive, const QString& target);
    // Replaces the whole [Drives] group.
    void SetDrives(const QMap<QString, QString>& settings);

    // "X:\" for every letter that names something, in letter order.
    QStringList LogicalDriveStrings() const;
    // For a root "X:\" (or "X:", "X"): DRIVE_CDROM for devices and disc
    // images, DRIVE_FIXED for directories, DRIVE_NO_ROOT_DIR otherwise.
    unsigned GetDriveType(const QString& root) const;
    // The letter's target; empty when the letter names nothing.
    QString Target(const QString& drive) const;
    // The drive name ("X:") of the first CD drive in letter order.
    std::optional<QString> FirstCdDrive() const;

    // The path of this system for a path of an entry: a POSIX path as it is,
    // "X:\dir\file" through the letter's directory with the components matched
    // without regard to ASCII case when they do not exist as written; a name
    // not found as UTF-8 is tried in CP932. Empty when the letter is not a
    // directory. The native form keeps CP932 names byte for byte.
    // A relative path not found as written is then looked for in the
    // collection folder, when one is set.
    QByteArray ResolveNativePath(const QString& path) const;
    QString ResolvePath(const QString& path) const;

    // The collection whose entries are resolved ("C:\Lists\a.lst" or
    // "/home/me/a.lst"): its folder is where relative entries, as M3U files
    // and hand-written lists have them, are also looked for. Empty for none.
    void SetCollectionPath(const QString& collectionPath);

private:
    struct Drive {
        QString target;
        bool detected = false;  // found by libcdio: a CD device whatever the path looks like
    };

    const Drive* Find(const QString& drive) const;
    unsigned TypeOf(const Drive& drive) const;

    QByteArray ResolveAsWritten(const QString& path) const;
    // Build again from these sources, keeping the detector and the collection folder.
    void Rebuild(const QStringList& detected, const QMap<QString, QString>& settings);

    std::map<char, Drive> m_drives;  // 'A'..'Z'
    QString m_collectionFolder;      // with its last separator
    std::function<QStringList()> m_detect;
    QStringList m_detected;
    QMap<QString, QString> m_settings;
    QString m_environment;
};

}  // namespace drives
