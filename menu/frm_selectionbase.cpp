#include "menu/frm_selectionbase.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "frame/login.h"
#include "menu/frm_premierdemarrage.h"
#include "platform/messages.h"
#include "ui_frm_selectionbase.h"

namespace menu {

Frm_SelectionBase::Frm_SelectionBase(Programme& programme, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::Frm_SelectionBase>()), programme_(programme) {
    ui_->setupUi(this);
    connect(ui_->Cmd_OK, &QPushButton::clicked, this, &Frm_SelectionBase::Cmd_OK_Click);
    connect(ui_->Cmd_Quitter, &QPushButton::clicked, this, &Frm_SelectionBase::Cmd_Quitter_Click);
}

Frm_SelectionBase::~Frm_SelectionBase() = default;

QComboBox* Frm_SelectionBase::Cbo_BaseDispo() const { return ui_->Cbo_BaseDispo; }

void Frm_SelectionBase::Form_Load() {
    const QString chemin = orv::IniServeurs::defaultPath();
    // First run: no INI file at all. The user creates a database or names a server's; a file
    // that exists but is broken keeps the server message below.
    if (!QFileInfo::exists(chemin)) {
        Frm_PremierDemarrage premier(orv::IniServeurs::userPath(), parentWidget());
        if (premier.exec() != QDialog::Accepted) {
            programme_.Terminer(0);
            return;
        }
    }
    ini_.read(orv::IniServeurs::defaultPath());
    if (ini_.problem() != orv::IniServeurs::Problem::None) {
        orv::MsgBox(ini_.problemMessage(), orv::MsgCritical);
        programme_.Terminer(1);
        return;
    }
    programme_.ServeurBase = ini_.server();
    programme_.libelles = ini_.labels();
    programme_.CheminsBases = ini_.accountPaths();
    ui_->Cbo_BaseDispo->addItems(ini_.labels());
    ui_->Cbo_BaseDispo->setCurrentIndex(-1);
    ui_->Cbo_BaseDispo->setEditText(QString());
}

void Frm_SelectionBase::Cmd_OK_Click() {
    QComboBox* combo = ui_->Cbo_BaseDispo;
    QString refus;
    const int trouve = orv::chooseDatabase(ini_, combo->currentText(), &refus);
    if (trouve < 0) {
        // "Cette base n'est pas disponible." carries the program's own title.
        if (refus == orv::kSelectionVide) {
            orv::MsgBox(refus, orv::MsgExclamation);
            return;
        }
        orv::MsgBox(refus, orv::MsgExclamation, QCoreApplication::applicationName());
        combo->setFocus();
        return;
    }
    combo->setCurrentIndex(trouve);
    orv::applyDatabase(*programme_.SessionBase, ini_, trouve);
    programme_.NomBase = combo->currentText();
    choisie_ = true;
    accept();
}

void Frm_SelectionBase::Cmd_Quitter_Click() {
    programme_.Terminer(0);
    done(QDialog::Rejected);
}

void Frm_SelectionBase::reject() {
    // Escape and the close box leave the program, as Quitter does.
    if (!choisie_ && !programme_.termine) programme_.Terminer(0);
    QDialog::reject();
}

}  // namespace menu
