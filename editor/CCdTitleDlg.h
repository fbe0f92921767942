#pragma once
// The CD title selection dialog (template 149): tracks of several CD drives
// gathered into one sorted list of "X:\ CDﾄﾗｯｸ nn" entries. The caller fills
// m_cdDrives before the run and reads m_selectedEntries after OK.

#include <QStringList>

#include "platform/ui/CDialog.h"

class QComboBox;
class QListWidget;

class CCdTitleDlg : public ui::CDialog {
    Q_OBJECT

public:
    enum : int {
        IDC_DRIVE = 1036,
        IDC_TRACKS = 1037,
        IDC_SELECTED = 1038,
        IDC_ADD = 6,
        IDC_ADD_ALL = 3,
        IDC_REMOVE = 7,
        IDC_REMOVE_ALL = 8,
        IDC_ALL_CDS = 4,
        IDC_NO_DUPLICATES = 1050,
    };
    // More entries than this in the selected list refuse further additions.
    static constexpr int kSelectedLimit = 2574;

    explicit CCdTitleDlg(QWidget* parent = nullptr);

    QListWidget* m_selectedList = nullptr;
    QComboBox* m_driveCombo = nullptr;
    QListWidget* m_trackList = nullptr;
    BOOL m_bNoDuplicates = FALSE;
    QStringList m_selectedEntries;  // out, after OK
    QStringList m_cdDrives;         // in: roots "X:\"

    BOOL IsInSelectedList(const QString& entry) const;

protected:
    BOOL OnInitDialog() override;
    void OnCommand(int id, int code) override;
    void OnOK() override;
    void OnHelp() override;

    void OnSelChangeDrive();
    void OnAdd();
    void OnAddAll();
    void OnRemove();
    void OnRemoveAll();
    void OnAllCdsAllTracks();
    void OnNoDuplicates();

private:
    void AddSelected(const QString& entry);
};
