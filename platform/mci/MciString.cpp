#include "platform/mci/MciString.h"

#include <QStringList>

#include "platform/mci/Mci.h"

namespace mci {

std::optional<CdStringCommand> ParseCdString(const QString& command)
{
    QStringList words = command.simplified().toLower().split(u' ', Qt::SkipEmptyParts);
    if (!words.isEmpty() && (words.last() == u"notify" || words.last() == u"wait"))
        words.removeLast();
    if (words.size() < 2 || words[1] != u"cdaudio")
        return std::nullopt;
    const QString& verb = words[0];
    if (words.size() == 2 && verb == u"open")
        return CdStringCommand::Open;
    if (words.size() == 2 && verb == u"close")
        return CdStringCommand::Close;
    if (words.size() == 3 && verb == u"status" && words[2] == u"mode")
        return CdStringCommand::StatusMode;
    if (words.size() == 4 && verb == u"set" && words[2] == u"door") {
        if (words[3] == u"open")
            return CdStringCommand::DoorOpen;
        if (words[3] == u"closed")
            return CdStringCommand::DoorClosed;
    }
    return std::nullopt;
}

QString ModeWord(long mode)
{
    switch (mode) {
    case kModeNotReady:
        return QStringLiteral("not ready");
    case kModePlaying:
        return QStringLiteral("playing");
    case kModePaused:
        return QStringLiteral("paused");
    case kModeOpen:
        return QStringLiteral("open");
    default:
        return QStringLiteral("stopped");
    }
}

}  // namespace mci
