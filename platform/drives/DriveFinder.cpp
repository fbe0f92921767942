#include "platform/drives/DriveFinder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <dirent.h>
#include <future>
#include <pwd.h>
#include <set>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/drives/PathResolver.h"
#include "platform/text/FileText.h"

namespace drives {
namespace {

using Clock = std::chrono::steady_clock;

bool IsAsciiLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool HasDriveLetter(const QString& path)
{
    return path.size() >= 2 && IsAsciiLetter(path.at(0)) && path.at(1) == u':';
}

// "C:\MIDI\a.mid" -> "\MIDI\a.mid"; nothing without a letter or a name below it.
std::optional<QString> PathBelowLetter(const QString& entryPath)
{
    if (!HasDriveLetter(entryPath))
        return std::nullopt;
    const QString rest = entryPath.mid(2);
    const bool named = std::any_of(rest.begin(), rest.end(), [](QChar c) { return c != u'\\' && c != u'/'; });
    return named ? std::optional<QString>(rest) : std::nullopt;
}

// A CD track is entered as "E:\ CDﾄﾗｯｸ 03": the letter, a space and "CD" before any name.
bool IsCdTrackEntry(const QString& entryPath)
{
    return HasDriveLetter(entryPath) && entryPath.size() > 2 && entryPath.at(2) == u'\\' &&
           QStringView(entryPath).mid(3).startsWith(u" CD");
}

QByteArray Join(const QByteArray& dir, const QByteArray& name)
{
    return dir.endsWith('/') ? dir + name : dir + '/' + name;
}

// "/a/b" -> "/a", "/a" -> "/", "/" -> nothing.
std::optional<QByteArray> Parent(const QByteArray& folder)
{
    const qsizetype slash = folder.lastIndexOf('/');
    if (slash < 0 || folder == "/")
        return std::nullopt;
    return slash == 0 ? QByteArray("/") : folder.left(slash);
}

// One look for an entry's path: each real folder (device and inode) is
// probed at most once and listed at most once, so links to a folder seen
// before, loops included, cost one stat.
class Look {
public:
    Look(QString rest, Clock::time_point deadline, int maxResults)
        : m_rest(std::move(rest)), m_deadline(deadline), m_maxResults(maxResults)
    {
    }

    // False once the look is over: the deadline passed or enough folders found.
    bool Probe(const QByteArray& folder)
    {
        if (Over())
            return false;
        struct stat info {};
        if (::stat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            !m_probed.emplace(info.st_dev, info.st_ino).second)
            return true;
        const std::optional<QByteArray> path = ResolveUnderBefore(folder, m_rest, m_deadline);
        if (!path) {
            m_timedOut = true;
            return false;
        }
        if (::stat(path->constData(), &info) == 0 && S_ISREG(info.st_mode))
            m_found.append(text::DecodeFileName(folder));
        return !Over();
    }

    // The folder's subfolders, hidden ones left out, sorted by name; none for
    // a folder listed before or once the look is over.
    std::vector<QByteArray> Subfolders(const QByteArray& folder)
    {
        std::vector<QByteArray> subfolders;
        struct stat info {};
        if (Over() || ::stat(folder.constData(), &info) != 0 || !m_listed.emplace(info.st_dev, info.st_ino).second)
            return subfolders;
        DIR* listing = ::opendir(folder.constData());
        if (!listing)
            return subfolders;
        while (const dirent* entry = ::readdir(listing)) {
            if (Clock::now() >= m_deadline) {
                m_timedOut = true;
                break;
            }
            if (entry->d_name[0] == '.')
                continue;
            const QByteArray path = Join(folder, QByteArray(entry->d_name));
            if (entry->d_type == DT_DIR ||
                ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) && ::stat(path.constData(), &info) == 0 &&
                 S_ISDIR(info.st_mode)))
                subfolders.push_back(path);
        }
        ::closedir(listing);
        std::sort(subfolders.begin(), subfolders.end());
        return subfolders;
    }

    bool Over()
    {
        if (!m_timedOut && Clock::now() >= m_deadline)
            m_timedOut = true;
        return m_timedOut || m_found.size() >= m_maxResults;
    }

    bool TimedOut() const { return m_timedOut; }
    const QStringList& Found() const { return m_found; }

private:
    QString m_rest;
    Clock::time_point m_deadline;
    qsizetype m_maxResults;
    bool m_timedOut = false;
    QStringList m_found;
    std::set<std::pair<dev_t, ino_t>> m_probed;
    std::set<std::pair<dev_t, ino_t>> m_listed;
};

QByteArray NativeFolder(const QString& folder)
{
    return QFile::encodeName(QDir::cleanPath(QDir(folder).absolutePath()));
}

void LookInPlaces(Look& look, const FindPlaces& places)
{
    if (!places.collectionFolder.isEmpty()) {
        for (std::optional<QByteArray> folder = NativeFolder(places.collectionFolder); folder;
             folder = Parent(*folder))
            if (!look.Probe(*folder))
                return;
    }
    if (!places.home.isEmpty()) {
        const QByteArray home = NativeFolder(places.home);
        if (!look.Probe(home))
            return;
        const std::vector<QByteArray> level1 = look.Subfolders(home);
        for (const QByteArray& folder : level1)
            if (!look.Probe(folder))
                return;
        for (const QByteArray& parent : level1)
            for (const QByteArray& folder : look.Subfolders(parent))
                if (!look.Probe(folder))
                    return;
    }
    for (const QString& mountParent : places.mountParents)
        for (const QByteArray& folder : look.Subfolders(NativeFolder(mountParent)))
            if (!look.Probe(folder))
                return;
}

struct Outcome {
    QStringList folders;
    bool complete = false;  // every place looked at, or enough folders found
};

Outcome FindFolders(const QString& entryPath, const FindPlaces& places, Clock::time_point deadline, int maxResults)
{
    const std::optional<QString> rest = PathBelowLetter(entryPath);
    if (!rest || maxResults <= 0)
        return {{}, true};
    Look look(*rest, deadline, maxResults);
    LookInPlaces(look, places);
    return {look.Found(), !look.TimedOut() || look.Found().size() >= maxResults};
}

std::optional<QString> Propose(const QString& entryPath, const FindPlaces& places, Clock::time_point deadline)
{
    if (IsCdTrackEntry(entryPath)) {
        const QStringList images = FindDiscImages(places.collectionFolder);
        return images.size() == 1 ? std::optional<QString>(images.front()) : std::nullopt;
    }
    const Outcome outcome = FindFolders(entryPath, places, deadline, 2);
    if (!outcome.complete || outcome.folders.size() != 1)
        return std::nullopt;
    return outcome.folders.front();
}

}  // namespace

FindPlaces FindPlaces::ForUser(const QString& collectionPath)
{
    FindPlaces places;
    if (!collectionPath.isEmpty() && !HasDriveLetter(collectionPath))
        places.collectionFolder = QFileInfo(collectionPath).absolutePath();

    passwd entry {};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found);
    places.home = qEnvironmentVariable("HOME");
    if (places.home.isEmpty() && found)
        places.home = QFile::decodeName(found->pw_dir);
    const QString user = found ? QFile::decodeName(found->pw_name) : qEnvironmentVariable("USER");
    if (!user.isEmpty())
        places.mountParents << QStringLiteral("/media/") + user << QStringLiteral("/run/media/") + user;
    places.mountParents << QStringLiteral("/mnt");
    return places;
}

QStringList FindDriveFolders(const QString& entryPath, const FindPlaces& places,
                             std::chrono::steady_clock::time_point deadline, int maxResults)
{
    return FindFolders(entryPath, places, deadline, maxResults).folders;
}

QStringList FindDiscImages(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({QStringLiteral("*.cue"), QStringLiteral("*.toc"), QStringLiteral("*.nrg")},
                      QDir::Files, QDir::Name);
    QStringList images;
    for (const QString& name : names)
        images.append(dir.filePath(name));
    return images;
}

std::optional<QString> ProposeDriveTarget(const QString& entryPath, const FindPlaces& places,
                                          std::chrono::milliseconds budget)
{
    const Clock::time_point deadline = Clock::now() + budget;
    // The promise and the future share their state, so a worker that outlives
    // this call writes its answer where nobody reads it, and frees it.
    std::promise<std::optional<QString>> promise;
    std::future<std::optional<QString>> answer = promise.get_future();
    try {
        std::thread([promise = std::move(promise), entryPath, places, deadline]() mutable {
            promise.set_value(Propose(entryPath, places, deadline));
        }).detach();
    } catch (const std::system_error&) {
        return std::nullopt;
    }
    if (answer.wait_until(deadline) != std::future_status::ready)
        return std::nullopt;
    return answer.get();
}

}  // namespace drives
