// The collection editor's entry commands: add files and CD tracks, delete,
// move one row.
#include <QTreeWidget>

#include "cd/CdDrives.h"
#include "editor/CCdTitleDlg.h"
#include "editor/CCollectionDlg.h"
#include "editor/CTrackPickDlg.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/MessageBox.h"
#include "res/Strings.h"

void CCollectionDlg::OnAddFiles()
{
    // Filter 0, 1 and 2 put MIDI, wave or video files first.
    const int order = m_fileFilter;
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::Kind::Open;
    request.filter = order >= 0 && order <= 2 ? res::LoadStr(111 + order) : QString();
    request.multiSelect = true;
    const QStringList paths = platform::AfxFileDialog(this, request);
    if (paths.isEmpty())
        return;

    QStringList added;
    for (const QString& path : paths)
        if (!(m_bNoDuplicates && IsDuplicate(path)))
            added.append(path);
    FillRows(added);
    m_bModified = TRUE;
}

void CCollectionDlg::OnAddCdTracks()
{
    QStringList roots;
    if (!cd::GetCdDriveList(roots) || roots.isEmpty()) {
        platform::AfxMessageBox(res::LoadStr(108), platform::MB_OK, this);
        return;
    }
    QStringList entries;
    if (roots.size() == 1) {
        CTrackPickDlg picker(this);
        picker.m_driveRoot = roots.first();
        if (picker.DoModal() != ui::IDOK)
            return;
        entries = picker.m_pickedEntries;
    } else {
        CCdTitleDlg titles(this);
        titles.m_cdDrives = roots;
        if (titles.DoModal() != ui::IDOK)
            return;
        entries = titles.m_selectedEntries;
    }
    // CD tracks leave the change mark as it is.
    FillRows(entries);
}

void CCollectionDlg::OnDelete()
{
    qDeleteAll(m_playList->selectedItems());
    m_bModified = TRUE;
}

void CCollectionDlg::OnMoveUp()
{
    MoveSelectedRow(-1);
}

void CCollectionDlg::OnMoveDown()
{
    MoveSelectedRow(+1);
}

// The row moves whole, however long its name.
void CCollectionDlg::MoveSelectedRow(int step)
{
    const QList<QTreeWidgetItem*> selected = m_playList->selectedItems();
    if (selected.size() > 1) {
        platform::AfxMessageBox(res::Text(res::text::kMoveSelectOne), platform::MB_OK, this);
        m_playList->setFocus();
        return;
    }
    const int row = selected.isEmpty() ? -1 : m_playList->indexOfTopLevelItem(selected.first());
    const int target = row + step;
    if (row >= 0 && target >= 0 && target < m_playList->topLevelItemCount()) {
        QTreeWidgetItem* item = m_playList->takeTopLevelItem(row);
        m_playList->insertTopLevelItem(target, item);
        m_playList->setCurrentItem(item);
        item->setSelected(true);
        m_playList->scrollToItem(item);
        m_bModified = TRUE;
    }
    m_playList->setFocus();
}

void CCollectionDlg::OnNoDuplicates()
{
    m_bNoDuplicates = m_bNoDuplicates ? FALSE : TRUE;
}
