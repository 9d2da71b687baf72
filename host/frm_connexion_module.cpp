#include "host/frm_connexion_module.h"

#include "client/uniobjects.h"
#include "frame/login.h"
#include "platform/busy.h"
#include "platform/messages.h"
#include "ui_frm_connexion_module.h"

namespace orv::host {

Frm_ConnexionModule::Frm_ConnexionModule(uni::Session& session, const IniServeurs* databases,
                                         const QString& proposedUser, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::Frm_ConnexionModule>()),
      session_(session),
      databases_(databases) {
    ui_->setupUi(this);
    const bool choose = databases_ != nullptr;
    ui_->Etq_Base->setVisible(choose);
    ui_->Cbo_BaseDispo->setVisible(choose);
    if (choose) ui_->Cbo_BaseDispo->addItems(databases_->labels());
    ui_->Txt_Utilisateur->setText(proposedUser);
    ui_->Txt_Utilisateur->selectAll();
    connect(ui_->Cmd_Ok, &QPushButton::clicked, this, [this] { Cmd_Ok_Click(); });
    connect(ui_->Cmd_Annuler, &QPushButton::clicked, this, [this] { Cmd_Annuler_Click(); });
}

Frm_ConnexionModule::~Frm_ConnexionModule() = default;

bool Frm_ConnexionModule::chooseDatabase() {
    if (!databases_) return true;
    QString refusal;
    databaseIndex_ = orv::chooseDatabase(*databases_, ui_->Cbo_BaseDispo->currentText(), &refusal);
    if (databaseIndex_ < 0) {
        MsgBox(refusal, MsgExclamation);
        ui_->Cbo_BaseDispo->setFocus();
        return false;
    }
    applyDatabase(session_, *databases_, databaseIndex_);
    return true;
}

void Frm_ConnexionModule::Cmd_Ok_Click() {
    if (!chooseDatabase()) return;
    LoginOutcome outcome;
    {
        const BusyScope busy(this);
        outcome = connectSession(session_, ui_->Txt_Utilisateur->text(), ui_->Txt_MotPasse->text());
    }
    if (!outcome.connected()) {
        showRefusal(outcome, ui_->Txt_MotPasse);
        return;
    }
    user_ = ui_->Txt_Utilisateur->text().toUpper();
    password_ = ui_->Txt_MotPasse->text();
    accept();
}

void Frm_ConnexionModule::Cmd_Annuler_Click() { reject(); }

}  // namespace orv::host
