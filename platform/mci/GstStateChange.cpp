#include "platform/mci/GstStateChange.h"

#include "platform/mci/GstStateWait.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

namespace mci {
namespace {

// Shared with the helper thread, which may outlive the caller.
struct Call {
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    GstStateChangeReturn result = GST_STATE_CHANGE_FAILURE;
};

}  // namespace

std::optional<GstStateChangeReturn> SetStateWithin(GstElement* element, GstState state, int timeoutMs)
{
    auto call = std::make_shared<Call>();
    gst_object_ref(element);
    std::thread helper([element, state, call] {
        const GstStateChangeReturn result = gst_element_set_state(element, state);
        gst_object_unref(element);
        {
            std::lock_guard lock(call->mutex);
            call->result = result;
            call->done = true;
        }
        call->changed.notify_all();
    });
    std::unique_lock lock(call->mutex);
    if (call->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&call] { return call->done; })) {
        const GstStateChangeReturn result = call->result;
        lock.unlock();
        helper.join();
        return result;
    }
    lock.unlock();
    helper.detach();
    std::fprintf(stderr, "lirabox: GStreamer did not reach %s within %d ms; the pipeline is left to its threads\n",
                 gst_element_state_get_name(state), timeoutMs);
    return std::nullopt;
}

std::optional<GstStateChangeReturn> ChangeStateWithin(GstElement* element, GstState state, int timeoutMs,
                                                      const std::function<void()>& started)
{
    const std::optional<GstStateChangeReturn> changed = SetStateWithin(element, state, timeoutMs);
    if (!changed || *changed == GST_STATE_CHANGE_FAILURE)
        return changed;
    if (started)
        started();
    return GetStateWithin(element, GstClockTime(timeoutMs) * GST_MSECOND);
}

}  // namespace mci
