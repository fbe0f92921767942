#include "app/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStringList>
#include <sys/stat.h>

namespace {

const QString kGroup = QStringLiteral("Settings");
// A value is read into a zero-filled buffer of this many bytes and must fit with its terminator.
constexpr qsizetype kValueBuffer = 1024;

// QSettings caches what it read of a file for the whole process and reads it
// again only when its size or its modification time (in ms) changed. The
// file system's clock ticks more coarsely than that, so a rewrite of the same
// size soon after the last one would keep the old answers: move the time on.
void MarkChanged(int fd, const QString& oldPath)
{
    struct stat old {};
    struct stat now {};
    if (::stat(QFile::encodeName(oldPath).constData(), &old) != 0 || ::fstat(fd, &now) != 0)
        return;
    const auto ms = [](const timespec& t) { return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000; };
    if (ms(now.st_mtim) > ms(old.st_mtim))
        return;
    const qint64 later = ms(old.st_mtim) + 1;
    const timespec times[2] = {{0, UTIME_OMIT}, {time_t(later / 1000), long(later % 1000) * 1000000}};
    ::futimens(fd, times);
}

}  // namespace

SettingsStore::SettingsStore()
    : m_path(QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quenda"),
                       QStringLiteral("Lirabox"))
                 .fileName())
{
    QFile file(m_path);
    if (file.open(QIODevice::ReadOnly))
        m_bytes = file.readAll();
}

bool SettingsStore::KeyExists() const
{
    return !ini::ReadGroup(m_bytes, kGroup).isEmpty();
}

std::optional<QString> SettingsStore::Read(const QString& name) const
{
    for (const auto& [key, text] : ini::ReadGroup(m_bytes, kGroup)) {
        if (key != name)
            continue;
        if (text.toUtf8().size() >= kValueBuffer)
            return std::nullopt;
        return text;
    }
    return std::nullopt;
}

QMap<QString, QString> SettingsStore::ReadGroup(const QString& group) const
{
    QMap<QString, QString> values;
    for (const auto& [key, text] : ini::ReadGroup(m_bytes, group))
        values.insert(key, text);
    return values;
}

void SettingsStore::Write(const QString& name, const QString& text)
{
    WriteIn(kGroup, name, text);
}

void SettingsStore::Remove(const QString& name)
{
    RemoveIn(kGroup, name);
}

void SettingsStore::WriteIn(const QString& group, const QString& name, const QString& text)
{
    m_changes[group].append({name, text});
}

void SettingsStore::RemoveIn(const QString& group, const QString& name)
{
    m_changes[group].append({name, std::nullopt});
}

bool SettingsStore::Commit()
{
    if (m_changes.isEmpty())
        return true;
    const QFileInfo info(m_path);
    const QString path = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    QByteArray old;
    if (info.exists()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        old = file.readAll();
    } else if (!QDir().mkpath(info.absolutePath())) {
        return false;
    }
    QByteArray bytes = old;
    for (auto it = m_changes.cbegin(); it != m_changes.cend(); ++it)
        bytes = ini::EditGroup(bytes, it.key(), it.value());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    MarkChanged(file.handle(), path);
    if (!file.commit())
        return false;
    m_bytes = bytes;
    m_changes.clear();
    return true;
}
