#pragma once
// The audio outputs of GStreamer's device monitor and the one chosen for new
// pipelines (private to platform/mci).

#include "platform/mci/AudioSettings.h"

#include <QString>
#include <gst/gst.h>
#include <map>
#include <mutex>

namespace mci {

// How a device is known across runs: see ListAudioOutputs. Empty when the
// device makes no element.
QString AudioDeviceId(GstDevice* device);

// One per process, never destroyed: it holds devices of GStreamer's, which
// must not be freed after the engine shuts down. Every member is thread-safe.
class AudioDevices {
public:
    static AudioDevices& Instance();

    // Asks the monitor; the devices found answer their ids from then on.
    QList<AudioOutputChoice> List();
    void Choose(const QString& id);
    QString Chosen() const;
    // A new floating element playing on the chosen device; nullptr for the
    // system default (nothing chosen, or the device is gone).
    GstElement* MakeChosenOutput();

private:
    AudioDevices() = default;
    // Runs the monitor once, keeping every device it lists by id.
    QList<AudioOutputChoice> Probe();
    // The device of id, the monitor asked when it was not looked for yet;
    // nullptr, said once on stderr, when the monitor does not list it.
    GstDevice* FindLocked(const QString& id);

    mutable std::mutex m_mutex;
    QString m_chosen;
    // Referenced devices, by id; a null one was looked for and not found.
    std::map<QString, GstDevice*> m_devices;
};

}  // namespace mci
