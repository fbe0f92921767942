// Opening, playing, stopping and closing one entry.
#include <QComboBox>
#include <QTimer>
#include <cstdio>

#include "cd/CdDrives.h"
#include "collection/CollectionEntry.h"
#include "platform/Services.h"
#include "platform/drives/DriveMap.h"
#include "platform/mci/Mci.h"
#include "platform/text/MbString.h"
#include "platform/ui/MessageBox.h"
#include "player/CPlayerDlg.h"
#include "res/Strings.h"

namespace {

mci::CdSystem* Cd()
{
    return platform::GetServices().cd;
}

QString CdNotAnswering(const QString& drive)
{
    return QStringLiteral("the CD drive %1 does not answer").arg(drive);
}

// "drive C: is not mapped" when the path's letter has no place, else reason.
QString DriveReason(const QString& path, const QString& reason)
{
    const drives::DriveMap* map = platform::GetServices().drives;
    if (map && path.size() >= 2 && path.at(1) == u':' && path.at(0).isLetter() &&
        map->GetDriveType(path.left(2)) == drives::DRIVE_NO_ROOT_DIR)
        return QStringLiteral("drive %1 is not mapped").arg(path.left(2).toUpper());
    return reason;
}

// What the open device says is wrong with its disc image, else reason.
QString DiscReason(mci::DeviceId id, const QString& reason)
{
    mci::CdSystem* cd = Cd();
    const QString problem = cd ? cd->DiscProblem(id) : QString();
    return problem.isEmpty() ? reason : problem;
}

// One line on stderr for every entry that fails or is skipped.
void ReportUnplayable(const QString& entry, const QString& reason)
{
    const QByteArray line = QStringLiteral("lirabox: cannot play %1: %2\n").arg(entry, reason).toLocal8Bit();
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
}

int EntryTrack(const QString& entry)
{
    return collection::ParseCdTrackEntry(entry).track;
}

}  // namespace

bool CPlayerDlg::EntryDrive(const QString& entry, QString& drive)
{
    if (const std::optional<QString> named = collection::ParseCdTrackEntry(entry).drive) {
        drive = *named;
        return true;
    }
    // With Skip on, "no CD drive" is said once per Play or pick: with Repeat
    // on it would otherwise come back without end.
    if (m_noCdDriveShown && SkipOn()) {
        QStringList roots;
        cd::GetCdDriveList(roots);
        if (roots.isEmpty())
            return false;
        drive = roots.first().left(2);
        return true;
    }
    if (cd::GetFirstCdDrive(drive))
        return true;
    m_noCdDriveShown = true;
    return false;
}

bool CPlayerDlg::SkipOn() const
{
    return m_state.m_skip == 1;
}

BOOL CPlayerDlg::Fail(const QString& message, const QString& reason)
{
    if (!reason.isEmpty())
        ReportUnplayable(m_entry, reason);
    if (SkipOn()) {
        // With Repeat off the pass ends at the last entry and the player
        // stops there in silence. With Repeat on, skipping through a whole
        // pass in which nothing played would spin for ever: stop there and
        // say so once.
        if (!RepeatOn() || ++m_failedInRow < EntryCount()) {
            PostOwnCommand(IDC_NEXT);
            return TRUE;
        }
        OnStop();
        platform::AfxMessageBox(res::Text(res::text::kNothingPlayable), platform::MB_OK, this);
        return FALSE;
    }
    OnStop();
    if (!message.isEmpty())
        platform::AfxMessageBox(message, platform::MB_OK, this);
    return FALSE;
}

void CPlayerDlg::PostOwnCommand(int id)
{
    const unsigned serial = m_moveSerial;
    QMetaObject::invokeMethod(
        this,
        [this, id, serial] {
            if (serial == m_moveSerial)
                OnCommand(id, ui::kBnClicked);
        },
        Qt::QueuedConnection);
}

BOOL CPlayerDlg::PlayEntry()
{
    const int aviDispInitMode = m_state.m_aviDispInitMode;
    mci::CdSystem* cd = Cd();
    QString drive;

    m_failedTicks = 0;
    m_pauseSaved = false;
    m_entryStarted = false;
    if (!collection::IsCdTrackEntry(m_entry)) {
        // At most one device is open: whatever the last entry left open goes first.
        CloseEntryDevice();
        m_isCdTrack = FALSE;
    } else {
        if (!EntryDrive(m_entry, drive))
            return Fail(QString(), QStringLiteral("no CD drive"));
        m_cdTrack = EntryTrack(m_entry);
        if (m_cdRunLeft == 0 || !m_cdDeviceOpen) {
            m_cdRunLeft = 0;
            CloseEntryDevice();
            m_isCdTrack = TRUE;
            if (!GoOnAfterPlacing(PlaceDrive(m_entry)))
                return FALSE;
            const std::optional<mci::DeviceId> id = cd ? cd->Open(drive) : std::nullopt;
            if (!id)
                return Fail(res::LoadStr(114), DriveReason(drive, QStringLiteral("the CD device cannot be opened")));
            m_cdDeviceId = *id;
            m_cdDeviceOpen = true;
            m_cdDrive = drive;
            const std::optional<std::uint32_t> ready = cd->Status(m_cdDeviceId, mci::StatusItem::Ready);
            if (!ready)
                return Fail(res::LoadStr(115), CdNotAnswering(drive));
            if (*ready == 0)
                return Fail(res::FormatStr(116, drive), DiscReason(m_cdDeviceId, QStringLiteral("no disc in %1").arg(drive)));
        }
        m_isCdTrack = TRUE;
    }

    const platform::FileAccess* files = platform::GetServices().files;
    if (!m_isCdTrack) {
        if (!GoOnAfterPlacing(PlaceDrive(m_entry)))
            return FALSE;
        if (!files || !files->Access(m_entry, platform::kAccessExists))
            return Fail(res::FormatStr(120, m_entry), DriveReason(m_entry, QStringLiteral("not found")));
        if (!files->Access(m_entry, platform::kAccessRead))
            return Fail(res::FormatStr(121, m_entry), QStringLiteral("cannot be read"));
    }

    const collection::EntryKind kind = collection::FileEntryKind(m_entry);
    const bool isAvi = kind == collection::EntryKind::Video;
    if (!m_isCdTrack) {
        const bool separate = isAvi && aviDispInitMode == 1;
        const QString path = ResolvedPath(m_entry);
        const BOOL created = separate ? m_mciWnd.Create(nullptr, mci::kStyleSeparate, path)
                                      : m_mciWnd.Create(this, mci::kStyleChild, path);
        if (!created)
            return Fail(res::Text(res::text::kMciInitFailed));
        m_mciWnd.SetTimeFormatMs();
    } else if (!cd->SetTimeFormatMs(m_cdDeviceId)) {
        return Fail(res::LoadStr(115), CdNotAnswering(m_cdDrive));
    }

    m_titleCombo->setCurrentIndex(m_entryNumber);

    bool hasPicture = false;
    if (m_isCdTrack) {
        const long length = cd::GetCdTrackLength(m_cdDeviceId, m_cdTrack);
        if (length < 0)
            return Fail(res::Text(res::text::kTrackNotFound),
                        QStringLiteral("no track %1 on the disc in %2").arg(m_cdTrack).arg(m_cdDrive));
        m_entryLength = static_cast<std::int32_t>(length);
    } else {
        m_entryLength = static_cast<std::int32_t>(m_mciWnd.GetLength());
        // Any file with a picture goes onto the placeholder, not only ".avi":
        // otherwise its picture would land anywhere over the controls.
        const QRect dest = m_mciWnd.GetDest();
        hasPicture = dest.width() > 0 && dest.height() > 0;
        if (hasPicture && !(isAvi && aviDispInitMode == 1))
            m_mciWnd.MoveWindow(m_videoRect);
    }

    const int s = m_entryLength / 1000;
    m_lenHours = s / 3600;
    const int r = s - 3600 * m_lenHours;
    m_lenMinutes = r / 60;
    m_lenSeconds = r % 60;

    StartTimer();

    for (int picture : {IDC_PIC_MIDI, IDC_PIC_CD, IDC_PIC_WAVE})
        ShowControl(picture, false);
    const bool isVideo = !m_isCdTrack && (isAvi || hasPicture);
    m_animate = isVideo ? FALSE : TRUE;
    if (kind == collection::EntryKind::Midi) {
        ShowControl(IDC_PIC_MIDI, true);
        ShowControl(IDC_PIC_IDLE, false);
    } else if (kind == collection::EntryKind::Wave) {
        ShowControl(IDC_PIC_WAVE, true);
        ShowControl(IDC_PIC_IDLE, false);
    } else if (isVideo) {
        ShowControl(IDC_PIC_IDLE, false);
    }

    if (!m_isCdTrack) {
        m_mciWnd.Play();
        m_failedInRow = 0;
        m_entryStarted = true;
        return TRUE;
    }

    ShowControl(IDC_PIC_MIDI, false);
    ShowControl(IDC_PIC_CD, true);
    ShowControl(IDC_PIC_WAVE, false);
    ShowControl(IDC_PIC_IDLE, false);

    const std::optional<std::uint32_t> count = cd->Status(m_cdDeviceId, mci::StatusItem::NumberOfTracks);
    if (!count)
        return Fail(res::LoadStr(115), CdNotAnswering(m_cdDrive));
    const int n = static_cast<int>(*count);
    // The position of the track's start on the disc: the in-track position
    // is then 0 at every track's start, wherever track 1 begins.
    const std::optional<std::uint32_t> from = cd->Status(m_cdDeviceId, mci::StatusItem::Position, m_cdTrack);
    if (!from)
        return Fail(res::LoadStr(115), CdNotAnswering(m_cdDrive));
    m_cdTrackOffset = static_cast<std::int32_t>(*from);
    m_cdFrom = *from;
    if (m_cdRunLeft != 0) {
        if (m_cdRunLeft > 0)
            --m_cdRunLeft;
        m_failedInRow = 0;
        m_entryStarted = true;
        return TRUE;
    }
    if (!ShuffleOn())
        CountCdRun();
    const int e = m_cdTrack + m_cdRunLeft + 1;
    // A disc may begin past track 1: only a number past the count asks where.
    const int last = e > n ? cd::GetCdFirstTrack(m_cdDeviceId) + n - 1 : n;
    bool played = false;
    if (e <= last) {
        const std::optional<std::uint32_t> to = cd->Status(m_cdDeviceId, mci::StatusItem::Position, e);
        if (!to)
            return Fail(res::LoadStr(115), CdNotAnswering(m_cdDrive));
        m_cdTo = *to;
        played = cd->Play(m_cdDeviceId, m_cdFrom, m_cdTo);
    } else {
        m_cdTo = 0;
        played = cd->Play(m_cdDeviceId, m_cdFrom, std::nullopt);
    }
    if (!played) {
        if (cd->Status(m_cdDeviceId, mci::StatusItem::TrackType, m_cdTrack) == mci::kCdTrackOther)
            return Fail(res::LoadStr(115),
                        QStringLiteral("track %1 on the disc in %2 is a data track").arg(m_cdTrack).arg(m_cdDrive));
        return Fail(res::LoadStr(115), DiscReason(m_cdDeviceId, CdNotAnswering(m_cdDrive)));
    }
    m_failedInRow = 0;
    m_entryStarted = true;
    return TRUE;
}

bool CPlayerDlg::GoOnAfterPlacing(DrivePlacing placing)
{
    if (placing == DrivePlacing::Stopped) {
        OnStop();
        return false;
    }
    return placing != DrivePlacing::Abandoned;
}

BOOL CPlayerDlg::CountCdRun()
{
    QString d;
    if (!EntryDrive(m_entry, d))
        return FALSE;
    m_cdRunLeft = 0;
    int i = m_entryNumber;
    int t = m_cdTrack;
    while (i < m_state.m_entries.size()) {
        const QString& x = m_state.m_entries.at(i);
        if (!collection::IsCdTrackEntry(x))
            break;
        QString drive;
        if (!EntryDrive(x, drive))
            return FALSE;
        if (EntryTrack(x) != t + 1 || text::MbsCmp(drive, d) != 0)
            break;
        ++m_cdRunLeft;
        ++i;
        ++t;
    }
    return TRUE;
}

void CPlayerDlg::CloseCdDevice()
{
    if (!m_cdDeviceOpen)
        return;
    m_cdDeviceOpen = false;
    if (mci::CdSystem* cd = Cd()) {
        cd->Stop(m_cdDeviceId);
        cd->Close(m_cdDeviceId);
    }
}

void CPlayerDlg::CloseEntryDevice(Rewind rewind)
{
    StopTimer();
    m_mciWnd.Stop();
    if (rewind == Rewind::Yes)
        m_mciWnd.SeekToStart();
    m_mciWnd.Close();
    CloseCdDevice();
    m_pauseSaved = false;
    m_entryStarted = false;
    m_failedTicks = 0;
}

void CPlayerDlg::OnStop()
{
    UserMoved();
    CloseEntryDevice(Rewind::Yes);
    m_failedInRow = 0;
    ResetToIdle();
}

void CPlayerDlg::ResetToIdle()
{
    m_cdRunLeft = 0;
    m_endReached = FALSE;
    m_isCdTrack = FALSE;
    m_entry.clear();
    if (m_titleCombo)
        m_titleCombo->setCurrentIndex(0);
    EnableControl(IDC_SHUFFLE, true);
    EnableControl(IDC_PLAY, true);
    NextDlgCtl();
    for (int control : {IDC_STOP, IDC_PAUSE, IDC_HOME, IDC_PREVIOUS, IDC_NEXT})
        EnableControl(control, false);
    m_playPos = 0;
    m_entryNumber = 0;
    SetIdleTimeText();
    for (int picture : {IDC_PIC_MIDI, IDC_PIC_CD, IDC_PIC_WAVE})
        ShowControl(picture, false);
    ShowControl(IDC_PIC_IDLE, true);
    HideAnimation();
}

long CPlayerDlg::QueryMode()
{
    if (!m_isCdTrack)
        return m_mciWnd.GetMode();
    mci::CdSystem* cd = Cd();
    const std::optional<std::uint32_t> mode =
        cd && m_cdDeviceOpen ? cd->Status(m_cdDeviceId, mci::StatusItem::Mode) : std::nullopt;
    return mode ? static_cast<long>(*mode) : 0;
}

std::int32_t CPlayerDlg::QueryPosition()
{
    if (!m_isCdTrack)
        return static_cast<std::int32_t>(m_mciWnd.GetPosition());
    mci::CdSystem* cd = Cd();
    const std::optional<std::uint32_t> position =
        cd && m_cdDeviceOpen ? cd->Status(m_cdDeviceId, mci::StatusItem::Position) : std::nullopt;
    return position ? static_cast<std::int32_t>(*position) - m_cdTrackOffset : 0;
}

bool CPlayerDlg::DeviceFailing()
{
    if (!m_isCdTrack)
        return m_mciWnd.Failed();
    mci::CdSystem* cd = Cd();
    if (!cd || !m_cdDeviceOpen)
        return true;
    const std::optional<std::uint32_t> mode = cd->Status(m_cdDeviceId, mci::StatusItem::Mode);
    if (!mode || *mode == mci::kModeNotReady || *mode == mci::kModeOpen)
        return true;
    return !cd->Status(m_cdDeviceId, mci::StatusItem::Position).has_value();
}

void CPlayerDlg::OnDeviceLost()
{
    const QString message = m_isCdTrack ? res::FormatStr(116, m_cdDrive) : res::FormatStr(121, m_entry);
    // A run counted on this device ends with it.
    m_cdRunLeft = 0;
    Fail(message, m_isCdTrack ? DiscReason(m_cdDeviceId, QStringLiteral("the CD drive %1 stopped answering").arg(m_cdDrive))
                              : QStringLiteral("the stream failed while playing"));
}

QString CPlayerDlg::ResolvedPath(const QString& entry)
{
    const drives::DriveMap* map = platform::GetServices().drives;
    return map ? map->ResolvePath(entry) : entry;
}
