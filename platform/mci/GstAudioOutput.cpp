#include "platform/mci/GstAudioOutput.h"

#include <QByteArray>
#include <QtGlobal>

namespace mci {

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

}  // namespace mci
