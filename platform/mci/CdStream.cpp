#include "platform/mci/CdStream.h"

#include <atomic>
#include <gst/app/gstappsrc.h>
#include <gst/audio/audio.h>
#include <gst/gst.h>
#include <thread>

#include "platform/mci/CdSectorReader.h"
#include "platform/mci/CdTime.h"
#include "platform/mci/GstAudioOutput.h"
#include "platform/mci/GstBusRecord.h"
#include "platform/mci/GstStateChange.h"

namespace mci {
namespace {

// Sectors per buffer: 66 ms. Larger buffers make pause positions and the end
// of stream run ahead of what was heard.
constexpr int kChunkSectors = 5;
// Sectors per read and per push, a list of buffers over one block: a third
// of a second. The first read is one buffer, so that the output prerolls
// as soon as a drive gives its first sectors.
constexpr int kReadSectors = 5 * kChunkSectors;
// What appsrc holds before a push blocks: half a second, so that each list
// it takes lets exactly one more in and the reader wakes once per read.
constexpr guint64 kQueueBytes = kSectorsPerSecond / 2 * kSectorBytes;
static_assert(kQueueBytes > kReadSectors * kSectorBytes && kQueueBytes <= 2 * kReadSectors * kSectorBytes);

}  // namespace

struct CdStream::Shared {
    std::unique_ptr<SectorSource> reader;
    std::int32_t from = 0;
    std::int32_t end = 0;
    GstElement* pipeline = nullptr;
    GstElement* source = nullptr;  // owned by the pipeline
    std::thread feeder;
    std::atomic<bool> stop{false};
    BusRecord bus;  // every warning counts
    std::atomic<bool> readFailed{false};
    QByteArray failedFile;  // written before readFailed is set, read after
    bool stuck = false;  // a state change never returned: NULL would not either
};

namespace {

GstElement* MakeSource()
{
    GstElement* source = gst_element_factory_make("appsrc", nullptr);
    if (!source)
        return nullptr;
    GstCaps* caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, GST_AUDIO_NE(S16), "layout",
                                        G_TYPE_STRING, "interleaved", "rate", G_TYPE_INT, 44100, "channels",
                                        G_TYPE_INT, 2, nullptr);
    g_object_set(source, "caps", caps, "format", GST_FORMAT_TIME, "block", TRUE, "max-bytes", kQueueBytes,
                 nullptr);
    gst_caps_unref(caps);
    return source;
}

}  // namespace

CdStream::CdStream(std::unique_ptr<SectorSource> reader, std::int32_t from, std::int32_t end)
    : m_shared(std::make_unique<Shared>())
{
    m_shared->reader = std::move(reader);
    m_shared->from = from;
    m_shared->end = end;
}

CdStream::~CdStream()
{
    m_shared->stop = true;
    if (m_shared->pipeline
        && (m_shared->stuck || !SetStateWithin(m_shared->pipeline, GST_STATE_NULL, kStopTimeoutMs))) {
        // The feeder may be blocked in a push that nothing releases now: it
        // keeps the pipeline, the reader and Shared for good.
        if (m_shared->feeder.joinable())
            m_shared->feeder.detach();
        static_cast<void>(m_shared.release());
        return;
    }
    if (m_shared->feeder.joinable())
        m_shared->feeder.join();
    if (m_shared->pipeline)
        gst_object_unref(m_shared->pipeline);
}

bool CdStream::Start(QString* error)
{
    if (!EnsureGstreamer()) {
        *error = QStringLiteral("GStreamer cannot start");
        return false;
    }
    GstElement* output = MakeAudioOutput(error);
    if (!output)
        return false;
    output = WithOutputVolume(output);
    if (!output) {
        *error = QStringLiteral("the audio output takes no raw audio");
        return false;
    }
    GstElement* source = MakeSource();
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    if (!source || !convert || !resample) {
        for (GstElement* element : {source, convert, resample, output})
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
        *error = QStringLiteral("appsrc, audioconvert or audioresample is missing");
        return false;
    }
    Shared& shared = *m_shared;
    shared.pipeline = gst_pipeline_new(nullptr);
    shared.source = source;
    GstElement* joiner = MakeBlockJoiner();
    if (joiner)
        gst_bin_add(GST_BIN(shared.pipeline), joiner);
    gst_bin_add_many(GST_BIN(shared.pipeline), source, convert, resample, output, nullptr);
    const bool linked = joiner ? gst_element_link_many(source, joiner, convert, resample, output, nullptr)
                               : gst_element_link_many(source, convert, resample, output, nullptr);
    if (!linked) {
        *error = QStringLiteral("the audio output does not take the CD's samples");
        return false;
    }
    shared.bus.Attach(shared.pipeline);

    // appsrc refuses buffers until it has left NULL.
    const std::optional<GstStateChangeReturn> preroll = ChangeStateWithin(
        shared.pipeline, GST_STATE_PAUSED, kPrerollTimeoutMs,
        [&shared] { shared.feeder = std::thread([&shared] { Feed(shared); }); });
    shared.stuck = !preroll;
    if (!shared.feeder.joinable()) {
        *error = QStringLiteral("the audio output cannot start");
        return false;
    }
    if (preroll != GST_STATE_CHANGE_SUCCESS || shared.bus.error || shared.bus.warning) {
        // autoaudiosink without a device plugs a fake sink and only warns.
        *error = QStringLiteral("the audio output cannot play");
        return false;
    }
    if (gst_element_set_state(shared.pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE || shared.bus.error) {
        *error = QStringLiteral("the audio output cannot play");
        return false;
    }
    return true;
}

void CdStream::Feed(Shared& shared)
{
    GstAppSrc* source = GST_APP_SRC(shared.source);
    std::int32_t sector = shared.from;
    std::uint64_t pushed = 0;
    while (!shared.stop && sector < shared.end) {
        const int count = std::min<std::int32_t>(pushed == 0 ? kChunkSectors : kReadSectors, shared.end - sector);
        GstBuffer* block = gst_buffer_new_allocate(nullptr, static_cast<gsize>(count) * kSectorBytes, nullptr);
        GstMapInfo map;
        gst_buffer_map(block, &map, GST_MAP_WRITE);
        const int got = shared.reader->Read(map.data, count);
        gst_buffer_unmap(block, &map);
        if (got < count) {
            shared.failedFile = shared.reader->FailedFile();
            shared.readFailed = true;
        }
        if (got <= 0) {
            gst_buffer_unref(block);
            break;
        }
        // Buffers of kChunkSectors that share the block's memory.
        GstBufferList* list = gst_buffer_list_new_sized(static_cast<guint>((got + kChunkSectors - 1) / kChunkSectors));
        for (int at = 0; at < got; at += kChunkSectors) {
            const int sectors = std::min(kChunkSectors, got - at);
            GstBuffer* buffer =
                gst_buffer_copy_region(block, GST_BUFFER_COPY_MEMORY, static_cast<gsize>(at) * kSectorBytes,
                                       static_cast<gsize>(sectors) * kSectorBytes);
            GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(pushed, GST_SECOND, kSectorsPerSecond);
            GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(sectors, GST_SECOND, kSectorsPerSecond);
            pushed += static_cast<std::uint64_t>(sectors);
            gst_buffer_list_add(list, buffer);
        }
        gst_buffer_unref(block);
        if (gst_app_src_push_buffer_list(source, list) != GST_FLOW_OK || got < count)
            break;
        sector += got;
    }
    // A read error ends the play like its end: what was read still sounds.
    if (!shared.stop)
        gst_app_src_end_of_stream(source);
}

void CdStream::SetPaused(bool paused)
{
    gst_element_set_state(m_shared->pipeline, paused ? GST_STATE_PAUSED : GST_STATE_PLAYING);
}

std::optional<std::int64_t> CdStream::PositionMs() const
{
    gint64 position = 0;
    if (!gst_element_query_position(m_shared->pipeline, GST_FORMAT_TIME, &position) || position < 0)
        return std::nullopt;
    return position / static_cast<gint64>(GST_MSECOND);
}

bool CdStream::Ended() const
{
    return m_shared->bus.eos || m_shared->bus.error;
}

bool CdStream::ReadFailed() const
{
    return m_shared->readFailed;
}

QByteArray CdStream::FailedFile() const
{
    return m_shared->readFailed ? m_shared->failedFile : QByteArray();
}

}  // namespace mci
