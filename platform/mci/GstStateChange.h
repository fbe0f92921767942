#pragma once
// State changes that cannot hang the UI thread (private to platform/mci).

#include <functional>
#include <gst/gst.h>
#include <optional>

namespace mci {

// How long a pipeline may take to reach NULL. Its streaming threads end
// there; one stuck in a read that never returns (a FIFO handed to the
// synthesizer as its SoundFont, a drive that hangs) would hold us forever.
inline constexpr int kStopTimeoutMs = 5000;
// How long a pipeline may take to preroll.
inline constexpr int kPrerollTimeoutMs = 5000;

// gst_element_set_state, run on a helper thread and waited for up to
// timeoutMs. nullopt when it has not returned by then: the element is left
// to that thread for good (the caller must neither unref it nor free what
// its callbacks use), and one line on stderr says so.
std::optional<GstStateChangeReturn> SetStateWithin(GstElement* element, GstState state, int timeoutMs);

// SetStateWithin, then, unless that failed, started() (a source that takes
// buffers only once out of NULL begins to be fed there) and the wait for an
// asynchronous change (a preroll) to complete, each for up to timeoutMs.
// The change's final answer: ASYNC when it did not complete in time;
// nullopt when the state change never returned, as SetStateWithin.
std::optional<GstStateChangeReturn> ChangeStateWithin(GstElement* element, GstState state, int timeoutMs,
                                                      const std::function<void()>& started = {});

}  // namespace mci
