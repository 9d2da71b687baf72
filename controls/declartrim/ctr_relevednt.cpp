#include "controls/declartrim/ctr_relevednt.h"

#include <QApplication>
#include <QComboBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <stdexcept>

#include "client/clock.h"
#include "client/outils_communs.h"
#include "controls/declartrim/centre_picker.h"
#include "controls/declartrim/releve_dnt.h"
#include "frame/code_picker.h"
#include "frame/library_objects.h"
#include "platform/busy.h"
#include "platform/help.h"
#include "platform/messages.h"
#include "platform/printer.h"
#include "ui_ctr_relevednt.h"

namespace declartrim {

namespace {

constexpr int kNombreTrimestres = 9;
constexpr int kMoisParTrimestre = 3;
const QChar kGuillemet = QLatin1Char('"');

QString entreGuillemets(const QString& text) { return kGuillemet + text + kGuillemet; }

// Stops a print run from its progress callback when the user cancels.
struct ImpressionAnnulee {};

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
           entreGuillemets(QLatin1Char('[') + annee + numero) + QStringLiteral(" AND AVEC 1 = ") +
           entreGuillemets(entite) + QStringLiteral(" AND AVEC CodCtrUrssafDetailChgPartemp = ") +
           entreGuillemets(centre) +
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

Ctr_ReleveDnt::~Ctr_ReleveDnt() { fermerAide(); }

void Ctr_ReleveDnt::installerSelecteurs() {
    entite_ = new orv::EntityPicker(this);
    centre_ = new CentrePicker(ui_->Etq_CtrUrssaf, ui_->Txt_CtrUrssaf, ui_->Cbo_CtrUrssaf, this);
    entite_->setHooks(
        {.codeChanged = {},
         .loaded = [this](const QString&, const dba::Record&) { codeCharge(entiteChargee_); },
         .opened = [this] { codeOuvert(entiteChargee_, ui_->Cbo_SigleAssoc); }});
    centre_->setHooks(
        {.codeChanged = {},
         .loaded = [this](const QString&, const dba::Record&) { codeCharge(centreCharge_); },
         .opened = [this] { codeOuvert(centreCharge_, ui_->Cbo_CtrUrssaf); }});
}

QWidget* Ctr_ReleveDnt::actionButton() const { return ui_->Cmd_Ok; }

void Ctr_ReleveDnt::start() {
    if (!database())
        throw std::logic_error("Ctr_ReleveDnt : TheDatabase doit être renseigné avant Init");
    beginBusy();
    applyRights();
    dba::Database& db = *database();
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
    endBusy();
    placerFocus();
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
    // Disabling the control takes the focus away from the box being typed in: give it back.
    const QPointer<QWidget> focus = QApplication::focusWidget();
    beginBusy();
    charge = true;
    majCmdOk();
    endBusy();
    if (focus && focus->isEnabled()) focus->setFocus();
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
    requete_ = dba::Record();
    requete_.put(1, requeteDeclarations(ui_->Cbo_Trimestre->currentText(),
                                        ui_->Txt_CodAssoc->text(), ui_->Txt_CtrUrssaf->text()));
    requete_.put(2, QStringLiteral("DETAILCHGPARTEMP"));
    requete_.put(3, QStringLiteral("0"));
    selection_ = database()->Query(requete_);
}

void Ctr_ReleveDnt::Cmd_Ok_Click() {
    beginBusy();
    try {
        RequeteDetailChgPartemp();
    } catch (const dba::Error& e) {
        endBusy();
        signalerEchec(QStringLiteral("La sélection des déclarations"), e);
        return;
    }
    endBusy();

    if (selection_.get(1).isEmpty()) {
        aucuneDeclaration();
        return;
    }
    // An answer that is not a number is no printer at all.
    bool numero = false;
    int imprimante = orv::OutilsCommuns::ChoixImprimante(QString()).toInt(&numero);
    if (!numero) imprimante = -1;
    orv::pumpMessages();
    if (imprimante != -1 && !imprimer(imprimante)) return;
    leave();
}

void Ctr_ReleveDnt::aucuneDeclaration() {
    orv::MsgBox(kAucuneDeclaration, orv::MsgExclamation);
    if (entite_->count() != 1) entite_->clear();
    if (centre_->count() != 1) centre_->clear();
    entite_->focusCode();
}

bool Ctr_ReleveDnt::imprimer(int imprimante) {
    if (!orv::setCurrentPrinter(imprimante)) return true;
    orv::Printer& printer = orv::currentPrinter();
    // The orientation is changed for this job only: the printer's own setting comes back after.
    const orv::PrinterOrientation orientation = printer.orientation();
    const auto retablir = qScopeGuard([&] {
        if (printer.documentOpen()) printer.killDoc();
        printer.setOrientation(orientation);
    });
    if (!ReleveDnt::estMatricielle(printer.deviceName()))
        printer.setOrientation(orv::PrinterOrientation::Landscape);
    const int exemplaires = orv::OutilsCommuns::NombreExemplaires();
    if (exemplaires < 1) return true;  // copies dialog cancelled: nothing to print

    releve_ = std::make_unique<ReleveDnt>(*database(), printer);
    releve_->setDonnees(
        {selection_, entite_->current(), centre_->current(), ui_->Cbo_Trimestre->currentText()});
    const int lignes = selection_.DCount();
    // Over the host window: the control itself is disabled while it prints.
    QProgressDialog progression(QStringLiteral("Impression du relevé en cours..."),
                                QStringLiteral("Annuler"), 0, lignes * exemplaires,
                                orv::hostWindowOf(this));
    progression.setWindowTitle(orv::kTitreMessage);
    progression.setWindowModality(Qt::WindowModal);
    int exemplaire = 0;
    releve_->setProgression([&](int faites, int total) {
        // Every few rows: each update of a modal progress dialog runs the message pump.
        constexpr int kPas = 25;
        if (faites % kPas != 0 && faites != total) return;
        progression.setValue(exemplaire * lignes + faites);
        if (progression.wasCanceled()) throw ImpressionAnnulee{};
    });

    beginBusy();
    try {
        for (exemplaire = 0; exemplaire < exemplaires; ++exemplaire) {
            if (exemplaire != 0) printer.newPage();
            releve_->GestionRequete();
        }
    } catch (const ImpressionAnnulee&) {
        printer.killDoc();
        endBusy();
        return true;
    } catch (const std::exception& e) {
        printer.killDoc();
        endBusy();
        signalerEchec(QStringLiteral("L'impression du relevé"), e);
        return false;
    }
    progression.reset();
    endBusy();
    printer.endDoc();
    signalerAnomalies(releve_->anomalies());
    return true;
}

void Ctr_ReleveDnt::signalerAnomalies(const QStringList& anomalies) {
    if (anomalies.isEmpty()) return;
    constexpr int kMaxAffichees = 15;
    QStringList lignes = anomalies.mid(0, kMaxAffichees);
    if (anomalies.size() > kMaxAffichees)
        lignes << QStringLiteral("... et %1 autre(s) remarque(s).")
                      .arg(anomalies.size() - kMaxAffichees);
    orv::MsgBox(QStringLiteral("Le relevé a été imprimé, avec ces remarques :\n") +
                    lignes.join(QLatin1Char('\n')),
                orv::MsgExclamation);
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

void Ctr_ReleveDnt::Mnu_Sommaire_Click() { aide_ = orv::showHelp(kPageAide, kTitreAide); }

void Ctr_ReleveDnt::fermerAide() {
    // The help window is shared: close it only while it shows this control's help.
    if (aide_ && aide_->windowTitle() == kTitreAide) orv::closeHelp();
    aide_ = nullptr;
}

}  // namespace declartrim
