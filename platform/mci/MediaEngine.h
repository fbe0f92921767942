#pragma once
// The media engine's lifetime in the process: started before the first
// window, shut down after the last pipeline is gone.

#include <memory>

#include "platform/mci/Mci.h"

namespace mci {

// Starts GStreamer, taking its own options ("--gst-…") out of argc/argv.
void InitMedia(int* argc, char*** argv);
// True when argv holds GStreamer's own options: InitMedia must take them
// out before the application object reads argv.
bool HasMediaOptions(int argc, char** argv);
// Starts GStreamer on a thread of its own, unless it is started, so that the
// first window is built meanwhile. Call it once the application object
// exists (the platform set-up has written the environment by then); nothing
// may touch GStreamer before WaitForMedia returns.
void StartMedia();
// Returns once the engine is started. UI thread only.
void WaitForMedia();
// Frees what GStreamer holds for the process; no media may be used after.
void ShutdownMedia();

// The devices of the engine, each call made after WaitForMedia.
std::unique_ptr<MediaFactory> AfterMediaStarts(MediaFactory& media);
std::unique_ptr<CdSystem> AfterMediaStarts(CdSystem& cd);

}  // namespace mci
