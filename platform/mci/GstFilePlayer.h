#pragma once
// One media file in a GStreamer playbin (private to platform/mci). Every
// member is for the UI thread; only the frame handler runs on a streaming
// thread.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

typedef struct _GstElement GstElement;

namespace mci {

class GstFilePlayer {
public:
    // Receives a deep copy of each frame (QImage::Format_RGB32) on a streaming thread.
    using FrameHandler = std::function<void(const QImage&)>;

    // Called on a streaming thread when the stream ends or fails.
    using EndHandler = std::function<void()>;

    GstFilePlayer(FrameHandler onFrame, EndHandler onEnd);
    ~GstFilePlayer();
    GstFilePlayer(const GstFilePlayer&) = delete;
    GstFilePlayer& operator=(const GstFilePlayer&) = delete;

    // Builds the pipeline and waits for it to preroll in PAUSED. False when
    // the file cannot be played (ErrorText says why), at once for anything
    // but a regular file; the object is then left without a pipeline. No
    // wait on GStreamer's threads, here or at shutdown, lasts more than a few
    // seconds. MIDI plays with the SoundFont that
    // FindSoundFont(soundFontSetting) chooses.
    bool Open(const QString& path, const QString& soundFontSetting = {});
    // GStreamer's reason for the last failure, with the plug-in found missing.
    QString ErrorText() const;

    std::optional<long> DurationMs() const;
    std::optional<long> PositionMs() const;
    // The picture's size with the pixel aspect applied; empty without video.
    QSize PictureSize() const { return m_picture; }

    void SetPlaying(bool playing);
    // Flushing seek; clears a recorded end of stream.
    void SeekToMs(long ms);
    // The stream ran out (EOS) or failed since the last open, seek or reload.
    bool Ended() const;
    bool Failed() const;
    // After an error the pipeline only works again once it has been through
    // NULL: back to PAUSED and prerolled, at the start.
    bool Reload();

    struct Shared;

private:
    // The pipeline for the file, taking audio; false when an element is
    // missing (audio is then freed).
    bool BuildPlaybin(const QByteArray& nativePath, GstElement* audio);
    bool BuildAudio(const QByteArray& nativePath, GstElement* audio);
    bool BuildMidi(const QByteArray& nativePath, GstElement* audio);
    bool WaitForPreroll();
    void Shutdown();
    // Gives up a pipeline whose state change never returned.
    void Abandon();

    std::unique_ptr<Shared> m_shared;
    QSize m_picture;
};

}  // namespace mci
