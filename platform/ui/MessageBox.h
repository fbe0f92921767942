#pragma once
// One function for every message box of the program, as AfxMessageBox:
// caption = the program file's name, Japanese buttons, result IDOK/IDYES/IDNO.

#include <QString>

#include "platform/Services.h"

class QWidget;

namespace platform {

// Shows the box through the installed handler (tests record and answer).
int AfxMessageBox(const QString& text, unsigned type = MB_OK, QWidget* parent = nullptr);

// The real handler: a modal QMessageBox.
int ShowMessageBox(QWidget* parent, const QString& text, unsigned type);

// The caption of every box: the program file's name.
QString AppTitle();

}  // namespace platform
