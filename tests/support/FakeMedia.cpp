#include "tests/support/FakeMedia.h"

#include <algorithm>

namespace testsupport {

void FakeClock::Advance(long ms)
{
    m_elapsedMs += ms;
    std::vector<int> ids;
    for (const auto& [id, listener] : m_listeners)
        ids.push_back(id);
    for (int id : ids)
        if (auto it = m_listeners.find(id); it != m_listeners.end())
            it->second(ms);
}

int FakeClock::Subscribe(Listener listener)
{
    const int id = m_nextId++;
    m_listeners.emplace(id, std::move(listener));
    return id;
}

void FakeClock::Unsubscribe(int id)
{
    m_listeners.erase(id);
}

FakeMediaWindow::FakeMediaWindow(FakeMediaFactory& factory, QWidget* parent, unsigned style, const QString& path,
                                 const FakeMediaFile& file)
    : m_factory(factory), m_parent(parent), m_style(style), m_path(path), m_file(file)
{
    m_subscription = m_factory.m_clock.Subscribe([this](long ms) { Tick(ms); });
    if (parent) {
        m_widget = new QWidget(parent);
        if (!m_file.picture.isEmpty())
            m_widget->show();
    } else {
        m_widget = new QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        m_widget->resize(m_file.picture.isEmpty() ? QSize(320, 1) : m_file.picture);
        m_widget->show();
    }
    m_factory.m_open.push_back(this);
}

FakeMediaWindow::~FakeMediaWindow()
{
    m_factory.m_clock.Unsubscribe(m_subscription);
    Record(QStringLiteral("Close"));
    auto& open = m_factory.m_open;
    open.erase(std::remove(open.begin(), open.end(), this), open.end());
    delete m_widget.data();
}

void FakeMediaWindow::Record(const QString& request)
{
    m_factory.m_requests.append(request + QLatin1Char(' ') + m_path);
}

void FakeMediaWindow::Tick(long ms)
{
    if (m_state != State::Playing || m_ended)
        return;
    m_position += ms;
    if (m_file.errorAtMs && m_position >= *m_file.errorAtMs)
        m_ended = m_failed = true;
    if (m_position >= m_file.lengthMs)
        m_ended = true;
    // As the real window does, the end is told on the UI thread a moment later.
    if (m_ended && m_onEnd)
        QMetaObject::invokeMethod(&m_context, m_onEnd, Qt::QueuedConnection);
}

long FakeMediaWindow::Position()
{
    return m_ended ? m_file.lengthMs : std::min(m_position, m_file.lengthMs);
}

long FakeMediaWindow::Mode()
{
    if (m_ended)
        return mci::kModeStopped;
    switch (m_state) {
    case State::Playing:
        return mci::kModePlaying;
    case State::Paused:
        return mci::kModePaused;
    case State::Stopped:
        break;
    }
    return mci::kModeStopped;
}

void FakeMediaWindow::Play()
{
    Record(QStringLiteral("Play"));
    if (m_ended) {
        m_ended = m_failed = false;
        m_position = 0;
    }
    m_state = State::Playing;
}

void FakeMediaWindow::Pause()
{
    Record(QStringLiteral("Pause"));
    if (m_state == State::Playing && !m_ended)
        m_state = State::Paused;
}

void FakeMediaWindow::Resume()
{
    Record(QStringLiteral("Resume"));
    if (m_state == State::Paused && !m_ended)
        m_state = State::Playing;
}

void FakeMediaWindow::SeekToStart()
{
    Record(QStringLiteral("SeekToStart"));
    if (m_ended)
        m_state = State::Stopped;
    m_ended = m_failed = false;
    m_position = 0;
}

void FakeMediaWindow::Stop()
{
    Record(QStringLiteral("Stop"));
    m_ended = m_failed = false;
    m_position = 0;
    m_state = State::Stopped;
}

QRect FakeMediaWindow::Destination()
{
    return m_file.picture.isEmpty() ? QRect() : QRect(QPoint(0, 0), m_file.picture);
}

void FakeMediaWindow::MoveTo(const QRect& rect)
{
    Record(QStringLiteral("MoveTo"));
    m_factory.m_lastMove = rect;
    if (m_widget)
        m_widget->setGeometry(rect);
}

std::unique_ptr<mci::MediaWindow> FakeMediaFactory::Create(QWidget* parent, unsigned style, const QString& path)
{
    const auto it = m_files.find(path);
    const bool opens = it != m_files.end() && !it->second.failOpen;
    m_creations.push_back({path, style, parent, opens});
    if (!opens)
        return nullptr;
    return std::make_unique<FakeMediaWindow>(*this, parent, style, path, it->second);
}

}  // namespace testsupport
