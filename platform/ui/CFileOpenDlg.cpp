#include "platform/ui/CFileOpenDlg.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/Services.h"
#include "platform/drives/DriveMap.h"
#include "platform/text/FileText.h"

namespace ui {
namespace {

constexpr int kNameRole = Qt::UserRole;        // the name's bytes on disk
constexpr int kFolderRole = Qt::UserRole + 1;  // true for a folder

QString QFileDialogText(const char* text)
{
    return QCoreApplication::translate("QFileDialog", text);
}

QByteArray Join(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

QByteArray WorkingFolder()
{
    char folder[PATH_MAX];
    return ::getcwd(folder, sizeof folder) ? QByteArray(folder) : QByteArray("/");
}

struct Listed {
    QByteArray name;
    QString text;
    bool folder;
};

}  // namespace

CFileOpenDlg::CFileOpenDlg(QWidget* parent, const QStringList& filters, bool multiSelect) : QDialog(parent)
{
    setWindowTitle(QFileDialogText("Open"));
    m_path = new QLineEdit(this);
    m_list = new QListWidget(this);
    m_list->setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection
                                         : QAbstractItemView::SingleSelection);
    m_types = new QComboBox(this);
    for (const QString& filter : filters) {
        // "description (pattern pattern)": the description is shown, the patterns matched.
        const qsizetype open = filter.lastIndexOf(QLatin1String(" ("));
        m_types->addItem(open < 0 ? filter : filter.left(open));
        QList<QRegularExpression> patterns;
        const QString inside = open < 0 ? QStringLiteral("*") : filter.mid(open + 2).chopped(1);
        for (const QString& pattern : inside.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            patterns.append(QRegularExpression::fromWildcard(pattern, Qt::CaseSensitive));
        m_patterns.append(patterns);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);

    auto* fields = new QFormLayout;
    fields->addRow(QFileDialogText("Look in:"), m_path);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_list, 1);
    auto* types = new QFormLayout;
    types->addRow(QFileDialogText("Files of type:"), m_types);
    layout->addLayout(types);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &CFileOpenDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFileOpenDlg::reject);
    connect(m_list, &QListWidget::itemActivated, this, &CFileOpenDlg::Open);
    connect(m_path, &QLineEdit::returnPressed, this, [this] { GoTo(m_path->text()); });
    connect(m_types, &QComboBox::currentIndexChanged, this, &CFileOpenDlg::Refill);
    resize(560, 400);
    SetFolder(WorkingFolder());
}

QString CFileOpenDlg::DisplayPath(const QByteArray& native)
{
    QStringList parts;
    for (const QByteArray& part : native.split('/'))
        parts.append(text::DecodeDiskName(part));
    return parts.join(QLatin1Char('/'));
}

void CFileOpenDlg::SetFolder(const QByteArray& folder)
{
    m_folder = folder.isEmpty() ? QByteArray("/") : folder;
    m_path->setText(DisplayPath(m_folder));
    Refill();
}

bool CFileOpenDlg::Matches(const QString& name) const
{
    const int type = m_types->currentIndex();
    if (type < 0 || type >= m_patterns.size())
        return true;
    const QList<QRegularExpression>& patterns = m_patterns.at(type);
    return std::any_of(patterns.begin(), patterns.end(),
                       [&name](const QRegularExpression& pattern) { return pattern.match(name).hasMatch(); });
}

void CFileOpenDlg::Refill()
{
    std::vector<Listed> listed;
    if (DIR* dir = ::opendir(m_folder.constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name.startsWith('.') && name != "..")
                continue;
            if (name == ".." && m_folder == "/")
                continue;
            struct stat info {};
            if (::stat(Join(m_folder, name).constData(), &info) != 0)
                continue;
            const bool folder = S_ISDIR(info.st_mode);
            const QString text = text::DecodeDiskName(name);
            if (folder || Matches(text))
                listed.push_back({name, text, folder});
        }
        ::closedir(dir);
    }
    std::sort(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) {
        if (a.folder != b.folder)
            return a.folder;
        if ((a.name == "..") != (b.name == ".."))
            return a.name == "..";
        return a.text < b.text;
    });

    m_list->clear();
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
    for (const Listed& entry : listed) {
        auto* item = new QListWidgetItem(entry.folder ? folderIcon : fileIcon, entry.text, m_list);
        item->setData(kNameRole, entry.name);
        item->setData(kFolderRole, entry.folder);
    }
}

void CFileOpenDlg::Open(QListWidgetItem* item)
{
    if (!item)
        return;
    const QByteArray name = item->data(kNameRole).toByteArray();
    if (!item->data(kFolderRole).toBool()) {
        accept();
        return;
    }
    if (name != "..") {
        SetFolder(Join(m_folder, name));
        return;
    }
    const qsizetype slash = m_folder.lastIndexOf('/');
    SetFolder(slash <= 0 ? QByteArray("/") : m_folder.left(slash));
}

void CFileOpenDlg::GoTo(const QString& typed)
{
    const drives::DriveMap* map = platform::GetServices().drives;
    QByteArray folder = map ? map->ResolveNativePath(typed) : text::EncodeFileName(typed);
    while (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    struct stat info {};
    if (!folder.isEmpty() && ::stat(folder.constData(), &info) == 0 && S_ISDIR(info.st_mode))
        SetFolder(folder);
    else
        m_path->setText(DisplayPath(m_folder));
}

void CFileOpenDlg::accept()
{
    const QList<QListWidgetItem*> chosen = m_list->selectedItems();
    if (chosen.size() == 1 && chosen.first()->data(kFolderRole).toBool()) {
        Open(chosen.first());
        return;
    }
    QStringList files;
    const QString folder = DisplayPath(m_folder);
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem* item = m_list->item(row);
        if (item->isSelected() && !item->data(kFolderRole).toBool())
            files.append(folder.endsWith(u'/') ? folder + item->text() : folder + u'/' + item->text());
    }
    if (files.isEmpty())
        return;
    m_selected = files;
    QDialog::accept();
}

}  // namespace ui
