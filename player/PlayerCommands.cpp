// The volume and options buttons.
#include <QProcess>
#include <QStandardPaths>

#include "options/COptionDlg.h"
#include "platform/ui/MessageBox.h"
#include "player/CPlayerDlg.h"
#include "res/Strings.h"

namespace {

struct VolumeControl {
    QStringList command;  // empty when none of the programs is installed
    QStringList tried;    // the programs looked for, in order
};

// The volume control: the configured command, else the first mixer found.
VolumeControl FindVolumeControl(const QString& configured)
{
    QList<QStringList> candidates;
    if (!configured.isEmpty())
        candidates.append(QProcess::splitCommand(configured));
    candidates.append({QStringLiteral("pavucontrol")});
    candidates.append({QStringLiteral("pavucontrol-qt")});
    candidates.append({QStringLiteral("gnome-control-center"), QStringLiteral("sound")});
    VolumeControl found;
    for (const QStringList& command : candidates) {
        if (command.isEmpty())
            continue;
        found.tried.append(command.first());
        if (!QStandardPaths::findExecutable(command.first()).isEmpty()) {
            found.command = command;
            break;
        }
    }
    return found;
}

}  // namespace

void CPlayerDlg::OnVolume()
{
    const VolumeControl control = FindVolumeControl(m_state.m_volumeControl);
    if (control.command.isEmpty()) {
        const QString programs = control.tried.join(QStringLiteral(", "));
        platform::AfxMessageBox(res::Text(res::text::kVolumeControlMissing).arg(programs), platform::MB_OK, this);
        return;
    }
    QProcess::startDetached(control.command.first(), control.command.mid(1));
}

void CPlayerDlg::OnOptions()
{
    COptionDlg dlg(this);
    dlg.m_separateAvi = m_state.m_aviDispInitMode != 0 ? 1 : 0;
    dlg.m_timeDisp = m_state.m_timeDispInitMode;
    dlg.m_animation = m_state.m_anime;
    dlg.m_filterOrder = m_state.m_filter;
    dlg.m_skipOnError = m_state.m_skip;
    dlg.m_onMoreSettings = [this](QWidget* parent) { OnPortSettings(parent); };
    if (dlg.DoModal() != ui::IDOK)
        return;
    m_state.m_aviDispInitMode = dlg.m_separateAvi == 1 ? 1 : 0;
    m_state.m_timeDispInitMode = dlg.m_timeDisp;
    m_state.m_anime = dlg.m_animation;
    m_state.m_skip = dlg.m_skipOnError;
    if (m_state.m_anime == 0)
        HideAnimation();
    m_state.m_filter = dlg.m_filterOrder;
    m_store.SaveOptions();
}
