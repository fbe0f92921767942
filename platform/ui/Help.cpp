#include "platform/ui/Help.h"

#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include "platform/ui/DialogTemplate.h"

namespace ui {
namespace {

QPointer<QTextBrowser> s_help;

}  // namespace

void ShowHelp(QWidget* asker)
{
    if (s_help && s_help->parentWidget() != asker)
        CloseHelp();
    if (!s_help) {
        s_help = new QTextBrowser(asker);
        s_help->setWindowFlags(Qt::Window);
        s_help->setAttribute(Qt::WA_DeleteOnClose);
        s_help->setWindowTitle(QStringLiteral("Lirabox ﾍﾙﾌﾟ"));
        s_help->setOpenExternalLinks(false);
        s_help->setSearchPaths({QStringLiteral(":/help")});
        s_help->setSource(QUrl(QStringLiteral("qrc:/help/index.html")));
        s_help->resize(640, 560);
    }
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
