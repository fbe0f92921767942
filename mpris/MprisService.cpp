#include "mpris/MprisService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>

#include "collection/CollectionEntry.h"
#include "mpris/MprisPlayerAdaptor.h"
#include "mpris/MprisPropertiesAdaptor.h"
#include "mpris/MprisRootAdaptor.h"
#include "platform/Services.h"
#include "platform/drives/DriveMap.h"
#include "platform/mci/Mci.h"
#include "platform/text/FileText.h"
#include "platform/ui/Quit.h"
#include "player/CPlayerDlg.h"

namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kBusName = QStringLiteral("org.mpris.MediaPlayer2.lirabox");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
// Track ids live under the program's own path: /org/mpris is MPRIS's.
const QString kTrackPrefix = QStringLiteral("/io/github/quenda/lirabox/track/");

// The file name a file: URI stands for, as the program keeps names: the
// path's percent-decoded bytes, which need not be UTF-8 (a Shift-JIS name
// unpacked from an old archive). Nothing for another scheme or host, a
// relative path or a NUL byte.
std::optional<QString> LocalFileName(const QString& uri)
{
    const QUrl url(uri);
    const QString host = url.host();
    if (!url.isValid() || url.scheme() != QLatin1String("file")
        || !(host.isEmpty() || host == QLatin1String("localhost")))
        return std::nullopt;
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (!bytes.startsWith('/') || bytes.contains('\0'))
        return std::nullopt;
    return text::DecodeFileName(bytes);
}

// Collections are known by their name, as the desktop knows their type.
bool IsCollectionName(const QString& path)
{
    return path.endsWith(QLatin1String(".lst"), Qt::CaseInsensitive);
}

}  // namespace

std::optional<QDBusConnection> MprisService::SessionBus()
{
    // Without an address libdbus would look for the user bus of systemd,
    // then try to launch a bus for the X display: only the first is wanted.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (runtime.isEmpty() || !QFileInfo::exists(runtime + QStringLiteral("/bus")))
            return std::nullopt;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    return bus;
}

MprisService* MprisService::Publish(CPlayerDlg* player, const QDBusConnection& bus)
{
    if (!player || !bus.isConnected())
        return nullptr;
    auto* service = new MprisService(player, bus);
    if (!service->Register()) {
        delete service;
        return nullptr;
    }
    return service;
}

MprisService::MprisService(CPlayerDlg* player, const QDBusConnection& bus)
    : QObject(player), m_player(player), m_bus(bus)
{
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
    new MprisPropertiesAdaptor(this);
    m_announced = Watched();
    connect(player, &CPlayerDlg::StateChanged, this, &MprisService::OnPlayerChanged);
}

MprisService::~MprisService()
{
    if (!m_serviceName.isEmpty()) {
        m_bus.unregisterService(m_serviceName);
        m_bus.unregisterObject(kObjectPath);
    }
}

bool MprisService::Register()
{
    if (!m_bus.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors))
        return false;
    // A second player running takes a name of its own, as MPRIS asks.
    const QString instance = kBusName + QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
    for (const QString& name : {kBusName, instance}) {
        if (m_bus.registerService(name)) {
            m_serviceName = name;
            return true;
        }
    }
    m_bus.unregisterObject(kObjectPath);
    return false;
}

void MprisService::Raise()
{
    if (!m_player->isVisible())
        return;
    m_player->setWindowState((m_player->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    m_player->show();
    m_player->raise();
    m_player->activateWindow();
}

void MprisService::Quit()
{
    ui::RequestQuit(m_player);
}

bool MprisService::DialogOpenOverPlayer() const
{
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != m_player;
}

bool MprisService::Enabled(int id) const
{
    return m_player->IsControlEnabled(id);
}

bool MprisService::Checked(int id) const
{
    return m_player->GetDlgItem(id) && m_player->IsDlgButtonChecked(id);
}

long MprisService::Mode() const
{
    return m_player->m_entry.isEmpty() ? mci::kModeNotOpen : m_player->QueryMode();
}

void MprisService::Press(int id)
{
    if (DialogOpenOverPlayer() || !Enabled(id))
        return;
    if (auto* button = qobject_cast<QAbstractButton*>(m_player->GetDlgItem(id)))
        button->click();
}

void MprisService::Refuse(const QString& name, const QString& message)
{
    if (calledFromDBus())
        sendErrorReply(name, message);
}

void MprisService::Play()
{
    // Pause is the button that takes a paused entry on.
    if (Mode() == mci::kModePaused)
        Press(CPlayerDlg::IDC_PAUSE);
    else
        Press(CPlayerDlg::IDC_PLAY);
}

void MprisService::Pause()
{
    if (Mode() == mci::kModePlaying)
        Press(CPlayerDlg::IDC_PAUSE);
}

void MprisService::PlayPause()
{
    const long mode = Mode();
    Press(mode == mci::kModePlaying || mode == mci::kModePaused ? CPlayerDlg::IDC_PAUSE : CPlayerDlg::IDC_PLAY);
}

void MprisService::Stop()
{
    Press(CPlayerDlg::IDC_STOP);
}

void MprisService::Next()
{
    Press(CPlayerDlg::IDC_NEXT);
}

void MprisService::Previous()
{
    Press(CPlayerDlg::IDC_PREVIOUS);
}

void MprisService::OpenUri(const QString& uri)
{
    const std::optional<QString> path = LocalFileName(uri);
    if (!path)
        return Refuse(QDBusError::errorString(QDBusError::InvalidArgs),
                      QStringLiteral("%1 is not a file on this machine").arg(uri));
    if (!IsCollectionName(*path))
        return Refuse(QDBusError::errorString(QDBusError::NotSupported),
                      QStringLiteral("%1 is not a collection").arg(uri));
    if (DialogOpenOverPlayer())
        return Refuse(QDBusError::errorString(QDBusError::Failed), QStringLiteral("A dialog is open over the player"));
    switch (m_player->OpenCollection(*path)) {
    case CPlayerDlg::CollectionOpen::Opened:
        break;
    case CPlayerDlg::CollectionOpen::Missing:
        return Refuse(QStringLiteral("org.freedesktop.DBus.Error.FileNotFound"), QStringLiteral("No file %1").arg(uri));
    case CPlayerDlg::CollectionOpen::NoAccess:
        return Refuse(QDBusError::errorString(QDBusError::AccessDenied), QStringLiteral("%1 may not be read").arg(uri));
    case CPlayerDlg::CollectionOpen::Unreadable:
        return Refuse(QDBusError::errorString(QDBusError::Failed), QStringLiteral("%1 cannot be read").arg(uri));
    }
    // Play on an empty collection would say so in a message box.
    if (m_player->m_entryCount > 0)
        Press(CPlayerDlg::IDC_PLAY);
}

QString MprisService::PlaybackStatus() const
{
    switch (Mode()) {
    case mci::kModePlaying:
        return QStringLiteral("Playing");
    case mci::kModePaused:
        return QStringLiteral("Paused");
    default:
        return QStringLiteral("Stopped");
    }
}

QString MprisService::LoopStatus() const
{
    return Checked(CPlayerDlg::IDC_REPEAT) ? QStringLiteral("Playlist") : QStringLiteral("None");
}

void MprisService::SetLoopStatus(const QString& status)
{
    // The player repeats the whole collection or nothing: "Track" is not offered.
    if (status != QLatin1String("None") && status != QLatin1String("Playlist"))
        return;
    if ((status == QLatin1String("Playlist")) != Checked(CPlayerDlg::IDC_REPEAT))
        Press(CPlayerDlg::IDC_REPEAT);
}

bool MprisService::Shuffle() const
{
    return Checked(CPlayerDlg::IDC_SHUFFLE);
}

void MprisService::SetShuffle(bool on)
{
    if (on != Checked(CPlayerDlg::IDC_SHUFFLE))
        Press(CPlayerDlg::IDC_SHUFFLE);
}

double MprisService::Volume() const
{
    const mci::MediaFactory* media = platform::GetServices().media;
    return media ? media->Volume() : 1.0;
}

void MprisService::SetVolume(double level)
{
    mci::MediaFactory* media = platform::GetServices().media;
    if (!media)
        return;
    media->SetVolume(std::clamp(level, 0.0, 1.0));
    OnPlayerChanged();
}

QVariantMap MprisService::Metadata() const
{
    QVariantMap metadata;
    const QString& entry = m_player->m_entry;
    if (entry.isEmpty()) {
        metadata.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(kNoTrack)));
        return metadata;
    }
    const QString trackId = kTrackPrefix + QString::number(m_player->m_entryNumber);
    metadata.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(trackId)));
    metadata.insert(QStringLiteral("xesam:title"), collection::DisplayName(entry));
    metadata.insert(QStringLiteral("mpris:length"), qlonglong(m_player->m_entryLength) * 1000);
    if (!collection::IsCdTrackEntry(entry)) {
        const drives::DriveMap* map = platform::GetServices().drives;
        const QString path = map ? map->ResolvePath(entry) : entry;
        metadata.insert(QStringLiteral("xesam:url"), QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded()));
    }
    return metadata;
}

qlonglong MprisService::Position() const
{
    if (m_player->m_entry.isEmpty())
        return 0;
    return qMax<qlonglong>(0, m_player->QueryPosition()) * 1000;
}

bool MprisService::CanPlay() const
{
    // Play starts with the Play button and goes on from a pause with the
    // Pause button; while playing it has nothing to do, which MPRIS counts
    // as playable (desktop controls leave the entry alone otherwise).
    return Enabled(CPlayerDlg::IDC_PLAY) || Enabled(CPlayerDlg::IDC_PAUSE);
}

bool MprisService::CanPause() const
{
    return Enabled(CPlayerDlg::IDC_PAUSE);
}

bool MprisService::CanGoNext() const
{
    return Enabled(CPlayerDlg::IDC_NEXT);
}

bool MprisService::CanGoPrevious() const
{
    return Enabled(CPlayerDlg::IDC_PREVIOUS);
}

QVariantMap MprisService::Watched() const
{
    return {
        {QStringLiteral("PlaybackStatus"), PlaybackStatus()},
        {QStringLiteral("LoopStatus"), LoopStatus()},
        {QStringLiteral("Shuffle"), Shuffle()},
        {QStringLiteral("Volume"), Volume()},
        {QStringLiteral("Metadata"), Metadata()},
        {QStringLiteral("CanPlay"), CanPlay()},
        {QStringLiteral("CanPause"), CanPause()},
        {QStringLiteral("CanGoNext"), CanGoNext()},
        {QStringLiteral("CanGoPrevious"), CanGoPrevious()},
    };
}

void MprisService::OnPlayerChanged()
{
    // Position is left out, as MPRIS asks: clients work it out from the
    // status and ask for it when they need it.
    const QVariantMap now = Watched();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (m_announced.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    m_announced = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    m_bus.send(signal);
}
