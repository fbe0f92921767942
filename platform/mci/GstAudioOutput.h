#pragma once
// GStreamer set-up shared by the file and CD devices (private to platform/mci).

#include <QString>
#include <gst/gst.h>

namespace mci {

// Initialises GStreamer once per process; false when it cannot start.
bool EnsureGstreamer();

// The audio output for one pipeline: the bin described by LIRABOX_AUDIO_SINK
// when set, else autoaudiosink. A new floating element on every call;
// nullptr (and the reason in *error) when the description does not parse.
GstElement* MakeAudioOutput(QString* error);

// An output made by autoaudiosink writes to the device in blocks of tens of
// milliseconds instead of GStreamer's 10 ms, which woke the device thread a
// hundred times a second; what it holds in all stays at 200 ms. A bin
// described by LIRABOX_AUDIO_SINK is left as described.
void UseLargeDeviceBlocks(GstElement* output);

}  // namespace mci
