#include "platform/mci/GstAudioOutput.h"

#include "platform/mci/AudioDevices.h"
#include "platform/mci/AudioSettings.h"

#include <QByteArray>
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>
#include <gst/audio/gstaudiobasesink.h>

namespace mci {
namespace {

// GstAudioBaseSink's buffer-time and latency-time, in microseconds.
constexpr gint64 kDeviceBufferUs = 200'000;
constexpr gint64 kDeviceBlockUs = 40'000;

void UseLargeBlocks(GstElement* element)
{
    if (GST_IS_AUDIO_BASE_SINK(element))
        g_object_set(element, "buffer-time", kDeviceBufferUs, "latency-time", kDeviceBlockUs, nullptr);
}

void OnDeviceSinkAdded(GstBin*, GstElement* element, gpointer)
{
    UseLargeBlocks(element);
}

// The volume elements of the pipelines alive now, and the level they play
// at. Never destroyed: pipelines may outlive static destruction.
struct VolumeStages {
    std::mutex mutex;
    double level = 1.0;
    std::vector<GstElement*> live;  // not owned: each leaves when it is disposed
};

VolumeStages& Stages()
{
    static auto* s_stages = new VolumeStages;
    return *s_stages;
}

// Runs on whatever thread drops the element's last reference, before it is
// freed.
void OnVolumeStageGone(gpointer, GObject* gone)
{
    VolumeStages& stages = Stages();
    std::lock_guard lock(stages.mutex);
    std::erase(stages.live, reinterpret_cast<GstElement*>(gone));
}

}  // namespace

bool EnsureGstreamer()
{
    static const bool s_ready = [] {
        if (gst_is_initialized())
            return true;
        GError* error = nullptr;
        const bool ok = gst_init_check(nullptr, nullptr, &error);
        g_clear_error(&error);
        return ok;
    }();
    return s_ready;
}

GstElement* MakeAudioOutput(QString* error)
{
    const QByteArray description = qgetenv("LIRABOX_AUDIO_SINK").trimmed();
    if (description.isEmpty()) {
        if (GstElement* device = AudioDevices::Instance().MakeChosenOutput())
            return device;
        GstElement* sink = gst_element_factory_make("autoaudiosink", nullptr);
        if (!sink && error)
            *error = QStringLiteral("autoaudiosink is missing");
        return sink;
    }
    GError* parseError = nullptr;
    GstElement* bin = gst_parse_bin_from_description(description.constData(), TRUE, &parseError);
    if (parseError) {
        if (error)
            *error = QString::fromUtf8(parseError->message);
        g_clear_error(&parseError);
        if (bin)
            gst_object_unref(bin);
        return nullptr;
    }
    return bin;
}

GstElement* WithOutputVolume(GstElement* output)
{
    GstElement* volume = gst_element_factory_make("volume", nullptr);
    if (!volume)
        return output;
    GstElement* bin = gst_bin_new(nullptr);
    gst_bin_add_many(GST_BIN(bin), volume, output, nullptr);
    GstPad* input = gst_element_get_static_pad(volume, "sink");
    const bool linked = gst_element_link(volume, output) && gst_element_add_pad(bin, gst_ghost_pad_new("sink", input));
    gst_object_unref(input);
    if (!linked) {
        gst_object_unref(gst_object_ref_sink(bin));
        return nullptr;
    }
    VolumeStages& stages = Stages();
    std::lock_guard lock(stages.mutex);
    g_object_set(volume, "volume", stages.level, nullptr);
    stages.live.push_back(volume);
    g_object_weak_ref(G_OBJECT(volume), OnVolumeStageGone, nullptr);
    return bin;
}

void SetOutputVolume(double level)
{
    if (std::isnan(level))
        return;
    VolumeStages& stages = Stages();
    std::lock_guard lock(stages.mutex);
    stages.level = std::clamp(level, 0.0, 1.0);
    for (GstElement* volume : stages.live)
        g_object_set(volume, "volume", stages.level, nullptr);
}

double OutputVolume()
{
    VolumeStages& stages = Stages();
    std::lock_guard lock(stages.mutex);
    return stages.level;
}

void UseLargeDeviceBlocks(GstElement* output)
{
    UseLargeBlocks(output);
    GstElementFactory* factory = gst_element_get_factory(output);
    if (factory && std::strcmp(GST_OBJECT_NAME(factory), "autoaudiosink") == 0)
        g_signal_connect(output, "element-added", G_CALLBACK(OnDeviceSinkAdded), nullptr);
}

GstElement* MakeBlockJoiner(int partsOfSecond)
{
    GstElement* joiner = gst_element_factory_make("audiobuffersplit", nullptr);
    if (joiner)
        g_object_set(joiner, "output-buffer-duration", 1, partsOfSecond, nullptr);
    return joiner;
}

}  // namespace mci
