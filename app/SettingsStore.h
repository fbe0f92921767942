#pragma once
// The settings file that stands for the registry key
// Software\Quenda\Lirabox\Settings: group [Settings] of Quenda/Lirabox.conf
// in the user's configuration folder. The one place the program reads and
// writes it; the parts that need a setting are handed its value.

#include <QList>
#include <QMap>
#include <QString>
#include <optional>

#include "app/IniText.h"

class SettingsStore {
public:
    // Reads the file as it is now.
    SettingsStore();

    // True when the file holds the group ("the key exists").
    bool KeyExists() const;
    // The value's text in [Settings]; nullopt when absent or 1024 bytes or
    // more. Values are the whole text of their line (see IniText.h), so a
    // hand-written path with a comma and spaces reads as written.
    std::optional<QString> Read(const QString& name) const;
    // Every key of another group, such as [Drives], with its value's text.
    QMap<QString, QString> ReadGroup(const QString& group) const;
    void Write(const QString& name, const QString& text);
    void Remove(const QString& name);
    // The same in another group, such as [Drives].
    void WriteIn(const QString& group, const QString& name, const QString& text);
    void RemoveIn(const QString& group, const QString& name);
    // Writes the changes out; false when the file could not be written.
    // Only the lines of the values written or removed change: every other
    // byte of the file stays as it was (see IniText.h).
    bool Commit();

private:
    QString m_path;
    QByteArray m_bytes;
    QMap<QString, QList<ini::Change>> m_changes;  // by group
};
