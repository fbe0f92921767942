#include "platform/mci/GstFilePlayer.h"

#include "platform/drives/RealFileAccess.h"
#include "platform/text/FileText.h"

#include "platform/drives/RealFileAccess.h"
#include "platform/mci/GstAudioOutput.h"
#include "platform/mci/GstBusRecord.h"
#include "platform/mci/GstStateChange.h"
#include "platform/mci/MidiSynth.h"
#include "platform/mci/SoundFont.h"

#include <QFile>
#include <atomic>
#include <cstring>
#include <gst/app/gstappsink.h>
#include <gst/base/gsttypefindhelper.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <initializer_list>
#include <unistd.h>

namespace mci {

namespace {

constexpr int kLateErrorWaitMs = 200;
// What the type finders look at to tell audio-only files from the rest.
constexpr qsizetype kTypeFindBytes = 64 * 1024;
// Decoders give WAV in 40 ms buffers and fluiddec one buffer per 10 ms tick
// of the MIDI parser; both go on in larger blocks (MakeBlockJoiner). MIDI in
// 100 ms ones: synthesis is its cost, and ten wake-ups a second are few.
constexpr int kMidiBlockParts = 10;
// playbin: video and audio only. No subtitles, colour balance or
// deinterlacer in the chain, and not playsink's software volume: GStreamer
// 1.22's playsink leaks its volume element with every pipeline, so the
// volume is an element of the audio output's own (WithOutputVolume).
constexpr guint kPlayFlags = 0x1 | 0x2;

}  // namespace

// What the GLib callbacks may touch: written on streaming threads, read on
// the UI thread.
struct GstFilePlayer::Shared {
    FrameHandler onFrame;
    EndHandler onEnd;
    GstElement* pipeline = nullptr;
    GstElement* videoSink = nullptr;  // owned by the pipeline
    GstElement* audioSink = nullptr;  // owned by the pipeline
    bool autoAudio = false;
    QByteArray soundFont;
    // Warnings counted: those of the audio output.
    BusRecord bus;
    // Set when the pipeline was left to threads that did not come back; the
    // frame handler's owner may be gone by the time they do.
    std::atomic<bool> abandoned{false};
    bool stuck = false;  // a state change never returned: NULL would not either

    void Ended()
    {
        if (onEnd && !abandoned)
            onEnd();
    }
};

namespace {

using Shared = GstFilePlayer::Shared;

void OnElementSetup(GstElement*, GstElement* element, gpointer data)
{
    auto* shared = static_cast<Shared*>(data);
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory || std::strcmp(GST_OBJECT_NAME(factory), "fluiddec") != 0)
        return;
    g_object_set(element, "soundfont", shared->soundFont.constData(), "synth-gain", kMidiSynthGain, nullptr);
}

// How a file is played: audio-only files in a pipeline of their own, the
// rest (a picture, or a container that may hold one) in playbin.
enum class Chain { Playbin, Audio, Midi };

Chain ChainFor(const QByteArray& nativePath)
{
    // A FIFO or device would block or never end the read.
    const int fd = drives::OpenRegularFile(nativePath);
    if (fd < 0)
        return Chain::Playbin;
    QByteArray head(kTypeFindBytes, Qt::Uninitialized);
    const ssize_t got = ::read(fd, head.data(), size_t(head.size()));
    ::close(fd);
    if (got <= 0)
        return Chain::Playbin;
    const qsizetype dot = nativePath.lastIndexOf('.');
    const QByteArray extension = dot < 0 ? QByteArray() : nativePath.mid(dot + 1);
    GstCaps* caps = gst_type_find_helper_for_data_with_extension(
        nullptr, reinterpret_cast<const guint8*>(head.constData()), gsize(got),
        extension.isEmpty() ? nullptr : extension.constData(), nullptr);
    if (!caps)
        return Chain::Playbin;
    const QByteArray type = gst_structure_get_name(gst_caps_get_structure(caps, 0));
    gst_caps_unref(caps);
    if (type == "audio/midi" || type == "audio/riff-midi")
        return MidiSynthAvailable() ? Chain::Midi : Chain::Playbin;
    return type.startsWith("audio/") ? Chain::Audio : Chain::Playbin;
}

// decodebin's audio goes on to the rest of the chain.
void OnDecodedPad(GstElement*, GstPad* pad, gpointer data)
{
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps)
        caps = gst_pad_query_caps(pad, nullptr);
    const bool audio = caps && gst_caps_get_size(caps) > 0
                       && g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "audio/");
    if (caps)
        gst_caps_unref(caps);
    GstPad* next = gst_element_get_static_pad(static_cast<GstElement*>(data), "sink");
    if (audio && !gst_pad_is_linked(next))
        gst_pad_link(pad, next);
    gst_object_unref(next);
}

// source ! middle... ! [joiner] ! audioconvert ! audioresample ! output, in
// a new pipeline; source and middle are linked by the caller. Takes the
// floating elements; nullptr when an element is missing.
GstElement* AudioPipeline(std::initializer_list<GstElement*> front, GstElement* joiner, GstElement* output,
                          GstElement** chainStart)
{
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    bool complete = convert && resample;
    for (GstElement* element : front)
        complete = complete && element;
    if (!complete) {
        for (GstElement* element : front)
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
        for (GstElement* element : {joiner, convert, resample, output})
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
        return nullptr;
    }
    auto* pipeline = GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr)));
    for (GstElement* element : front)
        gst_bin_add(GST_BIN(pipeline), element);
    for (GstElement* element : {joiner, convert, resample, output})
        if (element)
            gst_bin_add(GST_BIN(pipeline), element);
    *chainStart = joiner ? joiner : convert;
    if ((joiner && !gst_element_link(joiner, convert)) || !gst_element_link_many(convert, resample, output, nullptr)) {
        gst_object_unref(pipeline);
        return nullptr;
    }
    return pipeline;
}

GstElement* MakeFileSource(const QByteArray& nativePath)
{
    GstElement* source = gst_element_factory_make("filesrc", nullptr);
    if (source)
        g_object_set(source, "location", nativePath.constData(), nullptr);
    return source;
}

void DeliverSample(Shared* shared, GstSample* sample)
{
    if (!sample)
        return;
    GstVideoInfo info;
    GstCaps* caps = gst_sample_get_caps(sample);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstVideoFrame frame;
    if (caps && buffer && gst_video_info_from_caps(&info, caps)
        && gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ)) {
        const int width = GST_VIDEO_FRAME_WIDTH(&frame);
        const int height = GST_VIDEO_FRAME_HEIGHT(&frame);
        const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
        const auto* pixels = static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
        QImage image(width, height, QImage::Format_RGB32);
        const qsizetype rowBytes = std::min<qsizetype>(stride, image.bytesPerLine());
        for (int y = 0; y < height; ++y)
            std::memcpy(image.scanLine(y), pixels + qsizetype(y) * stride, rowBytes);
        gst_video_frame_unmap(&frame);
        if (shared->onFrame && !shared->abandoned)
            shared->onFrame(image);
    }
    gst_sample_unref(sample);
}

GstFlowReturn OnPreroll(GstAppSink* sink, gpointer data)
{
    DeliverSample(static_cast<Shared*>(data), gst_app_sink_pull_preroll(sink));
    return GST_FLOW_OK;
}

GstFlowReturn OnSample(GstAppSink* sink, gpointer data)
{
    DeliverSample(static_cast<Shared*>(data), gst_app_sink_pull_sample(sink));
    return GST_FLOW_OK;
}

GstElement* MakeVideoSink(Shared* shared)
{
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    if (!sink)
        return nullptr;
    GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", nullptr);
    g_object_set(sink, "caps", caps, "max-buffers", 1u, "drop", TRUE, "sync", TRUE, nullptr);
    gst_caps_unref(caps);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_preroll = OnPreroll;
    callbacks.new_sample = OnSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, shared, nullptr);
    return sink;
}

// An autoaudiosink that found no device runs a fakesink inside.
bool RunsFakeSink(GstElement* autoSink)
{
    bool fake = false;
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(autoSink));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        auto* element = GST_ELEMENT(g_value_get_object(&item));
        GstElementFactory* factory = gst_element_get_factory(element);
        if (factory && std::strcmp(GST_OBJECT_NAME(factory), "fakesink") == 0)
            fake = true;
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return fake;
}

QSize PictureOf(GstElement* videoSink)
{
    GstPad* pad = gst_element_get_static_pad(videoSink, "sink");
    if (!pad)
        return {};
    QSize size;
    if (GstCaps* caps = gst_pad_get_current_caps(pad)) {
        GstVideoInfo info;
        if (gst_video_info_from_caps(&info, caps) && info.width > 0 && info.height > 0) {
            const int parN = info.par_n > 0 ? info.par_n : 1;
            const int parD = info.par_d > 0 ? info.par_d : 1;
            const int width = int(gst_util_uint64_scale_round(guint64(info.width), guint64(parN), guint64(parD)));
            size = QSize(std::max(width, 1), info.height);
        }
        gst_caps_unref(caps);
    }
    gst_object_unref(pad);
    return size;
}

}  // namespace

GstFilePlayer::GstFilePlayer(FrameHandler onFrame, EndHandler onEnd) : m_shared(std::make_unique<Shared>())
{
    m_shared->onFrame = std::move(onFrame);
    m_shared->onEnd = std::move(onEnd);
    m_shared->bus.onEnd = [shared = m_shared.get()] { shared->Ended(); };
}

GstFilePlayer::~GstFilePlayer()
{
    Shutdown();
}

bool GstFilePlayer::Open(const QString& path, const QString& soundFontSetting)
{
    Shutdown();
    Shared& s = *m_shared;
    s.bus.Clear();
    if (!EnsureGstreamer()) {
        s.bus.RecordError(QStringLiteral("GStreamer cannot start"));
        return false;
    }
    // filesrc would block in open() on a FIFO, and read a device forever.
    const QByteArray nativePath = text::EncodeFileName(path);
    if (!drives::IsReadableRegularFile(nativePath)) {
        s.bus.RecordError(QStringLiteral("not a regular file"));
        return false;
    }
    QString audioError;
    GstElement* audio = MakeAudioOutput(&audioError);
    if (!audio) {
        s.bus.RecordError(audioError.isEmpty() ? QStringLiteral("missing GStreamer element") : audioError);
        return false;
    }
    UseLargeDeviceBlocks(audio);
    GstElementFactory* audioFactory = gst_element_get_factory(audio);
    s.autoAudio = audioFactory && std::strcmp(GST_OBJECT_NAME(audioFactory), "autoaudiosink") == 0;
    // The output stays what the checks below look into; the chains end in
    // it behind the volume.
    GstElement* output = WithOutputVolume(audio);
    if (!output) {
        s.bus.RecordError(QStringLiteral("the audio output takes no raw audio"));
        return false;
    }
    s.soundFont = QFile::encodeName(FindSoundFont(soundFontSetting));
    bool built = false;
    switch (ChainFor(nativePath)) {
    case Chain::Midi:
        built = BuildMidi(nativePath, output);
        break;
    case Chain::Audio:
        built = BuildAudio(nativePath, output);
        break;
    case Chain::Playbin:
        built = BuildPlaybin(nativePath, output);
        break;
    }
    if (!built) {
        if (!s.bus.error)
            s.bus.RecordError(QStringLiteral("missing GStreamer element"));
        return false;
    }
    s.audioSink = audio;
    s.bus.warningSource = audio;
    s.bus.Attach(s.pipeline);

    if (!WaitForPreroll()) {
        Shutdown();
        return false;
    }
    m_picture = s.videoSink ? PictureOf(s.videoSink) : QSize();
    return true;
}

bool GstFilePlayer::BuildPlaybin(const QByteArray& nativePath, GstElement* audio)
{
    Shared& s = *m_shared;
    GError* uriError = nullptr;
    gchar* uri = gst_filename_to_uri(nativePath.constData(), &uriError);
    g_clear_error(&uriError);
    GstElement* pipeline = gst_element_factory_make("playbin", nullptr);
    GstElement* video = MakeVideoSink(&s);
    if (!uri || !pipeline || !video) {
        for (GstElement* element : {audio, video, pipeline})
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
        if (!uri)
            s.bus.RecordError(QStringLiteral("not a file path"));
        g_free(uri);
        return false;
    }
    s.pipeline = GST_ELEMENT(gst_object_ref_sink(pipeline));
    s.videoSink = video;
    g_object_set(s.pipeline, "uri", uri, "video-sink", video, "audio-sink", audio, "flags", kPlayFlags, nullptr);
    g_free(uri);
    g_signal_connect(s.pipeline, "element-setup", G_CALLBACK(OnElementSetup), &s);
    return true;
}

bool GstFilePlayer::BuildAudio(const QByteArray& nativePath, GstElement* audio)
{
    GstElement* source = MakeFileSource(nativePath);
    GstElement* decode = gst_element_factory_make("decodebin", nullptr);
    GstElement* chainStart = nullptr;
    GstElement* pipeline = AudioPipeline({source, decode}, MakeBlockJoiner(), audio, &chainStart);
    if (!pipeline)
        return false;
    if (!gst_element_link(source, decode)) {
        gst_object_unref(pipeline);
        return false;
    }
    g_signal_connect(decode, "pad-added", G_CALLBACK(OnDecodedPad), chainStart);
    m_shared->pipeline = pipeline;
    return true;
}

bool GstFilePlayer::BuildMidi(const QByteArray& nativePath, GstElement* audio)
{
    GstElement* source = MakeFileSource(nativePath);
    GstElement* parse = gst_element_factory_make("midiparse", nullptr);
    GstElement* synth = MakeMidiSynth(m_shared->soundFont);
    GstElement* chainStart = nullptr;
    GstElement* pipeline =
        AudioPipeline({source, parse, synth}, MakeBlockJoiner(kMidiBlockParts), audio, &chainStart);
    if (!pipeline)
        return false;
    if (!gst_element_link_many(source, parse, synth, chainStart, nullptr)) {
        gst_object_unref(pipeline);
        return false;
    }
    m_shared->pipeline = pipeline;
    return true;
}

bool GstFilePlayer::WaitForPreroll()
{
    Shared& s = *m_shared;
    const std::optional<GstStateChangeReturn> result = ChangeStateWithin(s.pipeline, GST_STATE_PAUSED, kPrerollTimeoutMs);
    if (!result) {
        s.stuck = true;
        s.bus.RecordError(QStringLiteral("preroll timed out"));
        return false;
    }
    if (*result == GST_STATE_CHANGE_FAILURE) {
        if (!s.bus.WaitForError(kLateErrorWaitMs))
            s.bus.RecordError(QStringLiteral("cannot preroll"));
        return false;
    }
    if (*result == GST_STATE_CHANGE_ASYNC) {
        s.bus.RecordError(QStringLiteral("preroll timed out"));
        return false;
    }
    if (s.bus.error)
        return false;
    if (s.autoAudio && (s.bus.warning || RunsFakeSink(s.audioSink))) {
        s.bus.RecordError(QStringLiteral("no audio output"));
        return false;
    }
    return true;
}

void GstFilePlayer::Shutdown()
{
    Shared& s = *m_shared;
    if (s.pipeline) {
        // NULL joins the streaming threads; only then may the pipeline go.
        if (s.stuck || !SetStateWithin(s.pipeline, GST_STATE_NULL, kStopTimeoutMs)) {
            Abandon();
            return;
        }
        BusRecord::Detach(s.pipeline);
        gst_object_unref(s.pipeline);
    }
    s.pipeline = nullptr;
    s.videoSink = nullptr;
    s.audioSink = nullptr;
    s.bus.warningSource = nullptr;
    s.bus.eos = false;
    s.bus.warning = false;
    m_picture = QSize();
}

void GstFilePlayer::Abandon()
{
    // The pipeline's threads still hold it and may yet call back with the
    // old Shared: both stay alive for good.
    auto fresh = std::make_unique<Shared>();
    fresh->onFrame = m_shared->onFrame;
    fresh->onEnd = m_shared->onEnd;
    fresh->bus.onEnd = [shared = fresh.get()] { shared->Ended(); };
    m_shared->abandoned = true;
    static_cast<void>(m_shared.release());
    m_shared = std::move(fresh);
    m_picture = QSize();
}

QString GstFilePlayer::ErrorText() const
{
    return m_shared->bus.ErrorText();
}

std::optional<long> GstFilePlayer::DurationMs() const
{
    gint64 duration = 0;
    if (!m_shared->pipeline || !gst_element_query_duration(m_shared->pipeline, GST_FORMAT_TIME, &duration)
        || duration <= 0)
        return std::nullopt;
    return long(duration / GST_MSECOND);
}

std::optional<long> GstFilePlayer::PositionMs() const
{
    gint64 position = 0;
    if (!m_shared->pipeline || !gst_element_query_position(m_shared->pipeline, GST_FORMAT_TIME, &position)
        || position < 0)
        return std::nullopt;
    return long(position / GST_MSECOND);
}

void GstFilePlayer::SetPlaying(bool playing)
{
    if (m_shared->pipeline)
        gst_element_set_state(m_shared->pipeline, playing ? GST_STATE_PLAYING : GST_STATE_PAUSED);
}

void GstFilePlayer::SeekToMs(long ms)
{
    if (!m_shared->pipeline)
        return;
    gst_element_seek_simple(m_shared->pipeline, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, gint64(ms) * GST_MSECOND);
    // The flush has stopped the streaming threads, so an EOS from before the
    // seek has already been recorded.
    m_shared->bus.eos = false;
}

bool GstFilePlayer::Ended() const
{
    return m_shared->bus.eos || m_shared->bus.error;
}

bool GstFilePlayer::Failed() const
{
    return m_shared->bus.error;
}

bool GstFilePlayer::Reload()
{
    Shared& s = *m_shared;
    if (!s.pipeline)
        return false;
    if (s.stuck || !SetStateWithin(s.pipeline, GST_STATE_NULL, kStopTimeoutMs)) {
        Abandon();
        m_shared->bus.RecordError(QStringLiteral("the pipeline did not stop"));
        return false;
    }
    s.bus.Clear();
    return WaitForPreroll();
}

}  // namespace mci
