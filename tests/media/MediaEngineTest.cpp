// GStreamer started on a thread of its own while the window is built: the
// player's media and CD devices are made only once it is ready, and its own
// command-line options still go to it first.
#include <gst/gst.h>
#include <gtest/gtest.h>

#include "platform/mci/MediaEngine.h"

namespace {

// Records whether GStreamer was ready when each device call arrived.
class ProbeMedia final : public mci::MediaFactory {
public:
    std::unique_ptr<mci::MediaWindow> Create(QWidget*, unsigned, const QString&) override
    {
        ready.push_back(gst_is_initialized());
        return nullptr;
    }
    void SetOutputSettings(const QString&, const QString&) override {}
    void SetVolume(double) override {}
    double Volume() const override { return 1.0; }
    std::vector<bool> ready;
};

class ProbeCd final : public mci::CdSystem {
public:
    std::optional<mci::DeviceId> Open(const QString&) override { return Record(std::optional<mci::DeviceId>(1)); }
    std::optional<std::uint32_t> Status(mci::DeviceId, mci::StatusItem, int) override
    {
        return Record(std::optional<std::uint32_t>(0));
    }
    bool SetTimeFormatMs(mci::DeviceId) override { return Record(true); }
    bool Play(mci::DeviceId, std::uint32_t, std::optional<std::uint32_t>) override { return Record(true); }
    bool Stop(mci::DeviceId) override { return Record(true); }
    bool Pause(mci::DeviceId) override { return Record(true); }
    bool Resume(mci::DeviceId) override { return Record(true); }
    bool SetDoor(mci::DeviceId, bool) override { return Record(true); }
    bool Close(mci::DeviceId) override { return Record(true); }
    bool SendString(const QString&, QString*) override { return Record(true); }
    QString DiscProblem(mci::DeviceId) override { return Record(QString()); }

    template <typename T>
    T Record(T value)
    {
        ready.push_back(gst_is_initialized());
        return value;
    }
    std::vector<bool> ready;
};

TEST(MediaStartedInTheBackground, TheFirstMediaFileWaitsForGStreamer)
{
    ASSERT_FALSE(gst_is_initialized());
    mci::StartMedia();
    ProbeMedia probe;
    const std::unique_ptr<mci::MediaFactory> media = mci::AfterMediaStarts(probe);
    EXPECT_EQ(media->Create(nullptr, mci::kStyleChild, QStringLiteral("/a.wav")), nullptr);
    EXPECT_EQ(probe.ready, std::vector<bool>{true});
    mci::StartMedia();  // started once only
    EXPECT_TRUE(gst_is_initialized());
}

TEST(MediaStartedInTheBackground, EveryCdCallIsPassedOnOnceGStreamerIsReady)
{
    mci::StartMedia();
    ProbeCd probe;
    const std::unique_ptr<mci::CdSystem> cd = mci::AfterMediaStarts(probe);
    QString text;
    EXPECT_TRUE(cd->SendString(QStringLiteral("open cdaudio"), &text));
    EXPECT_EQ(cd->Open(QStringLiteral("E:")), mci::DeviceId(1));
    EXPECT_EQ(cd->Status(1, mci::StatusItem::Ready), 0u);
    EXPECT_TRUE(cd->SetTimeFormatMs(1));
    EXPECT_TRUE(cd->Play(1, 0, 1000));
    EXPECT_TRUE(cd->Pause(1));
    EXPECT_TRUE(cd->Resume(1));
    EXPECT_TRUE(cd->Stop(1));
    EXPECT_TRUE(cd->SetDoor(1, true));
    EXPECT_TRUE(cd->DiscProblem(1).isEmpty());
    EXPECT_TRUE(cd->Close(1));
    EXPECT_EQ(probe.ready, std::vector<bool>(11, true));
}

TEST(MediaStartedInTheBackground, OnlyGStreamerOptionsMakeItStartFirst)
{
    struct Case {
        std::vector<const char*> args;
        bool options;
    };
    const Case cases[] = {
        {{"lirabox"}, false},
        {{"lirabox", "/home/me/a.lst", "/P"}, false},
        {{"lirabox", "a.lst", "--gst-debug-level=3"}, true},
        {{"lirabox", "--gst-plugin-path", "/opt/gst", "a.lst"}, true},
        {{"--gst-is-a-program-name"}, false},
    };
    for (const Case& c : cases) {
        std::vector<char*> argv;
        for (const char* arg : c.args)
            argv.push_back(const_cast<char*>(arg));
        EXPECT_EQ(mci::HasMediaOptions(static_cast<int>(argv.size()), argv.data()), c.options) << c.args.back();
    }
}

}  // namespace
