#pragma once
// The string commands of the "cdaudio" device that the program sends, parsed
// word by word as mciSendString does. Shared by the real device and the fakes.

#include <QString>
#include <optional>

namespace mci {

enum class CdStringCommand { Open, StatusMode, DoorOpen, DoorClosed, Close };

// "open cdaudio", "status cdaudio mode", "set cdaudio door open",
// "set cdaudio door closed", "close cdaudio", each with an optional trailing
// "notify" or "wait"; words without regard to case. nullopt for anything else.
std::optional<CdStringCommand> ParseCdString(const QString& command);

// The answer of "status cdaudio mode" for a mode value.
QString ModeWord(long mode);

}  // namespace mci
