// absences: the report lines of the absence report (TraceAbsences.Ctr_Impression's Requete)
// for a period, one JSON array a line, built as the container's absence form builds them, so
// that the report can be printed from a script:
// orvanelle-module TraceAbsences.Ctr_Impression --set Requete=@FILE ...
#include <QJsonArray>
#include <QJsonDocument>

#include <ostream>

#include "client/dba.h"
#include "client/outils_communs.h"
#include "engine/database.h"
#include "host/lignes_absences.h"
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

int runAbsences(CommandContext& ctx) {
    QCommandLineParser parser;
    const QCommandLineOption secteur("sector", "Lignes groupées par secteur.");
    const QCommandLineOption commune("town", "Lignes groupées par commune.");
    const QCommandLineOption previsions("forecast",
                                        "Demandes de congés (congés prévisionnels) de la période.");
    const QCommandLineOption sans("without",
                                  "Catégories laissées de côté, séparées par des virgules : "
                                  "arrets, conges, evenements, avalider.",
                                  "CATEGORIES");
    parser.addOptions({secteur, commune, previsions, sans});
    const QStringList args = parseCommandOptions(ctx, parser);
    requireArgumentCount(args, 2);
    host::CriteresAbsences c;
    c.debut = lireJour(args[0]);
    c.fin = lireJour(args[1]);
    if (c.fin < c.debut) throw UsageError("la fin de la période précède son début");
    c.previsionnel = parser.isSet(previsions);
    c.regroupement = parser.isSet(secteur)   ? host::Regroupement::Secteur
                     : parser.isSet(commune) ? host::Regroupement::Commune
                                             : host::Regroupement::Aucun;
    for (const QString& categorie :
         parser.value(sans).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (categorie == QLatin1String("arrets"))
            c.arretsTravail = false;
        else if (categorie == QLatin1String("conges"))
            c.conges = false;
        else if (categorie == QLatin1String("evenements"))
            c.evenementsFamiliaux = false;
        else if (categorie == QLatin1String("avalider"))
            c.aValider = false;
        else
            throw UsageError("catégorie inconnue « " + categorie.toStdString() + " »");
    }

    auto session = std::make_shared<Session>(ctx.database(), "ORVANELLE-DB");
    dba::Database db(session, ctx.dbPath);
    const dba::Record requete = dba::translated([&] { return host::lignesAbsences(db, c); });
    for (const QStringList& ligne : host::valeursDesLignes(requete)) {
        if (ligne == QStringList{QString()}) break;
        ctx.out << QJsonDocument(QJsonArray::fromStringList(ligne))
                       .toJson(QJsonDocument::Compact)
                       .toStdString()
                << '\n';
    }
    return kExitOk;
}

}  // namespace

ORV_DB_COMMAND("absences", "[--sector|--town] [--forecast] [--without CATEGORIES] DU AU",
               "lignes de l'état des absences d'une période (JSON, une ligne par absence)",
               runAbsences)

}  // namespace orv::tools
