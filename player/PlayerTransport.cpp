// The transport commands: Play, Pause, Home, Next, Previous, Eject and a pick
// in the title list.
#include <QComboBox>

#include "collection/CollectionEntry.h"
#include "platform/Services.h"
#include "platform/mci/Mci.h"
#include "platform/text/MbString.h"
#include "platform/text/PathSplit.h"
#include "platform/ui/MessageBox.h"
#include "player/CPlayerDlg.h"
#include "res/Strings.h"

bool CPlayerDlg::RepeatOn() const
{
    return (m_state.m_flags & kFlagRepeat) != 0;
}

bool CPlayerDlg::ShuffleOn() const
{
    return (m_state.m_flags & kFlagShuffle) != 0;
}

int CPlayerDlg::EntryCount() const
{
    return static_cast<int>(m_state.m_entries.size());
}

QString CPlayerDlg::EntryAt(int index) const
{
    return index >= 0 && index < m_state.m_entries.size() ? m_state.m_entries.at(index) : QString();
}

void CPlayerDlg::ShowPlayingControls(bool previous, bool next)
{
    EnableControl(IDC_HOME, true);
    EnableControl(IDC_STOP, true);
    EnableControl(IDC_PAUSE, true);
    EnableControl(IDC_PREVIOUS, previous);
    EnableControl(IDC_NEXT, next);
    NextDlgCtl();
    EnableControl(IDC_PLAY, false);
    EnableControl(IDC_SHUFFLE, false);
}

void CPlayerDlg::StopAtTheEnd()
{
    PostOwnCommand(IDC_STOP);
    m_playPos = 0;
    EnableControl(IDC_PLAY, true);
    EnableControl(IDC_STOP, false);
}

void CPlayerDlg::OnPlay()
{
    UserMoved();
    m_failedInRow = 0;
    m_noCdDriveShown = false;
    m_drivesAsked.clear();
    m_cdRunLeft = 0;
    if (ShuffleOn())
        BuildShuffleOrder(m_shuffleOrder);
    const int index = Idx(m_playPos);
    m_entryNumber = index + 1;
    if (index < 0) {
        platform::AfxMessageBox(res::Text(res::text::kListEmpty), platform::MB_OK, this);
        PostCommand(IDC_STOP);
        return;
    }
    m_entry = EntryAt(index);
    if (!PlayEntry())
        return;
    ShowPlayingControls(false, EntryCount() > 1);
}

void CPlayerDlg::OnPause()
{
    mci::CdSystem* cd = platform::GetServices().cd;
    // An entry that failed on its way waits for the Next its failure posted.
    if (!m_entryStarted)
        return;
    const long mode = QueryMode();
    if (m_isCdTrack && !cd)
        return;
    switch (mode) {
    case mci::kModePlaying:
        if (m_isCdTrack) {
            if (const auto position = cd->Status(m_cdDeviceId, mci::StatusItem::Position)) {
                m_pausePos = *position;
                m_pauseSaved = true;
            }
            cd->Pause(m_cdDeviceId);
        } else {
            m_mciWnd.Pause();
        }
        break;
    case mci::kModePaused:
        m_pauseSaved = false;
        if (m_isCdTrack)
            cd->Resume(m_cdDeviceId);
        else
            m_mciWnd.Resume();
        break;
    case mci::kModeStopped:
        // A drive that stops on pause goes on from where it was paused. A CD
        // that stopped at its end has no pause to go on from.
        if (m_isCdTrack && m_pauseSaved) {
            m_pauseSaved = false;
            cd->Play(m_cdDeviceId, m_pausePos, m_cdTo ? std::optional<std::uint32_t>(m_cdTo) : std::nullopt);
        }
        break;
    default:
        break;
    }
}

void CPlayerDlg::OnHome()
{
    if (!m_entryStarted)
        return;
    if (m_isCdTrack) {
        m_pauseSaved = false;
        if (mci::CdSystem* cd = platform::GetServices().cd; cd && m_cdDeviceOpen)
            cd->Play(m_cdDeviceId, m_cdFrom, m_cdTo ? std::optional<std::uint32_t>(m_cdTo) : std::nullopt);
        return;
    }
    const long mode = QueryMode();
    // A file that stopped at its end stays there: the next tick moves on.
    if (mode == mci::kModeStopped)
        return;
    m_mciWnd.SeekToStart();
    if (mode == mci::kModePlaying)
        m_mciWnd.Play();
}

void CPlayerDlg::OnNext()
{
    UserMoved();
    // At the end of an entry inside a CD run the play goes on into the next.
    if (m_isCdTrack && m_endReached && m_cdRunLeft != 0)
        StopTimer();
    else
        CloseEntryDevice();
    if (m_isCdTrack && !m_endReached)
        m_cdRunLeft = 0;
    m_endReached = FALSE;
    m_isCdTrack = FALSE;
    HideAnimation();

    const int n = EntryCount();
    ++m_playPos;
    if (m_playPos + 1 > n) {
        if (RepeatOn()) {
            m_playPos = 0;
            m_cdRunLeft = 0;
        } else {
            StopAtTheEnd();
            return;
        }
    }
    const int index = Idx(m_playPos);
    m_entryNumber = index + 1;
    if (index < 0) {
        // The collection shrank under the order: stop as at its end.
        StopAtTheEnd();
        return;
    }
    if (m_playPos + 1 >= n && !RepeatOn()) {
        NextDlgCtl();
        EnableControl(IDC_NEXT, false);
    } else {
        EnableControl(IDC_NEXT, true);
    }
    EnableControl(IDC_PREVIOUS, m_playPos > 0);
    m_entry = EntryAt(index);
    PlayEntry();
}

void CPlayerDlg::OnPrevious()
{
    UserMoved();
    if (m_isCdTrack)
        m_cdRunLeft = 0;
    CloseEntryDevice();
    m_isCdTrack = FALSE;
    HideAnimation();

    --m_playPos;
    const int index = Idx(m_playPos);
    m_entryNumber = index + 1;
    if (index < 0) {
        PostOwnCommand(IDC_STOP);
        return;
    }
    const int n = EntryCount();
    if (m_playPos > 0) {
        EnableControl(IDC_PREVIOUS, true);
    } else {
        NextDlgCtl();
        EnableControl(IDC_PREVIOUS, false);
    }
    if (m_playPos + 1 < n) {
        EnableControl(IDC_NEXT, true);
    } else {
        NextDlgCtl();
        EnableControl(IDC_NEXT, false);
    }
    m_entry = EntryAt(index);
    PlayEntry();
}

void CPlayerDlg::OnEject()
{
    mci::CdSystem* cd = platform::GetServices().cd;
    m_cdRunLeft = 0;
    m_endReached = FALSE;
    // Whatever its mode (playing, paused, or stopped at its end a moment
    // before the tick), an open CD entry is stopped and the player is idle.
    if (m_isCdTrack && m_cdDeviceOpen) {
        UserMoved();
        StopTimer();
        m_cdDeviceOpen = false;
        if (cd) {
            cd->Stop(m_cdDeviceId);
            cd->SetDoor(m_cdDeviceId, true);
            cd->Close(m_cdDeviceId);
        }
        m_pauseSaved = false;
        m_entryStarted = false;
        m_failedTicks = 0;
        ResetToIdle();
        return;
    }
    if (!cd)
        return;
    if (!cd->SendString(QStringLiteral("open cdaudio"), nullptr))
        platform::AfxMessageBox(res::Text(res::text::kCdDeviceBusy), platform::MB_OK, this);
    QString answer;
    cd->SendString(QStringLiteral("status cdaudio mode notify"), &answer);
    if (text::MbsICmp(answer.left(49), QStringLiteral("open")) == 0)
        cd->SendString(QStringLiteral("set cdaudio door closed notify"), nullptr);
    else
        cd->SendString(QStringLiteral("set cdaudio door open notify"), nullptr);
    cd->SendString(QStringLiteral("close cdaudio"), nullptr);
}

void CPlayerDlg::OnSelchangeTitle()
{
    const int s = m_titleCombo->currentIndex();
    const int n = EntryCount();
    if (s <= 0) {
        PostCommand(IDC_STOP);
        m_playPos = 0;
        EnableControl(IDC_PLAY, true);
        EnableControl(IDC_STOP, false);
        return;
    }
    const QString item = m_titleCombo->itemText(s);
    if (!m_entry.isEmpty()) {
        const bool same = collection::IsCdTrackEntry(m_entry)
                              ? text::MbsCmp(item, m_entry) == 0
                              : text::MbsICmp(item, text::SplitPath(m_entry).fname) == 0;
        if (same)
            return;
    }
    UserMoved();
    m_failedInRow = 0;
    m_noCdDriveShown = false;
    m_drivesAsked.clear();
    m_cdRunLeft = 0;
    m_endReached = FALSE;
    const long mode = QueryMode();
    if (mode == mci::kModePlaying || mode == mci::kModePaused) {
        CloseEntryDevice();
        m_isCdTrack = FALSE;
        HideAnimation();
        m_playPos = s - 1;
        if (s > n) {
            if (RepeatOn()) {
                m_playPos = 0;
            } else {
                StopAtTheEnd();
                return;
            }
        }
        m_entryNumber = m_playPos + 1;
        if (m_playPos >= n) {
            StopAtTheEnd();
            return;
        }
        if (m_playPos + 1 < n)
            EnableControl(IDC_NEXT, true);
        else if (!RepeatOn())
            EnableControl(IDC_NEXT, false);
        EnableControl(IDC_PREVIOUS, m_playPos > 0);
        m_cdRunLeft = 0;
        m_entry = EntryAt(m_playPos);
        PlayEntry();
        return;
    }
    if (ShuffleOn())
        BuildShuffleOrder(m_shuffleOrder);
    m_playPos = s - 1;
    m_entryNumber = s;
    if (s - 1 >= n) {
        platform::AfxMessageBox(res::Text(res::text::kListEmpty), platform::MB_OK, this);
        PostCommand(IDC_STOP);
        return;
    }
    m_entry = EntryAt(s - 1);
    if (!PlayEntry())
        return;
    ShowPlayingControls(s - 1 > 0, m_entryNumber < n || RepeatOn());
}
