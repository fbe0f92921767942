// The command line: the path is a piece of the line, only the four switch
// flags are ever set, and a first argument that exists is the path whole.
// The input is the line; split at NUL bytes it is also a list of arguments.
#include "app/CPlayerApp.h"
#include "app/CommandLine.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    constexpr std::uint32_t kAllFlags = kFlagPlay | kFlagShuffle | kFlagRepeat | kFlagMinimized;

    const QString line = QString::fromUtf8(bytes);
    const CommandLineParts parts = SplitCommandLine(line);
    FUZZ_CHECK(line.contains(parts.path));
    FUZZ_CHECK((parts.flags & kFlagPlay) && (parts.flags & ~kAllFlags) == 0);

    QStringList arguments;
    for (const QByteArray& argument : bytes.split('\0'))
        arguments.append(QString::fromUtf8(argument));
    // "Exists" by a rule the input controls: an odd length.
    const auto exists = [](const QString& path) { return path.size() % 2 == 1; };
    const CommandLineParts fromArguments = SplitArguments(arguments, exists);
    FUZZ_CHECK((fromArguments.flags & kFlagPlay) && (fromArguments.flags & ~kAllFlags) == 0);
    const QString& first = arguments.first();
    if (exists(first))
        FUZZ_CHECK(fromArguments.path == first);
    else if (!first.isEmpty() && !first.contains(u' ') && !first.startsWith(u'"'))
        FUZZ_CHECK(fromArguments.path == first);
    return 0;
}
