#include "platform/mci/SoundFont.h"

#include <QFile>
#include <sys/stat.h>

#include "platform/drives/RealFileAccess.h"

namespace mci {
namespace {

bool Exists(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

bool IsRegular(const QString& path)
{
    return drives::IsReadableRegularFile(QFile::encodeName(path));
}

}  // namespace

QString ChooseSoundFont(const QString& configured, const QStringList& systemFonts)
{
    if (!configured.isEmpty() && (!Exists(configured) || IsRegular(configured)))
        return configured;
    for (const QString& font : systemFonts)
        if (IsRegular(font))
            return font;
    return systemFonts.isEmpty() ? configured : systemFonts.back();
}

QString FindSoundFont(const QString& configured)
{
    return ChooseSoundFont(configured, {QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2"),
                                        QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2")});
}

}  // namespace mci
