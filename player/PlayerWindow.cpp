// The player window: its template, opening, closing and the menu that
// stands for the system menu.
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QScopeGuard>
#include <QTimer>

#include "collection/CollectionEntry.h"
#include "collection/CollectionFile.h"
#include "platform/Services.h"
#include "platform/drives/DriveMap.h"
#include "platform/mci/Mci.h"
#include "platform/text/FileText.h"
#include "platform/text/PathSplit.h"
#include "platform/ui/Help.h"
#include "platform/ui/MessageBox.h"
#include "player/CPlayerDlg.h"
#include "player/TitleListModel.h"
#include "res/Strings.h"

using ui::ControlKind;

namespace {

constexpr ui::ControlSpec kControls[] = {
    {1011, ControlKind::DefPushButton, "選曲(&C)...", 171, 57, 50, 14},
    {1, ControlKind::PushButton, "閉じる", 171, 73, 50, 14},
    {2001, ControlKind::PushButton, "&Volume...", 171, 89, 50, 14, nullptr, 0, "音量..."},
    {57671, ControlKind::PushButton, "ｵﾌﾟｼｮﾝ(&O)...", 171, 106, 50, 14},
    {57670, ControlKind::PushButton, "ﾍﾙﾌﾟ(&H)", 171, 123, 50, 14},
    {1002, ControlKind::TimeDisplay, "", 2, 4, 100, 12},
    {1029, ControlKind::IconButton, "(&T)", 104, 3, 17, 14, ":/icons/143-timemode", 0, "時間表示の切り替え"},
    {1009, ControlKind::CheckBox, "ﾘﾋﾟｰﾄ(&R)", 130, 5, 39, 12},
    {1010, ControlKind::CheckBox, "ｼｬｯﾌﾙ(&S)", 176, 5, 46, 12},
    {1003, ControlKind::IconButton, "STOP", 6, 21, 25, 15, ":/icons/130-stop", 0, "停止"},
    {1001, ControlKind::IconButton, "(&P)", 31, 21, 25, 15, ":/icons/129-play", 0, "再生"},
    {1004, ControlKind::IconButton, "PAUSE", 56, 21, 25, 15, ":/icons/131-pause", 0, "一時停止"},
    {1012, ControlKind::IconButton, "HOME", 81, 21, 25, 15, ":/icons/142-home", 0, "曲の先頭へ"},
    {1005, ControlKind::IconButton, "PRETRK", 106, 21, 25, 15, ":/icons/132-previous", 0, "前の曲"},
    {1006, ControlKind::IconButton, "NEXTTRK", 131, 21, 25, 15, ":/icons/133-next", 0, "次の曲"},
    {1007, ControlKind::IconButton, "EJECT", 181, 21, 25, 15, ":/icons/134-eject", 0, "ｲｼﾞｪｸﾄ"},
    {-1, ControlKind::Label, "ﾀｲﾄﾙ:", 6, 42, 21, 8},
    {1054, ControlKind::ComboDropList, "", 27, 40, 171, 104, nullptr, 0, "ﾀｲﾄﾙ (再生する曲)"},
    {1008, ControlKind::Frame, "", 27, 57, 114, 75},
    {1033, ControlKind::Picture, "", 60, 80, 45, 27, ":/icons/151-midi"},
    {1035, ControlKind::Picture, "", 60, 80, 45, 27, ":/icons/152-cd"},
    {1036, ControlKind::Picture, "", 60, 80, 45, 27, ":/icons/153-wave"},
    {1039, ControlKind::Picture, "", 73, 57, 18, 20, ":/icons/154-anim0"},
    {1040, ControlKind::Picture, "", 111, 58, 18, 20, ":/icons/155-anim1"},
    {1041, ControlKind::Picture, "", 117, 84, 18, 20, ":/icons/156-anim2"},
    {1042, ControlKind::Picture, "", 112, 114, 18, 20, ":/icons/157-anim3"},
    {1043, ControlKind::Picture, "", 74, 116, 18, 20, ":/icons/158-anim4"},
    {1044, ControlKind::Picture, "", 39, 111, 18, 20, ":/icons/159-anim5"},
    {1045, ControlKind::Picture, "", 33, 84, 18, 20, ":/icons/160-anim6"},
    {1046, ControlKind::Picture, "", 39, 58, 18, 20, ":/icons/161-anim7"},
    {1034, ControlKind::Picture, "", 60, 80, 45, 27, ":/icons/162-idle"},
};

const ui::DialogSpec kTemplate102{102, "Lirabox", 228, 141, kControls, true};

// Button images given in OnInitDialog, in this order.
constexpr int kDevicePictures[] = {1033, 1035, 1036};

QString BaseName(const QString& path)
{
    return text::DisplayFileName(text::SplitPath(path).fname);
}

}  // namespace

int CPlayerDlg::s_animStep = 0;

CPlayerDlg::CPlayerDlg(PlayerState& state, StateStore& store, QWidget* parent)
    : CDialog(kTemplate102, parent), m_state(state), m_store(store)
{
    m_hIcon = ui::LoadIcon(":/icons/128-app");
    // The end of a file is handled as soon as its stream ends, as the next
    // tick would, so the next entry follows without a pause.
    m_mciWnd.SetEndHandler([this] {
        if (TimerRunning())
            OnTimer();
    });
}

CPlayerDlg::~CPlayerDlg()
{
    OnDestroy();
}

BOOL CPlayerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_titleCombo = Item<QComboBox>(IDC_TITLE);
    // The list is as wide as its place in the window: nothing needs the
    // widest of a hundred thousand names measured.
    m_titleModel = new TitleListModel(m_titleCombo);
    m_titleCombo->setModel(m_titleModel);
    m_titleCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto* view = qobject_cast<QListView*>(m_titleCombo->view()))
        view->setUniformItemSizes(true);
    m_systemMenu = new QMenu(this);
    RebuildHistoryMenu();

    setWindowIcon(m_hIcon);

    m_isCdTrack = FALSE;
    m_cdRunLeft = 0;
    m_endReached = FALSE;
    m_playPos = 0;
    m_entryNumber = 0;
    m_entryCount = 0;

    for (int id : kDevicePictures)
        ShowControl(id, false);
    for (int id = IDC_ANIM_FIRST; id <= IDC_ANIM_LAST; ++id)
        ShowControl(id, false);

    for (int id : {IDC_NEXT, IDC_PREVIOUS, IDC_STOP, IDC_PAUSE, IDC_HOME})
        EnableControl(id, false);

    // Room for the widest detailed time of a long collection.
    ui::FitText(GetDlgItem(IDC_TIME), QStringLiteral("0000/0000tk 00:00:00/00:00:00"));
    SetIdleTimeText();

    if (QWidget* placeholder = GetDlgItem(IDC_VIDEO)) {
        m_videoRect = placeholder->geometry();
        placeholder->hide();
    }
    m_playPos = 0;

    // Right clicks anywhere, disabled buttons included, open the system menu.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);

    if (!m_state.m_collectionPath.isEmpty()) {
        std::optional<QStringList> entries = collection::ReadCollectionFile(ResolvedPath(m_state.m_collectionPath));
        if (!entries) {
            platform::AfxMessageBox(res::Text(res::text::kCollectionReadError), platform::MB_OK, this);
            return TRUE;
        }
        SetCollectionCaption(m_state.m_collectionPath);
        if (drives::DriveMap* map = platform::GetServices().drives)
            map->SetCollectionPath(m_state.m_collectionPath);
        if (m_state.m_entries.isEmpty())
            m_state.m_entries = std::move(*entries);
        else
            m_state.m_entries.append(*entries);
        m_entryCount = m_state.m_entries.size();
        FillTitleList();
        if (m_state.m_flags & kFlagShuffle)
            CheckDlgButton(IDC_SHUFFLE, true);
        if (m_state.m_flags & kFlagRepeat)
            CheckDlgButton(IDC_REPEAT, true);
        if (m_state.m_flags & kFlagMinimized) {
            // A window given a position before it is mapped (QDialog centres
            // itself as it shows) is announced to the window manager in
            // normal state whatever its state; a minimised one is placed by
            // the window manager when restored.
            setAttribute(Qt::WA_Moved);
            setWindowState(windowState() | Qt::WindowMinimized);
        }
        if (m_state.m_flags & kFlagPlay)
            PostCommand(IDC_PLAY);
    } else {
        m_titleModel->Reset(res::Text(res::text::kNoList), {});
        m_titleCombo->setCurrentIndex(0);
    }
    return TRUE;
}

void CPlayerDlg::FillTitleList()
{
    if (m_state.m_entries.isEmpty())
        m_titleModel->Reset(res::Text(res::text::kNoList), {});
    else
        m_titleModel->Reset(res::Text(res::text::kStopItem), m_state.m_entries);
    m_titleCombo->setCurrentIndex(0);
}

void CPlayerDlg::SetCollectionCaption(const QString& path)
{
    setWindowTitle(res::LoadStr(102) + QStringLiteral(" - ") + BaseName(path));
}

void CPlayerDlg::SetIdleTimeText()
{
    switch (m_timeDispMode) {
    case 0: SetDlgItemText(IDC_TIME, res::LoadStr(104)); break;
    case 1: SetDlgItemText(IDC_TIME, res::LoadStr(105)); break;
    case 2: SetDlgItemText(IDC_TIME, res::LoadStr(103)); break;
    default: break;
    }
}

void CPlayerDlg::PopupSystemMenu(const QPoint& globalPos)
{
    m_systemMenu->popup(globalPos);
}

void CPlayerDlg::contextMenuEvent(QContextMenuEvent* event)
{
    PopupSystemMenu(event->globalPos());
}

bool CPlayerDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Disabled widgets swallow their clicks; catch the right button first.
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (mouse->button() == Qt::RightButton && widget && !widget->isEnabled()) {
            PopupSystemMenu(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return CDialog::eventFilter(watched, event);
}

void CPlayerDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F10 && (event->modifiers() & Qt::ShiftModifier)) {
        PopupSystemMenu(mapToGlobal(QPoint(0, 0)));
        return;
    }
    CDialog::keyPressEvent(event);
}

void CPlayerDlg::OnCommand(int id, int code)
{
    const auto changed = qScopeGuard([this] { emit StateChanged(); });
    if (id == IDC_TITLE) {
        if (code == ui::kCbnSelChange)
            OnSelchangeTitle();
        return;
    }
    if (code != ui::kBnClicked)
        return;
    switch (id) {
    case IDC_PLAY: OnPlay(); return;
    case IDC_STOP: OnStop(); return;
    case IDC_NEXT: OnNext(); return;
    case IDC_PREVIOUS: OnPrevious(); return;
    case IDC_PAUSE: OnPause(); return;
    case IDC_SHUFFLE: OnShuffle(); return;
    case IDC_REPEAT: OnRepeat(); return;
    case IDC_EJECT: OnEject(); return;
    case IDC_HOME: OnHome(); return;
    case IDC_TIMEMODE: OnTimeMode(); return;
    case IDC_SELECT: OnEditCollection(); return;
    case IDC_VOLUME: OnVolume(); return;
    case IDC_OPTIONS: OnOptions(); return;
    default: CDialog::OnCommand(id, code); return;
    }
}

void CPlayerDlg::OnOK()
{
    OnStop();
    CDialog::OnOK();
}

void CPlayerDlg::done(int result)
{
    CDialog::done(result);
    OnDestroy();
}

void CPlayerDlg::OnDestroy()
{
    if (m_destroyed || !m_titleCombo)
        return;
    m_destroyed = true;
    OnStop();
    StopTimer();
    ui::CloseHelp();
}

void CPlayerDlg::OnHelp()
{
    ui::ShowHelp(this, ui::HelpPage::Player);
}
