#pragma once
// The help window: the Japanese manual of res/help in a browser window of
// our own, parented to the dialog that asked so it works beside a modal one.

class QWidget;

namespace ui {

void ShowHelp(QWidget* asker);
// Closes the help window, if any (HELP_QUIT).
void CloseHelp();
// The open help window, or nullptr.
QWidget* HelpWindow();

}  // namespace ui
