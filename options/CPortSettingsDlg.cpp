#include "options/CPortSettingsDlg.h"

#include <QComboBox>
#include <QListWidget>

#include "options/CDriveDlg.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/Help.h"
#include "platform/ui/MessageBox.h"
#include "res/Strings.h"

using ui::ControlKind;

namespace {

constexpr ui::ControlSpec kControls[] = {
    {-1, ControlKind::GroupBox, "ﾄﾞﾗｲﾌﾞ文字の場所", 3, 3, 254, 88},
    {CPortSettingsDlg::IDC_DRIVES, ControlKind::ListBox, "", 9, 14, 186, 72},
    {CPortSettingsDlg::IDC_ADD, ControlKind::PushButton, "追加(&A)...", 201, 14, 50, 14},
    {CPortSettingsDlg::IDC_CHANGE, ControlKind::PushButton, "変更(&C)...", 201, 31, 50, 14},
    {CPortSettingsDlg::IDC_REMOVE, ControlKind::PushButton, "削除(&D)", 201, 48, 50, 14},
    {-1, ControlKind::GroupBox, "MIDIの音色(SoundFont)", 3, 94, 254, 40},
    {CPortSettingsDlg::IDC_SOUNDFONT, ControlKind::Label, "", 9, 106, 186, 12, nullptr, ui::kSunken},
    {CPortSettingsDlg::IDC_BROWSE, ControlKind::PushButton, "参照(&B)...", 201, 104, 50, 14},
    {CPortSettingsDlg::IDC_SYSTEM_FONT, ControlKind::PushButton, "既定(&R)", 201, 119, 50, 13},
    {-1, ControlKind::GroupBox, "音声の出力先(&O)", 3, 137, 254, 30},
    {CPortSettingsDlg::IDC_OUTPUT, ControlKind::ComboDropList, "", 9, 149, 242, 80},
    {ui::IDOK, ControlKind::DefPushButton, "OK", 99, 173, 50, 14},
    {ui::IDCANCEL, ControlKind::PushButton, "ｷｬﾝｾﾙ", 153, 173, 50, 14},
    {ui::ID_HELP, ControlKind::PushButton, "ﾍﾙﾌﾟ(&H)", 207, 173, 50, 14},
};

const ui::DialogSpec kTemplate{302, "詳細設定", 260, 192, kControls};

QString DriveName(const QString& letter)
{
    return letter.left(1).toUpper() + QLatin1Char(':');
}

// The group as written by hand may name a letter "c", "C" or "C:".
QString LetterKey(const QString& key)
{
    return key.left(1).toUpper();
}

}  // namespace

CPortSettingsDlg::CPortSettingsDlg(QWidget* parent, Sources sources)
    : CDialog(kTemplate, parent), m_sources(std::move(sources))
{
}

BOOL CPortSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_editedDrives.clear();
    for (auto it = m_drives.cbegin(); it != m_drives.cend(); ++it)
        if (!it.value().isEmpty())
            m_editedDrives.insert(LetterKey(it.key()), it.value());
    FillDrives();
    m_editedSoundFont = m_soundFont;
    ShowSoundFont();

    auto* outputs = Item<QComboBox>(IDC_OUTPUT);
    outputs->addItem(res::Text(res::text::kDefaultOutput), QString());
    for (const Output& output : m_sources.outputs)
        outputs->addItem(output.name, output.id);
    int current = outputs->findData(m_audioOutput);
    if (current < 0) {
        // Kept as it is unless the user picks another: it may be unplugged only now.
        outputs->addItem(res::Text(res::text::kOutputMissing).arg(m_audioOutput), m_audioOutput);
        current = outputs->count() - 1;
    }
    outputs->setCurrentIndex(current);
    return TRUE;
}

void CPortSettingsDlg::OnCommand(int id, int code)
{
    switch (id) {
    case IDC_ADD:
        EditDrive(true);
        return;
    case IDC_CHANGE:
        EditDrive(false);
        return;
    case IDC_REMOVE:
        RemoveDrive();
        return;
    case IDC_BROWSE:
        BrowseSoundFont();
        return;
    case IDC_SYSTEM_FONT:
        m_editedSoundFont.clear();
        ShowSoundFont();
        return;
    default:
        CDialog::OnCommand(id, code);
    }
}

void CPortSettingsDlg::FillDrives(const QString& select)
{
    auto* list = Item<QListWidget>(IDC_DRIVES);
    list->clear();
    for (auto it = m_editedDrives.cbegin(); it != m_editedDrives.cend(); ++it) {
        auto* item = new QListWidgetItem(DriveName(it.key()) + QStringLiteral("  ") + it.value(), list);
        item->setData(Qt::UserRole, it.key());
        if (it.key() == select)
            list->setCurrentItem(item);
    }
    if (!list->currentItem() && list->count() > 0)
        list->setCurrentRow(0);
    EnableControl(IDC_CHANGE, list->count() > 0);
    EnableControl(IDC_REMOVE, list->count() > 0);
}

QString CPortSettingsDlg::SelectedLetter() const
{
    const QListWidgetItem* item = Item<QListWidget>(IDC_DRIVES)->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void CPortSettingsDlg::EditDrive(bool add)
{
    const QString letter = add ? QString() : SelectedLetter();
    if (!add && letter.isEmpty())
        return;
    QStringList taken;
    for (const QString& key : m_editedDrives.keys())
        taken.append(DriveName(key));
    CDriveDlg dlg(this,
                  CDriveDlg::Choice{letter.isEmpty() ? QString() : DriveName(letter), m_editedDrives.value(letter),
                                    taken},
                  m_sources.cdDevices);
    if (dlg.DoModal() != ui::IDOK)
        return;
    const QString key = LetterKey(dlg.m_drive);
    m_editedDrives.insert(key, dlg.m_target);
    FillDrives(key);
}

void CPortSettingsDlg::RemoveDrive()
{
    const QString letter = SelectedLetter();
    if (letter.isEmpty())
        return;
    m_editedDrives.remove(letter);
    FillDrives();
}

void CPortSettingsDlg::BrowseSoundFont()
{
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::Kind::Open;
    request.filter = res::Text(res::text::kSoundFontFilter);
    request.initialName = m_editedSoundFont;
    const QStringList chosen = platform::AfxFileDialog(this, request);
    if (chosen.isEmpty())
        return;
    QString reason;
    if (m_sources.checkSoundFont && !m_sources.checkSoundFont(chosen.first(), &reason)) {
        platform::AfxMessageBox(res::Text(res::text::kSoundFontRefused).arg(chosen.first(), reason),
                                platform::MB_OK | platform::MB_ICONEXCLAMATION, this);
        return;
    }
    m_editedSoundFont = chosen.first();
    ShowSoundFont();
}

void CPortSettingsDlg::ShowSoundFont()
{
    SetDlgItemText(IDC_SOUNDFONT, m_editedSoundFont.isEmpty()
                                      ? res::Text(res::text::kSoundFontDefault).arg(m_sources.systemSoundFont)
                                      : m_editedSoundFont);
    EnableControl(IDC_SYSTEM_FONT, !m_editedSoundFont.isEmpty());
}

void CPortSettingsDlg::OnOK()
{
    m_drives = m_editedDrives;
    m_soundFont = m_editedSoundFont;
    m_audioOutput = Item<QComboBox>(IDC_OUTPUT)->currentData().toString();
    CDialog::OnOK();
}

void CPortSettingsDlg::OnHelp()
{
    ui::ShowHelp(this, ui::HelpPage::Windows);
}
