#pragma once
// The player's video window: one object for the player's life, one media
// window per played file. Every request to an object without a window does
// nothing and answers 0, as messages to a window that does not exist.

#include "platform/ui/WinTypes.h"

#include <QMetaObject>
#include <QObject>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace mci {
class MediaWindow;
}

class CMciWnd {
public:
    CMciWnd();
    ~CMciWnd();
    CMciWnd(const CMciWnd&) = delete;
    CMciWnd& operator=(const CMciWnd&) = delete;

    // Opens the file in a new window made by the services' media factory:
    // a child of parent (mci::kStyleChild) or a window of its own
    // (mci::kStyleSeparate, parent nullptr). A window still open is closed
    // first. FALSE when the file cannot be played.
    BOOL Create(QWidget* parent, unsigned style, const QString& path);

    bool IsOpen() const { return m_window != nullptr; }
    // Called when the stream of the window that is open ends or fails.
    void SetEndHandler(std::function<void()> onEnd) { m_onEnd = std::move(onEnd); }
    QWidget* Widget() const;

    // MCIWNDM_SETTIMEFORMAT "ms": times are always milliseconds here.
    void SetTimeFormatMs() {}
    long GetLength() const;
    // The picture's size at (0, 0); empty without a picture.
    QRect GetDest() const;
    long GetMode() const;
    // The stream failed (a read or decoding error, the audio output lost).
    bool Failed() const;
    long GetPosition() const;
    void Play();
    void Pause();
    void Resume();
    void SeekToStart();
    void Stop();
    void MoveWindow(const QRect& rect);
    // WM_CLOSE: closes the device and destroys the window.
    void Close();
    // Closes the device together with its window; TRUE when one was open.
    BOOL CloseMciDevice();

private:
    std::unique_ptr<mci::MediaWindow> m_window;
    std::function<void()> m_onEnd;
    QMetaObject::Connection m_widgetGone;
    unsigned m_generation = 0;
    QObject m_context;
};
