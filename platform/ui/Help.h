#pragma once
// The help window: the Japanese manual of res/help in a browser window of
// our own, parented to the dialog that asked so it works beside a modal one.

#include <QString>

class QWidget;

namespace ui {

// The manual's pages, one per window that has a help button.
enum class HelpPage { Contents, Player, Collection, Cd, Options, Windows };

// The page's address in the resources ("qrc:/help/player.html").
QString HelpPageUrl(HelpPage page);

// Shows the manual at `page`, sized to fit the asker's screen; Escape closes it.
void ShowHelp(QWidget* asker, HelpPage page = HelpPage::Contents);
// Closes the help window, if any (HELP_QUIT).
void CloseHelp();
// The open help window, or nullptr.
QWidget* HelpWindow();

}  // namespace ui
