// Help pages: HTML pages installed with the program (help/ in the data directory), shown in
// a help window.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace orv {

// The folders searched for help pages, in order: ORVANELLE_HELP_DIR when set, beside the
// program (help/, data/help/, ../share/orvanelle/help/), then the source tree's data/help.
QStringList helpDirectories();
// The full path of a help page; empty when it is not installed.
QString findHelpPage(const QString& pageName);

// Shows the page in the help window (one window, reused) with `title` as its caption; tells
// the user when the page is not installed and returns null then.
QWidget* showHelp(const QString& pageName, const QString& title);
// Closes the help window if it is open.
void closeHelp();

}  // namespace orv
