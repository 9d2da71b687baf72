#include "controls/numeropieces/ctr_numeropieces.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>

#include "client/outils_communs.h"
#include "frame/code_picker.h"
#include "frame/library_objects.h"
#include "platform/busy.h"
#include "platform/help.h"
#include "platform/input.h"
#include "platform/messages.h"
#include "schema/attributes.h"
#include "ui_ctr_numeropieces.h"

namespace numeropieces {

namespace {

template <class W>
W* enfant(QWidget* parent, const QString& nom) {
    return parent->findChild<W*>(nom);
}

void afficherCoche(QCheckBox* box, bool coche) { box->setChecked(coche); }

}  // namespace

Ctr_NumeroPieces::Ctr_NumeroPieces(QWidget* parent)
    : orv::ModuleControl(orv::thisLibrary(), kCleDroits, parent), ui_(new Ui::Ctr_NumeroPieces) {
    ui_->setupUi(this);
    picker_ = new orv::EntityPicker(this);
    connect(picker_, &orv::CodePicker::loaded, this, [this] { chargerEntite(); });
    connect(picker_, &orv::CodePicker::opened, this, [this] { ouvrirSelecteur(); });
    trouverWidgets();
    installerFiltres();
    connecterEvenements();
    enableHelpMenu();
}

Ctr_NumeroPieces::~Ctr_NumeroPieces() = default;

void Ctr_NumeroPieces::trouverWidgets() {
    for (int i = 0; i < kNombreModes; ++i) {
        const Mode& m = modes()[i];
        ModeWidgets& w = modes_[i];
        w.cadre = enfant<QGroupBox>(this, QStringLiteral("Cdr_") + m.suffixe);
        w.etqAide = enfant<QLabel>(this, QStringLiteral("Etq_Aide") + m.suffixe);
        w.aide = enfant<QLineEdit>(this, QStringLiteral("Txt_Aide") + m.suffixe);
        w.etqOrga = enfant<QLabel>(this, QStringLiteral("Etq_Orga") + m.suffixe);
        w.orga = enfant<QLineEdit>(this, QStringLiteral("Txt_Orga") + m.suffixe);
        if (m.attrPlancherFact) {
            w.etqPlancherFact = enfant<QLabel>(this, QStringLiteral("Etq_Plancher") + m.suffixe);
            w.plancherFact = enfant<QLineEdit>(this, QStringLiteral("Txt_Plancher") + m.suffixe);
        }
        w.nomIntervenants = enfant<QCheckBox>(this, QStringLiteral("Cac_NomIntFact") + m.lettre);
        w.plancherEdition = enfant<QCheckBox>(this, QStringLiteral("Cac_PlanFact") + m.lettre);
        w.montantEdition = enfant<QLineEdit>(this, QStringLiteral("Txt_Plancher") + m.lettre);
        w.factNegatives = enfant<QCheckBox>(this, QStringLiteral("Cac_EditFactNeg") + m.lettre);
    }
}

void Ctr_NumeroPieces::installerFiltres() {
    const auto chiffres = [this](int& keyAscii) { ControleChiffre(keyAscii); };
    for (const ModeWidgets& w : modes_) {
        orv::onKeyPress(w.aide, chiffres);
        orv::onKeyPress(w.orga, chiffres);
        orv::installAmountBox(w.montantEdition);
        if (w.plancherFact) {
            orv::installAmountBox(w.plancherFact);
            QLineEdit* box = w.plancherFact;
            orv::onLostFocus(box, [this, box] { Txt_Plancher_LostFocus(box); });
        }
    }
    for (int i = 0; i < kNombreModes; ++i)
        orv::onLostFocus(modes_[i].montantEdition, [this, i] { Txt_PlancherEdition_LostFocus(i); });
    orv::onKeyPress(ui_->Txt_NumSsiad, chiffres);
    orv::onKeyPress(ui_->Txt_NumEtatFact, chiffres);
}

void Ctr_NumeroPieces::connecterEvenements() {
    // A check box's Click runs when its state changes, by the user or in code (loading and
    // clearing the screen rely on it).
    for (int i = 0; i < kNombreModes; ++i)
        connect(modes_[i].plancherEdition, &QCheckBox::toggled, this,
                [this, i] { Cac_PlanFact_Click(i); });
    connect(ui_->Cmd_OK, &QPushButton::clicked, this, [this] { Cmd_OK_Click(); });
    connect(ui_->Cmd_Annul, &QPushButton::clicked, this, [this] { Cmd_Annul_Click(); });
    connect(ui_->Cmd_Retour, &QPushButton::clicked, this, [this] { Cmd_Retour_Click(); });
}

QWidget* Ctr_NumeroPieces::actionButton() const { return ui_->Cmd_OK; }

// ---- Start

void Ctr_NumeroPieces::start() {
    ouvrirFichiers(requireDatabase());
    {
        orv::BusyScope occupe(this);
        ui_->Cmd_Annul->setEnabled(false);
        Remplir_TypeActivite();
        applyRights();
    }
    VideZones();
    Initialisation();
}

void Ctr_NumeroPieces::ouvrirFichiers(dba::Database& db) {
    numeroFact_ = db.OpenFile(QStringLiteral("NUMEROFACT"));
    association_ = db.OpenFile(QStringLiteral("ASSOCIATION"));
    activites_ = db.OpenFile(QStringLiteral("ACTIVITES"));
    compteur_ = db.OpenFile(QStringLiteral("COMPTEUR"));
    picker_->setFile(association_);
}

void Ctr_NumeroPieces::Remplir_TypeActivite() { picker_->buildFromActivities(*database()); }

void Ctr_NumeroPieces::Initialisation() {
    picker_->selectSingleEntry();
    picker_->focusCode();
}

// ---- Clearing and enabling

void Ctr_NumeroPieces::VideZones() {
    for (const ModeWidgets& w : modes_) {
        for (QLineEdit* box : {w.aide, w.orga, w.plancherFact}) {
            if (!box) continue;
            box->clear();
            box->setEnabled(false);
        }
        for (QLabel* etq : {w.etqAide, w.etqOrga, w.etqPlancherFact})
            if (etq) etq->setEnabled(false);
        w.montantEdition->hide();
        for (QCheckBox* box : {w.nomIntervenants, w.plancherEdition}) {
            box->setChecked(false);
            box->setEnabled(false);
        }
        w.cadre->setEnabled(false);
        w.factNegatives->setChecked(false);
        w.factNegatives->hide();
    }
    for (QLineEdit* box : {ui_->Txt_NumSsiad, ui_->Txt_NumEtatFact}) {
        box->clear();
        box->setEnabled(false);
    }
    ui_->Etq_NumSsiad->setEnabled(false);
    ui_->Etq_NumEtatfact->setEnabled(false);
    ui_->Cdr_Ssiad->setEnabled(false);
    ui_->Cdr_Fede->setEnabled(false);
}

void Ctr_NumeroPieces::activerMode(const ModeWidgets& w, bool actif) {
    for (QWidget* widget : std::initializer_list<QWidget*>{
             w.cadre, w.etqAide, w.aide, w.etqOrga, w.orga, w.etqPlancherFact, w.plancherFact,
             w.nomIntervenants, w.plancherEdition})
        if (widget) widget->setEnabled(actif);
}

void Ctr_NumeroPieces::activerSsiad(bool actif) {
    for (QWidget* widget :
         {static_cast<QWidget*>(ui_->Cdr_Ssiad), static_cast<QWidget*>(ui_->Etq_NumSsiad),
          static_cast<QWidget*>(ui_->Txt_NumSsiad)})
        widget->setEnabled(actif);
}

void Ctr_NumeroPieces::DegrisageZone() {
    const QString code = ui_->Txt_CodAssoc->text();
    const dba::Record& liste = picker_->list();
    int entite = 0;
    for (int k = 1; k <= liste.DCount() && !entite; ++k)
        if (liste.get(k, 1) == code) entite = k;
    if (!entite) return;
    for (int s = 1;; ++s) {
        const QString typeActivite = liste.get(entite, 3, s);
        if (typeActivite.isEmpty()) break;
        for (int i = 0; i < kNombreModes; ++i)
            if (typeActivite == modes()[i].code) activerMode(modes_[i], true);
        if (typeActivite == kCodeSsiad) activerSsiad(true);
    }
}

// ---- Loading

void Ctr_NumeroPieces::Remplir_Zone() {
    const QString code = ui_->Txt_CodAssoc->text();
    try {
        compteur999_ = compteur_->Read(QStringLiteral("999"));
    } catch (const dba::Error& e) {
        // Without the installation's counter record the installation is no federation.
        if (e.number() != dba::kRecordNotFound) throw;
        compteur999_ = dba::Record();
    }
    try {
        lu_ = numeroFact_->Read(code);
        charge_ = lu_;
        if (charge_.get(kAttrNumSsiad).isEmpty()) charge_.put(kAttrNumSsiad, QStringLiteral("0"));
        afficher(saisieDepuis(charge_, false));
    } catch (const dba::Error& e) {
        if (e.number() != dba::kRecordNotFound) throw;
        // No counters yet: the screen stays empty; validating creates the record.
        lu_ = dba::Record();
        charge_ = enregistrementAbsent();
    }
    RemplirNumEtatFact();
}

bool Ctr_NumeroPieces::federation() const {
    return !compteur999_.get(orv::attr::compteur::Federation).isEmpty();
}

void Ctr_NumeroPieces::RemplirNumEtatFact() {
    const bool actif = federation();
    ui_->Cdr_Fede->setEnabled(actif);
    ui_->Etq_NumEtatfact->setEnabled(actif);
    ui_->Txt_NumEtatFact->setEnabled(actif);
    if (actif) {
        // The record loaded for display, so that the whole screen shows one state of it.
        const QString etat = charge_.get(kAttrNumEtatFact);
        ui_->Txt_NumEtatFact->setText(etat.isEmpty() ? QStringLiteral("0") : texteNombre(etat));
    }
}

void Ctr_NumeroPieces::afficher(const Saisie& s) {
    for (int i = 0; i < kNombreModes; ++i) {
        const ModeWidgets& w = modes_[i];
        const Saisie::ParMode& p = s.modes[i];
        w.aide->setText(p.aide);
        w.orga->setText(p.orga);
        if (w.plancherFact) w.plancherFact->setText(p.plancherFact);
        afficherCoche(w.nomIntervenants, p.nomIntervenants);
        // Ticking runs the box's Click: the amount box and the negative-invoice box appear.
        afficherCoche(w.plancherEdition, p.plancherEdition);
        if (p.plancherEdition) w.montantEdition->setText(p.montantEdition);
        if (p.factNegatives) w.factNegatives->show();
        afficherCoche(w.factNegatives, p.factNegatives);
    }
    ui_->Txt_NumSsiad->setText(s.numSsiad);
}

Saisie Ctr_NumeroPieces::lireEcran() const {
    Saisie s;
    for (int i = 0; i < kNombreModes; ++i) {
        const ModeWidgets& w = modes_[i];
        Saisie::ParMode& p = s.modes[i];
        p.aide = w.aide->text();
        p.orga = w.orga->text();
        if (w.plancherFact) p.plancherFact = w.plancherFact->text();
        p.nomIntervenants = w.nomIntervenants->isChecked();
        p.plancherEdition = w.plancherEdition->isChecked();
        p.montantEdition = w.montantEdition->text();
        p.factNegatives = w.factNegatives->isChecked();
    }
    s.numSsiad = ui_->Txt_NumSsiad->text();
    s.numEtatFact = ui_->Txt_NumEtatFact->text();
    return s;
}

void Ctr_NumeroPieces::chargerEntite() {
    {
        const QScopedValueRollback<bool> enChargement(chargement_, true);
        VideZones();
        DegrisageZone();
        Remplir_Zone();
    }
    picker_->setPickerEnabled(false);
    ui_->Cmd_OK->setEnabled(true);
    ui_->Cmd_Annul->setEnabled(true);
    entiteChargee_ = true;
    if (ui_->Cmd_OK->isEnabled()) ui_->Cmd_OK->setFocus();
}

void Ctr_NumeroPieces::ouvrirSelecteur() {
    entiteChargee_ = false;
    picker_->setPickerEnabled(true);
    ui_->Cmd_Annul->setEnabled(false);
    ui_->Cmd_OK->setEnabled(false);
    ui_->Cbo_SigleAssoc->setEditText(QString());
    VideZones();
}

// ---- Typing

void Ctr_NumeroPieces::ControleChiffre(int& keyAscii) { orv::filterDigits(keyAscii); }

QString Ctr_NumeroPieces::Cadrage(const QString& texte, int longueur, const QString& caractere) {
    return numeropieces::Cadrage(texte, longueur, caractere);
}

void Ctr_NumeroPieces::Cac_PlanFact_Click(int mode) {
    const ModeWidgets& w = modes_[mode];
    if (w.plancherEdition->isChecked()) {
        w.montantEdition->show();
        if (!chargement_) w.montantEdition->setFocus();
        w.factNegatives->show();
    } else {
        w.montantEdition->hide();
        w.montantEdition->clear();
        w.factNegatives->setChecked(false);
        w.factNegatives->hide();
    }
}

void Ctr_NumeroPieces::Txt_Plancher_LostFocus(QLineEdit* box) {
    if (!box->text().isEmpty()) box->setText(orv::FormaterZone(box, 4, 2));
}

void Ctr_NumeroPieces::Txt_PlancherEdition_LostFocus(int mode) {
    if (chargement_) return;
    QLineEdit* box = modes_[mode].montantEdition;
    Txt_Plancher_LostFocus(box);
    if (plancherEditionTropEleve(box->text())) {
        orv::MsgBox(kMessagePlancherMaxSortie, orv::MsgInformation);
        box->setFocus();
    }
}

// ---- Validation, writing, leaving

void Ctr_NumeroPieces::Cmd_OK_Click() {
    if (const auto refus = controlerSaisie(lireEcran())) {
        QLineEdit* box = modes_[refus->mode].montantEdition;
        orv::MsgBox(refus->message, orv::MsgOk);
        if (refus->viderMontant) box->clear();
        box->setFocus();
        return;
    }
    if (!ui_->Txt_CodAssoc->text().isEmpty() && !Ecriture()) return;
    picker_->clear();
    VideZones();
    picker_->focusCode();
}

bool Ctr_NumeroPieces::Ecriture() {
    const QString code = ui_->Txt_CodAssoc->text();
    dba::Record enregistrement;
    try {
        enregistrement = numeroFact_->ReadForUpdate(code);
    } catch (const dba::Error& e) {
        if (e.number() != dba::kRecordLocked) throw;
        orv::MsgBox(kMessageVerrouille, orv::MsgExclamation);
        return false;
    }
    // Counters only go forward: never write over what another user stored meanwhile.
    if (enregistrement.get() != lu_.get()) {
        numeroFact_->Release(code);
        orv::MsgBox(kMessageModifie, orv::MsgExclamation);
        return false;
    }
    ecrireSaisie(lireEcran(), enregistrement);
    try {
        enregistrement.DBWrite();
    } catch (const dba::Error&) {
        numeroFact_->Release(code);
        throw;
    }
    lu_ = enregistrement;
    return true;
}

void Ctr_NumeroPieces::Cmd_Annul_Click() {
    picker_->clear();
    VideZones();
}

void Ctr_NumeroPieces::Cmd_Retour_Click() {
    if (accessLevel() == orv::AccessLevel::Full && entiteChargee_ &&
        saisieModifiee(lireEcran(), charge_)) {
        switch (orv::MsgBox(kQuestionEnregistrer, orv::MsgQuestion | orv::MsgYesNoCancel)) {
            case orv::MsgAnswer::Yes:
                if (!Ecriture()) return;
                break;
            case orv::MsgAnswer::No:
                break;
            default:
                return;
        }
    }
    quitter();
}

void Ctr_NumeroPieces::quitter() { leave(); }

void Ctr_NumeroPieces::releaseResources() {
    picker_->setList(dba::Record());
    lu_ = charge_ = compteur999_ = dba::Record();
    association_.reset();
    activites_.reset();
    numeroFact_.reset();
    compteur_.reset();
    picker_->setFile(nullptr);
}

// The help page of the screen; the help window finds the installed page by name.
void Ctr_NumeroPieces::Mnu_Sommaire_Click() { orv::showHelp(kPageAide, kTitreAide, this); }

}  // namespace numeropieces
