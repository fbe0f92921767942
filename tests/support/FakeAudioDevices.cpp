#include "tests/support/FakeAudioDevices.h"

#include "tests/support/AudioCapture.h"

#include <QFile>
#include <gst/gst.h>
#include <mutex>

namespace testsupport {

namespace {

std::mutex s_mutex;
std::vector<FakeAudioDevice> s_devices;

struct LiraboxFakeDevice {
    GstDevice parent;
    gchar* capturePath;
    gchar* alsaDevice;
};
struct LiraboxFakeDeviceClass {
    GstDeviceClass parent;
};

G_DEFINE_TYPE(LiraboxFakeDevice, lirabox_fake_device, GST_TYPE_DEVICE)

GstElement* CreateElement(GstDevice* device, const gchar* name)
{
    auto* fake = reinterpret_cast<LiraboxFakeDevice*>(device);
    GstElement* element = nullptr;
    if (fake->capturePath) {
        const QByteArray description =
            AudioCapture::SinkDescription(QFile::decodeName(fake->capturePath)).toUtf8();
        element = gst_parse_bin_from_description(description.constData(), TRUE, nullptr);
    } else {
        element = gst_element_factory_make("alsasink", nullptr);
        if (element)
            g_object_set(element, "device", fake->alsaDevice, nullptr);
    }
    if (element && name)
        gst_object_set_name(GST_OBJECT(element), name);
    return element;
}

void lirabox_fake_device_finalize(GObject* object)
{
    auto* fake = reinterpret_cast<LiraboxFakeDevice*>(object);
    g_free(fake->capturePath);
    g_free(fake->alsaDevice);
    G_OBJECT_CLASS(lirabox_fake_device_parent_class)->finalize(object);
}

void lirabox_fake_device_class_init(LiraboxFakeDeviceClass* klass)
{
    GST_DEVICE_CLASS(klass)->create_element = CreateElement;
    G_OBJECT_CLASS(klass)->finalize = lirabox_fake_device_finalize;
}

void lirabox_fake_device_init(LiraboxFakeDevice*) {}

struct LiraboxFakeProvider {
    GstDeviceProvider parent;
};
struct LiraboxFakeProviderClass {
    GstDeviceProviderClass parent;
};

G_DEFINE_TYPE(LiraboxFakeProvider, lirabox_fake_provider, GST_TYPE_DEVICE_PROVIDER)

GstDevice* NewDevice(const FakeAudioDevice& fake)
{
    GstCaps* caps = gst_caps_new_empty_simple("audio/x-raw");
    auto* device = static_cast<LiraboxFakeDevice*>(
        g_object_new(lirabox_fake_device_get_type(), "display-name", fake.displayName.toUtf8().constData(),
                     "device-class", "Audio/Sink", "caps", caps, nullptr));
    gst_caps_unref(caps);
    if (!fake.capturePath.isEmpty())
        device->capturePath = g_strdup(QFile::encodeName(fake.capturePath).constData());
    device->alsaDevice = g_strdup(fake.alsaDevice.constData());
    return GST_DEVICE(device);
}

GList* Probe(GstDeviceProvider*)
{
    std::lock_guard lock(s_mutex);
    GList* devices = nullptr;
    for (const FakeAudioDevice& fake : s_devices)
        devices = g_list_append(devices, NewDevice(fake));
    return devices;
}

void lirabox_fake_provider_class_init(LiraboxFakeProviderClass* klass)
{
    auto* provider = GST_DEVICE_PROVIDER_CLASS(klass);
    provider->probe = Probe;
    gst_device_provider_class_set_static_metadata(provider, "Lirabox test outputs", "Audio/Sink",
                                                  "Audio outputs made up by the tests", "Lirabox");
}

void lirabox_fake_provider_init(LiraboxFakeProvider*) {}

gboolean RegisterProvider(GstPlugin* plugin)
{
    return gst_device_provider_register(plugin, "liraboxfakeaudio", GST_RANK_PRIMARY,
                                        lirabox_fake_provider_get_type());
}

void RegisterOnce()
{
    static const bool s_registered = [] {
        if (!gst_is_initialized())
            gst_init(nullptr, nullptr);
        return gst_plugin_register_static(GST_VERSION_MAJOR, GST_VERSION_MINOR, "liraboxfakeaudio",
                                          "Audio outputs made up by the tests", RegisterProvider, "1.0", "LGPL",
                                          "lirabox", "lirabox", "lirabox");
    }();
    static_cast<void>(s_registered);
}

}  // namespace

FakeAudioDevices::FakeAudioDevices(std::vector<FakeAudioDevice> devices)
{
    RegisterOnce();
    Replace(std::move(devices));
}

FakeAudioDevices::~FakeAudioDevices()
{
    Replace({});
}

void FakeAudioDevices::Replace(std::vector<FakeAudioDevice> devices)
{
    std::lock_guard lock(s_mutex);
    s_devices = std::move(devices);
}

}  // namespace testsupport
