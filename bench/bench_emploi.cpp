// The timetable of many helpers to PDF: the first 100, 200, 400 ... 5,000 helpers (codes in
// order) that have visits over the 60 days around the middle of a demo database's visits
// (`orvanelle-db demo --scale N`), W_AidantAide "AIDANT", the routine "EDITEMPLOITEMPS" called as
// the control calls it, then the printout; each size in a process of its own (rapports_bench.h).
//
//   bench_emploi DEMO_DATABASE [HELPERS...|tous]
#include <set>

#include "controls/horaireaidants/edition_emploi.h"
#include "rapports_bench.h"

namespace {

using namespace bench;

// BASE DEBUT FIN DE A: the timetable of the helpers DE to A.
int enfant(const QStringList& a) {
    const auto base = ouvrir(a[0]);
    dba::Database& db = *base;
    QElapsedTimer t;
    const double cpu0 = processeur();
    t.start();
    int statut = 0;
    dba::Record resultat, requete;
    db.RunCommand(QStringLiteral("DATE.FORMAT"), QString(), statut, resultat);
    requete.put(1, QStringLiteral("P"));
    requete.put(
        2, QStringLiteral("EDITEMPLOITEMPS |") +
               QStringList{QString(), kUtilisateur, a[1], a[2], QString(), QString(), QString(),
                           QString(), QString(), a[3], a[4], QStringLiteral("AIDANT"),
                           QStringLiteral("0"), QStringLiteral("0")}
                   .join(QLatin1Char('|')));
    db.RunCommand(requete.get(), QString(), statut, resultat);
    dba::Record emploi =
        db.OpenFile(QStringLiteral("TEMPO"))->Read(QStringLiteral("EMPLOITPS") + kUtilisateur);
    const double tRoutine = secondes(t);
    t.restart();
    orv::Printer printer(pdf(a[0], QStringLiteral("emploi.pdf")));
    printer.setOrientation(orv::PrinterOrientation::Landscape);
    horaireaidants::EditionEmploiTemps edition(db, printer);
    edition.setParametres(
        {QString(), QString(), QStringLiteral("AIDANT"), a[1].toLong(), a[2].toLong()});
    const int lignes = horaireaidants::EditionEmploiTemps::nombreLignes(emploi);
    edition.imprimer(emploi);
    printer.endDoc();
    reponseEnfant(tRoutine, secondes(t), lignes, cpu0);
    return 0;
}

// The codes of the helpers that have visits between the two days, in order.
QStringList aidantsPlanifies(const QString& base, long debut, long fin) {
    const auto db = ouvrir(base);
    std::set<QString> codes;
    const auto cles = db->session().database().select(
        "SSELECT PLANNING AVEC JourPlanning >= \"" + std::to_string(debut) +
        "\" AND AVEC JourPlanning <= \"" + std::to_string(fin) + "\"");
    for (const std::string& cle : cles)
        codes.insert(QString::fromStdString(cle).section(QLatin1Char('*'), 0, 0));
    return QStringList(codes.begin(), codes.end());
}

int parent(const QString& demo, const QStringList& demandees) {
    QTemporaryDir dir;
    const Demo d = copier(demo, dir);
    const long debut = d.milieu - 30, fin = debut + 59;
    const QStringList codes = aidantsPlanifies(d.copie, debut, fin);
    std::printf("Emploi du temps (AIDANT, PDF), %s, jours %ld à %ld : %lld aidants planifiés\n",
                qPrintable(QFileInfo(demo).fileName()), debut, fin,
                static_cast<long long>(codes.size()));
    mesurer(
        tailles(demandees, int(codes.size())),
        [&](int n) {
            return QStringList{QStringLiteral("emploi"), d.copie,       QString::number(debut),
                               QString::number(fin),     codes.first(), codes[n - 1]};
        },
        "routine", "impression");
    std::printf(
        "Objectifs : chaque doublement au plus x2,2 ; tous les aidants de la démo "
        "d'échelle 10 en moins de 30 s.\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return principal(
        argc, argv, "Usage : bench_emploi BASE_DE_DEMONSTRATION [AIDANTS...|tous]\n", parent,
        [](const QStringList& a) { return enfant(a.mid(1)); }, 6);
}
