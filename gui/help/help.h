// The manual behind F1: the program's Czech HTML pages, each window's page
// opened in a help window that belongs to that window.
#pragma once

#include <QString>

class QAction;
class QWidget;

namespace gui {

/// The folder holding the manual's pages: "napoveda" beside the program file,
/// unless set (tests and a build tree point it elsewhere).
QString manualDirectory();
void setManualDirectory(const QString& dir);

/// The file of a page: "vypocet" is <manual>/vypocet.html.
QString manualPageFile(const QString& page);

/// The name of the property that holds a window's page.
inline constexpr const char* kHelpPageProperty = "helpPage";

/// F1 in `window` opens its page `page` ("vypocet"). The window keeps the
/// page as its property kHelpPageProperty; the action returned (text
/// "Nápověda k tomuto oknu", F1) is the window's, for a menu to show.
QAction* installHelp(QWidget* window, const char* page);

/// Opens `page` (with "#anchor" if wanted) in the help window of `window`:
/// one per window, made at the first use, a window of its own that a modal
/// `window` does not block, and closed with it.
void showHelp(QWidget* window, const QString& page);

} // namespace gui
