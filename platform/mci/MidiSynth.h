#pragma once
// The MIDI synthesizer, kept loaded from one MIDI entry to the next
// (private to platform/mci). fluiddec loads its SoundFont when it leaves
// NULL and drops it when it returns there: ~100 ms and ~10 MB of allocation
// for a General MIDI font, every entry. A synthesizer taken out of its
// pipeline in READY keeps the font, and its next READY -> PAUSED resets the
// synthesizer (notes, programs, controllers, effects) as a new one starts.
// For the UI thread only.

#include <QByteArray>
#include <gst/gst.h>

namespace mci {

// fluiddec's default gain of 0.2 plays General MIDI files at about -35 to
// -30 dBFS RMS with peaks near -18 dBFS. At 1.0 a tune of melody, chords, bass
// and drums peaks at -4 dBFS (RMS -21 dBFS), near a WAV mastered to full
// scale; more gain starts to clip dense files.
inline constexpr double kMidiSynthGain = 1.0;

class MidiSynthPool {
public:
    MidiSynthPool() = default;
    ~MidiSynthPool();
    MidiSynthPool(const MidiSynthPool&) = delete;
    MidiSynthPool& operator=(const MidiSynthPool&) = delete;

    // True when MIDI files can get a pipeline of our own: the MIDI parser
    // and fluiddec are installed, with the rank that decodebin would pick
    // fluiddec by.
    static bool Available();

    // A synthesizer playing with soundFont at the gain we play MIDI with, a
    // reference for the caller: the one kept, when it loaded the same file
    // and the file has not changed since; else a new one. nullptr when
    // fluiddec cannot be made.
    GstElement* Take(const QByteArray& soundFont);
    // A synthesizer made as Take makes one, never kept.
    static GstElement* Make(const QByteArray& soundFont);
    // Keeps synth (out of any bin, in READY, its font loaded) for the next
    // Take, instead of the one kept so far. Takes the caller's reference.
    void Keep(GstElement* synth);
    // Stops a synthesizer and drops the caller's reference.
    static void Release(GstElement* synth);

private:
    GstElement* m_kept = nullptr;
};

}  // namespace mci
