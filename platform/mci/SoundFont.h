#pragma once
// Where MIDI gets its instruments from.

#include <QString>

namespace mci {

// The SoundFont handed to the MIDI synthesizer: the setting "SoundFont" of
// the [Settings] group when set, else the system's default General MIDI
// font, else TimGM6mb. Left to itself the synthesizer would take whichever
// .sf2 file it finds first.
QString FindSoundFont();

}  // namespace mci
