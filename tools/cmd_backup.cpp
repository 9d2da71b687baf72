// backup FILE, restore FILE: a copy of an embedded database taken while others work in it, and
// bringing one back. A server database is saved with the server's own tools (pg_dump).
#include <QFileInfo>

#include <ostream>

#include "engine/backup.h"
#include "engine/pg_storage.h"
#include "tools/commands.h"

namespace orv::tools {

namespace {

// The embedded database of --db, which must exist.
std::string embeddedDatabase(const CommandContext& ctx, const char* serverAdvice) {
    if (ctx.dbPath.isEmpty()) throw UsageError("l'option --db CHEMIN est obligatoire");
    const std::string path = ctx.dbPath.toStdString();
    if (isPgAccountPath(path)) throw CommandFailure(serverAdvice);
    if (!QFileInfo::exists(ctx.dbPath))
        throw CommandFailure("la base « " + path + " » n'existe pas");
    return path;
}

int runBackup(CommandContext& ctx) {
    requireArgumentCount(ctx.args, 1);
    const std::string source = embeddedDatabase(
        ctx,
        "une base du serveur se sauvegarde avec pg_dump (pg_dump -Fc -f FICHIER NOM), "
        "voir le guide de l'utilisateur");
    const std::string target = ctx.args[0].toStdString();
    for (const std::string& removed : backupEmbedded(source, target))
        ctx.err << "Sauvegarde interrompue supprimée : " << removed << '\n';
    ctx.err << "Sauvegarde écrite : " << target << '\n';
    return kExitOk;
}

int runRestore(CommandContext& ctx) {
    requireArgumentCount(ctx.args, 1);
    if (ctx.dbPath.isEmpty()) throw UsageError("l'option --db CHEMIN est obligatoire");
    if (isPgAccountPath(ctx.dbPath.toStdString()))
        throw CommandFailure(
            "une base du serveur se restaure avec pg_restore, voir le guide de l'utilisateur");
    const std::string backup = ctx.args[0].toStdString();
    restoreEmbedded(backup, ctx.dbPath.toStdString());
    ctx.err << "Base restaurée depuis " << backup << '\n';
    return kExitOk;
}

}  // namespace

ORV_DB_COMMAND("backup", "FICHIER",
               "sauvegarde la base (fichier) dans un nouveau fichier, pendant que d'autres y "
               "travaillent",
               runBackup)
ORV_DB_COMMAND("restore", "FICHIER",
               "vérifie une sauvegarde (intégrité, version) et remplace par elle le contenu de "
               "la base",
               runRestore)

}  // namespace orv::tools
