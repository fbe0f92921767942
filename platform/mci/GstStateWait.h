#pragma once
// Waiting for an asynchronous state change (private to platform/mci).

#include <gst/gst.h>

namespace mci {

// gst_element_get_state for up to timeout in all. A signal that wakes the
// condition wait inside it makes it answer FAILURE while the change is still
// under way; that answer is not believed: the wait goes on for the time left.
// A change that did fail keeps FAILURE as its recorded return.
inline GstStateChangeReturn GetStateWithin(GstElement* element, GstClockTime timeout)
{
    const gint64 deadline = g_get_monotonic_time() + gint64(timeout / GST_USECOND);
    for (;;) {
        const GstStateChangeReturn result = gst_element_get_state(element, nullptr, nullptr, timeout);
        if (result != GST_STATE_CHANGE_FAILURE)
            return result;
        GST_OBJECT_LOCK(element);
        const bool underWay = GST_STATE_RETURN(element) == GST_STATE_CHANGE_ASYNC
                              && GST_STATE_PENDING(element) != GST_STATE_VOID_PENDING;
        GST_OBJECT_UNLOCK(element);
        const gint64 left = deadline - g_get_monotonic_time();
        if (!underWay || left <= 0)
            return result;
        timeout = GstClockTime(left) * GST_USECOND;
    }
}

}  // namespace mci
