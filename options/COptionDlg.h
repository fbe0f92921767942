#pragma once
// The options dialog (template 137): shows and collects the five options;
// the caller reads them in before the run and out after OK.

#include "platform/ui/CDialog.h"

class COptionDlg : public ui::CDialog {
    Q_OBJECT

public:
    explicit COptionDlg(QWidget* parent = nullptr);

    int m_separateAvi = 0;
    int m_animation = 0;
    int m_skipOnError = 0;
    int m_timeDisp = 0;     // set by the caller
    int m_filterOrder = 0;  // set by the caller

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnHelp() override;
};
