// The volume and options buttons.
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

#include "app/CPlayerApp.h"
#include "options/COptionDlg.h"
#include "platform/ui/MessageBox.h"
#include "player/CPlayerDlg.h"
#include "res/Strings.h"

namespace {

struct VolumeControl {
    QStringList command;  // empty when none of the programs is installed
    QStringList tried;    // the programs looked for, in order
};

// The volume control: the setting VolumeControl, else the first mixer found.
VolumeControl FindVolumeControl()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quenda"),
                       QStringLiteral("Lirabox"));
    QList<QStringList> candidates;
    const QString configured = settings.value(QStringLiteral("Settings/VolumeControl")).toString();
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
    const VolumeControl control = FindVolumeControl();
    if (control.command.isEmpty()) {
        const QString programs = control.tried.join(QStringLiteral(", "));
        platform::AfxMessageBox(res::Text(res::text::kVolumeControlMissing).arg(programs), platform::MB_OK, this);
        return;
    }
    QProcess::startDetached(control.command.first(), control.command.mid(1));
}

void CPlayerDlg::OnOptions()
{
    CPlayerApp* app = AfxGetApp();
    if (!app)
        return;
    COptionDlg dlg(this);
    dlg.m_separateAvi = app->m_aviDispInitMode != 0 ? 1 : 0;
    dlg.m_timeDisp = app->m_timeDispInitMode;
    dlg.m_animation = app->m_anime;
    dlg.m_filterOrder = app->m_filter;
    dlg.m_skipOnError = app->m_skip;
    if (dlg.DoModal() != ui::IDOK)
        return;
    app->m_aviDispInitMode = dlg.m_separateAvi == 1 ? 1 : 0;
    app->m_timeDispInitMode = dlg.m_timeDisp;
    app->m_anime = dlg.m_animation;
    app->m_skip = dlg.m_skipOnError;
    if (app->m_anime == 0)
        HideAnimation();
    app->m_filter = dlg.m_filterOrder;
    app->SaveOptions();
}
