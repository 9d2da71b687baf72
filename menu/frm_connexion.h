// The login window: proposes the system user name, connects the session with the typed user
// (upper case) and password, and records them once the session accepts them. It closes only
// through its own buttons.
#pragma once

#include <QDialog>
#include <memory>

#include "frame/login.h"
#include "menu/programme.h"

class QLineEdit;

namespace Ui {
class Frm_Connexion;
}

namespace menu {

class Frm_Connexion : public QDialog {
    Q_OBJECT
  public:
    explicit Frm_Connexion(Programme& programme, QWidget* parent = nullptr);
    ~Frm_Connexion() override;

    // The name of the user logged in to the system.
    static QString GetUser();

    void Form_Load();
    // Fills the session with the typed values and asks it to connect.
    void Connection();
    void Cmd_Ok_Click();
    void Cmd_Annuler_Click();

    QLineEdit* Txt_Utilisateur() const;
    QLineEdit* Txt_MotPasse() const;
    // True once the session accepted the login.
    bool connecte() const { return connecte_; }

  protected:
    void reject() override;

  private:
    std::unique_ptr<Ui::Frm_Connexion> ui_;
    Programme& programme_;
    orv::LoginOutcome issue_;
    bool fermeture_ = false;
    bool connecte_ = false;
};

}  // namespace menu
