#pragma once
// Ending the program from outside (SIGINT, SIGTERM) while dialogs may be
// open: every open dialog is cancelled, innermost first, then the main
// window is closed as its close box closes it.

class QDialog;

namespace ui {

// From now on message boxes give their cancel answer without showing, file
// dialogs give no file and modal dialogs end at once with IDCANCEL. The open
// dialogs are rejected one by one, then mainWindow (may be null). Should a
// dialog refuse to end, every event loop is left after a while.
void RequestQuit(QDialog* mainWindow);
bool QuitRequested();
// Back to normal (tests).
void ClearQuitRequest();

}  // namespace ui
