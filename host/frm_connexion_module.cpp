#include "host/frm_connexion_module.h"

#include "client/uniobjects.h"
#include "host/login.h"
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
    const QString typed = ui_->Cbo_BaseDispo->currentText();
    if (typed.trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Vous devez sélectionner une base de données."), MsgExclamation);
        ui_->Cbo_BaseDispo->setFocus();
        return false;
    }
    databaseIndex_ = databases_->find(typed);
    if (databaseIndex_ < 0) {
        MsgBox(QStringLiteral("Cette base n'est pas disponible."), MsgExclamation);
        ui_->Cbo_BaseDispo->setFocus();
        return false;
    }
    applyDatabase(session_, *databases_, databaseIndex_);
    return true;
}

void Frm_ConnexionModule::Cmd_Ok_Click() {
    if (!chooseDatabase()) return;
    bool connected = false;
    {
        const BusyScope busy(this);
        connected =
            connectSession(session_, ui_->Txt_Utilisateur->text(), ui_->Txt_MotPasse->text());
    }
    if (!connected) {
        MsgBox(kWrongPassword, MsgExclamation);
        ui_->Txt_MotPasse->clear();
        ui_->Txt_MotPasse->setFocus();
        return;
    }
    user_ = ui_->Txt_Utilisateur->text().toUpper();
    password_ = ui_->Txt_MotPasse->text();
    accept();
}

void Frm_ConnexionModule::Cmd_Annuler_Click() { reject(); }

}  // namespace orv::host
