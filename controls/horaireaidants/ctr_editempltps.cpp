#include "controls/horaireaidants/ctr_editempltps.h"

#include <array>
#include <utility>

#include "client/outils_communs.h"
#include "controls/horaireaidants/dates_edition.h"
#include "controls/horaireaidants/edition_emploi.h"
#include "controls/horaireaidants/frm_emploitemps.h"
#include "frame/library_objects.h"
#include "platform/busy.h"
#include "platform/messages.h"
#include "platform/print_job.h"
#include "platform/printer.h"
#include "ui_ctr_editempltps.h"

namespace horaireaidants {

namespace {
const QString kRoutine = QStringLiteral("EDITEMPLOITEMPS |");
const QString kCleEmploi = QStringLiteral("EMPLOITPS");
const QString kPapier = QStringLiteral("A4");
}  // namespace

Ctr_EditEmplTps::Ctr_EditEmplTps(QWidget* parent)
    : orv::ModuleControl(orv::thisLibrary(), QString(), parent),
      ui_(std::make_unique<Ui::Ctr_EditEmplTps>()) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("Ctr_EditEmplTps"));
}

Ctr_EditEmplTps::~Ctr_EditEmplTps() { UserControl_Terminate(); }

QString Ctr_EditEmplTps::texteAppel() const {
    return QStringList{W_CodAidant,
                       W_User,
                       QString::number(JourDebut),
                       QString::number(JourFin),
                       W_CodeAide,
                       W_Asso,
                       W_Act,
                       W_Tri,
                       W_Select,
                       W_De,
                       W_A,
                       W_AidantAide,
                       W_SansMail,
                       W_SansTlgMobile}
        .join(QLatin1Char('|'));
}

QString Ctr_EditEmplTps::sujetEdition() const {
    QString personne;
    if (!W_CodAidant.isEmpty())
        personne = QStringLiteral("aidant ") + W_CodAidant + QLatin1Char(' ');
    else if (!W_CodeAide.isEmpty())
        personne = QStringLiteral("aidé ") + W_CodeAide + QLatin1Char(' ');
    return personne + QStringLiteral("du ") + orv::OutilsCommuns::JourVersDate(JourDebut) +
           QStringLiteral(" au ") + orv::OutilsCommuns::JourVersDate(JourFin);
}

void Ctr_EditEmplTps::Edition(QString& codAidant, QString& user, int& dateVal, int& dateFinTemp,
                              QString& codeAide, QString& asso, QString& act, QString& tri,
                              QString& select, QString& de, QString& a, QString& aidantAide) {
    // Each argument and the member that carries it.
    const std::array<std::pair<QString*, QString*>, 10> textes{{{&codAidant, &W_CodAidant},
                                                                {&user, &W_User},
                                                                {&codeAide, &W_CodeAide},
                                                                {&asso, &W_Asso},
                                                                {&act, &W_Act},
                                                                {&tri, &W_Tri},
                                                                {&select, &W_Select},
                                                                {&de, &W_De},
                                                                {&a, &W_A},
                                                                {&aidantAide, &W_AidantAide}}};
    for (const auto& [argument, membre] : textes) *membre = *argument;
    W_DateVal = dateVal;
    w_datefintemp = dateFinTemp;
    Edition();
    for (const auto& [argument, membre] : textes) *argument = *membre;
    dateVal = W_DateVal;
    dateFinTemp = w_datefintemp;
}

void Ctr_EditEmplTps::Edition() {
    dba::Database& db = requireDatabase();
    // The control has no exit button: once the edition is over, its host may close it.
    struct Fin {
        Ctr_EditEmplTps* c;
        ~Fin() {
            c->releaseResources();
            c->setSortir();
        }
    } fin{this};
    if (!demanderDates()) return;
    ouvrirFichiers(db);
    imprimer(db);
}

bool Ctr_EditEmplTps::demanderDates() {
    DatesValidees = false;
    DateDebut = QString::number(W_DateVal);
    DateFin = QString::number(w_datefintemp);
    Frm_emploitemps dialogue(this);
    dialogue.exec();
    if (!DatesValidees) return false;
    JourDebut = DateDebut.toLong();
    JourFin = DateFin.toLong();
    return true;
}

void Ctr_EditEmplTps::ouvrirFichiers(dba::Database& db) {
    civilAidant_ = db.OpenFile(QStringLiteral("CIVILAIDANT"));
    civilAide_ = db.OpenFile(QStringLiteral("CIVILAIDE"));
    tempo_ = db.OpenFile(QStringLiteral("TEMPO"));
}

bool Ctr_EditEmplTps::construireEmploi(dba::Database& db) {
    try {
        const orv::BusyScope occupe(this);
        int statut = 0;
        dba::Record resultat;
        db.RunCommand(QStringLiteral("DATE.FORMAT"), QString(), statut, resultat);
        requete_ = dba::Record();
        requete_.put(1, QStringLiteral("P"));
        requete_.put(2, kRoutine + texteAppel());
        db.RunCommand(requete_.get(), QString(), statut, resultat);
    } catch (const dba::Error& e) {
        // The control has started and the printer is chosen: the user is told what the
        // routine refused, and nothing is printed.
        if (e.number() != dba::kRoutineError) throw;
        orv::MsgBox(kEmploiNonPrepare.arg(e.message()), orv::MsgExclamation);
        return false;
    }
    emploi_ = tempo_->Read(kCleEmploi + W_User);
    return true;
}

void Ctr_EditEmplTps::imprimer(dba::Database& db) {
    orv::PrintJob job(this, QStringLiteral("L'impression de l'emploi du temps"));
    job.setProgressLabel(QStringLiteral("Impression des emplois du temps en cours..."));
    job.setDocument(QStringLiteral("Emploi du temps"), sujetEdition());
    if (!job.choosePrinter(kPapier)) return;
    job.setOrientation(orv::PrinterOrientation::Landscape);
    if (!construireEmploi(db)) return;
    if (EditionEmploiTemps::aucunEmploi(emploi_)) {
        orv::MsgBox(kAucunEmploi, orv::MsgExclamation);
        return;
    }
    EditionEmploiTemps edition(db, job.printer());
    edition.setParametres({W_CodAidant, W_CodeAide, W_AidantAide, JourDebut, JourFin});
    edition.setProgression([&job](int faites) { job.progress(faites); });
    const double largeur = job.printer().textWidth(QString(131, QLatin1Char(' ')));
    if (!job.fits(largeur, QStringLiteral("l'emploi du temps"))) return;
    job.run(EditionEmploiTemps::nombreLignes(emploi_), [&](int) { edition.imprimer(emploi_); });
    W_CodAidant = edition.parametres().codAidant;
    W_CodeAide = edition.parametres().codeAide;
}

void Ctr_EditEmplTps::releaseResources() {
    civilAidant_.reset();
    civilAide_.reset();
    tempo_.reset();
    emploi_ = dba::Record();
    requete_ = dba::Record();
}

void Ctr_EditEmplTps::UserControl_Terminate() {
    releaseResources();
    releaseDatabase();
}

}  // namespace horaireaidants
