#include "platform/ui/MessageBox.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

QString AppTitle()
{
    const QString path = QCoreApplication::applicationFilePath();
    const QString name = QFileInfo(path).completeBaseName();
    return name.isEmpty() ? QStringLiteral("lirabox") : name;
}

int ShowMessageBox(QWidget* parent, const QString& text, unsigned type)
{
    if (!parent)
        parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow();
    QMessageBox box(parent);
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
    switch (box.exec()) {
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
    const auto& handler = GetServices().messageBox;
    return handler ? handler(parent, text, type) : ShowMessageBox(parent, text, type);
}

}  // namespace platform
