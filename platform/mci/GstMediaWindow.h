#pragma once
// Media files played by GStreamer in a video window of our own.

#include "platform/mci/Mci.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <memory>
#include <mutex>

namespace mci {

class GstFilePlayer;
class VideoWidget;

class GstMediaFactory final : public MediaFactory {
public:
    // soundFontSetting: the text of the setting "SoundFont", empty when unset.
    explicit GstMediaFactory(QString soundFontSetting = {});

    std::unique_ptr<MediaWindow> Create(QWidget* parent, unsigned style, const QString& path) override;
    void SetOutputSettings(const QString& soundFont, const QString& audioOutput) override;
    void SetVolume(double level) override;
    double Volume() const override;

    // The SoundFont setting of every MIDI file opened from now on. Any thread.
    void SetSoundFontSetting(const QString& text);

private:
    std::mutex m_settingMutex;
    QString m_soundFontSetting;
};

class GstMediaWindow final : public MediaWindow {
public:
    // With a parent the window is a child of it and shows only once there is
    // a picture; without one it is a top-level window sized by the movie.
    // MIDI plays with the SoundFont that FindSoundFont(soundFontSetting) chooses.
    static std::unique_ptr<GstMediaWindow> Open(QWidget* parent, unsigned style, const QString& path,
                                                const QString& soundFontSetting = {});
    ~GstMediaWindow() override;

    long Length() override { return m_length; }
    long Position() override;
    long Mode() override;
    bool Failed() override;
    void Play() override;
    void Pause() override;
    void Resume() override;
    void SeekToStart() override;
    void Stop() override;
    QRect Destination() override;
    void MoveTo(const QRect& rect) override;
    QWidget* Widget() override;
    void SetEndHandler(std::function<void()> onEnd) override { m_onEnd = std::move(onEnd); }

private:
    enum class State { Stopped, Playing, Paused };

    GstMediaWindow(unsigned style, const QString& path);
    bool OpenFile(QWidget* parent, const QString& soundFontSetting);
    void MakeWidget(QWidget* parent);
    void OnFrame(const QImage& frame);  // streaming thread
    void OnStreamEnd();                 // streaming thread
    void ShowLatestFrame();
    void UpdateTitle();
    void Rewind();
    // The stream failed; the first look after each failure says why on stderr.
    bool StreamFailed();

    const unsigned m_style;
    const QString m_path;
    std::unique_ptr<GstFilePlayer> m_player;
    long m_length = 0;
    long m_lastPosition = 0;
    State m_state = State::Stopped;
    bool m_failureReported = false;
    VideoWidget* m_widget = nullptr;  // null once destroyed, by us or by its parent
    QTimer m_titleTimer;
    // Frames cross from the streaming thread to the UI thread here.
    std::mutex m_frameMutex;
    QImage m_latestFrame;
    std::atomic<bool> m_frameQueued{false};
    std::function<void()> m_onEnd;
    QObject m_uiContext;
};

}  // namespace mci
