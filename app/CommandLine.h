#pragma once
// The command line as the program reads it on Windows: the collection path
// first, then one-letter switches.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>

struct CommandLineParts {
    QString path;
    std::uint32_t flags = 0;
};

// The path is the text up to the first space, or between a leading double
// quote and the next one (to the end when it is not closed); after it, every
// "/" followed by A, S, R or I (either case) sets that flag. kFlagPlay is
// always set.
CommandLineParts SplitCommandLine(QStringView commandLine);

// The text after the program name: arguments joined by one space, an
// argument with a space in it enclosed in double quotes.
QString JoinCommandLine(const QStringList& arguments);

// As SplitCommandLine on the joined arguments, except that a first argument
// that names an existing file is the path as it stands: quotes and spaces in
// a file name of this system need no Windows quoting. exists(path) tells
// whether a file exists.
template <typename Exists>
CommandLineParts SplitArguments(const QStringList& arguments, Exists exists)
{
    if (arguments.isEmpty() || arguments.first().isEmpty() || !exists(arguments.first()))
        return SplitCommandLine(JoinCommandLine(arguments));
    // Any text before the switches ends the path token of the joined line.
    CommandLineParts parts = SplitCommandLine(QStringLiteral("x ") + JoinCommandLine(arguments.mid(1)));
    parts.path = arguments.first();
    return parts;
}
