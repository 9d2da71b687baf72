#include "menu/frm_selectionbase.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "frame/ini_serveurs.h"
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
    orv::IniServeurs ini;
    ini.read(orv::IniServeurs::defaultPath());
    if (ini.problem() != orv::IniServeurs::Problem::None) {
        orv::MsgBox(ini.problemMessage(), orv::MsgCritical);
        programme_.Terminer(1);
        return;
    }
    programme_.ServeurBase = ini.server();
    programme_.libelles = ini.labels();
    programme_.CheminsBases = ini.paths();
    ui_->Cbo_BaseDispo->addItems(ini.labels());
    ui_->Cbo_BaseDispo->setCurrentIndex(-1);
    ui_->Cbo_BaseDispo->setEditText(QString());
}

void Frm_SelectionBase::Cmd_OK_Click() {
    QComboBox* combo = ui_->Cbo_BaseDispo;
    const QString saisi = combo->currentText().trimmed().toUpper();
    if (saisi.isEmpty()) {
        orv::MsgBox(kSelectionVide, orv::MsgExclamation);
        return;
    }
    int trouve = -1;
    for (int i = 0; i < combo->count() && trouve < 0; ++i) {
        if (combo->itemText(i).trimmed().toUpper() == saisi) trouve = i;
    }
    if (trouve < 0) {
        // This one message carries the program's own title.
        orv::MsgBox(kBaseIndisponible, orv::MsgExclamation, QCoreApplication::applicationName());
        combo->setFocus();
        return;
    }
    combo->setCurrentIndex(trouve);
    uni::Session& session = *programme_.SessionBase;
    session.setAccountPath(programme_.CheminsBases.value(trouve));
    session.setHostName(programme_.ServeurBase);
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
