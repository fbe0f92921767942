#pragma once
// The player window: the program's main dialog (template 102) and the owner
// of all playback state. Its handlers are spread over one source file per
// concern: window, playback, transport, progress, play order, history, commands.

#include <QRect>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>

#include "platform/ui/CDialog.h"
#include "player/CMciWnd.h"
#include "player/PlayerState.h"

class QComboBox;
class QMenu;
class QTimer;
class TitleListModel;

class CPlayerDlg : public ui::CDialog {
    Q_OBJECT

public:
    // The player works on state and keeps its options and history in store;
    // both outlive it.
    CPlayerDlg(PlayerState& state, StateStore& store, QWidget* parent = nullptr);
    ~CPlayerDlg() override;

    // Control ids of template 102.
    enum : int {
        IDC_SELECT = 1011,
        IDC_VOLUME = 2001,
        IDC_OPTIONS = 57671,
        IDC_TIME = 1002,
        IDC_TIMEMODE = 1029,
        IDC_REPEAT = 1009,
        IDC_SHUFFLE = 1010,
        IDC_STOP = 1003,
        IDC_PLAY = 1001,
        IDC_PAUSE = 1004,
        IDC_HOME = 1012,
        IDC_PREVIOUS = 1005,
        IDC_NEXT = 1006,
        IDC_EJECT = 1007,
        IDC_TITLE = 1054,
        IDC_VIDEO = 1008,
        IDC_PIC_MIDI = 1033,
        IDC_PIC_IDLE = 1034,
        IDC_PIC_CD = 1035,
        IDC_PIC_WAVE = 1036,
        IDC_ANIM_FIRST = 1039,
        IDC_ANIM_LAST = 1046,
    };
    // System-menu commands.
    enum : int { IDM_ABOUTBOX = 16, IDM_HISTORY_FIRST = 17, IDM_HISTORY_LAST = 21 };

    // Fields, in declaration order.
    CMciWnd m_mciWnd;
    int m_timeDispMode = 0;
    BOOL m_isCdTrack = FALSE;
    std::int32_t m_cdTrackOffset = 0;
    int m_cdTrack = 0;
    std::uint16_t m_cdDeviceId = 0;
    QComboBox* m_titleCombo = nullptr;
    QIcon m_hIcon;
    int m_playPos = 0;
    QRect m_videoRect;
    int m_timerId = 0;
    std::int32_t m_entryLength = 0;
    int m_entryNumber = 0;
    int m_entryCount = 0;
    int m_lenHours = 0;
    int m_lenMinutes = 0;
    int m_lenSeconds = 0;
    QString m_timeText;
    QVector<std::uint32_t> m_shuffleOrder;  // elements 1..n; 32 bits so large collections index right
    std::uint32_t m_cdFrom = 0;
    std::uint32_t m_cdTo = 0;
    std::uint32_t m_pausePos = 0;
    BOOL m_animate = FALSE;
    QString m_entry;
    int m_cdRunLeft = 0;
    BOOL m_endReached = FALSE;

    static int s_animStep;

    // Handlers and routines other parts of the program call.
    BOOL PlayEntry();
    BOOL CountCdRun();
    void OnStop();
    void OnPlay();
    void OnPause();
    void OnHome();
    void OnNext();
    void OnPrevious();
    void OnEject();
    void OnSelchangeTitle();
    void OnShuffle();
    void OnRepeat();
    void OnTimer();
    // The 1 s timer runs while an entry is open.
    bool TimerRunning() const;
    void BuildShuffleOrder(QVector<std::uint32_t>& order);
    // A pseudo-random integer from 1 to m.
    static int RandomIndex(int m);
    // Seeds the 15-bit generator behind RandomIndex (srand).
    static void SeedRandom(unsigned seed);
    // The collection index of play position p, or -1 when there is none.
    int Idx(int p) const;
    void OnSysCommand(int id);
    void FormatTime(std::int32_t position, QString& text);
    void OnTimeMode();
    // Mode and position of the device; a failed query reads as 0.
    long QueryMode();
    std::int32_t QueryPosition();
    // The menu that stands in for the system menu (version and history items).
    QMenu* SystemMenu() const { return m_systemMenu; }
    void RebuildHistoryMenu();
    void OpenHistoryItem(int id);
    // Stops and makes the collection file at path (a name as the program
    // keeps names) the current collection, as a history item does once the
    // user has agreed; shows nothing. On failure the collection is unchanged.
    enum class CollectionOpen { Opened, Missing, NoAccess, Unreadable };
    CollectionOpen OpenCollection(const QString& path);
    void OnEditCollection();
    void OnVolume();
    void OnOptions();
    // The settings page of the drive letters, the SoundFont and the audio
    // output, over parent (the options dialog) or the player; OK stores them
    // and the next entry plays with them.
    void OnPortSettings(QWidget* parent = nullptr);
    // Takes new entries as the current collection (path already set).
    void MakeCollectionCurrent(const QStringList& entries);
    // Fills the title list from the collection's entries and selects item 0.
    void FillTitleList();
    void SetCollectionCaption(const QString& path);
    void SetIdleTimeText();

signals:
    // After every command and every tick of the 1 s timer: what the window
    // shows may have changed (mode, entry, enabled buttons, check boxes).
    void StateChanged();

protected:
    BOOL OnInitDialog() override;
    void OnCommand(int id, int code) override;
    void OnOK() override;
    void OnDestroy();
    void OnHelp() override;

    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The failure rule; reason, for stderr, says why the entry cannot play
    // (empty where the media layer has said it).
    BOOL Fail(const QString& message, const QString& reason = {});
    // Before an entry on a drive letter the drive map has no place for is
    // failed, the user is asked where that drive is.
    enum class DrivePlacing {
        Known,      // the letter has a place, or the entry names none
        Placed,     // the user gave it one: go on
        Skipped,    // no place: the entry fails as it would have
        Stopped,    // the user cancelled: stop
        Abandoned,  // the user moved on meanwhile: leave everything as it is now
    };
    DrivePlacing PlaceDrive(const QString& entry);
    // False when the entry must not go on: the user stopped (the player is
    // then stopped) or moved on.
    bool GoOnAfterPlacing(DrivePlacing placing);
    bool EntryDrive(const QString& entry, QString& drive);
    // Closes whatever device is open, file window or CD, and kills the timer;
    // a stopped file is first rewound when asked.
    enum class Rewind { No, Yes };
    void CloseEntryDevice(Rewind rewind = Rewind::No);
    void CloseCdDevice();
    // Posts a command on the player's own behalf (the end of an entry, a
    // skipped failure): it is dropped when the user moved on before it runs.
    void PostOwnCommand(int id);
    // A command of the user's that moves on or stops: commands the player
    // posted before it are stale from now on.
    void UserMoved() { ++m_moveSerial; }
    // True when the open device stopped answering this tick: a CD whose
    // status fails or whose disc is gone, a file whose stream failed.
    bool DeviceFailing();
    // The failure rule for an entry whose device stopped answering.
    void OnDeviceLost();
    bool SkipOn() const;
    bool RepeatOn() const;
    bool ShuffleOn() const;
    // Play, Stop, Pause, Home as an entry starts; Previous and Next as given.
    void ShowPlayingControls(bool previous, bool next);
    // Past the last entry without repeat: Stop follows, Play comes back.
    void StopAtTheEnd();
    void ResetToIdle();
    void StartTimer();
    void StopTimer();
    void AnimationStep();
    void HideAnimation();
    int EntryCount() const;
    QString EntryAt(int index) const;
    static QString ResolvedPath(const QString& entry);
    void ShowAboutBox();
    void PopupSystemMenu(const QPoint& globalPos);

    PlayerState& m_state;
    StateStore& m_store;
    TitleListModel* m_titleModel = nullptr;
    QMenu* m_systemMenu = nullptr;
    QTimer* m_timer = nullptr;
    bool m_destroyed = false;
    bool m_noCdDriveShown = false;
    QSet<QChar> m_drivesAsked;    // this Play or pick
    QSet<QChar> m_drivesSkipped;  // this run
    bool m_cdDeviceOpen = false;  // m_cdDeviceId names an open device
    QString m_cdDrive;            // the drive it was opened on
    bool m_pauseSaved = false;    // m_pausePos holds the position of this entry's pause
    bool m_entryStarted = false;  // the open entry plays (it did not fail on its way)
    unsigned m_moveSerial = 0;
    int m_failedTicks = 0;        // ticks in a row on which the device did not answer
    int m_failedInRow = 0;        // entries in a row that could not be played
};
