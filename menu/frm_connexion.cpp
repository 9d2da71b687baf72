#include "menu/frm_connexion.h"

#include <pwd.h>
#include <unistd.h>

#include "platform/busy.h"
#include "platform/messages.h"
#include "ui_frm_connexion.h"

namespace menu {

Frm_Connexion::Frm_Connexion(Programme& programme, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::Frm_Connexion>()), programme_(programme) {
    ui_->setupUi(this);
    connect(ui_->Cmd_Ok, &QPushButton::clicked, this, &Frm_Connexion::Cmd_Ok_Click);
    connect(ui_->Cmd_Annuler, &QPushButton::clicked, this, &Frm_Connexion::Cmd_Annuler_Click);
}

Frm_Connexion::~Frm_Connexion() = default;

QLineEdit* Frm_Connexion::Txt_Utilisateur() const { return ui_->Txt_Utilisateur; }
QLineEdit* Frm_Connexion::Txt_MotPasse() const { return ui_->Txt_MotPasse; }

QString Frm_Connexion::GetUser() {
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

void Frm_Connexion::Form_Load() {
    ui_->Txt_Utilisateur->setText(GetUser());
    ui_->Txt_Utilisateur->setSelection(0, int(ui_->Txt_Utilisateur->text().size()));
    fermeture_ = false;
}

void Frm_Connexion::Connection() {
    issue_ = orv::connectSession(*programme_.SessionBase, ui_->Txt_Utilisateur->text(),
                                 ui_->Txt_MotPasse->text());
}

void Frm_Connexion::Cmd_Ok_Click() {
    {
        const orv::BusyScope occupe(this);
        Connection();
    }
    if (!issue_.connected()) {
        orv::showRefusal(issue_, ui_->Txt_MotPasse);
        return;
    }
    programme_.NomUtilisateur = ui_->Txt_Utilisateur->text().toUpper();
    programme_.MotPasse = ui_->Txt_MotPasse->text();
    connecte_ = true;
    fermeture_ = true;
    accept();
}

void Frm_Connexion::Cmd_Annuler_Click() {
    fermeture_ = true;
    programme_.Terminer(0);
    QDialog::reject();
}

void Frm_Connexion::reject() {
    // The close box and Escape do nothing: only Ok and Annuler close the window.
    if (fermeture_) QDialog::reject();
}

}  // namespace menu
