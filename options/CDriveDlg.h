#pragma once
// Where a drive letter of collections made on Windows is on this computer:
// a folder that holds what the drive held, a disc image or rip that plays
// as a CD, or a CD device. Asked when an entry names a letter the drive map
// does not know, and from the settings page to add or change a letter.

#include <QString>
#include <QStringList>
#include <optional>

#include "platform/ui/CDialog.h"

class CDriveDlg : public ui::CDialog {
    Q_OBJECT

public:
    enum : int {
        IDC_MESSAGE = 1100,
        IDC_ENTRY = 1101,
        IDC_LETTER = 1102,
        IDC_PLACE = 1103,
        IDC_FOLDER = 1104,
        IDC_IMAGE = 1105,
        IDC_DEVICE = 1106,
        IDC_FOUND = 1107,
        IDC_SKIP = 1108,
    };

    struct Question {
        QString drive;  // "C:"
        QString entry;  // as the collection has it
        // The one place found that holds the entry: chosen at start, so
        // that Enter takes it.
        std::optional<QString> proposed;
    };
    struct Choice {
        QString drive;      // the letter to change ("C:"), empty to add one
        QString target;     // its place now
        QStringList taken;  // letters with a place already ("D:"), not offered when adding
    };

    // The question for an entry on a missing drive. DoModal gives IDOK
    // (m_target is the place), IDC_SKIP or IDCANCEL.
    CDriveDlg(QWidget* parent, const Question& question, const QStringList& cdDevices);
    // A letter and its place, chosen on the settings page; IDOK or IDCANCEL.
    CDriveDlg(QWidget* parent, const Choice& choice, const QStringList& cdDevices);

    QString m_drive;   // "C:"
    QString m_target;  // the folder, image or device chosen

protected:
    BOOL OnInitDialog() override;
    void OnCommand(int id, int code) override;
    void OnOK() override;
    void OnHelp() override;

private:
    enum class Mode { Ask, Edit };

    void ChooseFolder();
    void ChooseImage();
    void SetTarget(const QString& target);

    Mode m_mode;
    QString m_entry;
    std::optional<QString> m_proposed;
    QString m_initialTarget;
    QStringList m_cdDevices;
    QStringList m_taken;
};
