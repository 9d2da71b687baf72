// Help pages: HTML pages installed with the program (help/ in the data directory), shown in
// a help window.
#pragma once

#include <QString>
#include <QStringList>

class QObject;
class QWidget;

namespace orv {

// The folders searched for help pages, in order: ORVANELLE_HELP_DIR when set, beside the
// program (help/, data/help/, ../share/orvanelle/help/), then the source tree's data/help.
QStringList helpDirectories();
// The full path of a help page; empty when it is not installed.
QString findHelpPage(const QString& pageName);

// Shows the page in the help window (one window, reused) with `title` as its caption; tells
// the user when the page is not installed and returns null then. `owner` is the control whose
// help it is: the window closes when that control ends (closeHelpOf, or the control deleted),
// so that no help is left open, and no program kept running, after its control.
QWidget* showHelp(const QString& pageName, const QString& title, QObject* owner = nullptr);
// Closes the help window if it is open.
void closeHelp();
// Closes the help window when it shows the help of `owner` (the window is shared: another
// control's help stays).
void closeHelpOf(const QObject* owner);

}  // namespace orv
