// What the three programs' command lines share: --version answered without a display, and
// Qt's own texts (the command-line parser's messages among them) in French.
#pragma once

#include <QString>

class QCoreApplication;

namespace orv {

// The product's version ("1.0.0").
QString productVersion();
// True when the command line asks for the version (--version, before any "--"). A program
// answers it
// before it creates its application object, so that the answer needs no display.
bool asksForVersion(int argc, char** argv);
// Writes "<program> <version>" and the product's name on standard output.
void printVersion(const char* program);

// Loads Qt's own French texts (standard buttons, file, print and colour dialogs, command-line
// parser) into the application; false when Qt's French translations are not installed.
bool installQtFrench(QCoreApplication& app);

}  // namespace orv
