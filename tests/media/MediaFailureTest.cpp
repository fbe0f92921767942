// A media file that cannot be played says why on stderr, in one line naming
// the file and GStreamer's reason; a missing plug-in names its package.
#include "platform/mci/GstMediaWindow.h"
#include "platform/mci/GstPlayFailure.h"
#include "tests/media/MediaTestUtil.h"
#include "tests/support/AudioCapture.h"
#include "tests/support/MediaMaker.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using mediatest::StderrLines;
using testsupport::AudioCapture;

class MediaFailure : public testing::Test {
protected:
    QString Path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }
    std::unique_ptr<mci::MediaWindow> Open(const QString& path) { return m_factory.Create(nullptr, mci::kStyleChild, path); }

    QTemporaryDir m_dir;
    mci::GstMediaFactory m_factory;
};

TEST_F(MediaFailure, GarbageFileSaysPathAndReason)
{
    for (const char* name : {"bad tune.mid", "bad movie.avi"}) {
        const QString path = Path(name);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray garbage(8192, '\0');
        QRandomGenerator generator(7);
        for (char& byte : garbage)
            byte = char(generator.bounded(256));
        file.write(garbage);
        file.close();

        StderrLines stderrLines;
        EXPECT_EQ(Open(path), nullptr);
        const QStringList lines = stderrLines.Take();
        ASSERT_EQ(lines.size(), 1) << name;
        const QString prefix = QStringLiteral("lirabox: cannot play ") + path + QStringLiteral(": ");
        EXPECT_TRUE(lines[0].startsWith(prefix)) << lines[0].toStdString();
        EXPECT_GT(lines[0].size(), prefix.size() + 5) << "GStreamer's reason follows";
        EXPECT_FALSE(lines[0].contains(QLatin1String("unknown error"))) << lines[0].toStdString();
    }
}

TEST_F(MediaFailure, MissingDecoderNamesItsPackage)
{
    GstPluginFeature* fluiddec = gst_registry_lookup_feature(gst_registry_get(), "fluiddec");
    if (!fluiddec)
        GTEST_SKIP() << "no fluiddec";
    const QString path = Path("tune.mid");
    ASSERT_TRUE(testsupport::WriteMidiTune(path, 1000));
    // With no rank decodebin does not pick fluiddec, as if it were not installed.
    const guint rank = gst_plugin_feature_get_rank(fluiddec);
    gst_plugin_feature_set_rank(fluiddec, GST_RANK_NONE);
    StderrLines stderrLines;
    const bool opened = Open(path) != nullptr;
    const QStringList lines = stderrLines.Take();
    gst_plugin_feature_set_rank(fluiddec, rank);
    gst_object_unref(fluiddec);

    EXPECT_FALSE(opened);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("lirabox: cannot play ") + path)) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(QLatin1String("install gstreamer1.0-plugins-bad"))) << lines[0].toStdString();
    EXPECT_NE(Open(path), nullptr) << "plays again with its decoder back";
}

TEST_F(MediaFailure, StreamFailingWhilePlayingSaysWhyOnce)
{
    const QString path = Path("tone.wav");
    ASSERT_TRUE(testsupport::WriteWavTone(path, 440, 3000));
    mediatest::ScopedEnv sink("LIRABOX_AUDIO_SINK", "identity error-after=4 ! fakesink sync=true");
    auto window = Open(path);
    ASSERT_NE(window, nullptr);
    StderrLines stderrLines;
    window->Play();
    ASSERT_TRUE(mediatest::WaitUntil([&] { return window->Failed(); }, 10'000));
    for (int i = 0; i < 3; ++i) {
        window->Mode();
        window->Failed();
    }
    const QStringList lines = stderrLines.Take();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("lirabox: cannot play ") + path + QStringLiteral(": ")))
        << lines[0].toStdString();
}

TEST(MissingPluginPackage, KnownElementsAndCodecs)
{
    const struct {
        const char* wanted;
        const char* package;
    } kCases[] = {
        {"element-fluiddec", "gstreamer1.0-plugins-bad"},
        {"decoder-audio/midi", "gstreamer1.0-plugins-bad"},
        {"element-avdec_h264", "gstreamer1.0-libav"},
        {"decoder-video/x-h264, stream-format=(string)avc", "gstreamer1.0-libav"},
        {"decoder-video/x-msvideo", "gstreamer1.0-plugins-good"},
        {"element-pulsesink", "gstreamer1.0-pulseaudio"},
        {"urisource-http", ""},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(mci::PackageForInstallerDetail(QStringLiteral("gstreamer|1.0|lirabox|thing|") + QLatin1String(c.wanted)),
                  QLatin1String(c.package))
            << c.wanted;
}

}  // namespace
