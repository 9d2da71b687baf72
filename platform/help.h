// Help pages: HTML pages installed with the program (help/ in the data directory), shown in
// a help window.
#pragma once

#include <QString>
#include <QStringList>

class QObject;
class QWidget;

namespace orv {

// The user guide, installed with the help pages.
inline const QString kGuidePage = QStringLiteral("guide-utilisateur.htm");
inline const QString kGuideTitle = QStringLiteral("Guide de l'utilisateur");

// The folders searched for help pages, in order: ORVANELLE_HELP_DIR when set; then for an
// installed program only <prefix>/share/orvanelle/help; else beside the program (help/,
// data/help/), the source tree's data/help and docs/ (the user guide).
QStringList helpDirectories();
// The full path of a help page; empty when it is not installed.
QString findHelpPage(const QString& pageName);

// Shows the page in the help window (one window, reused) with `title` as its caption; tells
// the user when the page is not installed and returns null then. `owner` is the control whose
// help it is: the window closes when that control ends (closeHelpOf, or the control deleted),
// so that no help is left open, and no program kept running, after its control.
QWidget* showHelp(const QString& pageName, const QString& title, QObject* owner = nullptr);
// Shows the user guide in the help window (F1 in every window, the help window's
// "Guide de l'utilisateur" button).
QWidget* showGuide();
// Closes the help window if it is open.
void closeHelp();
// Closes the help window when it shows the help of `owner` (the window is shared: another
// control's help stays).
void closeHelpOf(const QObject* owner);

}  // namespace orv
