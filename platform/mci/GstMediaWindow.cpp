#include "platform/mci/GstMediaWindow.h"

#include "platform/mci/AudioSettings.h"

#include "platform/mci/GstFilePlayer.h"
#include "platform/mci/GstPlayFailure.h"
#include "platform/mci/VideoWidget.h"
#include "res/Strings.h"

#include <QFileInfo>
#include <algorithm>
#include <utility>

namespace mci {

namespace {

constexpr long kUnknownLength = 24L * 60 * 60 * 1000;
constexpr int kTitleIntervalMs = 500;
// MCIWnd style bits that choose what a top-level window's title shows.
constexpr unsigned kShowName = 0x0010;
constexpr unsigned kShowPos = 0x0020;
constexpr unsigned kShowMode = 0x0040;
constexpr QSize kNoPictureWindow{320, 1};

QString TimeText(long ms)
{
    const long seconds = ms / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60, 2, 10, QLatin1Char('0')).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString ModeText(long mode)
{
    switch (mode) {
    case kModePlaying:
        return res::Text(res::text::kMediaModePlaying);
    case kModePaused:
        return res::Text(res::text::kMediaModePaused);
    default:
        return res::Text(res::text::kMediaModeStopped);
    }
}

}  // namespace

GstMediaFactory::GstMediaFactory(QString soundFontSetting) : m_soundFontSetting(std::move(soundFontSetting)) {}

std::unique_ptr<MediaWindow> GstMediaFactory::Create(QWidget* parent, unsigned style, const QString& path)
{
    QString soundFontSetting;
    {
        std::lock_guard lock(m_settingMutex);
        soundFontSetting = m_soundFontSetting;
    }
    return GstMediaWindow::Open(parent, style, path, soundFontSetting);
}

void GstMediaFactory::SetSoundFontSetting(const QString& text)
{
    std::lock_guard lock(m_settingMutex);
    m_soundFontSetting = text;
}

void GstMediaFactory::SetOutputSettings(const QString& soundFont, const QString& audioOutput)
{
    SetSoundFontSetting(soundFont);
    SetAudioOutput(audioOutput);
}

void GstMediaFactory::SetVolume(double level)
{
    SetOutputVolume(level);
}

double GstMediaFactory::Volume() const
{
    return OutputVolume();
}

std::unique_ptr<GstMediaWindow> GstMediaWindow::Open(QWidget* parent, unsigned style, const QString& path,
                                                     const QString& soundFontSetting)
{
    std::unique_ptr<GstMediaWindow> window(new GstMediaWindow(style, path));
    if (!window->OpenFile(parent, soundFontSetting)) {
        ReportPlayFailure(path, window->m_player->ErrorText());
        return nullptr;
    }
    return window;
}

GstMediaWindow::GstMediaWindow(unsigned style, const QString& path)
    : m_style(style),
      m_path(path),
      m_player(std::make_unique<GstFilePlayer>([this](const QImage& frame) { OnFrame(frame); },
                                               [this] { OnStreamEnd(); }))
{
}

void GstMediaWindow::OnStreamEnd()
{
    QMetaObject::invokeMethod(
        &m_uiContext,
        [this] {
            if (m_onEnd)
                m_onEnd();
        },
        Qt::QueuedConnection);
}

GstMediaWindow::~GstMediaWindow()
{
    m_titleTimer.stop();
    // Streaming threads end here, before the widget they paint into goes.
    m_player.reset();
    if (VideoWidget* widget = std::exchange(m_widget, nullptr)) {
        widget->SetCloseAllowed(true);
        delete widget;
    }
}

bool GstMediaWindow::OpenFile(QWidget* parent, const QString& soundFontSetting)
{
    if (!m_player->Open(m_path, soundFontSetting))
        return false;
    m_length = m_player->DurationMs().value_or(kUnknownLength);
    MakeWidget(parent);
    return true;
}

void GstMediaWindow::MakeWidget(QWidget* parent)
{
    const QSize picture = m_player->PictureSize();
    m_widget = parent ? new VideoWidget(parent, {})
                      : new VideoWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                                     | Qt::WindowMinimizeButtonHint);
    QObject::connect(m_widget, &QObject::destroyed, &m_uiContext, [this] { m_widget = nullptr; });
    if (parent) {
        m_widget->SetDisplaySize(picture);
        ShowLatestFrame();
        if (!picture.isEmpty())
            m_widget->show();
        return;
    }
    m_widget->SetCloseAllowed(false);
    m_widget->SetDisplaySize(picture);
    m_widget->resize(picture.isEmpty() ? kNoPictureWindow : picture);
    ShowLatestFrame();
    UpdateTitle();
    QObject::connect(&m_titleTimer, &QTimer::timeout, &m_titleTimer, [this] { UpdateTitle(); });
    m_titleTimer.start(kTitleIntervalMs);
    m_widget->show();
}

void GstMediaWindow::OnFrame(const QImage& frame)
{
    {
        std::lock_guard lock(m_frameMutex);
        m_latestFrame = frame;
    }
    if (!m_frameQueued.exchange(true))
        QMetaObject::invokeMethod(&m_uiContext, [this] { ShowLatestFrame(); }, Qt::QueuedConnection);
}

void GstMediaWindow::ShowLatestFrame()
{
    m_frameQueued = false;
    QImage frame;
    {
        std::lock_guard lock(m_frameMutex);
        frame = m_latestFrame;
    }
    if (m_widget && !frame.isNull())
        m_widget->SetFrame(frame);
}

void GstMediaWindow::UpdateTitle()
{
    if (!m_widget)
        return;
    QString title;
    if (m_style & kShowName)
        title = QFileInfo(m_path).fileName();
    if (m_style & kShowPos)
        title += (title.isEmpty() ? QString() : QStringLiteral(" - ")) + TimeText(Position());
    if (m_style & kShowMode)
        title += (title.isEmpty() ? QString() : QStringLiteral(" ")) + QLatin1Char('(') + ModeText(Mode())
                 + QLatin1Char(')');
    m_widget->setWindowTitle(title);
}

bool GstMediaWindow::StreamFailed()
{
    if (!m_player->Failed())
        return false;
    if (!m_failureReported) {
        m_failureReported = true;
        ReportPlayFailure(m_path, m_player->ErrorText());
    }
    return true;
}

long GstMediaWindow::Position()
{
    // At the end, however it came, the position reads at least the length
    // handed out at open: the player's only end test is position >= length.
    if (m_player->Ended())
        return m_length;
    if (const auto position = m_player->PositionMs())
        m_lastPosition = std::clamp(*position, 0L, m_length);
    return m_lastPosition;
}

long GstMediaWindow::Mode()
{
    StreamFailed();
    if (m_player->Ended())
        return kModeStopped;
    switch (m_state) {
    case State::Playing:
        return kModePlaying;
    case State::Paused:
        return kModePaused;
    case State::Stopped:
        break;
    }
    return kModeStopped;
}

bool GstMediaWindow::Failed()
{
    return StreamFailed();
}

void GstMediaWindow::Rewind()
{
    if (StreamFailed()) {
        m_player->Reload();
        m_failureReported = false;
    } else {
        if (m_player->Ended())
            m_player->SetPlaying(false);
        m_player->SeekToMs(0);
    }
    m_lastPosition = 0;
}

void GstMediaWindow::Play()
{
    if (m_player->Ended())
        Rewind();
    m_player->SetPlaying(true);
    m_state = State::Playing;
}

void GstMediaWindow::Pause()
{
    if (m_state != State::Playing || m_player->Ended())
        return;
    m_player->SetPlaying(false);
    m_state = State::Paused;
}

void GstMediaWindow::Resume()
{
    if (m_state != State::Paused || m_player->Ended())
        return;
    m_player->SetPlaying(true);
    m_state = State::Playing;
}

void GstMediaWindow::SeekToStart()
{
    // Playing goes on from the start and a paused window stays paused there;
    // a window that reached its end stands stopped at the start.
    if (m_player->Ended())
        m_state = State::Stopped;
    Rewind();
}

void GstMediaWindow::Stop()
{
    if (!m_player->Ended())
        m_player->SetPlaying(false);
    Rewind();
    m_state = State::Stopped;
}

QRect GstMediaWindow::Destination()
{
    const QSize picture = m_player->PictureSize();
    return picture.isEmpty() ? QRect() : QRect(QPoint(0, 0), picture);
}

QWidget* GstMediaWindow::Widget()
{
    return m_widget;
}

void GstMediaWindow::MoveTo(const QRect& rect)
{
    if (m_widget)
        m_widget->setGeometry(rect);
}

}  // namespace mci
