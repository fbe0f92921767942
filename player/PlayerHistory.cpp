// The history of collections, switching to one of them, the collection
// editor's result, and the version box.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "editor/CCollectionDlg.h"
#include "collection/CollectionFile.h"
#include "platform/Services.h"
#include "platform/drives/DriveMap.h"
#include "platform/mci/Mci.h"
#include "platform/text/FileText.h"
#include "platform/text/MbString.h"
#include "platform/text/PathSplit.h"
#include "platform/ui/MessageBox.h"
#include "player/CPlayerDlg.h"
#include "res/Strings.h"

namespace {

// A menu item's text as a window caption: without the "..." of an item that
// opens a window, the access key in brackets ("(&A)") and any other '&'.
QString CaptionFromMenuText(QString text)
{
    text = text.trimmed();
    if (text.endsWith(QLatin1String("...")))
        text.chop(3);
    static const QRegularExpression kAccessKey(QStringLiteral("\\s*\\(&?[^()&]\\)$"));
    static const QRegularExpression kAmpersand(QStringLiteral("&(.)"));
    return text.remove(kAccessKey).replace(kAmpersand, QStringLiteral("\\1")).trimmed();
}

}  // namespace

void CPlayerDlg::OnSysCommand(int id)
{
    if (id >= IDM_HISTORY_FIRST && id <= IDM_HISTORY_LAST)
        OpenHistoryItem(id);
    else if ((id & 0xFFF0) == IDM_ABOUTBOX)
        ShowAboutBox();
}

void CPlayerDlg::ShowAboutBox()
{
    QDialog box(this);
    box.setWindowTitle(CaptionFromMenuText(res::LoadStr(101)));
    box.setFont(font());
    auto* icon = new QLabel(&box);
    icon->setPixmap(m_hIcon.pixmap(48, 48));
    auto* line = new QLabel(QStringLiteral("Lirabox Version 1.6"), &box);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(line, 1);
    auto* layout = new QVBoxLayout(&box);
    layout->addLayout(row);
    layout->addWidget(buttons);
    box.exec();
}

void CPlayerDlg::RebuildHistoryMenu()
{
    m_systemMenu->clear();
    const QString about = res::LoadStr(101);
    if (!about.isEmpty()) {
        m_systemMenu->addSeparator();
        QAction* action = m_systemMenu->addAction(about, this, [this] { OnSysCommand(IDM_ABOUTBOX); });
        action->setData(int(IDM_ABOUTBOX));
    }
    m_systemMenu->addSeparator();
    const int count = qMin<int>(m_state.m_historyList.size(), kHistoryMax);
    for (int i = 0; i < count; ++i) {
        const int command = IDM_HISTORY_FIRST + i;
        // The path is text, not an access key: double its ampersands.
        QString path = text::DisplayFileName(m_state.m_historyList.at(i));
        path.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = m_systemMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
        action->setData(command);
        connect(action, &QAction::triggered, this, [this, command] { OnSysCommand(command); });
    }
}

void CPlayerDlg::OpenHistoryItem(int id)
{
    if (id < IDM_HISTORY_FIRST || id > IDM_HISTORY_LAST || id - IDM_HISTORY_FIRST >= m_state.m_historyList.size())
        return;
    const QString path = m_state.m_historyList.at(id - IDM_HISTORY_FIRST);
    if (text::SamePath(path, m_state.m_collectionPath))
        return;
    const long mode = QueryMode();
    const bool busy = mode == mci::kModePlaying || mode == mci::kModePaused
                      || (mode == mci::kModeStopped && m_isCdTrack);
    if (busy && platform::AfxMessageBox(res::LoadStr(118), platform::MB_YESNO, this) != platform::IDYES)
        return;
    switch (OpenCollection(path)) {
    case CollectionOpen::Opened:
        break;
    case CollectionOpen::Missing:
        if (platform::AfxMessageBox(res::LoadStr(117), platform::MB_YESNO, this) == platform::IDYES) {
            m_state.m_historyList.removeAt(id - IDM_HISTORY_FIRST);
            RebuildHistoryMenu();
            m_store.SaveHistory();
        }
        break;
    case CollectionOpen::NoAccess:
        platform::AfxMessageBox(res::Text(res::text::kCollectionNoAccess), platform::MB_OK, this);
        break;
    case CollectionOpen::Unreadable:
        // The item's path becomes the current one even so.
        m_state.m_collectionPath = path;
        platform::AfxMessageBox(res::Text(res::text::kCollectionReadError), platform::MB_OK, this);
        break;
    }
}

CPlayerDlg::CollectionOpen CPlayerDlg::OpenCollection(const QString& path)
{
    OnStop();
    const platform::FileAccess* files = platform::GetServices().files;
    if (!files || !files->Access(path, platform::kAccessExists))
        return CollectionOpen::Missing;
    if (!files->Access(path, platform::kAccessRead))
        return CollectionOpen::NoAccess;
    std::optional<QStringList> entries = collection::ReadCollectionFile(ResolvedPath(path));
    if (!entries)
        return CollectionOpen::Unreadable;
    m_state.m_collectionPath = path;
    MakeCollectionCurrent(*entries);
    return CollectionOpen::Opened;
}

void CPlayerDlg::OnEditCollection()
{
    CCollectionDlg editor(this, m_state.m_filter);
    if (!m_state.m_collectionPath.isEmpty())
        editor.m_strPath = m_state.m_collectionPath;
    else
        editor.m_entries = m_state.m_entries;
    const long mode = QueryMode();
    editor.m_bViewOnly = mode == mci::kModePlaying || mode == mci::kModePaused ? TRUE : FALSE;
    if (editor.DoModal() == ui::IDOK && !editor.m_bViewOnly && !editor.CollectionUnread()) {
        m_state.m_collectionPath = editor.m_strPath;
        MakeCollectionCurrent(editor.m_entries);
    }
}

void CPlayerDlg::MakeCollectionCurrent(const QStringList& entries)
{
    m_state.m_entries = entries;
    if (drives::DriveMap* map = platform::GetServices().drives)
        map->SetCollectionPath(m_state.m_collectionPath);
    m_entryCount = static_cast<int>(entries.size());
    m_state.AddToHistory(m_state.m_collectionPath);
    RebuildHistoryMenu();
    m_store.SaveHistory();
    FillTitleList();
    const QString name = m_state.m_collectionPath.isEmpty() ? res::Text(res::text::kNoCollection)
                                                          : text::DisplayFileName(text::SplitPath(m_state.m_collectionPath).fname);
    setWindowTitle(res::LoadStr(102) + QLatin1Char('-') + name);
}
