#pragma once
// What a pipeline's bus says, kept where the UI thread can read it (private
// to platform/mci). A sync handler records end of stream, errors (with their
// text), warnings and missing plug-ins on whichever thread posts, and drops
// every message: nothing piles up on the bus and no GLib callback reaches
// the UI thread.

#include <QString>
#include <atomic>
#include <functional>
#include <gst/gst.h>
#include <mutex>

namespace mci {

class BusRecord {
public:
    std::atomic<bool> eos{false};
    std::atomic<bool> error{false};
    std::atomic<bool> warning{false};

    // Only warnings posted by this element or one inside it count; null:
    // every warning does. Owned by the pipeline.
    GstElement* warningSource = nullptr;
    // Called on the posting thread once end of stream or an error has been
    // recorded.
    std::function<void()> onEnd;

    // Installs the handler on pipeline's bus; the record must outlive it or
    // be taken off with Detach.
    void Attach(GstElement* pipeline);
    static void Detach(GstElement* pipeline);

    // The first error's text, the first missing plug-in's text.
    void RecordError(const QString& text);
    void RecordMissingPlugin(QString text);
    // GStreamer's reason, with the plug-in found missing.
    QString ErrorText() const;
    // Forgets everything recorded.
    void Clear();
    // Waits up to timeoutMs for an error: one may reach the handler just
    // after the state change it made fail has returned.
    bool WaitForError(int timeoutMs) const;

private:
    mutable std::mutex m_textMutex;
    QString m_errorText;
    QString m_missingPlugin;
};

}  // namespace mci
