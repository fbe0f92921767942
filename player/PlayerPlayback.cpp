// Queries of the device of the entry being played.
#include "platform/Services.h"
#include "platform/mci/Mci.h"
#include "player/CPlayerDlg.h"

long CPlayerDlg::QueryMode()
{
    if (!m_isCdTrack)
        return m_mciWnd.GetMode();
    mci::CdSystem* cd = platform::GetServices().cd;
    const std::optional<std::uint32_t> mode = cd ? cd->Status(m_cdDeviceId, mci::StatusItem::Mode) : std::nullopt;
    return mode ? static_cast<long>(*mode) : 0;
}

std::int32_t CPlayerDlg::QueryPosition()
{
    if (!m_isCdTrack)
        return static_cast<std::int32_t>(m_mciWnd.GetPosition());
    mci::CdSystem* cd = platform::GetServices().cd;
    const std::optional<std::uint32_t> position =
        cd ? cd->Status(m_cdDeviceId, mci::StatusItem::Position) : std::nullopt;
    return position ? static_cast<std::int32_t>(*position) - m_cdTrackOffset : 0;
}
