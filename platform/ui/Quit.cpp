#include "platform/ui/Quit.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

namespace ui {
namespace {

// Between two dialogs: time for the nested loop of the one just rejected
// to return to the one around it.
constexpr int kStepMs = 20;
constexpr int kLastResortMs = 1500;

bool s_quitRequested = false;
QPointer<QDialog> s_mainWindow;
QPointer<QTimer> s_stepTimer;
QPointer<QTimer> s_lastResort;

// The innermost dialog other than the main window, or null.
QDialog* OpenDialog()
{
    auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (modal && modal != s_mainWindow && modal->isVisible())
        return modal;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (dialog && dialog != s_mainWindow && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

void Step()
{
    if (QDialog* dialog = OpenDialog()) {
        dialog->reject();
        return;
    }
    if (s_stepTimer)
        s_stepTimer->stop();
    if (s_mainWindow && s_mainWindow->isVisible())
        s_mainWindow->reject();
}

}  // namespace

void RequestQuit(QDialog* mainWindow)
{
    s_mainWindow = mainWindow;
    if (s_quitRequested)
        return;
    s_quitRequested = true;
    if (!qApp)
        return;
    if (!s_stepTimer) {
        s_stepTimer = new QTimer(qApp);
        QObject::connect(s_stepTimer, &QTimer::timeout, qApp, &Step);
    }
    s_stepTimer->start(kStepMs);
    if (!s_lastResort) {
        s_lastResort = new QTimer(qApp);
        s_lastResort->setSingleShot(true);
        // QCoreApplication::exit leaves every running loop, nested ones too,
        // and a loop started afterwards returns at once.
        QObject::connect(s_lastResort, &QTimer::timeout, qApp, [] { QCoreApplication::exit(0); });
    }
    s_lastResort->start(kLastResortMs);
    Step();
}

bool QuitRequested()
{
    return s_quitRequested;
}

void ClearQuitRequest()
{
    s_quitRequested = false;
    s_mainWindow = nullptr;
    delete s_stepTimer;
    delete s_lastResort;
}

}  // namespace ui
