#include "controls/declartrim/ctr_relevednt.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <stdexcept>

#include "client/clock.h"
#include "client/outils_communs.h"
#include "client/requete.h"
#include "controls/declartrim/centre_picker.h"
#include "controls/declartrim/releve_dnt.h"
#include "frame/code_picker.h"
#include "frame/library_objects.h"
#include "platform/busy.h"
#include "platform/help.h"
#include "platform/messages.h"
#include "platform/print_job.h"
#include "platform/printer.h"
#include "ui_ctr_relevednt.h"

namespace declartrim {

namespace {

constexpr int kNombreTrimestres = 9;
constexpr int kMoisParTrimestre = 3;

}  // namespace

QString libelleTrimestre(int trimestre, int annee) {
    const QString suffixe = trimestre == 1 ? QStringLiteral("er ") : QStringLiteral("ème");
    return QString::number(trimestre) + suffixe + QStringLiteral(" TRIMESTRE ") +
           QString::number(annee);
}

QStringList listeTrimestres(const QDate& jour) {
    QStringList libelles;
    for (int i = 0; i < kNombreTrimestres; ++i) {
        // addMonths lowers the day to the end of a shorter month.
        const QDate d = jour.addMonths(-kMoisParTrimestre * i);
        libelles << libelleTrimestre((d.month() - 1) / kMoisParTrimestre + 1, d.year());
    }
    return libelles;
}

QString requeteDeclarations(const QString& trimestre, const QString& entite,
                            const QString& centre) {
    const QString annee = trimestre.right(4);
    const QString numero = trimestre.left(1);
    return QStringLiteral("SSELECT DETAILCHGPARTEMP AVEC @ID = ") +
           orv::valeurRequete(QLatin1Char('[') + annee + numero) +
           QStringLiteral(" AND AVEC 1 = ") + orv::valeurRequete(entite) +
           QStringLiteral(" AND AVEC CodCtrUrssafDetailChgPartemp = ") +
           orv::valeurRequete(centre) +
           QStringLiteral(" PAR NomAideDetailChgPartemp PAR PrenomAideDetailChgPartemp");
}

Ctr_ReleveDnt::Ctr_ReleveDnt(QWidget* parent)
    : orv::ModuleControl(orv::thisLibrary(), kCleDroits, parent),
      ui_(std::make_unique<Ui::Ctr_ReleveDnt>()) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("Ctr_ReleveDnt"));
    installerSelecteurs();
    connect(ui_->Cmd_Ok, &QPushButton::clicked, this, [this] { Cmd_Ok_Click(); });
    connect(ui_->Cmd_Sortir, &QPushButton::clicked, this, [this] { Cmd_Sortir_Click(); });
    enableHelpMenu();
}

Ctr_ReleveDnt::~Ctr_ReleveDnt() = default;

void Ctr_ReleveDnt::installerSelecteurs() {
    entite_ = new orv::EntityPicker(this);
    centre_ = new CentrePicker(ui_->Etq_CtrUrssaf, ui_->Txt_CtrUrssaf, ui_->Cbo_CtrUrssaf, this);
    connect(entite_, &orv::CodePicker::loaded, this, [this] { codeCharge(entiteChargee_); });
    connect(entite_, &orv::CodePicker::opened, this,
            [this] { codeOuvert(entiteChargee_, ui_->Cbo_SigleAssoc); });
    connect(centre_, &orv::CodePicker::loaded, this, [this] { codeCharge(centreCharge_); });
    connect(centre_, &orv::CodePicker::opened, this,
            [this] { codeOuvert(centreCharge_, ui_->Cbo_CtrUrssaf); });
}

QWidget* Ctr_ReleveDnt::actionButton() const { return ui_->Cmd_Ok; }

void Ctr_ReleveDnt::start() {
    chargerListes();
    placerFocus();
}

void Ctr_ReleveDnt::chargerListes() {
    dba::Database& db = requireDatabase();
    orv::BusyScope occupe(this);
    applyRights();
    association_ = db.OpenFile(QStringLiteral("ASSOCIATION"));
    centreUrssaf_ = db.OpenFile(QStringLiteral("CENTREURSSAF"));
    entite_->setFile(association_);
    centre_->setFile(centreUrssaf_);
    requete_ = dba::Record();
    Remplir_CboTrimestre();
    entite_->buildFromAssociations(db);
    if (entite_->selectSingleEntry()) GriserAsso();
    centre_->RequeteCentreUrssaf(db);
    centre_->RemplirCentreUrssaf();
    if (centre_->selectSingleEntry()) GriserCentreUrssaf();
}

void Ctr_ReleveDnt::placerFocus() {
    if (entite_->focusCode() || centre_->focusCode()) return;
    if (ui_->Cmd_Ok->isVisibleTo(this)) ui_->Cmd_Ok->setFocus();
}

void Ctr_ReleveDnt::Remplir_CboTrimestre() {
    ui_->Cbo_Trimestre->clear();
    ui_->Cbo_Trimestre->addItems(listeTrimestres(orv::today()));
    ui_->Cbo_Trimestre->setCurrentIndex(1);
}

void Ctr_ReleveDnt::GriserAsso() { entite_->setPickerEnabled(false); }
void Ctr_ReleveDnt::GriserCentreUrssaf() { centre_->setPickerEnabled(false); }

void Ctr_ReleveDnt::codeCharge(bool& charge) {
    const orv::BusyScope occupe(this, orv::BusyScope::KeepFocus);
    charge = true;
    majCmdOk();
}

void Ctr_ReleveDnt::codeOuvert(bool& charge, QComboBox* noms) {
    charge = false;
    {
        // Emptying the name here must not empty the code being typed.
        const QSignalBlocker bloque(noms);
        noms->setEditText(QString());
    }
    majCmdOk();
}

void Ctr_ReleveDnt::majCmdOk() { ui_->Cmd_Ok->setEnabled(entiteChargee_ && centreCharge_); }

void Ctr_ReleveDnt::RequeteDetailChgPartemp() {
    requete_ = dba::queryRequest(
        requeteDeclarations(ui_->Cbo_Trimestre->currentText(), ui_->Txt_CodAssoc->text(),
                            ui_->Txt_CtrUrssaf->text()),
        QStringLiteral("DETAILCHGPARTEMP"), {0});
    selection_ = database()->Query(requete_);
}

void Ctr_ReleveDnt::Cmd_Ok_Click() {
    try {
        const orv::BusyScope occupe(this);
        RequeteDetailChgPartemp();
    } catch (const dba::Error& e) {
        signalerEchec(QStringLiteral("La sélection des déclarations"), e);
        return;
    }
    if (selection_.get(1).isEmpty()) {
        aucuneDeclaration();
        return;
    }
    if (imprimer() != orv::PrintJob::Outcome::Failed) leave();
}

void Ctr_ReleveDnt::aucuneDeclaration() {
    orv::MsgBox(kAucuneDeclaration, orv::MsgExclamation);
    if (entite_->count() != 1) entite_->clear();
    if (centre_->count() != 1) centre_->clear();
    entite_->focusCode();
}

orv::PrintJob::Outcome Ctr_ReleveDnt::imprimer() {
    orv::PrintJob job(this, QStringLiteral("L'impression du relevé"));
    job.setProgressLabel(QStringLiteral("Impression du relevé en cours..."));
    job.setRemarksHeading(QStringLiteral("Le relevé a été imprimé, avec ces remarques :"));
    const QString trimestre = ui_->Cbo_Trimestre->currentText();
    job.setDocument(QStringLiteral("Relevé DNT"),
                    QStringLiteral("%1 %2 %3T%4")
                        .arg(ui_->Txt_CodAssoc->text(), ui_->Txt_CtrUrssaf->text(),
                             trimestre.left(1), trimestre.right(4)));
    if (!job.choosePrinter()) return orv::PrintJob::Outcome::Cancelled;
    // A matrix printer keeps its orientation; every other one prints the statement landscape.
    if (!job.matrix()) job.setOrientation(orv::PrinterOrientation::Landscape);
    if (!job.chooseCopies()) return orv::PrintJob::Outcome::Cancelled;

    releve_ = std::make_unique<ReleveDnt>(*database(), job.printer());
    releve_->setDonnees(
        {selection_, entite_->current(), centre_->current(), ui_->Cbo_Trimestre->currentText()});
    if (!job.fits(releve_->largeurLigne(), QStringLiteral("le relevé")))
        return orv::PrintJob::Outcome::Failed;
    releve_->setProgression([&job](int faites, int) { job.progress(faites); });
    return job.run(selection_.DCount(), [&](int) {
        releve_->GestionRequete();
        job.addRemarks(releve_->anomalies());
    });
}

void Ctr_ReleveDnt::signalerEchec(const QString& quoi, const std::exception& e) {
    QString texte = quoi + QStringLiteral(" a échoué : ") + QString::fromUtf8(e.what());
    if (const auto* erreur = dynamic_cast<const dba::Error*>(&e))
        texte += QStringLiteral(" (erreur %1)").arg(erreur->number());
    orv::MsgBox(texte, orv::MsgCritical);
}

void Ctr_ReleveDnt::Cmd_Sortir_Click() { leave(); }

void Ctr_ReleveDnt::releaseResources() {
    releve_.reset();
    selection_ = dba::Record();
    requete_ = dba::Record();
    association_.reset();
    centreUrssaf_.reset();
    entite_->setFile(nullptr);
    centre_->setFile(nullptr);
}

void Ctr_ReleveDnt::Mnu_Sommaire_Click() { orv::showHelp(kPageAide, kTitreAide, this); }

}  // namespace declartrim
