#pragma once
// Where MIDI gets its instruments from.

#include <QString>
#include <QStringList>

namespace mci {

// The SoundFont handed to the MIDI synthesizer: configured (the text of the
// setting "SoundFont") when set, else the system's default General MIDI
// font, else TimGM6mb. Left to itself the synthesizer would take whichever
// .sf2 file it finds first.
QString FindSoundFont(const QString& configured);

// The choice FindSoundFont makes. A configured file that does not exist is
// kept, so that MIDI fails to open as the setting deserves; one that exists
// but is no regular file (a FIFO would hang the synthesizer's load, a device
// would never end) gives way to the first of systemFonts that is a regular
// file, else to the last of them.
QString ChooseSoundFont(const QString& configured, const QStringList& systemFonts);

}  // namespace mci
