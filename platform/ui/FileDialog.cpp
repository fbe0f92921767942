#include "platform/ui/FileDialog.h"

#include <QFileDialog>

#include "platform/ui/CFileOpenDlg.h"
#include "platform/ui/Quit.h"

namespace platform {
namespace {

QString CaseFreePattern(const QString& pattern)
{
    QString out;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

}  // namespace

QStringList ToQtFilters(const QString& filter)
{
    QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts.at(i);
        if (description.isEmpty())
            break;
        QStringList patterns;
        for (const QString& pattern : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns.append(pattern == QLatin1String("*.*") ? QStringLiteral("*") : CaseFreePattern(pattern.trimmed()));
        filters.append(description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return filters;
}

QStringList ShowFileDialog(QWidget* parent, const FileDialogRequest& request)
{
    if (request.kind == FileDialogRequest::Kind::Folder) {
        QFileDialog dialog(parent);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
        if (!request.initialName.isEmpty())
            dialog.setDirectory(request.initialName);
        if (dialog.exec() != QDialog::Accepted || ui::QuitRequested())
            return {};
        return dialog.selectedFiles();
    }
    if (request.kind == FileDialogRequest::Kind::Open) {
        // Our own listing: Qt's leaves out names that are no UTF-8.
        ui::CFileOpenDlg dialog(parent, ToQtFilters(request.filter), request.multiSelect);
        if (dialog.exec() != QDialog::Accepted || ui::QuitRequested())
            return {};
        return dialog.SelectedFiles();
    }
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog, false);
    // The list shows each description as written ("MIDIﾌｧｲﾙ(*.mid)"); the
    // case-free patterns Qt matches with stay out of sight.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    const QStringList filters = ToQtFilters(request.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!request.defaultExt.isEmpty())
        dialog.setDefaultSuffix(request.defaultExt);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
    if (dialog.exec() != QDialog::Accepted || ui::QuitRequested())
        return {};
    return dialog.selectedFiles();
}

QStringList AfxFileDialog(QWidget* parent, const FileDialogRequest& request)
{
    if (ui::QuitRequested())
        return {};
    const auto& handler = GetServices().fileDialog;
    return handler ? handler(parent, request) : ShowFileDialog(parent, request);
}

}  // namespace platform
