// The cdaudio string commands: never a crash, and words compare without
// regard to case.
#include "fuzz/FuzzSupport.h"
#include "platform/mci/MciString.h"

#include <algorithm>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString command = QString::fromUtf8(bytes);
    const auto parsed = mci::ParseCdString(command);
    if (QtPrivate::isAscii(QLatin1StringView(bytes))) {
        FUZZ_CHECK(mci::ParseCdString(command.toUpper()) == parsed);
        FUZZ_CHECK(mci::ParseCdString(command.toLower()) == parsed);
    }
    long mode = 0;
    std::memcpy(&mode, data, std::min(size, sizeof mode));
    FUZZ_CHECK(!mci::ModeWord(mode).isEmpty());
    return 0;
}
