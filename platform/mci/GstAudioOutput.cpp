#include "platform/mci/GstAudioOutput.h"

#include "platform/mci/AudioDevices.h"

#include <QByteArray>
#include <QtGlobal>
#include <cstring>
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
