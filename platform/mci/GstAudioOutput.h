#pragma once
// GStreamer set-up shared by the file and CD devices (private to platform/mci).

#include <QString>
#include <gst/gst.h>

namespace mci {

// Initialises GStreamer once per process; false when it cannot start.
bool EnsureGstreamer();

// The audio output for one pipeline: the bin described by LIRABOX_AUDIO_SINK
// when set, else the output SetAudioOutput chose, else autoaudiosink. A new
// floating element on every call; nullptr (and the reason in *error) when
// the description does not parse.
GstElement* MakeAudioOutput(QString* error);

// output behind a volume element at OutputVolume() that follows every later
// SetOutputVolume: a new floating bin holding output. output as it is when
// the volume element is missing; nullptr (output freed) when the two do not
// link. At 1 the element passes buffers through untouched.
GstElement* WithOutputVolume(GstElement* output);

// An output made by autoaudiosink, or a device's own sink, writes to the
// device in blocks of tens of milliseconds instead of GStreamer's 10 ms,
// which woke the device thread a hundred times a second; what it holds in
// all stays at 200 ms. A bin described by LIRABOX_AUDIO_SINK is left as
// described.
void UseLargeDeviceBlocks(GstElement* output);

// Raw audio reaches an output in buffers of a decoder's or a reader's size,
// each a wake-up of the output's thread and a pass through every element.
// Audio goes on in blocks of 1/kAudioBlockParts s, 200 ms.
inline constexpr int kAudioBlockParts = 5;

// Joins blocks of raw audio into blocks of 1/partsOfSecond s, unchanged; a
// new floating element, nullptr when audiobuffersplit is not installed
// (gstreamer1.0-plugins-bad), which only costs wake-ups.
GstElement* MakeBlockJoiner(int partsOfSecond = kAudioBlockParts);

}  // namespace mci
