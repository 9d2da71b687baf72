// The application object of the suite's programs (MenuCadrius, orvanelle-module). An error that
// escapes an event handler is shown in a critical "Message ORVANELLE" box naming the error
// number of the data-access layer, and the program keeps running: the data stays as it was and
// the user can go on or leave.
#pragma once

#include <QApplication>
#include <exception>

#include "client/ligne_commande.h"

namespace orv {

// The text shown for an error that escaped an event handler ("Erreur -2147221496 : ...").
QString escapedErrorText(const std::exception& error);

class Application : public QApplication {
  public:
    // The programs speak French, Qt's own dialogs included.
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace orv
