#include "platform/mci/MidiSynth.h"

namespace mci {
namespace {

bool Usable(const char* name)
{
    GstPluginFeature* feature = gst_registry_lookup_feature(gst_registry_get(), name);
    if (!feature)
        return false;
    const bool ranked = gst_plugin_feature_get_rank(feature) >= GST_RANK_MARGINAL;
    gst_object_unref(feature);
    return ranked;
}

}  // namespace

bool MidiSynthAvailable()
{
    return Usable("midiparse") && Usable("fluiddec");
}

GstElement* MakeMidiSynth(const QByteArray& soundFont)
{
    GstElement* synth = gst_element_factory_make("fluiddec", nullptr);
    if (synth)
        g_object_set(synth, "soundfont", soundFont.constData(), "synth-gain", kMidiSynthGain, nullptr);
    return synth;
}

}  // namespace mci
