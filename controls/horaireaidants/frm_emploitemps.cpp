#include "controls/horaireaidants/frm_emploitemps.h"

#include <QCloseEvent>
#include <QSignalBlocker>

#include "client/outils_communs.h"
#include "controls/horaireaidants/dates_edition.h"
#include "platform/input.h"
#include "platform/messages.h"
#include "ui_frm_emploitemps.h"

namespace horaireaidants {

Frm_emploitemps::Frm_emploitemps(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::Frm_emploitemps>()) {
    ui_->setupUi(this);
    connect(ui_->Txt_datedebut, &QLineEdit::textChanged, this, [this] { Txt_datedebut_Change(); });
    connect(ui_->Txt_datefin, &QLineEdit::textChanged, this, [this] { Txt_datefin_Change(); });
    orv::onLostFocus(ui_->Txt_datedebut, [this] { Txt_datedebut_LostFocus(); });
    orv::onLostFocus(ui_->Txt_datefin, [this] { Txt_datefin_LostFocus(); });
    orv::onKeyPress(ui_->Txt_datedebut, [this](int& k) { Txt_datedebut_KeyPress(k); });
    orv::onKeyPress(ui_->Txt_datefin, [this](int& k) { Txt_datefin_KeyPress(k); });
    connect(ui_->Cmd_Ok, &QPushButton::clicked, this, [this] { Cmd_Ok_Click(); });
    connect(ui_->Cmd_sortir, &QPushButton::clicked, this, [this] { Cmd_sortir_Click(); });
    Form_Load();
}

Frm_emploitemps::~Frm_emploitemps() = default;

void Frm_emploitemps::Form_Load() {
    w_sortir = false;
    ui_->Txt_datedebut->setText(orv::OutilsCommuns::JourVersDate(DateDebut));
    ui_->Txt_datefin->setText(orv::OutilsCommuns::JourVersDate(DateFin));
    degrise();
}

void Frm_emploitemps::degrise() {
    ui_->Cmd_Ok->setEnabled(datesCompletes(ui_->Txt_datedebut->text(), ui_->Txt_datefin->text()));
}

void Frm_emploitemps::Txt_datedebut_Change() { changerTexte(ui_->Txt_datedebut); }
void Frm_emploitemps::Txt_datefin_Change() { changerTexte(ui_->Txt_datefin); }

void Frm_emploitemps::changerTexte(QLineEdit* boite) {
    const QString texte = ajouterBarres(boite->text());
    if (texte != boite->text()) {
        // The new text would come back here through textChanged; it no longer changes then.
        const QSignalBlocker bloque(boite);
        boite->setText(texte);
    }
    degrise();
}

void Frm_emploitemps::Txt_datedebut_LostFocus() { quitterBoite(ui_->Txt_datedebut); }
void Frm_emploitemps::Txt_datefin_LostFocus() { quitterBoite(ui_->Txt_datefin); }

bool Frm_emploitemps::quitterBoite(QLineEdit* boite) {
    if (boite->text().isEmpty()) return true;
    const DateSaisie saisie = controlerDate(boite->text());
    boite->setText(saisie.texte);
    if (!saisie.erreur) return true;
    orv::MsgBox(saisie.message, orv::MsgExclamation);
    boite->setFocus();
    return false;
}

void Frm_emploitemps::Txt_datedebut_KeyPress(int& keyAscii) {
    validerParEntree(ui_->Txt_datedebut, keyAscii);
}
void Frm_emploitemps::Txt_datefin_KeyPress(int& keyAscii) {
    validerParEntree(ui_->Txt_datefin, keyAscii);
}

// Enter in a date box: the date is read as on leaving the box, then "Ok" is pressed when it is
// enabled.
void Frm_emploitemps::validerParEntree(QLineEdit* boite, int& keyAscii) {
    if (keyAscii != orv::keys::Enter) return;
    keyAscii = 0;
    if (quitterBoite(boite) && ui_->Cmd_Ok->isEnabled()) ui_->Cmd_Ok->click();
}

void Frm_emploitemps::Cmd_Ok_Click() {
    const QString debut = orv::OutilsCommuns::DateVersJour(ui_->Txt_datedebut->text());
    const QString fin = orv::OutilsCommuns::DateVersJour(ui_->Txt_datefin->text());
    // Both boxes hold ten characters here, but one of them may not be a date ("99/99/9999").
    QLineEdit* invalide = debut.isEmpty() ? ui_->Txt_datedebut
                          : fin.isEmpty() ? ui_->Txt_datefin
                                          : nullptr;
    if (invalide) {
        orv::MsgBox(kErreurSaisieDate, orv::MsgExclamation);
        invalide->setFocus();
        return;
    }
    const QString refus = controlerPeriode(debut.toLong(), fin.toLong());
    if (!refus.isEmpty()) {
        orv::MsgBox(refus, orv::MsgExclamation);
        return;
    }
    DateDebut = debut;
    DateFin = fin;
    DatesValidees = true;
    fermer(Accepted);
}

void Frm_emploitemps::Cmd_sortir_Click() { fermer(Rejected); }

void Frm_emploitemps::fermer(int resultat) {
    w_sortir = true;
    done(resultat);
}

void Frm_emploitemps::reject() {
    if (w_sortir) QDialog::reject();
}

void Frm_emploitemps::closeEvent(QCloseEvent* event) {
    if (w_sortir)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

}  // namespace horaireaidants
