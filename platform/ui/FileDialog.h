#pragma once
// One wrapper for the open and save file dialogs; tests script the answers.

#include <QString>
#include <QStringList>

#include "platform/Services.h"

class QWidget;

namespace platform {

// Runs the dialog through the installed handler; empty when cancelled.
QStringList AfxFileDialog(QWidget* parent, const FileDialogRequest& request);

// The real handler: a QFileDialog.
QStringList ShowFileDialog(QWidget* parent, const FileDialogRequest& request);

// "desc|*.mid|desc|*.*||" to Qt name filters; each pattern matches its
// extension without regard to case ("*.[mM][iI][dD]").
QStringList ToQtFilters(const QString& filter);

}  // namespace platform
