#include "platform/ui/MessageBox.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "platform/ui/Quit.h"

namespace platform {
namespace {

// The answer of a box closed without a choice: what Escape answers.
int CancelAnswer(unsigned type)
{
    switch (type & 0x0F) {
    case MB_YESNO:
        return IDNO;
    case MB_YESNOCANCEL:
    case MB_OKCANCEL:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

}  // namespace

QString AppTitle()
{
    const QString path = QCoreApplication::applicationFilePath();
    const QString name = QFileInfo(path).completeBaseName();
    return name.isEmpty() ? QStringLiteral("lirabox") : name;
}

namespace {

// The window a box is centred on: the asker's window once it is on screen,
// else the nearest owner that is (a dialog still in OnInitDialog has no place
// yet), else the window in front; none centres it on the screen.
QWidget* BoxOwner(QWidget* asker)
{
    for (QWidget* w = asker ? asker->window() : nullptr; w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
        if (w->isVisible())
            return w;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

}  // namespace

int ShowMessageBox(QWidget* parent, const QString& text, unsigned type)
{
    QMessageBox box(BoxOwner(parent));
    box.setWindowTitle(AppTitle());
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    const unsigned buttons = type & 0x0F;
    const unsigned icon = type & 0xF0;
    if (icon == MB_ICONQUESTION)
        box.setIcon(QMessageBox::Question);
    else if (icon == MB_ICONEXCLAMATION)
        box.setIcon(QMessageBox::Warning);
    else if (icon == MB_ICONINFORMATION)
        box.setIcon(QMessageBox::Information);
    else
        box.setIcon(buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? QMessageBox::Question
                                                                     : QMessageBox::Warning);
    switch (buttons) {
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MB_YESNOCANCEL:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    const int chosen = box.exec();
    if (ui::QuitRequested())
        return CancelAnswer(type);
    switch (chosen) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        return buttons == MB_YESNO ? IDNO : IDOK;
    }
}

int AfxMessageBox(const QString& text, unsigned type, QWidget* parent)
{
    if (ui::QuitRequested())
        return CancelAnswer(type);
    const auto& handler = GetServices().messageBox;
    return handler ? handler(parent, text, type) : ShowMessageBox(parent, text, type);
}

}  // namespace platform
