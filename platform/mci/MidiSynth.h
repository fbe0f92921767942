#pragma once
// The MIDI synthesizer of our own MIDI pipelines (private to platform/mci).

#include <QByteArray>
#include <QString>
#include <gst/gst.h>

namespace mci {

// fluiddec's default gain of 0.2 plays General MIDI files at about -35 to
// -30 dBFS RMS with peaks near -18 dBFS. At 1.0 a tune of melody, chords, bass
// and drums peaks at -4 dBFS (RMS -21 dBFS), near a WAV mastered to full
// scale; more gain starts to clip dense files.
inline constexpr double kMidiSynthGain = 1.0;

// True when MIDI files can get a pipeline of our own: the MIDI parser and
// fluiddec are installed, with the rank that decodebin would pick them by.
bool MidiSynthAvailable();

// A floating fluiddec playing with soundFont at kMidiSynthGain; it loads the
// font when it leaves NULL. nullptr when fluiddec cannot be made.
GstElement* MakeMidiSynth(const QByteArray& soundFont);

// Whether the synthesizer of MakeMidiSynth loads soundFont (a regular file:
// a FIFO would hold the load, and us, until some writer came); false with
// the reason in *reason otherwise.
bool SynthLoadsSoundFont(const QByteArray& soundFont, QString* reason);

}  // namespace mci
