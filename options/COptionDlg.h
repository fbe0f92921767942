#pragma once
// The options dialog (template 137): shows and collects the five options;
// the caller reads them in before the run and out after OK.

#include <functional>

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
    // The "詳細" button opens the settings page over this dialog; none
    // hides the button.
    std::function<void(QWidget* parent)> m_onMoreSettings;

    enum : int { IDC_MORE = 1057 };

protected:
    BOOL OnInitDialog() override;
    void OnCommand(int id, int code) override;
    void OnOK() override;
    void OnHelp() override;
};
