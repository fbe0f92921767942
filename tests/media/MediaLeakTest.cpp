// Closing a media window releases everything its pipeline made. GStreamer's
// leaks tracer counts the live elements; it has to be named before GStreamer
// starts, so this check runs in a program of its own.
#include "platform/mci/GstMediaWindow.h"
#include "tests/media/MediaTestUtil.h"
#include "tests/support/MediaMaker.h"

#include <QTemporaryDir>
#include <QWidget>
#include <cstring>
#include <gst/gst.h>
#include <gtest/gtest.h>

using namespace testsupport;

namespace {

const bool s_tracerNamed = [] {
    qputenv("GST_TRACERS", "leaks");
    return true;
}();

// Live GstElements, or -1 without the leaks tracer.
int LiveElements()
{
    GList* tracers = gst_tracing_get_active_tracers();
    int count = -1;
    for (GList* item = tracers; item; item = item->next) {
        if (std::strcmp(G_OBJECT_TYPE_NAME(item->data), "GstLeaksTracer") != 0)
            continue;
        GstStructure* info = nullptr;
        g_signal_emit_by_name(item->data, "get-live-objects", &info);
        const GValue* list = info ? gst_structure_get_value(info, "live-objects-list") : nullptr;
        count = 0;
        for (guint i = 0; list && i < gst_value_list_get_size(list); ++i) {
            const GstStructure* alive = gst_value_get_structure(gst_value_list_get_value(list, i));
            const GValue* object = gst_structure_get_value(alive, "object");
            if (object && G_VALUE_HOLDS(object, GST_TYPE_ELEMENT))
                ++count;
        }
        // Not freed: the list names the live objects without holding
        // references, and freeing it would drop references it never took.
    }
    g_list_free_full(tracers, gst_object_unref);
    return count;
}

TEST(MediaLeak, ClosedWindowsLeaveNoElementBehind)
{
    ASSERT_TRUE(s_tracerNamed);
    QTemporaryDir dir;
    const QString files[] = {dir.filePath(QStringLiteral("tone.wav")), dir.filePath(QStringLiteral("tune.mid")),
                             dir.filePath(QStringLiteral("movie.avi"))};
    ASSERT_TRUE(WriteWavTone(files[0], 440, 2000));
    ASSERT_TRUE(WriteMidiTune(files[1], 2000));
    ASSERT_TRUE(WriteAvi(files[2], 2000, 660));
    mci::GstMediaFactory factory;
    QWidget parent;
    // Asked only while no pipeline runs: an object that a streaming thread
    // is finalizing would be taken up again by the tracer.
    const int before = LiveElements();
    ASSERT_GE(before, 0) << "the leaks tracer is not running";
    auto* probe = GST_ELEMENT(gst_object_ref_sink(gst_element_factory_make("fakesink", nullptr)));
    EXPECT_EQ(LiveElements(), before + 1);
    gst_object_unref(probe);
    for (const QString& file : files) {
        for (int i = 0; i < 2; ++i) {
            auto window = factory.Create(&parent, mci::kStyleChild, file);
            ASSERT_NE(window, nullptr);
            window->Play();
            mediatest::Spin(100);
        }
        EXPECT_EQ(LiveElements(), before) << file.toStdString();
    }
    EXPECT_EQ(factory.Create(&parent, mci::kStyleChild, dir.filePath(QStringLiteral("missing.wav"))), nullptr);
    EXPECT_EQ(LiveElements(), before);
}

}  // namespace
