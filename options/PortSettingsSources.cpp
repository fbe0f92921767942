// What the settings page offers on this system.
#include "options/CPortSettingsDlg.h"
#include "platform/drives/DriveMap.h"
#include "platform/mci/AudioSettings.h"
#include "platform/mci/SoundFont.h"

CPortSettingsDlg::Sources CPortSettingsDlg::Sources::FromSystem()
{
    Sources sources;
    sources.cdDevices = drives::DriveMap::DetectCdDevices();
    sources.systemSoundFont = mci::FindSoundFont(QString());
    for (const mci::AudioOutputChoice& output : mci::ListAudioOutputs())
        sources.outputs.append({output.id, output.name});
    sources.checkSoundFont = &mci::CheckSoundFont;
    return sources;
}
