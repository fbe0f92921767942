// The volume and options buttons.
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

#include "app/CPlayerApp.h"
#include "options/COptionDlg.h"
#include "player/CPlayerDlg.h"

namespace {

// The volume control: the setting VolumeControl, else the first mixer found.
QStringList VolumeCommand()
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
    for (const QStringList& command : candidates)
        if (!command.isEmpty() && !QStandardPaths::findExecutable(command.first()).isEmpty())
            return command;
    return {};
}

}  // namespace

void CPlayerDlg::OnVolume()
{
    const QStringList command = VolumeCommand();
    if (!command.isEmpty())
        QProcess::startDetached(command.first(), command.mid(1));
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
