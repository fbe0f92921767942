#include "platform/mci/MediaEngine.h"

#include <gst/gst.h>

#include <cstring>
#include <future>
#include <system_error>

namespace mci {

namespace {

// Set while the engine starts on its own thread.
std::future<void> s_starting;

class WaitingMediaFactory final : public MediaFactory {
public:
    explicit WaitingMediaFactory(MediaFactory& media) : m_media(media) {}
    std::unique_ptr<MediaWindow> Create(QWidget* parent, unsigned style, const QString& path) override
    {
        WaitForMedia();
        return m_media.Create(parent, style, path);
    }
    void SetOutputSettings(const QString& soundFont, const QString& audioOutput) override
    {
        m_media.SetOutputSettings(soundFont, audioOutput);
    }
    void SetVolume(double level) override { m_media.SetVolume(level); }
    double Volume() const override { return m_media.Volume(); }

private:
    MediaFactory& m_media;
};

class WaitingCdSystem final : public CdSystem {
public:
    explicit WaitingCdSystem(CdSystem& cd) : m_cd(cd) {}
    std::optional<DeviceId> Open(const QString& driveName) override
    {
        WaitForMedia();
        return m_cd.Open(driveName);
    }
    std::optional<std::uint32_t> Status(DeviceId id, StatusItem item, int track) override
    {
        WaitForMedia();
        return m_cd.Status(id, item, track);
    }
    bool SetTimeFormatMs(DeviceId id) override
    {
        WaitForMedia();
        return m_cd.SetTimeFormatMs(id);
    }
    bool Play(DeviceId id, std::uint32_t from, std::optional<std::uint32_t> to) override
    {
        WaitForMedia();
        return m_cd.Play(id, from, to);
    }
    bool Stop(DeviceId id) override
    {
        WaitForMedia();
        return m_cd.Stop(id);
    }
    bool Pause(DeviceId id) override
    {
        WaitForMedia();
        return m_cd.Pause(id);
    }
    bool Resume(DeviceId id) override
    {
        WaitForMedia();
        return m_cd.Resume(id);
    }
    bool SetDoor(DeviceId id, bool open) override
    {
        WaitForMedia();
        return m_cd.SetDoor(id, open);
    }
    bool Close(DeviceId id) override
    {
        WaitForMedia();
        return m_cd.Close(id);
    }
    bool SendString(const QString& command, QString* result) override
    {
        WaitForMedia();
        return m_cd.SendString(command, result);
    }
    QString DiscProblem(DeviceId id) override
    {
        WaitForMedia();
        return m_cd.DiscProblem(id);
    }

private:
    CdSystem& m_cd;
};

}  // namespace

void InitMedia(int* argc, char*** argv)
{
    gst_init(argc, argv);
}

bool HasMediaOptions(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--gst", 5) == 0)
            return true;
    return false;
}

void StartMedia()
{
    if (gst_is_initialized() || s_starting.valid())
        return;
    try {
        s_starting = std::async(std::launch::async, [] { gst_init(nullptr, nullptr); });
    } catch (const std::system_error&) {
        gst_init(nullptr, nullptr);  // no thread to be had: here and now
    }
}

void WaitForMedia()
{
    if (s_starting.valid())
        s_starting.get();
}

void ShutdownMedia()
{
    WaitForMedia();
    gst_deinit();
}

std::unique_ptr<MediaFactory> AfterMediaStarts(MediaFactory& media)
{
    return std::make_unique<WaitingMediaFactory>(media);
}

std::unique_ptr<CdSystem> AfterMediaStarts(CdSystem& cd)
{
    return std::make_unique<WaitingCdSystem>(cd);
}

}  // namespace mci
