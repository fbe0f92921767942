#pragma once
// The media engine's lifetime in the process: started before the first
// window, shut down after the last pipeline is gone.

namespace mci {

// Starts GStreamer, taking its own options ("--gst-…") out of argc/argv.
void InitMedia(int* argc, char*** argv);
// Frees what GStreamer holds for the process; no media may be used after.
void ShutdownMedia();

}  // namespace mci
