#include "platform/drives/DriveMap.h"

#include "platform/text/FileText.h"

#include <QFileInfo>
#include <QSet>
#include <cdio/cdio.h>
#include <sys/stat.h>

#include "platform/drives/CdioSetup.h"
#include "platform/drives/PathResolver.h"
#include "platform/text/PathSplit.h"

namespace drives {
namespace {

// 'A'..'Z' for "x", "X:", "X:\..."; 0 for anything else.
char LetterOf(const QString& drive)
{
    if (drive.isEmpty())
        return 0;
    const char16_t c = drive.at(0).unicode();
    if (drive.size() >= 2 && drive.at(1) != u':')
        return 0;
    if (c >= u'a' && c <= u'z')
        return static_cast<char>(c - u'a' + 'A');
    if (c >= u'A' && c <= u'Z')
        return static_cast<char>(c);
    return 0;
}

// Two spellings of one physical drive (/dev/cdrom, /dev/sr0) meet here.
QString RealPath(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

bool IsDiscImage(const QString& target)
{
    static const QStringList kExtensions{QStringLiteral(".cue"), QStringLiteral(".toc"), QStringLiteral(".nrg"),
                                         QStringLiteral(".bin")};
    for (const QString& ext : kExtensions)
        if (target.endsWith(ext, Qt::CaseInsensitive))
            return true;
    return false;
}

// "Q=/a.cue;R=/b.cue" -> {Q: /a.cue, R: /b.cue}; items without a letter are ignored.
void ParseEnvironment(const QString& text, std::map<char, QString>& out)
{
    for (const QString& item : text.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype eq = item.indexOf(u'=');
        if (eq < 0)
            continue;
        const char letter = LetterOf(item.left(eq).trimmed());
        if (letter)
            out[letter] = item.mid(eq + 1);
    }
}

}  // namespace

DriveMap DriveMap::Build(const QStringList& detectedCdDevices, const QMap<QString, QString>& settings,
                         const QString& environment)
{
    std::map<char, QString> chosen;
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        if (const char letter = LetterOf(it.key()))
            chosen[letter] = it.value();
    ParseEnvironment(environment, chosen);

    QSet<QString> takenDevices;
    for (const auto& [letter, target] : chosen)
        if (!target.isEmpty())
            takenDevices.insert(RealPath(target));
    QSet<QString> detectedDevices;
    for (const QString& device : detectedCdDevices)
        detectedDevices.insert(RealPath(device));

    DriveMap map;
    map.m_detected = detectedCdDevices;
    map.m_settings = settings;
    map.m_environment = environment;
    char next = 'D';
    for (const QString& device : detectedCdDevices) {
        const QString real = RealPath(device);
        if (takenDevices.contains(real))
            continue;
        takenDevices.insert(real);
        while (next <= 'Z' && chosen.count(next))
            ++next;
        if (next > 'Z')
            break;
        map.m_drives[next++] = Drive{device, true};
    }
    for (const auto& [letter, target] : chosen)
        if (!target.isEmpty())
            map.m_drives[letter] = Drive{target, detectedDevices.contains(RealPath(target))};
    return map;
}

DriveMap DriveMap::FromSystem(const QMap<QString, QString>& drivesGroup)
{
    return Detecting(&DetectCdDevices, drivesGroup, qEnvironmentVariable("LIRABOX_DRIVES"));
}

DriveMap DriveMap::Detecting(std::function<QStringList()> detect, const QMap<QString, QString>& settings,
                             const QString& environment)
{
    DriveMap map = Build(detect ? detect() : QStringList(), settings, environment);
    map.m_detect = std::move(detect);
    return map;
}

void DriveMap::RefreshDetected()
{
    if (!m_detect)
        return;
    QStringList detected = m_detect();
    if (detected == m_detected)
        return;
    Rebuild(detected, m_settings);
}

void DriveMap::Rebuild(const QStringList& detected, const QMap<QString, QString>& settings)
{
    std::function<QStringList()> detect = std::move(m_detect);
    const QString collectionFolder = m_collectionFolder;
    *this = Build(detected, settings, m_environment);
    m_detect = std::move(detect);
    m_collectionFolder = collectionFolder;
}

void DriveMap::SetDrive(const QString& drive, const QString& target)
{
    const char letter = LetterOf(drive);
    if (!letter)
        return;
    QMap<QString, QString> settings;
    for (auto it = m_settings.cbegin(); it != m_settings.cend(); ++it)
        if (LetterOf(it.key()) != letter)
            settings.insert(it.key(), it.value());
    if (!target.isEmpty())
        settings.insert(QString(QChar(letter)), target);
    Rebuild(m_detected, settings);
}

void DriveMap::SetDrives(const QMap<QString, QString>& settings)
{
    Rebuild(m_detected, settings);
}

QStringList DriveMap::DetectCdDevices()
{
    InitCdio();
    QStringList devices;
    char** list = cdio_get_devices(DRIVER_DEVICE);
    if (!list)
        return devices;
    for (char** p = list; *p; ++p)
        devices.append(QFile::decodeName(*p));
    cdio_free_device_list(list);
    return devices;
}

QStringList DriveMap::LogicalDriveStrings() const
{
    QStringList roots;
    for (const auto& [letter, drive] : m_drives)
        if (TypeOf(drive) != DRIVE_NO_ROOT_DIR)
            roots.append(QString(QChar(letter)) + QStringLiteral(":\\"));
    return roots;
}

unsigned DriveMap::GetDriveType(const QString& root) const
{
    const Drive* drive = Find(root);
    return drive ? TypeOf(*drive) : DRIVE_NO_ROOT_DIR;
}

QString DriveMap::Target(const QString& drive) const
{
    const Drive* found = Find(drive);
    return found ? found->target : QString();
}

std::optional<QString> DriveMap::FirstCdDrive() const
{
    for (const QString& root : LogicalDriveStrings())
        if (GetDriveType(root) == DRIVE_CDROM)
            return root.left(2);
    return std::nullopt;
}

const DriveMap::Drive* DriveMap::Find(const QString& drive) const
{
    const auto it = m_drives.find(LetterOf(drive));
    return it == m_drives.end() ? nullptr : &it->second;
}

unsigned DriveMap::TypeOf(const Drive& drive) const
{
    if (drive.detected || IsDiscImage(drive.target))
        return DRIVE_CDROM;
    struct stat info {};
    if (::stat(QFile::encodeName(drive.target).constData(), &info) != 0)
        return DRIVE_NO_ROOT_DIR;
    if (S_ISDIR(info.st_mode))
        return DRIVE_FIXED;
    if (S_ISBLK(info.st_mode) || S_ISCHR(info.st_mode))
        return DRIVE_CDROM;
    return DRIVE_NO_ROOT_DIR;
}

QByteArray DriveMap::ResolveNativePath(const QString& path) const
{
    QByteArray native = ResolveAsWritten(path);
    // Relative: neither "/…" nor "X:…"; "\…" is a root on Windows.
    const bool drive = path.size() >= 2 && path.at(1) == u':' && LetterOf(path);
    const bool relative = !path.isEmpty() && path.at(0) != u'/' && path.at(0) != u'\\' && !drive;
    if (!relative || m_collectionFolder.isEmpty())
        return native;
    struct stat info {};
    if (!native.isEmpty() && ::lstat(native.constData(), &info) == 0)
        return native;
    const QByteArray inFolder = ResolveAsWritten(m_collectionFolder + path);
    return !inFolder.isEmpty() && ::lstat(inFolder.constData(), &info) == 0 ? inFolder : native;
}

void DriveMap::SetCollectionPath(const QString& collectionPath)
{
    const text::PathParts parts = text::SplitPath(collectionPath);
    m_collectionFolder = parts.drive + parts.dir;
}

QByteArray DriveMap::ResolveAsWritten(const QString& path) const
{
    if (path.size() < 2 || path.at(1) != u':' || !LetterOf(path))
        return ResolvePosixPath(path);
    const Drive* drive = Find(path);
    if (!drive || TypeOf(*drive) != DRIVE_FIXED)
        return {};
    return ResolveUnder(QFile::encodeName(drive->target), path.mid(2));
}

QString DriveMap::ResolvePath(const QString& path) const
{
    return text::DecodeFileName(ResolveNativePath(path));
}

}  // namespace drives
