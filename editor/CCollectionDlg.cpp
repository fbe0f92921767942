#include "editor/CCollectionDlg.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMimeDatabase>
#include <QTreeWidget>

#include "collection/CollectionEntry.h"
#include "collection/CollectionFile.h"
#include "platform/Services.h"
#include "platform/drives/DriveMap.h"
#include "platform/text/MbString.h"
#include "platform/text/PathSplit.h"
#include "platform/ui/Help.h"
#include "platform/ui/MessageBox.h"
#include "res/Strings.h"

using ui::ControlKind;

namespace {

constexpr ui::ControlSpec kControls[] = {
    {1, ControlKind::DefPushButton, "OK", 189, 3, 50, 14},
    {2, ControlKind::PushButton, "ｷｬﾝｾﾙ", 189, 19, 50, 14},
    {57670, ControlKind::PushButton, "ﾍﾙﾌﾟ(&H)", 189, 41, 50, 14},
    {1015, ControlKind::Label, "ｺﾚｸｼｮﾝ:", 3, 7, 33, 9},
    {1018, ControlKind::PushButton, "ｺﾚｸｼｮﾝの選択(&B)...", 106, 3, 78, 14},
    {3, ControlKind::PushButton, "ｺﾚｸｼｮﾝの保存(&S)", 6, 37, 86, 14},
    {5, ControlKind::PushButton, "ｺﾚｸｼｮﾝの別名保存(&A)...", 95, 37, 86, 14},
    {1016, ControlKind::Label, "ﾌﾟﾚｲﾘｽﾄ(&L):", 3, 59, 45, 10},
    {1019, ControlKind::ListView, "", 4, 71, 179, 112, nullptr, ui::kMultiSelect},
    {1050, ControlKind::CheckBox, "曲の２重登録を許さない(&R)", 72, 58, 108, 10},
    {11, ControlKind::PushButton, "<< CD(&C)...", 189, 78, 50, 14, nullptr, 0, "CDのﾄﾗｯｸを追加..."},
    {6, ControlKind::PushButton, "<< 追加(&T)...", 189, 95, 50, 14, nullptr, 0, "ﾌｧｲﾙを追加..."},
    {7, ControlKind::PushButton, "削除(&K)", 189, 116, 50, 14},
    {8, ControlKind::PushButton, "新規作成(&N)", 189, 134, 50, 14},
    {9, ControlKind::PushButton, "↑(&U)", 189, 154, 50, 14, nullptr, 0, "上へ移動"},
    {10, ControlKind::PushButton, "↓(&D)", 189, 169, 50, 14, nullptr, 0, "下へ移動"},
    {1017, ControlKind::Label, "タイトルがありません", 3, 21, 183, 12, nullptr, ui::kSunken},
};

const ui::DialogSpec kTemplate135{135, "選曲", 243, 187, kControls};

// Disabled while the editor only shows the collection.
constexpr int kEditControls[] = {1018, 3, 5, 11, 6, 7, 8, 9, 10, 1050};

constexpr QSize kImageSize(16, 16);

bool FileExists(const QString& entry)
{
    if (const platform::FileAccess* files = platform::GetServices().files)
        return files->Access(entry, platform::kAccessExists);
    return QFileInfo::exists(entry);
}

QString LocalPath(const QString& entry)
{
    if (const drives::DriveMap* map = platform::GetServices().drives) {
        const QString path = map->ResolvePath(entry);
        if (!path.isEmpty())
            return path;
    }
    return entry;
}

// The desktop's small icon for a media file, as the shell gives it: none for
// a missing file; the icon theme's for the file's type, else ours for the kind.
QIcon FileKindIcon(const QString& entry, const char* fallback)
{
    if (!FileExists(entry))
        return {};
    const QMimeType type = QMimeDatabase().mimeTypeForFile(LocalPath(entry));
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull())
        icon = QIcon(ui::LoadImage(fallback, kImageSize));
    return icon;
}

}  // namespace

CCollectionDlg::CCollectionDlg(QWidget* parent, int fileFilter) : CDialog(kTemplate135, parent), m_fileFilter(fileFilter)
{
}

CCollectionDlg::~CCollectionDlg() = default;

BOOL CCollectionDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_playList = Item<QTreeWidget>(IDC_PLAY_LIST);
    CheckDlgButton(IDC_NO_DUPLICATES, m_bNoDuplicates != FALSE);
    SetupColumns();
    m_nAviImage = m_nMidImage = m_nWavImage = 0;
    m_nCdImage = m_nFileImage = m_nMissingImage = 0;
    SetupImageList();

    if (!m_strPath.isEmpty()) {
        SetCollectionPath(m_strPath);
        const std::optional<QStringList> entries = ReadCollection(m_strPath, res::text::kCollectionCannotOpen);
        if (!entries) {
            m_unread = true;
            CDialog::OnOK();
            return TRUE;
        }
        m_playList->clear();
        FillRows(*entries);
    } else if (!m_entries.isEmpty()) {
        m_playList->clear();
        FillRows(m_entries);
    }

    if (m_bViewOnly)
        for (const int id : kEditControls)
            EnableControl(id, false);
    return TRUE;
}

void CCollectionDlg::SetupColumns()
{
    const QStringList headers{res::Text(res::text::kColumnName), res::Text(res::text::kColumnLocation)};
    m_playList->setColumnCount(2);
    m_playList->setHeaderLabels(headers);
    m_playList->setIconSize(kImageSize);
    QHeaderView* header = m_playList->header();
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const QFontMetrics metrics(header->font());
    for (int column = 0; column < headers.size(); ++column)
        m_playList->setColumnWidth(column, metrics.horizontalAdvance(headers.at(column)) + 15);
}

void CCollectionDlg::SetupImageList()
{
    m_imageList.clear();
    m_nFileImage = AddImage(QIcon(ui::LoadImage(":/icons/138-file", kImageSize)));
    m_nMissingImage = AddImage(QIcon(ui::LoadImage(":/icons/141-unknown", kImageSize)));
    m_nCdImage = AddImage(QIcon(ui::LoadImage(":/icons/150-cdtrack", kImageSize)));
}

int CCollectionDlg::AddImage(const QIcon& icon)
{
    m_imageList.append(icon);
    return static_cast<int>(m_imageList.size() - 1);
}

// The image of a MIDI, wave or video file: the kind's icon, asked for until
// one file of the kind gave it; the question mark while there is none.
int CCollectionDlg::KindImage(const QString& entry, int& kindImage, const char* fallback)
{
    if (kindImage == 0) {
        const QIcon icon = FileKindIcon(entry, fallback);
        if (!icon.isNull())
            kindImage = AddImage(icon);
    }
    return kindImage != 0 ? kindImage : m_nMissingImage;
}

void CCollectionDlg::AppendRow(const QString& name, const QString& location, int image)
{
    auto* row = new QTreeWidgetItem(m_playList);
    row->setText(0, name);
    row->setText(1, location);
    row->setIcon(0, m_imageList.value(image));
    row->setData(0, kImageRole, image);
}

void CCollectionDlg::FillRows(const QStringList& entries)
{
    for (const QString& entry : entries) {
        if (collection::IsCdTrackEntry(entry)) {
            if (m_bNoDuplicates && IsDuplicate(entry))
                continue;
            AppendRow(entry, QString(), m_nCdImage);
            continue;
        }
        const QString tail = entry.right(4);
        int image;
        if (text::MbsICmp(tail, u".AVI") == 0)
            image = KindImage(entry, m_nAviImage, ":/icons/kind-video");
        else if (text::MbsICmp(tail, u".WAV") == 0)
            image = KindImage(entry, m_nWavImage, ":/icons/kind-wave");
        else if (text::MbsICmp(tail, u".MID") == 0)
            image = KindImage(entry, m_nMidImage, ":/icons/kind-midi");
        else
            image = FileExists(entry) ? m_nFileImage : m_nMissingImage;
        const collection::SplitForm split = collection::SplitEntry(entry);
        AppendRow(split.name, split.location, image);
    }
}

bool CCollectionDlg::IsDuplicate(const QString& entry) const
{
    for (int i = 0; i < m_playList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = m_playList->topLevelItem(i);
        if (text::MbsCmp(row->text(1) + row->text(0), entry) == 0)
            return true;
    }
    return false;
}

QStringList CCollectionDlg::RowEntries() const
{
    QStringList entries;
    entries.reserve(m_playList->topLevelItemCount());
    for (int i = 0; i < m_playList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = m_playList->topLevelItem(i);
        entries.append(row->text(1) + row->text(0));
    }
    return entries;
}

void CCollectionDlg::OnCommand(int id, int code)
{
    if (code != ui::kBnClicked) {
        CDialog::OnCommand(id, code);
        return;
    }
    switch (id) {
    case IDC_ADD_FILES:
        OnAddFiles();
        break;
    case IDC_SAVE:
        OnSave();
        break;
    case IDC_SAVE_AS:
        OnSaveAs();
        break;
    case IDC_SELECT_COLLECTION:
        OnSelectCollection();
        break;
    case IDC_DELETE:
        OnDelete();
        break;
    case IDC_NEW:
        OnNew();
        break;
    case IDC_MOVE_UP:
        OnMoveUp();
        break;
    case IDC_MOVE_DOWN:
        OnMoveDown();
        break;
    case IDC_ADD_CD:
        OnAddCdTracks();
        break;
    case IDC_NO_DUPLICATES:
        OnNoDuplicates();
        break;
    default:
        CDialog::OnCommand(id, code);
        break;
    }
}

void CCollectionDlg::OnOK()
{
    if (m_playList->topLevelItemCount() > 0 && IsUntitled())
        m_bModified = TRUE;
    if (m_bModified) {
        const int question = IsUntitled() ? 107 : 106;
        if (platform::AfxMessageBox(res::LoadStr(question), platform::MB_YESNO, this) != platform::IDYES)
            return;
        m_bModified = FALSE;
    }
    m_entries = RowEntries();
    m_bModified = FALSE;
    m_bNoDuplicates = IsDlgButtonChecked(IDC_NO_DUPLICATES) ? TRUE : FALSE;
    CDialog::OnOK();
}

void CCollectionDlg::OnHelp()
{
    ui::ShowHelp(this, ui::HelpPage::Collection);
}
