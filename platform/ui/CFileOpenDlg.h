#pragma once
// The open dialog of the file commands, over a listing of our own: Qt's file
// dialog leaves out every name whose bytes are no UTF-8, so a folder of
// Shift-JIS names unpacked from an old archive would look empty there. Here
// such names are listed, shown in CP932 and chosen like any other, and such
// folders entered.

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QRegularExpression>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace ui {

class CFileOpenDlg : public QDialog {
    Q_OBJECT

public:
    // filters as platform::ToQtFilters gives them ("MIDI (*.[mM][iI][dD])").
    CFileOpenDlg(QWidget* parent, const QStringList& filters, bool multiSelect);

    // Lists a folder, given as its bytes on disk.
    void SetFolder(const QByteArray& folder);
    QByteArray Folder() const { return m_folder; }
    QListWidget* List() const { return m_list; }

    // The files chosen by OK, named as the program names files: every
    // component decoded as text::DecodeDiskName decodes it.
    QStringList SelectedFiles() const { return m_selected; }

    // A path's bytes decoded component by component.
    static QString DisplayPath(const QByteArray& native);

    void accept() override;

private:
    void Refill();
    void Open(QListWidgetItem* item);
    void GoTo(const QString& typed);
    bool Matches(const QString& name) const;

    QByteArray m_folder;
    QList<QList<QRegularExpression>> m_patterns;  // by filter
    QStringList m_selected;
    QLineEdit* m_path = nullptr;
    QListWidget* m_list = nullptr;
    QComboBox* m_types = nullptr;
};

}  // namespace ui
