#include "platform/mci/MidiSynth.h"

#include "platform/mci/GstStateChange.h"

namespace mci {
namespace {

// fluiddec loads its whole font on leaving NULL: about 50 ms for 6 MB, a
// second or so for the 140 MB General MIDI fonts.
constexpr int kSoundFontLoadTimeoutMs = 20'000;

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

bool SynthLoadsSoundFont(const QByteArray& soundFont, QString* reason)
{
    GstElement* synth = MakeMidiSynth(soundFont);
    if (!synth) {
        *reason = QStringLiteral("the MIDI synthesizer fluiddec is missing (gstreamer1.0-plugins-bad)");
        return false;
    }
    gst_object_ref_sink(synth);
    const std::optional<GstStateChangeReturn> loaded = SetStateWithin(synth, GST_STATE_READY, kSoundFontLoadTimeoutMs);
    if (!loaded) {
        *reason = QStringLiteral("the synthesizer's load did not end");
        return false;  // the element stays with the load's thread
    }
    if (*loaded == GST_STATE_CHANGE_FAILURE)
        *reason = QStringLiteral("the synthesizer cannot load it: a damaged SoundFont or another kind of file");
    gst_element_set_state(synth, GST_STATE_NULL);
    gst_object_unref(synth);
    return *loaded != GST_STATE_CHANGE_FAILURE;
}

}  // namespace mci
