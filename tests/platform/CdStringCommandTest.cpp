// The string commands of the "cdaudio" device are read word by word, with a
// trailing notify or wait ignored; nothing else is understood.
#include <gtest/gtest.h>

#include "platform/mci/Mci.h"
#include "platform/mci/MciString.h"

using mci::CdStringCommand;

namespace {

TEST(CdStringCommand, KnownCommandsInAnyCaseAndSpacing)
{
    const struct {
        const char* text;
        CdStringCommand command;
    } kCases[] = {
        {"open cdaudio", CdStringCommand::Open},
        {"OPEN CDAudio wait", CdStringCommand::Open},
        {"status cdaudio mode notify", CdStringCommand::StatusMode},
        {"  status   cdaudio\tmode ", CdStringCommand::StatusMode},
        {"set cdaudio door open notify", CdStringCommand::DoorOpen},
        {"set cdaudio door closed notify", CdStringCommand::DoorClosed},
        {"set cdaudio door closed", CdStringCommand::DoorClosed},
        {"close cdaudio", CdStringCommand::Close},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(mci::ParseCdString(QString::fromLatin1(c.text)), c.command) << c.text;
}

TEST(CdStringCommand, AnythingElseIsAnError)
{
    for (const char* text : {"", "open", "open cdaudio shareable", "open waveaudio", "play cdaudio",
                             "status cdaudio position", "status cdaudio mode notify wait", "set cdaudio door",
                             "set cdaudio door ajar", "close cdaudio now", "notify", "cdaudio open"})
        EXPECT_FALSE(mci::ParseCdString(QString::fromLatin1(text))) << text;
}

TEST(CdStringCommand, ModeWords)
{
    EXPECT_EQ(mci::ModeWord(mci::kModeOpen), QStringLiteral("open"));
    EXPECT_EQ(mci::ModeWord(mci::kModeStopped), QStringLiteral("stopped"));
    EXPECT_EQ(mci::ModeWord(mci::kModePlaying), QStringLiteral("playing"));
    EXPECT_EQ(mci::ModeWord(mci::kModePaused), QStringLiteral("paused"));
    EXPECT_EQ(mci::ModeWord(mci::kModeNotReady), QStringLiteral("not ready"));
}

}  // namespace
