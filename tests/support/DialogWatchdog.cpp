#include "tests/support/DialogWatchdog.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

namespace testsupport {
namespace {

constexpr int kTickMs = 250;

struct Watched {
    QPointer<QWidget> widget;
    QElapsedTimer open;
    int limitMs;
};

int s_limitMs = 10'000;
std::vector<Watched> s_watched;

bool IsOpenModalDialog(const QWidget* widget)
{
    return qobject_cast<const QDialog*>(widget) && widget->isVisible() && widget->isModal();
}

// Runs from the event loop, nested ones included.
void Tick()
{
    std::erase_if(s_watched, [](const Watched& w) { return !w.widget || !IsOpenModalDialog(w.widget); });
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!IsOpenModalDialog(widget))
            continue;
        const bool known = std::any_of(s_watched.begin(), s_watched.end(),
                                       [widget](const Watched& w) { return w.widget == widget; });
        if (!known) {
            s_watched.push_back({widget, {}, s_limitMs});
            s_watched.back().open.start();
        }
    }
    for (Watched& watched : s_watched) {
        if (!watched.widget || watched.open.elapsed() < watched.limitMs)
            continue;
        auto* dialog = qobject_cast<QDialog*>(watched.widget.data());
        ADD_FAILURE() << "dialog " << dialog->metaObject()->className() << " \""
                      << dialog->windowTitle().toStdString() << "\" did not end";
        watched.widget = nullptr;
        dialog->reject();
        return;  // the loop of the rejected dialog returns first
    }
}

}  // namespace

void StartDialogWatchdog()
{
    auto* timer = new QTimer(qApp);
    timer->setObjectName(QStringLiteral("DialogWatchdog"));
    QObject::connect(timer, &QTimer::timeout, timer, &Tick);
    timer->start(kTickMs);
}

int SetDialogWatchdogLimitMs(int ms)
{
    const int before = s_limitMs;
    s_limitMs = ms;
    return before;
}

}  // namespace testsupport
