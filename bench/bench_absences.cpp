// The absence report of many helpers to PDF: the absence list of the 8 weeks around the middle of
// a demo database's visits (`orvanelle-db demo --scale N`), grouped by sector, its lines built as
// the container builds them, then the lines of the first 100, 200, 400 ... 5,000 helpers (codes
// in order) read from a lines file as orvanelle-module reads Requete=@FILE, and printed; each
// size in a process of its own (rapports_bench.h).
//
//   bench_absences DEMO_DATABASE [HELPERS...|tous]
#include <QJsonArray>
#include <QJsonDocument>
#include <set>

#include "controls/traceabsences/ctr_impression.h"
#include "controls/traceabsences/etat_absences.h"
#include "host/lignes_absences.h"
#include "rapports_bench.h"

namespace {

using namespace bench;

// BASE DEBUT FIN FICHIER_DES_LIGNES
int enfant(const QStringList& a) {
    const auto base = ouvrir(a[0]);
    QElapsedTimer t;
    const double cpu0 = processeur();
    t.start();
    const dba::Record requete = traceabsences::requeteDepuisFichier(a[3]);
    const double tLecture = secondes(t);
    t.restart();
    orv::Printer printer(pdf(a[0], QStringLiteral("absences.pdf")));
    const orv::RightsEntry droits(QStringLiteral("ABSENCESAIDANT"), 2);
    traceabsences::EtatAbsences etat(*base, printer, droits);
    etat.setParametres({a[1].toLong(), a[2].toLong(), false, true, false});
    etat.setRequete(requete);
    const int imprimees = etat.imprimer();
    printer.endDoc();
    reponseEnfant(tLecture, secondes(t), imprimees, cpu0);
    return 0;
}

// The report's lines, in its order (by sector, name, start day).
QList<QStringList> lignesDuRapport(const QString& base, long debut, long fin) {
    const auto db = ouvrir(base);
    orv::host::CriteresAbsences c;
    c.debut = debut;
    c.fin = fin;
    c.regroupement = orv::host::Regroupement::Secteur;
    return orv::host::valeursDesLignes(orv::host::lignesAbsences(*db, c));
}

int parent(const QString& demo, const QStringList& demandees) {
    QTemporaryDir dir;
    const Demo d = copier(demo, dir);
    const long debut = d.milieu - 28, fin = debut + 55;
    QElapsedTimer t;
    t.start();
    const QList<QStringList> lignes = lignesDuRapport(d.copie, debut, fin);
    const double tLignes = secondes(t);
    std::set<QString> ensemble;
    for (const QStringList& l : lignes) ensemble.insert(l.value(0).left(5));
    const QStringList codes(ensemble.begin(), ensemble.end());
    std::printf(
        "État des absences (par secteur, PDF), %s, jours %ld à %ld : %lld lignes de %lld "
        "aidants, construites en %.3f s\n",
        qPrintable(QFileInfo(demo).fileName()), debut, fin, static_cast<long long>(lignes.size()),
        static_cast<long long>(codes.size()), tLignes);
    const QString chemin = dir.filePath(QStringLiteral("lignes.jsonl"));
    mesurer(
        tailles(demandees, int(codes.size())),
        [&](int n) {
            // The lines of the first n helpers, in the report's order, one JSON array a line.
            QFile f(chemin);
            if (!f.open(QIODevice::WriteOnly)) throw std::runtime_error("fichier des lignes");
            for (const QStringList& l : lignes)
                if (l.value(0).left(5) <= codes[n - 1])
                    f.write(QJsonDocument(QJsonArray::fromStringList(l))
                                .toJson(QJsonDocument::Compact) +
                            '\n');
            return QStringList{QStringLiteral("absences"), d.copie, QString::number(debut),
                               QString::number(fin), chemin};
        },
        "lecture", "impression");
    std::printf("Objectif : tous les aidants de la démo d'échelle 100 en moins de 5 s.\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return principal(
        argc, argv, "Usage : bench_absences BASE_DE_DEMONSTRATION [AIDANTS...|tous]\n", parent,
        [](const QStringList& a) { return enfant(a.mid(1)); }, 5);
}
