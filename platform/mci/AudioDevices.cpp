#include "platform/mci/AudioDevices.h"

#include <cstdio>

namespace mci {

namespace {

// The device property of pulsesink, alsasink, oss4sink and the like.
QString DeviceProperty(GstElement* element)
{
    GParamSpec* property = g_object_class_find_property(G_OBJECT_GET_CLASS(element), "device");
    if (!property || property->value_type != G_TYPE_STRING || !(property->flags & G_PARAM_READABLE))
        return {};
    gchar* value = nullptr;
    g_object_get(element, "device", &value, nullptr);
    QString device = QString::fromUtf8(value);
    g_free(value);
    return device;
}

void ReportGone(const QString& id)
{
    const QByteArray line =
        QStringLiteral("lirabox: audio output %1 is not there; playing on the default output\n").arg(id).toLocal8Bit();
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
}

}  // namespace

QString AudioDeviceId(GstDevice* device)
{
    GstElement* element = gst_device_create_element(device, nullptr);
    if (!element)
        return {};
    gst_object_ref_sink(element);
    GstElementFactory* factory = gst_element_get_factory(element);
    QString id = QString::fromUtf8(factory ? GST_OBJECT_NAME(factory) : G_OBJECT_TYPE_NAME(element));
    QString which = DeviceProperty(element);
    gst_object_unref(element);
    if (which.isEmpty()) {
        gchar* name = gst_device_get_display_name(device);
        which = QString::fromUtf8(name);
        g_free(name);
    }
    return id + QLatin1Char(':') + which;
}

AudioDevices& AudioDevices::Instance()
{
    static AudioDevices* const s_devices = new AudioDevices;
    return *s_devices;
}

QList<AudioOutputChoice> AudioDevices::List()
{
    std::lock_guard lock(m_mutex);
    return Probe();
}

void AudioDevices::Choose(const QString& id)
{
    std::lock_guard lock(m_mutex);
    m_chosen = id;
    // Each choice is looked for anew: a device found before may have been
    // pulled out since, one that was gone plugged in again.
    const auto it = m_devices.find(id);
    if (it == m_devices.end())
        return;
    if (it->second)
        gst_object_unref(it->second);
    m_devices.erase(it);
}

QString AudioDevices::Chosen() const
{
    std::lock_guard lock(m_mutex);
    return m_chosen;
}

GstElement* AudioDevices::MakeChosenOutput()
{
    std::lock_guard lock(m_mutex);
    if (m_chosen.isEmpty())
        return nullptr;
    GstDevice* device = FindLocked(m_chosen);
    if (!device)
        return nullptr;
    GstElement* output = gst_device_create_element(device, nullptr);
    if (!output) {
        gst_object_unref(device);
        m_devices[m_chosen] = nullptr;
        ReportGone(m_chosen);
    }
    return output;
}

GstDevice* AudioDevices::FindLocked(const QString& id)
{
    auto it = m_devices.find(id);
    if (it == m_devices.end()) {
        Probe();
        it = m_devices.find(id);
    }
    if (it == m_devices.end()) {
        it = m_devices.emplace(id, nullptr).first;
        ReportGone(id);
    }
    return it->second;
}

QList<AudioOutputChoice> AudioDevices::Probe()
{
    for (const auto& [id, device] : m_devices)
        if (device)
            gst_object_unref(device);
    m_devices.clear();

    QList<AudioOutputChoice> choices;
    GstDeviceMonitor* monitor = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor, "Audio/Sink", nullptr);
    // Listed at once, without the monitor's bus: what it gathers meanwhile
    // goes with the monitor.
    const bool started = gst_device_monitor_start(monitor);
    GList* devices = started ? gst_device_monitor_get_devices(monitor) : nullptr;
    for (GList* item = devices; item; item = item->next) {
        auto* device = GST_DEVICE(item->data);
        const QString id = AudioDeviceId(device);
        if (id.isEmpty() || m_devices.count(id)) {
            gst_object_unref(device);
            continue;
        }
        gchar* name = gst_device_get_display_name(device);
        choices.append({id, QString::fromUtf8(name)});
        g_free(name);
        m_devices.emplace(id, device);
    }
    g_list_free(devices);
    if (started)
        gst_device_monitor_stop(monitor);
    gst_object_unref(monitor);
    return choices;
}

}  // namespace mci
