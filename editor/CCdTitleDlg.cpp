#include "editor/CCdTitleDlg.h"

#include <QComboBox>
#include <QListWidget>

#include "cd/CdTrackListing.h"
#include "collection/CollectionEntry.h"
#include "platform/text/MbString.h"
#include "platform/ui/Help.h"
#include "platform/ui/MessageBox.h"
#include "res/Strings.h"

using ui::ControlKind;

namespace {

constexpr ui::ControlSpec kControls[] = {
    {1, ControlKind::DefPushButton, "OK", 214, 6, 50, 14},
    {2, ControlKind::PushButton, "ｷｬﾝｾﾙ", 214, 21, 50, 14},
    {57670, ControlKind::PushButton, "ﾍﾙﾌﾟ(&H)", 214, 39, 50, 14},
    {-1, ControlKind::Label, "CDのﾄﾞﾗｲﾌﾞ(&D):", 5, 7, 54, 8},
    {1036, ControlKind::ComboDropList, "", 61, 5, 29, 33},
    {-1, ControlKind::Label, "ﾄﾗｯｸﾘｽﾄ(&T):", 6, 22, 51, 8},
    {1037, ControlKind::ListBox, "", 5, 34, 70, 81, nullptr, ui::kSorted | ui::kToggleSelect},
    {6, ControlKind::PushButton, "追加(&A) >>", 79, 41, 56, 14, nullptr, 0, "選択済ﾄﾗｯｸに追加"},
    {3, ControlKind::PushButton, "全追加(&S) >>", 79, 57, 56, 14, nullptr, 0, "全てのﾄﾗｯｸを追加"},
    {7, ControlKind::PushButton, "<< 解除(&D)", 79, 82, 56, 14, nullptr, 0, "選択済ﾄﾗｯｸから解除"},
    {8, ControlKind::PushButton, "<< 全解除(&L)", 79, 98, 56, 14, nullptr, 0, "選択済ﾄﾗｯｸを全て解除"},
    {-1, ControlKind::Label, "選択済ﾄﾗｯｸ(&Y):", 140, 22, 57, 8},
    {1038, ControlKind::ListBox, "", 139, 34, 70, 81, nullptr, ui::kSorted | ui::kToggleSelect},
    {1050, ControlKind::CheckBox, "曲の２重登録を許さない(&R)", 9, 123, 108, 10},
    {4, ControlKind::PushButton, "全てのCDの全てのﾄﾗｯｸを選択(&E)", 128, 120, 135, 14},
    {1034, ControlKind::Picture, "", 231, 78, 18, 20, ":/icons/144-cd"},
};

const ui::DialogSpec kTemplate149{149, "CDﾀｲﾄﾙの選択", 270, 140, kControls};

// The drive name of a root: its first two characters, "X:".
QString DriveName(const QString& root)
{
    return root.left(2);
}

}  // namespace

CCdTitleDlg::CCdTitleDlg(QWidget* parent) : CDialog(kTemplate149, parent) {}

BOOL CCdTitleDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_selectedList = Item<QListWidget>(IDC_SELECTED);
    m_driveCombo = Item<QComboBox>(IDC_DRIVE);
    m_trackList = Item<QListWidget>(IDC_TRACKS);
    // The box is 29 units wide, room for "X:\" beside a narrow arrow only.
    m_driveCombo->setStyleSheet(QStringLiteral("QComboBox { padding-left: 2px; } QComboBox::drop-down { width: 11px; }"));
    CheckDlgButton(IDC_NO_DUPLICATES, m_bNoDuplicates != FALSE);

    // The drive box keeps its strings in upper case, as they are added.
    for (const QString& root : m_cdDrives)
        m_driveCombo->addItem(root.toUpper());

    for (int j = 0; j < m_driveCombo->count(); ++j) {
        const QString drive = DriveName(m_driveCombo->itemText(j));
        const cd::TrackListing listing = cd::ListCdTracks(drive, [this, &drive](int track) {
            m_trackList->addItem(collection::FormatCdTrackEntry(drive, track));
        });
        if (listing == cd::TrackListing::Listed) {
            m_driveCombo->setCurrentIndex(j);
            break;
        }
        if (j == m_driveCombo->count() - 1) {
            platform::AfxMessageBox(res::LoadStr(109), platform::MB_OK, this);
            CDialog::OnOK();
            break;
        }
    }
    return TRUE;
}

void CCdTitleDlg::OnCommand(int id, int code)
{
    if (id == IDC_DRIVE) {
        if (code == ui::kCbnSelChange)
            OnSelChangeDrive();
        return;
    }
    if (code != ui::kBnClicked)
        return;
    switch (id) {
    case IDC_ADD:
        OnAdd();
        break;
    case IDC_REMOVE:
        OnRemove();
        break;
    case IDC_REMOVE_ALL:
        OnRemoveAll();
        break;
    case IDC_ALL_CDS:
        OnAllCdsAllTracks();
        break;
    case IDC_ADD_ALL:
        OnAddAll();
        break;
    case IDC_NO_DUPLICATES:
        OnNoDuplicates();
        break;
    default:
        CDialog::OnCommand(id, code);
        break;
    }
}

BOOL CCdTitleDlg::IsInSelectedList(const QString& entry) const
{
    for (int i = 0; i < m_selectedList->count(); ++i)
        if (text::MbsCmp(m_selectedList->item(i)->text(), entry) == 0)
            return TRUE;
    return FALSE;
}

void CCdTitleDlg::AddSelected(const QString& entry)
{
    if (m_bNoDuplicates && IsInSelectedList(entry))
        return;
    m_selectedList->addItem(entry);
}

void CCdTitleDlg::OnSelChangeDrive()
{
    m_trackList->clear();
    const QString drive = DriveName(m_driveCombo->currentText());
    const cd::TrackListing listing = cd::ListCdTracks(drive, [this, &drive](int track) {
        m_trackList->addItem(collection::FormatCdTrackEntry(drive, track));
    });
    if (listing != cd::TrackListing::Listed)
        platform::AfxMessageBox(res::LoadStr(110), platform::MB_OK, this);
}

void CCdTitleDlg::OnAdd()
{
    for (int i = 0; i < m_trackList->count(); ++i) {
        QListWidgetItem* item = m_trackList->item(i);
        if (!item->isSelected())
            continue;
        // Tested before each addition: the list may reach one more than the limit.
        if (m_selectedList->count() > kSelectedLimit) {
            platform::AfxMessageBox(res::Text(res::text::kCannotAddMore), platform::MB_OK, this);
            return;
        }
        AddSelected(item->text());
        item->setSelected(false);
    }
}

void CCdTitleDlg::OnAddAll()
{
    // Every listed track counts, also those the duplicate rule would skip.
    if (m_trackList->count() + m_selectedList->count() > kSelectedLimit) {
        platform::AfxMessageBox(res::Text(res::text::kCannotAddMore), platform::MB_OK, this);
        return;
    }
    for (int i = 0; i < m_trackList->count(); ++i) {
        QListWidgetItem* item = m_trackList->item(i);
        AddSelected(item->text());
        item->setSelected(false);
    }
}

void CCdTitleDlg::OnRemove()
{
    int i = 0;
    while (i < m_selectedList->count()) {
        if (m_selectedList->item(i)->isSelected())
            delete m_selectedList->takeItem(i);
        else
            ++i;
    }
}

void CCdTitleDlg::OnRemoveAll()
{
    m_selectedList->clear();
}

void CCdTitleDlg::OnAllCdsAllTracks()
{
    for (const QString& root : m_cdDrives) {
        const QString drive = DriveName(root).toUpper();
        cd::ListCdTracks(drive, [this, &drive](int track) {
            AddSelected(collection::FormatCdTrackEntry(drive, track));
        });
    }
}

void CCdTitleDlg::OnNoDuplicates()
{
    m_bNoDuplicates = m_bNoDuplicates ? FALSE : TRUE;
}

void CCdTitleDlg::OnOK()
{
    m_selectedEntries.clear();
    for (int i = 0; i < m_selectedList->count(); ++i)
        m_selectedEntries.append(m_selectedList->item(i)->text());
    m_bNoDuplicates = IsDlgButtonChecked(IDC_NO_DUPLICATES) ? TRUE : FALSE;
    CDialog::OnOK();
}

void CCdTitleDlg::OnHelp()
{
    ui::ShowHelp(this, ui::HelpPage::Cd);
}
