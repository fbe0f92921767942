#pragma once
// Media windows without GStreamer: scripted files, a clock moved by hand and
// a record of every window made and every request sent to one. Windows obey
// the same contract as the real ones: a playing window's position moves with
// the clock; at its length (or at a scripted error) it stands stopped with a
// position equal to its length.

#include "platform/Services.h"
#include "platform/mci/Mci.h"

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <ctime>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace testsupport {

// Milliseconds moved by hand. Also serves as the services' wall clock
// (seconds since a fixed epoch time, advancing with the milliseconds).
class FakeClock final : public platform::Clock {
public:
    explicit FakeClock(std::time_t epochSeconds = 1'000'000'000) : m_epoch(epochSeconds) {}

    void Advance(long ms);
    long ElapsedMs() const { return m_elapsedMs; }
    std::time_t Now() const override { return m_epoch + std::time_t(m_elapsedMs / 1000); }

    // Called with the milliseconds of every Advance; the id is for Unsubscribe.
    using Listener = std::function<void(long ms)>;
    int Subscribe(Listener listener);
    void Unsubscribe(int id);

private:
    std::time_t m_epoch;
    long m_elapsedMs = 0;
    int m_nextId = 1;
    std::map<int, Listener> m_listeners;
};

struct FakeMediaFile {
    long lengthMs = 10'000;
    QSize picture;                  // empty: no picture
    bool failOpen = false;          // the file exists but cannot be played
    std::optional<long> errorAtMs;  // a streaming error when playback reaches this position

    static FakeMediaFile Audio(long lengthMs)
    {
        FakeMediaFile file;
        file.lengthMs = lengthMs;
        return file;
    }
    static FakeMediaFile Video(long lengthMs, QSize picture)
    {
        FakeMediaFile file = Audio(lengthMs);
        file.picture = picture;
        return file;
    }
    static FakeMediaFile Unplayable()
    {
        FakeMediaFile file;
        file.failOpen = true;
        return file;
    }
    FakeMediaFile ErrorAt(long ms) const
    {
        FakeMediaFile file = *this;
        file.errorAtMs = ms;
        return file;
    }
};

class FakeMediaFactory;

class FakeMediaWindow final : public mci::MediaWindow {
public:
    FakeMediaWindow(FakeMediaFactory& factory, QWidget* parent, unsigned style, const QString& path,
                    const FakeMediaFile& file);
    ~FakeMediaWindow() override;

    long Length() override { return m_file.lengthMs; }
    long Position() override;
    long Mode() override;
    bool Failed() override { return m_failed; }
    void Play() override;
    void Pause() override;
    void Resume() override;
    void SeekToStart() override;
    void Stop() override;
    QRect Destination() override;
    void MoveTo(const QRect& rect) override;
    QWidget* Widget() override { return m_widget; }
    void SetEndHandler(std::function<void()> onEnd) override { m_onEnd = std::move(onEnd); }

    // Test hooks that push the window into a state.
    void SetPosition(long ms) { m_position = ms; }
    // The stream fails now, as a read error or a lost output does.
    void FailNow()
    {
        m_ended = m_failed = true;
        if (m_onEnd)
            QMetaObject::invokeMethod(&m_context, m_onEnd, Qt::QueuedConnection);
    }
    bool Ended() const { return m_ended; }
    QString Path() const { return m_path; }
    unsigned Style() const { return m_style; }
    QWidget* Parent() const { return m_parent; }

private:
    enum class State { Stopped, Playing, Paused };
    void Tick(long ms);
    void Record(const QString& request);

    FakeMediaFactory& m_factory;
    QWidget* m_parent;
    unsigned m_style;
    QString m_path;
    FakeMediaFile m_file;
    State m_state = State::Stopped;
    long m_position = 0;
    bool m_ended = false;
    bool m_failed = false;
    std::function<void()> m_onEnd;
    QObject m_context;  // queued end calls die with the window
    int m_subscription;
    QPointer<QWidget> m_widget;
};

class FakeMediaFactory final : public mci::MediaFactory {
public:
    explicit FakeMediaFactory(FakeClock& clock) : m_clock(clock) {}
    // Windows made by this factory must be gone before it is.
    ~FakeMediaFactory() override = default;

    // Paths never added fail to open, as a missing file does.
    void AddFile(const QString& path, FakeMediaFile file) { m_files[path] = file; }

    std::unique_ptr<mci::MediaWindow> Create(QWidget* parent, unsigned style, const QString& path) override;
    void SetOutputSettings(const QString& soundFont, const QString& audioOutput) override
    {
        m_soundFont = soundFont;
        m_audioOutput = audioOutput;
    }
    // What SetOutputSettings gave last.
    QString SoundFont() const { return m_soundFont; }
    QString AudioOutput() const { return m_audioOutput; }
    // As given, so that a test sees what the caller asked for.
    void SetVolume(double level) override { m_volume = level; }
    double Volume() const override { return m_volume; }

    struct Creation {
        QString path;
        unsigned style;
        QWidget* parent;
        bool opened;
    };
    const std::vector<Creation>& Creations() const { return m_creations; }

    // Every command a window received, in order, as "Play <path>";
    // "MoveTo <path>" for a move and "Close <path>" when a window is destroyed.
    const QStringList& Requests() const { return m_requests; }
    void ClearRequests() { m_requests.clear(); }
    QRect LastMove() const { return m_lastMove; }

    // The windows alive now, oldest first.
    const std::vector<FakeMediaWindow*>& OpenWindows() const { return m_open; }
    FakeMediaWindow* Newest() const { return m_open.empty() ? nullptr : m_open.back(); }

    FakeClock& Clock() { return m_clock; }

private:
    friend class FakeMediaWindow;

    FakeClock& m_clock;
    QString m_soundFont;
    QString m_audioOutput;
    double m_volume = 1.0;
    std::map<QString, FakeMediaFile> m_files;
    std::vector<Creation> m_creations;
    QStringList m_requests;
    QRect m_lastMove;
    std::vector<FakeMediaWindow*> m_open;
};

}  // namespace testsupport
