#include "editor/CTrackPickDlg.h"

#include <QListWidget>

#include "cd/CdTrackListing.h"
#include "collection/CollectionEntry.h"
#include "platform/ui/Help.h"
#include "platform/ui/MessageBox.h"
#include "res/Strings.h"

using ui::ControlKind;

namespace {

constexpr ui::ControlSpec kControls[] = {
    {1, ControlKind::DefPushButton, "OK", 130, 7, 50, 14},
    {2, ControlKind::PushButton, "ｷｬﾝｾﾙ", 130, 22, 50, 14},
    {9, ControlKind::PushButton, "ﾍﾙﾌﾟ(&H)", 130, 40, 50, 14},
    {10, ControlKind::PushButton, "全て選択(&A)", 130, 63, 50, 14},
    {-1, ControlKind::Label, "聴きたいﾄﾗｯｸを選んで下さい(&S):", 6, 6, 114, 8},
    {1055, ControlKind::ListBox, "", 6, 18, 114, 90, nullptr, ui::kToggleSelect},
    {-1, ControlKind::Picture, "", 146, 87, 16, 17, ":/icons/144-cd"},
};

const ui::DialogSpec kTemplate165{165, "CDﾀｲﾄﾙの選択", 187, 116, kControls};

}  // namespace

CTrackPickDlg::CTrackPickDlg(QWidget* parent) : CDialog(kTemplate165, parent) {}

BOOL CTrackPickDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_pickList = Item<QListWidget>(IDC_PICK_LIST);
    m_driveRoot = m_driveRoot.left(2);

    const cd::TrackListing listing = cd::ListCdTracks(m_driveRoot, [this](int track) {
        m_pickList->addItem(collection::FormatCdTrackEntry(QString(), track));
    });
    if (listing != cd::TrackListing::Listed) {
        platform::AfxMessageBox(res::LoadStr(109), platform::MB_OK, this);
        CDialog::OnOK();
    }
    return TRUE;
}

void CTrackPickDlg::OnCommand(int id, int code)
{
    if (code != ui::kBnClicked) {
        CDialog::OnCommand(id, code);
        return;
    }
    switch (id) {
    case IDC_SELECT_ALL:
        OnSelectAll();
        break;
    case IDC_PICK_HELP:
        // This dialog's help button has an id of its own; it shows the
        // manual as button 57670 does in the other dialogs.
        ui::ShowHelp(this, ui::HelpPage::Cd);
        break;
    default:
        CDialog::OnCommand(id, code);
        break;
    }
}

void CTrackPickDlg::OnSelectAll()
{
    for (int i = 0; i < m_pickList->count(); ++i)
        m_pickList->item(i)->setSelected(true);
}

void CTrackPickDlg::OnOK()
{
    for (int i = 0; i < m_pickList->count(); ++i)
        if (m_pickList->item(i)->isSelected())
            m_pickedEntries.append(m_pickList->item(i)->text());
    CDialog::OnOK();
}
