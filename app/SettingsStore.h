#pragma once
// The settings file that stands for the registry key
// Software\Quenda\Lirabox\Settings: group [Settings] of Quenda/Lirabox.conf
// in the user's configuration folder.

#include <QList>
#include <QSettings>
#include <QString>
#include <memory>
#include <optional>

#include "app/IniText.h"

class SettingsStore {
public:
    SettingsStore();

    // True when the file holds the group ("the key exists").
    bool KeyExists();
    // The value's text; nullopt when absent or 1024 bytes or more.
    std::optional<QString> Read(const QString& name);
    void Write(const QString& name, const QString& text);
    void Remove(const QString& name);
    // Writes the changes out; false when the file could not be written.
    // Only the lines of the values written or removed change: every other
    // byte of the file stays as it was (see IniText.h).
    bool Commit();

private:
    std::unique_ptr<QSettings> m_settings;
    QList<ini::Change> m_changes;
};
