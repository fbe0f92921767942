#include "options/COptionDlg.h"

#include "platform/ui/Help.h"

using ui::ControlKind;

namespace {

constexpr ui::ControlSpec kControls[] = {
    {1, ControlKind::DefPushButton, "OK", 130, 7, 50, 14},
    {2, ControlKind::PushButton, "ｷｬﾝｾﾙ", 130, 24, 50, 14},
    {57670, ControlKind::PushButton, "ﾍﾙﾌﾟ(&H)", 130, 45, 50, 14},
    {-1, ControlKind::GroupBox, "時間表示の初期設定", 3, 3, 120, 66},
    {1030, ControlKind::RadioButton, "0tk 00:00:00(経過時間)", 9, 15, 108, 10, nullptr, ui::kStartsGroup, "経過時間を表示"},
    {1031, ControlKind::RadioButton, "0tk 00:00:00(残り時間)", 9, 30, 108, 10, nullptr, 0, "残り時間を表示"},
    {1032, ControlKind::RadioButton, "0/0tk 00:00:00/00:00:00", 9, 45, 108, 10, nullptr, 0, "詳細を表示"},
    {-1, ControlKind::Label, "(詳細表示)", 78, 56, 42, 8},
    {-1, ControlKind::GroupBox, "AVIﾌｧｲﾙの設定", 3, 73, 99, 27},
    {1023, ControlKind::CheckBox, "独立ｽｸﾘｰﾝで表示(&A)", 10, 83, 86, 12},
    {-1, ControlKind::GroupBox, "再生中のｱﾆﾒｰｼｮﾝ", 108, 73, 72, 27},
    {1051, ControlKind::CheckBox, "する(&D)", 117, 85, 42, 10, nullptr, 0, "再生中のｱﾆﾒｰｼｮﾝ"},
    {-1, ControlKind::GroupBox, "ﾌｧｲﾙ選択ﾌｨﾙﾀの順序", 3, 103, 177, 42},
    {1052, ControlKind::RadioButton, "*.mid | *.wav | *.avi", 9, 115, 81, 10, nullptr, ui::kStartsGroup, "MIDI、WAVE、AVIの順"},
    {1053, ControlKind::RadioButton, "*.wav | *.mid | *.avi", 9, 130, 81, 10, nullptr, 0, "WAVE、MIDI、AVIの順"},
    {1054, ControlKind::RadioButton, "*.avi | *.mid | *.wav", 93, 115, 81, 10, nullptr, 0, "AVI、MIDI、WAVEの順"},
    {1056, ControlKind::CheckBox, "ｴﾗｰ時にｽｷｯﾌﾟ再生する(&S)", 6, 150, 114, 10},
    {COptionDlg::IDC_MORE, ControlKind::PushButton, "詳細(&E)...", 130, 147, 50, 14},
};

const ui::DialogSpec kTemplate137{137, "ｵﾌﾟｼｮﾝ", 187, 164, kControls};

// The radio button of a value 0..2 in a group of three; 0 (none) otherwise.
int RadioFor(int first, int value)
{
    return value >= 0 && value <= 2 ? first + value : 0;
}

}  // namespace

COptionDlg::COptionDlg(QWidget* parent) : CDialog(kTemplate137, parent) {}

BOOL COptionDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The framework's check-box exchange: any non-zero value ticks the box.
    CheckDlgButton(1023, m_separateAvi != 0);
    CheckDlgButton(1051, m_animation != 0);
    CheckDlgButton(1056, m_skipOnError != 0);
    CheckRadioButton(1030, 1032, RadioFor(1030, m_timeDisp));
    CheckRadioButton(1052, 1054, RadioFor(1052, m_filterOrder));
    ShowControl(IDC_MORE, static_cast<bool>(m_onMoreSettings));
    return TRUE;
}

void COptionDlg::OnCommand(int id, int code)
{
    if (id == IDC_MORE && code == ui::kBnClicked && m_onMoreSettings)
        m_onMoreSettings(this);
    else
        CDialog::OnCommand(id, code);
}

void COptionDlg::OnOK()
{
    if (const int id = GetCheckedRadioButton(1030, 1032))
        m_timeDisp = id - 1030;
    if (const int id = GetCheckedRadioButton(1052, 1054))
        m_filterOrder = id - 1052;
    m_separateAvi = IsDlgButtonChecked(1023) ? 1 : 0;
    m_animation = IsDlgButtonChecked(1051) ? 1 : 0;
    m_skipOnError = IsDlgButtonChecked(1056) ? 1 : 0;
    CDialog::OnOK();
}

void COptionDlg::OnHelp()
{
    ui::ShowHelp(this, ui::HelpPage::Options);
}
