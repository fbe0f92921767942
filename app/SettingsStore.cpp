#include "app/SettingsStore.h"

#include <QStringList>

namespace {

const QString kGroup = QStringLiteral("Settings");
// A value is read into a zero-filled buffer of this many bytes and must fit with its terminator.
constexpr qsizetype kValueBuffer = 1024;

}  // namespace

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Quenda"), QStringLiteral("Lirabox")))
{
}

bool SettingsStore::KeyExists()
{
    return m_settings->childGroups().contains(kGroup);
}

std::optional<QString> SettingsStore::Read(const QString& name)
{
    const QVariant value = m_settings->value(kGroup + QLatin1Char('/') + name);
    if (!value.isValid())
        return std::nullopt;
    // A hand-edited value with a comma comes back as a list.
    const QString text = value.typeId() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                                  : value.toString();
    if (text.toUtf8().size() >= kValueBuffer)
        return std::nullopt;
    return text;
}

void SettingsStore::Write(const QString& name, const QString& text)
{
    m_settings->setValue(kGroup + QLatin1Char('/') + name, text);
}

void SettingsStore::Remove(const QString& name)
{
    m_settings->remove(kGroup + QLatin1Char('/') + name);
}

bool SettingsStore::Commit()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}
