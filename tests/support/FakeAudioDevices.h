#pragma once
// Audio outputs that GStreamer's device monitor lists while the object
// lives, as it lists a sound card's: a device provider of class
// "Audio/Sink", registered with GStreamer once per process.

#include <QByteArray>
#include <QString>
#include <vector>

namespace testsupport {

struct FakeAudioDevice {
    QString displayName;
    // What the device's element plays is appended to this file as
    // AudioCapture's sink appends it. Without one the element is an
    // alsasink on alsaDevice: a real device sink, for a look at how it is
    // set up (it plays only where that ALSA device exists).
    QString capturePath;
    QByteArray alsaDevice;
};

class FakeAudioDevices {
public:
    explicit FakeAudioDevices(std::vector<FakeAudioDevice> devices);
    // The monitor lists none of them from then on.
    ~FakeAudioDevices();
    FakeAudioDevices(const FakeAudioDevices&) = delete;
    FakeAudioDevices& operator=(const FakeAudioDevices&) = delete;

    // What the monitor lists from its next start on: devices plugged in or
    // pulled out.
    void Replace(std::vector<FakeAudioDevice> devices);
};

}  // namespace testsupport
