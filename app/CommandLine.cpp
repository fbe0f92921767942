#include "app/CommandLine.h"

#include "app/CPlayerApp.h"

CommandLineParts SplitCommandLine(QStringView commandLine)
{
    CommandLineParts parts;
    parts.flags = kFlagPlay;
    qsizetype rest = 0;
    if (commandLine.startsWith(u'"')) {
        const qsizetype close = commandLine.indexOf(u'"', 1);
        parts.path = commandLine.mid(1, close < 0 ? -1 : close - 1).toString();
        rest = close < 0 ? commandLine.size() : close;
    } else {
        const qsizetype space = commandLine.indexOf(u' ');
        parts.path = (space < 0 ? commandLine : commandLine.left(space)).toString();
        rest = space < 0 ? commandLine.size() : space;
    }
    for (qsizetype i = rest; i + 1 < commandLine.size(); ++i) {
        if (commandLine.at(i) != u'/')
            continue;
        switch (commandLine.at(i + 1).toUpper().unicode()) {
        case 'A': parts.flags |= kFlagPlay; break;
        case 'S': parts.flags |= kFlagShuffle; break;
        case 'R': parts.flags |= kFlagRepeat; break;
        case 'I': parts.flags |= kFlagMinimized; break;
        default: break;
        }
    }
    return parts;
}

QString JoinCommandLine(const QStringList& arguments)
{
    QStringList parts;
    for (const QString& argument : arguments)
        parts.append(argument.contains(u' ') ? u'"' + argument + u'"' : argument);
    return parts.join(u' ');
}
