#include "controls/traceabsences/ctr_impression.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <stdexcept>

#include "client/marks.h"
#include "client/outils_communs.h"
#include "controls/traceabsences/etat_absences.h"
#include "frame/library_objects.h"
#include "platform/messages.h"
#include "platform/print_job.h"

namespace traceabsences {

namespace {

[[noreturn]] void refuser(const QString& message) {
    throw std::invalid_argument(message.toStdString());
}

QString texteValeur(const QJsonValue& v) {
    if (v.isDouble()) return QString::number(v.toDouble(), 'g', 17);
    if (v.isBool()) return v.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
    return v.toString();
}

}  // namespace

// The record's text is built in one pass: writing each value in place would walk the record
// from its start for every line.
dba::Record requeteDepuisFichier(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuser(QStringLiteral("Le fichier des lignes « %1 » ne peut pas être lu.").arg(path));
    QStringList lignes;
    int numero = 0;
    while (!file.atEnd()) {
        const QByteArray texte = file.readLine().trimmed();
        ++numero;
        if (texte.isEmpty()) continue;
        const QJsonDocument doc = QJsonDocument::fromJson(texte);
        if (!doc.isArray())
            refuser(QStringLiteral("Ligne %1 du fichier « %2 » : un tableau des valeurs de la "
                                   "ligne est attendu.")
                        .arg(numero)
                        .arg(path));
        QStringList valeurs;
        for (const QJsonValue& v : doc.array()) valeurs << texteValeur(v);
        lignes << valeurs.join(QChar(orv::kValueMarkChar));
    }
    return dba::Record(lignes.join(QChar(orv::kAttributeMarkChar)));
}

Ctr_Impression::Ctr_Impression(QWidget* parent)
    : orv::ModuleControl(orv::thisLibrary(), kCleDroits, parent) {
    setObjectName(QStringLiteral("Ctr_Impression"));
}

Ctr_Impression::~Ctr_Impression() = default;

void Ctr_Impression::setRequete(const QString& texte) {
    if (texte.startsWith(QLatin1Char('@')))
        requete_ = requeteDepuisFichier(texte.mid(1));
    else
        requete_ = dba::Record(texte);
}

void Ctr_Impression::start() {
    dba::Database& db = requireDatabase();
    try {
        imprimer(db);
    } catch (...) {
        liberer();
        throw;
    }
    liberer();
}

void Ctr_Impression::imprimer(dba::Database& db) {
    const Parametres parametres{W_Deb, W_DateFin, W_CongeAbsence != 0, W_Secteur != 0,
                                W_Commune != 0};
    if (const QString refusee = periodeRefusee(parametres); !refusee.isEmpty()) {
        orv::MsgBox(refusee, orv::MsgExclamation);
        return;
    }
    orv::PrintJob job(this, QStringLiteral("L'impression des absences"));
    if (!job.usePrinter(W_Res)) {
        orv::MsgBox(QStringLiteral("L'imprimante numéro %1 n'est pas dans la liste des "
                                   "imprimantes : rien n'a été imprimé.")
                        .arg(W_Res),
                    orv::MsgExclamation);
        return;
    }
    if (!job.matrix()) job.setOrientation(orv::PrinterOrientation::Landscape);
    job.setDocument(
        W_CongeAbsence != 0 ? QStringLiteral("Congés prévisionnels") : QStringLiteral("Absences"),
        orv::OutilsCommuns::JourVersDate(W_Deb) + QStringLiteral(" au ") +
            orv::OutilsCommuns::JourVersDate(W_DateFin));
    if (!job.fits(EtatAbsences::largeurTableau(), QStringLiteral("l'état des absences"))) return;
    job.setRemarksHeading(
        QStringLiteral("L'état est imprimé, mais ceci n'a pas pu être imprimé :"));

    EtatAbsences etat(db, job.printer(), rightsEntry());
    etat.setParametres(parametres);
    etat.setRequete(requete_);
    etat.setProgression([&job](int ligne) { job.progress(ligne); });
    int imprimes = 0;
    job.run(requete_.DCount(), [&](int) {
        imprimes = etat.imprimer();
        job.addRemarks(etat.notes());
        if (imprimes == 0) job.abandon();
    });
    if (imprimes == 0) orv::MsgBox(kAucunAidant, orv::MsgOk, kTitre);
}

// The control is done once Init returns: its host window may close.
void Ctr_Impression::liberer() {
    requete_ = dba::Record();
    setSortir();
    releaseRights();
    releaseDatabase();
}

}  // namespace traceabsences
