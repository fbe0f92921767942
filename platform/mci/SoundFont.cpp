#include "platform/mci/SoundFont.h"

#include <QFileInfo>
#include <QSettings>

namespace mci {

QString FindSoundFont()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quenda"),
                       QStringLiteral("Lirabox"));
    const QString configured = settings.value(QStringLiteral("Settings/SoundFont")).toString();
    if (!configured.isEmpty())
        return configured;
    const QString systemDefault = QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2");
    if (QFileInfo::exists(systemDefault))
        return systemDefault;
    return QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2");
}

}  // namespace mci
