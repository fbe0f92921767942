#include "platform/mci/RipDecoder.h"

#include <atomic>
#include <cstring>
#include <gst/app/gstappsink.h>
#include <gst/audio/audio.h>
#include <gst/gst.h>

#include "platform/mci/GstAudioOutput.h"
#include "platform/mci/GstBusRecord.h"
#include "platform/mci/GstStateChange.h"

namespace mci {
namespace {

constexpr int kRate = 44100;
constexpr int kSampleBytes = 4;
// A decoder that gives nothing for this long is taken for stuck.
constexpr gint64 kStallTimeoutUs = 5 * G_USEC_PER_SEC;
constexpr GstClockTime kPullSlice = 100 * GST_MSECOND;

// The first time at which sample n sounds: rounding time * rate gives n back.
GstClockTime TimeOfSample(std::int64_t n)
{
    return gst_util_uint64_scale_int_ceil(static_cast<guint64>(n), GST_SECOND, kRate);
}

}  // namespace

struct RipDecoder::Pipeline {
    GstElement* pipeline = nullptr;
    GstElement* sink = nullptr;
    BusRecord bus;  // errors only are looked at
    bool stuck = false;  // a state change never returned: NULL would not either

    // To NULL and freed; when NULL is not reached, everything is left to the
    // thread that holds it, this struct too (the bus handler points into it).
    static void Release(std::unique_ptr<Pipeline> self)
    {
        if (!self || !self->pipeline)
            return;
        if (self->stuck || !SetStateWithin(self->pipeline, GST_STATE_NULL, kStopTimeoutMs)) {
            static_cast<void>(self.release());
            return;
        }
        if (self->sink)
            gst_object_unref(self->sink);
        gst_object_unref(self->pipeline);
    }

    // PAUSED and prerolled: the file is typed and its decoder found.
    bool Build(const QByteArray& nativePath)
    {
        if (!EnsureGstreamer())
            return false;
        GError* parseError = nullptr;
        pipeline = gst_parse_launch("filesrc name=src ! decodebin ! audioconvert ! audioresample ! "
                                    "audio/x-raw,format=" GST_AUDIO_NE(S16)
                                    ",layout=interleaved,rate=44100,channels=2 ! "
                                    "appsink name=sink sync=false max-buffers=8",
                                    &parseError);
        if (parseError)
            g_error_free(parseError);
        if (!pipeline)
            return false;
        bus.Attach(pipeline);
        GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline), "src");
        g_object_set(source, "location", nativePath.constData(), nullptr);
        gst_object_unref(source);
        sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
        return sink && ChangeState(GST_STATE_PAUSED);
    }

    bool ChangeState(GstState state)
    {
        const std::optional<GstStateChangeReturn> changed = ChangeStateWithin(pipeline, state, kPrerollTimeoutMs);
        stuck = !changed;
        return changed == GST_STATE_CHANGE_SUCCESS && !bus.error;
    }
};

std::unique_ptr<RipDecoder> RipDecoder::Open(const QByteArray& nativePath, std::int64_t sample)
{
    auto pipeline = std::make_unique<Pipeline>();
    bool ok = pipeline->Build(nativePath);
    // An accurate seek lands on the sample itself, not on the frame around it.
    if (ok && sample > 0)
        ok = gst_element_seek_simple(pipeline->pipeline, GST_FORMAT_TIME,
                                     GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), TimeOfSample(sample))
             && pipeline->ChangeState(GST_STATE_PAUSED);
    ok = ok && pipeline->ChangeState(GST_STATE_PLAYING);
    if (!ok) {
        Pipeline::Release(std::move(pipeline));
        return nullptr;
    }
    return std::unique_ptr<RipDecoder>(new RipDecoder(std::move(pipeline), sample));
}

std::optional<std::int64_t> RipDecoder::Samples(const QByteArray& nativePath)
{
    auto pipeline = std::make_unique<Pipeline>();
    gint64 duration = -1;
    const bool known = pipeline->Build(nativePath)
                       && gst_element_query_duration(pipeline->pipeline, GST_FORMAT_TIME, &duration) && duration > 0;
    Pipeline::Release(std::move(pipeline));
    if (!known)
        return std::nullopt;
    return static_cast<std::int64_t>(gst_util_uint64_scale_round(static_cast<guint64>(duration), kRate, GST_SECOND));
}

RipDecoder::RipDecoder(std::unique_ptr<Pipeline> pipeline, std::int64_t sample)
    : m_pipeline(std::move(pipeline)), m_next(sample)
{
}

RipDecoder::~RipDecoder()
{
    Pipeline::Release(std::move(m_pipeline));
}

// Appends the next decoded buffer to m_pending. The first one is placed by
// its timestamp: what lies before m_next is dropped, a hole is silence.
bool RipDecoder::Pull()
{
    const gint64 deadline = g_get_monotonic_time() + kStallTimeoutUs;
    GstSample* sample = nullptr;
    while (!sample) {
        if (m_pipeline->bus.error)
            return false;
        sample = gst_app_sink_try_pull_sample(GST_APP_SINK(m_pipeline->sink), kPullSlice);
        if (!sample && gst_app_sink_is_eos(GST_APP_SINK(m_pipeline->sink))) {
            m_ended = true;
            return true;
        }
        if (!sample && g_get_monotonic_time() > deadline)
            return false;
    }
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (!buffer || !gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        gst_sample_unref(sample);
        return false;
    }
    QByteArrayView bytes(map.data, static_cast<qsizetype>(map.size - map.size % kSampleBytes));
    if (!m_aligned && GST_BUFFER_PTS_IS_VALID(buffer)) {
        const auto first = static_cast<std::int64_t>(
            gst_util_uint64_scale_round(GST_BUFFER_PTS(buffer), kRate, GST_SECOND));
        const std::int64_t have = m_next + m_pending.size() / kSampleBytes;
        if (first > have)
            m_pending.append(QByteArray((first - have) * kSampleBytes, '\0'));
        else
            bytes = bytes.sliced(std::min<qsizetype>(bytes.size(), (have - first) * kSampleBytes));
    }
    m_aligned = true;
    m_pending.append(bytes);
    gst_buffer_unmap(buffer, &map);
    gst_sample_unref(sample);
    return true;
}

bool RipDecoder::Read(std::uint8_t* out, std::int64_t samples)
{
    const qsizetype wanted = samples * kSampleBytes;
    while (m_pending.size() < wanted && !m_ended)
        if (!Pull())
            return false;
    const qsizetype taken = std::min(wanted, m_pending.size());
    std::memcpy(out, m_pending.constData(), static_cast<std::size_t>(taken));
    std::memset(out + taken, 0, static_cast<std::size_t>(wanted - taken));
    m_pending.remove(0, taken);
    m_next += samples;
    return true;
}

}  // namespace mci
