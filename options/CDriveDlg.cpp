#include "options/CDriveDlg.h"

#include <QComboBox>

#include "platform/ui/FileDialog.h"
#include "platform/ui/Help.h"
#include "res/Strings.h"

using ui::ControlKind;

namespace {

constexpr ui::ControlSpec kControls[] = {
    {CDriveDlg::IDC_MESSAGE, ControlKind::Label, "", 7, 7, 226, 16},
    {CDriveDlg::IDC_ENTRY, ControlKind::Label, "", 7, 25, 226, 8},
    {-1, ControlKind::Label, "ﾄﾞﾗｲﾌﾞ(&L):", 7, 41, 38, 8},
    {CDriveDlg::IDC_LETTER, ControlKind::ComboDropList, "", 46, 39, 30, 150},
    {-1, ControlKind::Label, "場所:", 84, 41, 20, 8},
    {CDriveDlg::IDC_PLACE, ControlKind::Label, "", 106, 39, 127, 12, nullptr, ui::kSunken},
    {CDriveDlg::IDC_FOUND, ControlKind::Label, "", 106, 53, 127, 8},
    {CDriveDlg::IDC_FOLDER, ControlKind::PushButton, "ﾌｫﾙﾀﾞ(&F)...", 7, 65, 60, 14},
    {CDriveDlg::IDC_IMAGE, ControlKind::PushButton, "ｲﾒｰｼﾞ(&I)...", 71, 65, 60, 14},
    {-1, ControlKind::Label, "CD(&C):", 137, 68, 24, 8},
    {CDriveDlg::IDC_DEVICE, ControlKind::ComboDropList, "", 162, 65, 71, 60, nullptr, 0, "CDﾄﾞﾗｲﾌﾞ"},
    {ui::ID_HELP, ControlKind::PushButton, "ﾍﾙﾌﾟ(&H)", 7, 91, 50, 14},
    {ui::IDOK, ControlKind::DefPushButton, "OK", 76, 91, 50, 14},
    {CDriveDlg::IDC_SKIP, ControlKind::PushButton, "ｽｷｯﾌﾟ(&S)", 130, 91, 50, 14},
    {ui::IDCANCEL, ControlKind::PushButton, "ｷｬﾝｾﾙ", 184, 91, 50, 14},
};

const ui::DialogSpec kTemplate{301, "ﾄﾞﾗｲﾌﾞの場所", 240, 112, kControls};

// "c", "C:", "C:\" -> "C:".
QString DriveName(const QString& drive)
{
    return drive.isEmpty() ? QString() : drive.left(1).toUpper() + QLatin1Char(':');
}

}  // namespace

CDriveDlg::CDriveDlg(QWidget* parent, const Question& question, const QStringList& cdDevices)
    : CDialog(kTemplate, parent),
      m_drive(DriveName(question.drive)),
      m_mode(Mode::Ask),
      m_entry(question.entry),
      m_proposed(question.proposed),
      m_cdDevices(cdDevices)
{
}

CDriveDlg::CDriveDlg(QWidget* parent, const Choice& choice, const QStringList& cdDevices)
    : CDialog(kTemplate, parent),
      m_drive(DriveName(choice.drive)),
      m_mode(Mode::Edit),
      m_initialTarget(choice.target),
      m_cdDevices(cdDevices),
      m_taken(choice.taken)
{
}

BOOL CDriveDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    auto* letters = Item<QComboBox>(IDC_LETTER);
    if (m_mode == Mode::Ask) {
        SetDlgItemText(IDC_MESSAGE, res::Text(res::text::kDriveMissing).arg(m_drive));
        SetDlgItemText(IDC_ENTRY, m_entry);
        letters->addItem(m_drive);
        EnableControl(IDC_LETTER, false);
    } else {
        SetDlgItemText(IDC_MESSAGE, res::Text(res::text::kDriveChoose));
        ShowControl(IDC_ENTRY, false);
        ShowControl(IDC_SKIP, false);
        for (char16_t c = u'A'; c <= u'Z'; ++c) {
            const QString name = QString(QChar(c)) + QLatin1Char(':');
            if (name == m_drive || !m_taken.contains(name, Qt::CaseInsensitive))
                letters->addItem(name);
        }
        const int at = letters->findText(m_drive.isEmpty() ? QStringLiteral("C:") : m_drive);
        letters->setCurrentIndex(at >= 0 ? at : 0);
        // A letter being changed stays that letter; a new one is chosen here.
        EnableControl(IDC_LETTER, m_drive.isEmpty());
    }
    auto* devices = Item<QComboBox>(IDC_DEVICE);
    devices->addItem(QString());
    devices->addItems(m_cdDevices);
    EnableControl(IDC_DEVICE, !m_cdDevices.isEmpty());

    SetTarget(m_proposed.value_or(m_initialTarget));
    ShowControl(IDC_FOUND, m_proposed.has_value());
    if (m_proposed)
        SetDlgItemText(IDC_FOUND, res::Text(res::text::kDriveFound));
    GetDlgItem(m_target.isEmpty() ? IDC_FOLDER : ui::IDOK)->setFocus();
    return FALSE;
}

void CDriveDlg::OnCommand(int id, int code)
{
    switch (id) {
    case IDC_FOLDER:
        ChooseFolder();
        return;
    case IDC_IMAGE:
        ChooseImage();
        return;
    case IDC_DEVICE:
        if (code == ui::kCbnSelChange) {
            const int index = Item<QComboBox>(IDC_DEVICE)->currentIndex();
            if (index > 0)
                SetTarget(m_cdDevices.value(index - 1));
        }
        return;
    case IDC_SKIP:
        EndDialog(IDC_SKIP);
        return;
    default:
        CDialog::OnCommand(id, code);
    }
}

void CDriveDlg::ChooseFolder()
{
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::Kind::Folder;
    request.initialName = m_target;
    const QStringList chosen = platform::AfxFileDialog(this, request);
    if (!chosen.isEmpty())
        SetTarget(chosen.first());
}

void CDriveDlg::ChooseImage()
{
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogRequest::Kind::Open;
    request.filter = res::Text(res::text::kDiscImageFilter);
    const QStringList chosen = platform::AfxFileDialog(this, request);
    if (!chosen.isEmpty())
        SetTarget(chosen.first());
}

void CDriveDlg::SetTarget(const QString& target)
{
    m_target = target;
    SetDlgItemText(IDC_PLACE, target);
    ShowControl(IDC_FOUND, m_proposed && target == *m_proposed);
    auto* devices = Item<QComboBox>(IDC_DEVICE);
    const qsizetype device = m_cdDevices.indexOf(target);
    devices->setCurrentIndex(device >= 0 ? int(device) + 1 : 0);
    EnableControl(ui::IDOK, !target.isEmpty());
}

void CDriveDlg::OnOK()
{
    if (m_target.isEmpty())
        return;
    m_drive = Item<QComboBox>(IDC_LETTER)->currentText();
    CDialog::OnOK();
}

void CDriveDlg::OnHelp()
{
    ui::ShowHelp(this, ui::HelpPage::Windows);
}
