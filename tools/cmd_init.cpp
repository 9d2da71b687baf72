// init: creates the files and dictionaries of the schema.
#include <fstream>
#include <ostream>

#include "client/install_paths.h"
#include "engine/database.h"
#include "rights/rights_store.h"
#include "tools/commands.h"
#include "tools/schema.h"

namespace orv::tools {

std::string schemaPath(const CommandContext& ctx) {
    if (!ctx.schemaPath.isEmpty()) return ctx.schemaPath.toStdString();
    if (const QString installed = installedDataDir(); !installed.isEmpty())
        return (installed + QStringLiteral("/schema.jsonl")).toStdString();
    return ORV_SCHEMA_FILE;
}

LoadCounts applySchema(Database& db, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw CommandFailure("schéma introuvable : « " + path + " »");
    return loadExchange(db, in, path);
}

namespace {

int runInit(CommandContext& ctx) {
    requireArgumentCount(ctx.args, 0);
    Database& db = *ctx.database(true);
    const LoadCounts counts = applySchema(db, schemaPath(ctx));
    rights::guardFiles(db);  // an older server database's rights files are guarded from now
    ctx.err << counts.files << " fichier(s), " << counts.records << " élément(s) de dictionnaire\n";
    return kExitOk;
}

}  // namespace

ORV_DB_COMMAND("init", "", "crée les fichiers et dictionnaires du schéma", runInit)

}  // namespace orv::tools
