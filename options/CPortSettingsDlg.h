#pragma once
// The settings of this program that Windows had no need for: where the drive
// letters of collections made there are (folders, disc images, CD devices),
// the SoundFont MIDI plays with and the audio output. Reached from the
// options dialog; the caller reads the values in before the run and out
// after OK.

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

#include "platform/ui/CDialog.h"

class CPortSettingsDlg : public ui::CDialog {
    Q_OBJECT

public:
    enum : int {
        IDC_DRIVES = 1201,
        IDC_ADD = 1202,
        IDC_CHANGE = 1203,
        IDC_REMOVE = 1204,
        IDC_SOUNDFONT = 1205,
        IDC_BROWSE = 1206,
        IDC_SYSTEM_FONT = 1207,
        IDC_OUTPUT = 1208,
    };

    struct Output {
        QString id;    // what the setting stores
        QString name;  // what the user sees
    };
    // What the page offers, from the system or a test.
    struct Sources {
        QStringList cdDevices;
        QList<Output> outputs;  // without the default output, which the page puts first
        QString systemSoundFont;  // what MIDI plays with when no SoundFont is set
        // True when the file is a SoundFont the synthesizer loads; else the reason.
        std::function<bool(const QString& file, QString* reason)> checkSoundFont;

        static Sources FromSystem();
    };

    CPortSettingsDlg(QWidget* parent, Sources sources);

    QMap<QString, QString> m_drives;  // "C" -> target, as the [Drives] group holds them
    QString m_soundFont;              // empty: the system's
    QString m_audioOutput;            // empty: the default output

protected:
    BOOL OnInitDialog() override;
    void OnCommand(int id, int code) override;
    void OnOK() override;
    void OnHelp() override;

private:
    void FillDrives(const QString& select = {});
    void EditDrive(bool add);
    void RemoveDrive();
    void BrowseSoundFont();
    void ShowSoundFont();
    // The letter ("C") of the selected drive, empty for none.
    QString SelectedLetter() const;

    Sources m_sources;
    QMap<QString, QString> m_editedDrives;
    QString m_editedSoundFont;
};
