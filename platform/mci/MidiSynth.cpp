#include "platform/mci/MidiSynth.h"

#include <sys/stat.h>
#include <utility>

namespace mci {
namespace {

constexpr const char* kFontKey = "lirabox-soundfont";

// The font's path and what tells a replaced or rewritten file apart.
QByteArray FontKey(const QByteArray& soundFont)
{
    struct stat info {};
    if (::stat(soundFont.constData(), &info) != 0)
        return {};
    return soundFont + '\n' + QByteArray::number(qulonglong(info.st_dev)) + ':'
           + QByteArray::number(qulonglong(info.st_ino)) + ':' + QByteArray::number(qlonglong(info.st_size)) + ':'
           + QByteArray::number(qlonglong(info.st_mtim.tv_sec)) + '.' + QByteArray::number(qlonglong(info.st_mtim.tv_nsec));
}

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

MidiSynthPool::~MidiSynthPool()
{
    if (m_kept)
        Release(m_kept);
}

bool MidiSynthPool::Available()
{
    return Usable("midiparse") && Usable("fluiddec");
}

GstElement* MidiSynthPool::Take(const QByteArray& soundFont)
{
    GstElement* kept = std::exchange(m_kept, nullptr);
    if (kept) {
        const auto* key = static_cast<const QByteArray*>(g_object_get_data(G_OBJECT(kept), kFontKey));
        const QByteArray now = FontKey(soundFont);
        if (key && !now.isEmpty() && *key == now)
            return kept;
        Release(kept);
    }
    return Make(soundFont);
}

GstElement* MidiSynthPool::Make(const QByteArray& soundFont)
{
    GstElement* synth = gst_element_factory_make("fluiddec", nullptr);
    if (!synth)
        return nullptr;
    gst_object_ref_sink(synth);
    g_object_set(synth, "soundfont", soundFont.constData(), "synth-gain", kMidiSynthGain, nullptr);
    // Taken before the load: a file changed after it is loaded again.
    g_object_set_data_full(G_OBJECT(synth), kFontKey, new QByteArray(FontKey(soundFont)),
                           [](gpointer key) { delete static_cast<QByteArray*>(key); });
    return synth;
}

void MidiSynthPool::Keep(GstElement* synth)
{
    if (m_kept)
        Release(m_kept);
    m_kept = synth;
}

void MidiSynthPool::Release(GstElement* synth)
{
    // Out of any pipeline no streaming thread runs in it: NULL is at once.
    gst_element_set_state(synth, GST_STATE_NULL);
    gst_object_unref(synth);
}

}  // namespace mci
