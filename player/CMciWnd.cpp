#include "player/CMciWnd.h"

#include "platform/Services.h"
#include "platform/mci/Mci.h"

#include <QWidget>
#include <utility>

CMciWnd::CMciWnd() = default;

CMciWnd::~CMciWnd()
{
    CloseMciDevice();
}

BOOL CMciWnd::Create(QWidget* parent, unsigned style, const QString& path)
{
    CloseMciDevice();
    mci::MediaFactory* factory = platform::GetServices().media;
    if (!factory)
        return FALSE;
    m_window = factory->Create(parent, style, path);
    if (!m_window)
        return FALSE;
    ++m_generation;
    m_window->SetEndHandler([this] {
        if (m_onEnd)
            m_onEnd();
    });
    if (QWidget* widget = m_window->Widget()) {
        // A window destroyed from outside (its parent went first) still closes its device.
        const unsigned generation = m_generation;
        m_widgetGone = QObject::connect(widget, &QObject::destroyed, &m_context, [this, generation] {
            if (generation == m_generation)
                CloseMciDevice();
        }, Qt::QueuedConnection);
    }
    return TRUE;
}

BOOL CMciWnd::CloseMciDevice()
{
    QObject::disconnect(m_widgetGone);
    ++m_generation;
    std::unique_ptr<mci::MediaWindow> window = std::move(m_window);
    return window ? TRUE : FALSE;
}

void CMciWnd::Close()
{
    CloseMciDevice();
}

QWidget* CMciWnd::Widget() const
{
    return m_window ? m_window->Widget() : nullptr;
}

long CMciWnd::GetLength() const
{
    return m_window ? m_window->Length() : 0;
}

QRect CMciWnd::GetDest() const
{
    return m_window ? m_window->Destination() : QRect();
}

long CMciWnd::GetMode() const
{
    return m_window ? m_window->Mode() : 0;
}

bool CMciWnd::Failed() const
{
    return m_window && m_window->Failed();
}

long CMciWnd::GetPosition() const
{
    return m_window ? m_window->Position() : 0;
}

void CMciWnd::Play()
{
    if (m_window)
        m_window->Play();
}

void CMciWnd::Pause()
{
    if (m_window)
        m_window->Pause();
}

void CMciWnd::Resume()
{
    if (m_window)
        m_window->Resume();
}

void CMciWnd::SeekToStart()
{
    if (m_window)
        m_window->SeekToStart();
}

void CMciWnd::Stop()
{
    if (m_window)
        m_window->Stop();
}

void CMciWnd::MoveWindow(const QRect& rect)
{
    if (m_window)
        m_window->MoveTo(rect);
}
