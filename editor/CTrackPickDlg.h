#pragma once
// The CD track picker (template 165): the tracks of the one CD drive, as
// drive-less "CDﾄﾗｯｸ nn" entries. The caller sets m_driveRoot before the run
// and reads m_pickedEntries after OK.

#include <QStringList>

#include "platform/ui/CDialog.h"

class QListWidget;

class CTrackPickDlg : public ui::CDialog {
    Q_OBJECT

public:
    enum : int {
        IDC_PICK_LIST = 1055,
        IDC_PICK_HELP = 9,
        IDC_SELECT_ALL = 10,
    };

    explicit CTrackPickDlg(QWidget* parent = nullptr);

    QListWidget* m_pickList = nullptr;
    QStringList m_pickedEntries;  // out, after OK
    QString m_driveRoot;          // in: "X:\"; "X:" once initialised

protected:
    BOOL OnInitDialog() override;
    void OnCommand(int id, int code) override;
    void OnOK() override;

    void OnSelectAll();
};
