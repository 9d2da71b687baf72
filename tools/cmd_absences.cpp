// absences: the report lines of the absence list (TraceAbsences.Ctr_Impression's Requete) for
// a period, one JSON array a line, so that the report can be printed without the suite's
// container: orvanelle-module TraceAbsences.Ctr_Impression --set Requete=@FILE ...
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <ostream>
#include <tuple>

#include "client/outils_communs.h"
#include "client/requete.h"
#include "engine/database.h"
#include "tools/commands.h"

namespace orv::tools {

namespace {

// A day given as dd/mm/yyyy or as an internal day number.
long lireJour(const QString& texte) {
    bool nombre = false;
    const long jour = texte.toLong(&nombre);
    if (nombre) return jour;
    const QString converti = OutilsCommuns::DateVersJour(texte);
    if (converti.isEmpty())
        throw UsageError("« " + texte.toStdString() +
                         " » n'est ni une date jj/mm/aaaa ni un numéro de jour");
    return converti.toLong();
}

struct LigneAbsence {
    QString groupe, nom, cle, libelle, fin;
};

QString attribut(const std::optional<DynArray>& record, int a) {
    return record ? QString::fromStdString(std::string(record->extract(a))) : QString();
}

int runAbsences(CommandContext& ctx) {
    QCommandLineParser parser;
    const QCommandLineOption secteur("sector", "Lignes groupées par secteur.");
    const QCommandLineOption commune("town", "Lignes groupées par commune.");
    parser.addOption(secteur);
    parser.addOption(commune);
    const QStringList args = parseCommandOptions(ctx, parser);
    requireArgumentCount(args, 2);
    const long debut = lireJour(args[0]);
    const long fin = lireJour(args[1]);
    if (fin < debut) throw UsageError("la fin de la période précède son début");

    Database& db = *ctx.database();
    // Every absence that meets the period: started by its last day, not ended before its first.
    const std::string requete =
        QStringLiteral(
            "SSELECT ABSENCESAIDANT AVEC DebAbsAidant <= %1 AND AVEC FinAbsAidant >= %2 "
            "PAR DebAbsAidant")
            .arg(valeurRequete(QString::number(fin)), valeurRequete(QString::number(debut)))
            .toStdString();
    std::vector<LigneAbsence> lignes;
    for (const std::string& cle : db.select(requete)) {
        const auto absence = db.read("ABSENCESAIDANT", cle);
        const auto aidant = db.read("CIVILAIDANT", cle.substr(0, 5));
        LigneAbsence l;
        l.cle = QString::fromStdString(cle);
        l.libelle = attribut(absence, 3);
        l.fin = attribut(absence, 2);
        l.nom = attribut(aidant, 2) + QLatin1Char(' ') + attribut(aidant, 3);
        if (parser.isSet(secteur))
            l.groupe = attribut(aidant, 31);
        else if (parser.isSet(commune))
            l.groupe = attribut(aidant, 11);
        lignes.push_back(std::move(l));
    }
    // The report starts a new group whenever the group changes: lines of a group stay
    // together, by helper name, each helper's absences by start day.
    std::stable_sort(lignes.begin(), lignes.end(), [](const auto& a, const auto& b) {
        return std::tie(a.groupe, a.nom) < std::tie(b.groupe, b.nom);
    });
    for (const LigneAbsence& l : lignes)
        ctx.out << QJsonDocument(QJsonArray{l.cle, l.libelle, l.fin})
                       .toJson(QJsonDocument::Compact)
                       .toStdString()
                << '\n';
    return kExitOk;
}

}  // namespace

ORV_DB_COMMAND("absences", "[--sector|--town] DU AU",
               "lignes de la liste des absences d'une période (JSON, une ligne par absence)",
               runAbsences)

}  // namespace orv::tools
