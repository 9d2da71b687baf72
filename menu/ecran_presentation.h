// The splash window: shown once the login and the telegestion check passed; on the second tick
// of its one-second timer it opens the main window (client, database, rights, shared files,
// the check of "Contrôle d'effectivité"), shows it and closes itself.
#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>

#include "menu/programme.h"

namespace Ui {
class EcranPresentation;
}

namespace menu {

class EcranPresentation : public QWidget {
    Q_OBJECT
  public:
    explicit EcranPresentation(Programme& programme, QWidget* parent = nullptr);
    ~EcranPresentation() override;

    void Timer1_Timer();

  private:
    // The main window's opening, once.
    void ouvrirMenu();

    std::unique_ptr<Ui::EcranPresentation> ui_;
    Programme& programme_;
    QTimer timer1_;
    int ticks_ = 0;
};

}  // namespace menu
