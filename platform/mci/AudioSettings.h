#pragma once
// The audio settings that take effect while the program runs: the output
// device every new pipeline plays on, and the check of a SoundFont file
// before it becomes the setting "SoundFont".

#include <QList>
#include <QString>

namespace mci {

struct AudioOutputChoice {
    QString id;    // what the setting "AudioOutput" stores; empty = the system default
    QString name;  // what the user sees
};

// The audio outputs the system's device monitor lists now, in its order;
// the system default is not among them. An id is the output's element
// factory and its device, as "pulsesink:alsa_output.pci-0000_00_1f.3.analog-stereo",
// or the factory and the device's display name for an element without a
// "device" property. Waits for the engine; UI thread only.
QList<AudioOutputChoice> ListAudioOutputs();

// The output of every pipeline made from now on: an id as ListAudioOutputs
// gives it, empty for the system default. Any thread. LIRABOX_AUDIO_SINK,
// when set, wins over it. An id that no device answers to any more plays on
// the default output, said once on stderr.
void SetAudioOutput(const QString& id);
QString CurrentAudioOutput();

// The level of everything played, files and CD tracks alike: 0 silent, 1
// as recorded, a value outside taken to the nearer end (not a number: no
// change). Applies at once to what plays and to every pipeline made later;
// kept for the run, never stored. Any thread.
void SetOutputVolume(double level);
double OutputVolume();

// True when file is a SoundFont the MIDI synthesizer loads; otherwise false
// and *reason (for stderr) says why. Takes as long as the synthesizer's
// load; never opens anything but a regular file. Waits for the engine; UI
// thread only.
bool CheckSoundFont(const QString& file, QString* reason);

}  // namespace mci
