// Drive letters the drive map has no place for, and the settings page of
// the drive letters, the SoundFont and the audio output.
#include "options/CDriveDlg.h"
#include "options/CPortSettingsDlg.h"
#include "platform/Services.h"
#include "platform/drives/DriveMap.h"
#include "platform/mci/Mci.h"
#include "platform/ui/Quit.h"
#include "player/CPlayerDlg.h"

namespace {

// 'C' for "C:\…" and "c:…"; nothing for entries without a drive letter.
std::optional<QChar> EntryLetter(const QString& entry)
{
    if (entry.size() < 2 || entry.at(1) != u':')
        return std::nullopt;
    const char16_t c = entry.at(0).unicode();
    if (c >= u'a' && c <= u'z')
        return QChar(char16_t(c - u'a' + u'A'));
    if (c >= u'A' && c <= u'Z')
        return QChar(c);
    return std::nullopt;
}

}  // namespace

CPlayerDlg::DrivePlacing CPlayerDlg::PlaceDrive(const QString& entry)
{
    const platform::Services& services = platform::GetServices();
    const std::optional<QChar> letter = EntryLetter(entry);
    if (!services.drives || !letter)
        return DrivePlacing::Known;
    const QString drive = QString(*letter) + QLatin1Char(':');
    if (services.drives->GetDriveType(drive) != drives::DRIVE_NO_ROOT_DIR)
        return DrivePlacing::Known;
    // Once per Play or pick, and never again for a letter the user skipped:
    // with Skip or Repeat on the same letter would otherwise come back with
    // every entry on it.
    if (m_drivesSkipped.contains(*letter) || m_drivesAsked.contains(*letter))
        return DrivePlacing::Skipped;
    m_drivesAsked.insert(*letter);

    const std::optional<QString> proposed =
        services.findDrive ? services.findDrive(entry, m_state.m_collectionPath) : std::nullopt;
    const unsigned serial = m_moveSerial;
    CDriveDlg dlg(this, CDriveDlg::Question{drive, entry, proposed}, drives::DriveMap::DetectCdDevices());
    const int answer = dlg.DoModal();
    // The user may have moved on while the question was open (a media key,
    // the sound menu), or the program is being ended.
    if (serial != m_moveSerial || m_destroyed || ui::QuitRequested())
        return DrivePlacing::Abandoned;
    switch (answer) {
    case ui::IDOK: {
        const QString key(*letter);
        m_state.m_drives.insert(key, dlg.m_target);
        // The group as stored ("c" or "C:" written by hand) keeps one key per letter.
        for (const QString& other : m_state.m_drives.keys())
            if (other != key && EntryLetter(other + QLatin1Char(':')) == letter)
                m_state.m_drives.remove(other);
        if (drives::DriveMap* map = platform::GetServices().drives)
            map->SetDrive(drive, dlg.m_target);
        m_store.SaveDrive(key, dlg.m_target);
        return DrivePlacing::Placed;
    }
    case CDriveDlg::IDC_SKIP:
        m_drivesSkipped.insert(*letter);
        return DrivePlacing::Skipped;
    default:
        return DrivePlacing::Stopped;
    }
}

void CPlayerDlg::OnPortSettings(QWidget* parent)
{
    CPortSettingsDlg dlg(parent ? parent : this, CPortSettingsDlg::Sources::FromSystem());
    dlg.m_drives = m_state.m_drives;
    dlg.m_soundFont = m_state.m_soundFont;
    dlg.m_audioOutput = m_state.m_audioOutput;
    if (dlg.DoModal() != ui::IDOK)
        return;
    m_state.m_drives = dlg.m_drives;
    m_state.m_soundFont = dlg.m_soundFont;
    m_state.m_audioOutput = dlg.m_audioOutput;
    const platform::Services& services = platform::GetServices();
    if (services.drives)
        services.drives->SetDrives(m_state.m_drives);
    if (services.media)
        services.media->SetOutputSettings(m_state.m_soundFont, m_state.m_audioOutput);
    // A letter placed anew may be asked about again.
    m_drivesSkipped.clear();
    m_store.SavePortSettings();
}
