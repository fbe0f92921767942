#pragma once
// The collection editor (template 135): a collection as a two-column list
// (name, location), built from media files and CD tracks, opened from and
// saved to collection files. The caller sets m_strPath or m_entries and
// m_bViewOnly before the run; after OK m_strPath and m_entries hold the result.
// fileFilter is the option that orders the file types of Add Files: 0 MIDI,
// 1 wave, 2 video first, anything else all files.

#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>

#include "collection/CollectionFile.h"
#include "platform/ui/CDialog.h"

class QTreeWidget;

class CCollectionDlg : public ui::CDialog {
    Q_OBJECT

public:
    enum : int {
        IDC_SAVE = 3,
        IDC_SAVE_AS = 5,
        IDC_ADD_FILES = 6,
        IDC_DELETE = 7,
        IDC_NEW = 8,
        IDC_MOVE_UP = 9,
        IDC_MOVE_DOWN = 10,
        IDC_ADD_CD = 11,
        IDC_TITLE = 1017,
        IDC_SELECT_COLLECTION = 1018,
        IDC_PLAY_LIST = 1019,
        IDC_NO_DUPLICATES = 1050,
    };
    // Item data of a row's column 0: its index in m_imageList.
    static constexpr int kImageRole = Qt::UserRole;

    explicit CCollectionDlg(QWidget* parent = nullptr, int fileFilter = 0);
    ~CCollectionDlg() override;

    QTreeWidget* m_playList = nullptr;
    BOOL m_bNoDuplicates = FALSE;
    BOOL m_bViewOnly = FALSE;
    QString m_strPath;
    QStringList m_entries;
    BOOL m_bModified = FALSE;
    int m_nAviImage = 0;
    int m_nMidImage = 0;
    int m_nWavImage = 0;
    int m_nCdImage = 0;
    int m_nFileImage = 0;
    int m_nMissingImage = 0;
    QList<QIcon> m_imageList;

    // The rows as entries, location followed by name, in row order.
    QStringList RowEntries() const;
    // True when the editor ended at once, with OK and no entries, because it
    // could not read m_strPath: the caller's collection is then no result.
    bool CollectionUnread() const { return m_unread; }
    bool IsDuplicate(const QString& entry) const;
    void FillRows(const QStringList& entries);

protected:
    BOOL OnInitDialog() override;
    void OnCommand(int id, int code) override;
    void OnOK() override;
    void OnHelp() override;

    // Entries (CollectionDlgEntries.cpp).
    void OnAddFiles();
    void OnAddCdTracks();
    void OnDelete();
    void OnMoveUp();
    void OnMoveDown();
    void OnNoDuplicates();

    // Collection files (CollectionDlgFiles.cpp).
    void OnNew();
    void OnSelectCollection();
    void OnSave();
    void OnSaveAs();

private:
    void SetupColumns();
    void SetupImageList();
    int AddImage(const QIcon& icon);
    int KindImage(const QString& entry, int& kindImage, const char* fallback);
    void AppendRow(const QString& name, const QString& location, int image);
    void MoveSelectedRow(int step);

    bool IsUntitled() const;
    void SetCollectionPath(const QString& path);
    QString AskSavePath();
    bool AskDiscardChanges();
    void SaveRows();

    // Reads the collection at path, a path as the player keeps it (drive
    // letters, any case, CP932 names); reports a file it cannot read.
    std::optional<QStringList> ReadCollection(const QString& path, const char* error);

    // How the rows go back to disk: as the file they came from was written.
    collection::CollectionFormat m_format;
    bool m_unread = false;
    bool m_untitled = true;  // the rows have no file of their own yet
    const int m_fileFilter;
};
