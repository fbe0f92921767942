#include "platform/ui/Help.h"

#include <QGuiApplication>
#include <QKeySequence>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>

namespace ui {
namespace {

// What a manual page wants; smaller screens get their available area.
constexpr int kPreferredWidth = 720;
constexpr int kPreferredHeight = 900;
// A title bar and borders, until the window manager has framed the window.
constexpr QSize kFrameGuess(8, 32);

QPointer<QTextBrowser> s_help;

QTextBrowser* CreateHelp(QWidget* asker)
{
    auto* help = new QTextBrowser(asker);
    help->setWindowFlags(Qt::Window);
    help->setAttribute(Qt::WA_DeleteOnClose);
    help->setWindowTitle(QStringLiteral("Lirabox ﾍﾙﾌﾟ"));
    help->setOpenExternalLinks(false);
    help->setSearchPaths({QStringLiteral(":/help")});
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), help);
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, help, &QWidget::close);
    return help;
}

// Sizes the window to the preferred size or the screen's available area,
// whichever is smaller, and keeps it inside that area, frame included.
void FitOnScreen(QWidget* help, QWidget* asker)
{
    QScreen* screen = asker ? asker->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize frame = help->isVisible() ? help->frameGeometry().size() - help->geometry().size() : kFrameGuess;
    const int width = qMin(kPreferredWidth, area.width() - frame.width());
    const int height = qMin(kPreferredHeight, area.height() - frame.height());
    help->resize(width, height);
    QPoint at = asker && asker->isVisible() ? asker->window()->frameGeometry().topRight() + QPoint(8, 0)
                                            : area.topLeft();
    at.setX(qBound(area.left(), at.x(), area.right() + 1 - width - frame.width()));
    at.setY(qBound(area.top(), at.y(), area.bottom() + 1 - height - frame.height()));
    help->move(at);
}

}  // namespace

QString HelpPageUrl(HelpPage page)
{
    const char* name = "index";
    switch (page) {
    case HelpPage::Contents:
        break;
    case HelpPage::Player:
        name = "player";
        break;
    case HelpPage::Collection:
        name = "collection";
        break;
    case HelpPage::Cd:
        name = "cd";
        break;
    case HelpPage::Options:
        name = "options";
        break;
    case HelpPage::Windows:
        name = "windows";
        break;
    }
    return QStringLiteral("qrc:/help/%1.html").arg(QLatin1String(name));
}

void ShowHelp(QWidget* asker, HelpPage page)
{
    if (s_help && s_help->parentWidget() != asker)
        CloseHelp();
    if (!s_help) {
        s_help = CreateHelp(asker);
        FitOnScreen(s_help, asker);
    }
    s_help->setSource(QUrl(HelpPageUrl(page)));
    s_help->show();
    s_help->raise();
    s_help->activateWindow();
}

void CloseHelp()
{
    if (s_help) {
        QTextBrowser* help = s_help;
        s_help = nullptr;
        help->close();
        delete help;
    }
}

QWidget* HelpWindow()
{
    return s_help;
}

}  // namespace ui
