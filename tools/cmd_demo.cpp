// demo: creates the demo database (schema, data, users) in a new file.
#include <QFile>
#include <QFileInfo>

#include <ostream>

#include "engine/database.h"
#include "tools/commands.h"
#include "tools/demo.h"
#include "tools/schema.h"

namespace orv::tools {

namespace {

constexpr int kMaxScale = 1000;

int scaleOption(const QCommandLineParser& parser, const QCommandLineOption& option) {
    bool ok = false;
    const int scale = parser.value(option).toInt(&ok);
    if (!ok || scale < 1 || scale > kMaxScale)
        throw UsageError("--scale attend un nombre entier de 1 à " + std::to_string(kMaxScale));
    return scale;
}

void createDemoUsers(Database& db, std::ostream& err) {
    const DemoRightsHook& grantRights = demoRightsHook();
    for (const DemoUser& user : demoUsers()) {
        db.setUserPassword(user.name, user.password);
        if (grantRights) grantRights(db, user);
    }
    if (!grantRights)
        err << "Attention : aucun composant de droits n'est enregistré, les utilisateurs de "
               "démonstration n'ont pas de droits\n";
}

// Removes the database file and its journal files after a failed build.
void removeDatabaseFiles(const QString& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) QFile::remove(path + suffix);
}

int runDemo(CommandContext& ctx) {
    QCommandLineParser parser;
    const QCommandLineOption scale("scale", "Multiplie les volumes (1 par défaut).", "N", "1");
    parser.addOption(scale);
    requireArgumentCount(parseCommandOptions(ctx, parser), 0);
    const int factor = scaleOption(parser, scale);
    if (ctx.dbPath.isEmpty()) throw UsageError("l'option --db CHEMIN est obligatoire");
    if (QFileInfo::exists(ctx.dbPath))
        throw CommandFailure("le fichier « " + ctx.dbPath.toStdString() +
                             " » existe déjà : la démonstration se construit dans une base neuve");
    try {
        Database& db = *ctx.database();
        applySchema(db, schemaPath(ctx));
        const DemoCounts counts = buildDemoData(db, factor);
        createDemoUsers(db, ctx.err);
        ctx.err << "Base de démonstration créée : " << counts.records << " enregistrements\n";
    } catch (...) {
        ctx.db_.reset();
        removeDatabaseFiles(ctx.dbPath);
        throw;
    }
    return kExitOk;
}

}  // namespace

ORV_DB_COMMAND("demo", "[--scale N]",
               "crée la base de démonstration (nouvelle base, données, utilisateurs)", runDemo)

}  // namespace orv::tools
