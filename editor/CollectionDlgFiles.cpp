// The collection editor's file commands: new, open, save, save as.
#include <QTreeWidget>

#include "platform/drives/DriveMap.h"
#include "platform/Services.h"

#include "editor/CCollectionDlg.h"
#include "collection/CollectionFile.h"
#include "platform/text/PathSplit.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/MessageBox.h"
#include "res/Strings.h"

namespace {

// The path of this system for a collection path as the player keeps it, as
// the player resolves it: empty under a letter that names no folder.
QString NativeCollectionPath(const QString& path)
{
    const drives::DriveMap* map = platform::GetServices().drives;
    return map ? map->ResolvePath(path) : path;
}

}  // namespace

std::optional<QStringList> CCollectionDlg::ReadCollection(const QString& path, const char* error)
{
    collection::CollectionFormat format;
    std::optional<QStringList> entries = collection::ReadCollectionFile(NativeCollectionPath(path), &format);
    if (!entries) {
        platform::AfxMessageBox(res::Text(error), platform::MB_OK, this);
        return std::nullopt;
    }
    m_format = format;
    return entries;
}

bool CCollectionDlg::IsUntitled() const
{
    return m_untitled;
}

void CCollectionDlg::SetCollectionPath(const QString& path)
{
    m_strPath = path;
    m_untitled = false;
    SetDlgItemText(IDC_TITLE, text::SplitPath(path).fname);
}

// False when the user keeps the unsaved changes; a Yes clears the change mark.
bool CCollectionDlg::AskDiscardChanges()
{
    if (!m_bModified)
        return true;
    if (platform::AfxMessageBox(res::LoadStr(106), platform::MB_YESNO, this) != platform::IDYES)
        return false;
    m_bModified = FALSE;
    return true;
}

// The chosen path, ".lst" added to a name without extension; empty when cancelled.
QString CCollectionDlg::AskSavePath()
{
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::Kind::Save;
    request.filter = res::Text(res::text::kCollectionFilter);
    request.defaultExt = res::Text(res::text::kCollectionExt);
    request.initialName = res::Text(res::text::kNewCollectionName);
    const QStringList paths = platform::AfxFileDialog(this, request);
    if (paths.isEmpty() || paths.first().isEmpty())
        return {};
    QString path = paths.first();
    if (text::SplitPath(path).ext.isEmpty())
        path += QLatin1Char('.') + request.defaultExt;
    return path;
}

// Replaces the file whole: a failed save leaves the old file as it was.
void CCollectionDlg::SaveRows()
{
    collection::CollectionFormat format = m_format;
    const QStringList entries = RowEntries();
    qsizetype unheld = -1;
    switch (collection::WriteCollectionFile(NativeCollectionPath(m_strPath), entries, &format, &unheld)) {
    case collection::WriteResult::Written:
        m_format = format;
        m_bModified = FALSE;
        return;
    case collection::WriteResult::Unencodable:
        platform::AfxMessageBox(res::Text(res::text::kUnencodableEntry).arg(entries.value(unheld)), platform::MB_OK,
                                this);
        return;
    case collection::WriteResult::Failed:
        break;
    }
    platform::AfxMessageBox(res::Text(res::text::kWriteError), platform::MB_OK, this);
}

void CCollectionDlg::OnNew()
{
    if (!AskDiscardChanges())
        return;
    m_playList->clear();
    m_strPath.clear();
    m_untitled = true;
    SetDlgItemText(IDC_TITLE, res::Text(res::text::kNoTitle));
    m_format = {};
}

void CCollectionDlg::OnSelectCollection()
{
    if (!AskDiscardChanges())
        return;
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::Kind::Open;
    request.filter = res::Text(res::text::kCollectionFilter);
    const QStringList paths = platform::AfxFileDialog(this, request);
    if (paths.isEmpty() || paths.first().isEmpty())
        return;

    SetCollectionPath(paths.first());
    const std::optional<QStringList> entries = ReadCollection(m_strPath, res::text::kCollectionReadError);
    if (!entries)
        return;
    m_playList->clear();
    FillRows(*entries);
}

void CCollectionDlg::OnSave()
{
    if (IsUntitled()) {
        const QString path = AskSavePath();
        if (path.isEmpty())
            return;
        SetCollectionPath(path);
    }
    SaveRows();
}

void CCollectionDlg::OnSaveAs()
{
    const QString path = AskSavePath();
    if (path.isEmpty())
        return;
    SetCollectionPath(path);
    SaveRows();
}
