// index create|list|drop|rebuild: secondary indexes on dictionary items. An index is kept by
// every later write, load included; rebuild recomputes it from the records.
#include <chrono>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "engine/database.h"
#include "tools/commands.h"

namespace orv::tools {

namespace {

struct IndexArgs {
    std::string file;
    std::string field;
};

// FILE FIELD, or FILE [FIELD] when the field may be left out.
IndexArgs indexArgs(const QStringList& args, bool fieldOptional) {
    if (fieldOptional && args.size() == 1) return {args[0].toStdString(), {}};
    requireArgumentCount(args, 2);
    return {args[0].toStdString(), args[1].toStdString()};
}

std::string secondsSince(std::chrono::steady_clock::time_point start) {
    const double s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::ostringstream text;
    text << std::fixed << std::setprecision(2) << s << " s";
    return text.str();
}

bool isListedFile(const std::string& file) {
    return file.rfind("DICT ", 0) != 0 && file.rfind("ORV.", 0) != 0;
}

int runIndexCreate(CommandContext& ctx) {
    const IndexArgs a = indexArgs(ctx.args, false);
    const auto start = std::chrono::steady_clock::now();
    const int64_t entries = ctx.database()->createIndex(a.file, a.field);
    ctx.out << "Index " << a.field << " du fichier " << a.file << " créé : " << entries
            << " entrées en " << secondsSince(start) << "\n";
    return kExitOk;
}

int runIndexList(CommandContext& ctx) {
    if (ctx.args.size() > 1) requireArgumentCount(ctx.args, 1);
    Database& db = *ctx.database();
    std::vector<std::string> files;
    if (ctx.args.isEmpty()) {
        for (const std::string& file : db.storage().fileNames())
            if (isListedFile(file)) files.push_back(file);
    } else {
        files.push_back(ctx.args[0].toStdString());
        db.requireFile(files.back());
    }
    for (const std::string& file : files)
        for (const std::string& field : db.indexes(file)) ctx.out << file << ' ' << field << '\n';
    return kExitOk;
}

int runIndexDrop(CommandContext& ctx) {
    const IndexArgs a = indexArgs(ctx.args, false);
    ctx.database()->dropIndex(a.file, a.field);
    ctx.out << "Index " << a.field << " du fichier " << a.file << " supprimé\n";
    return kExitOk;
}

int runIndexRebuild(CommandContext& ctx) {
    const IndexArgs a = indexArgs(ctx.args, true);
    Database& db = *ctx.database();
    db.requireFile(a.file);
    if (a.field.empty() && db.indexes(a.file).empty())
        throw CommandFailure("le fichier " + a.file + " n'a pas d'index");
    const auto start = std::chrono::steady_clock::now();
    const int64_t entries = db.rebuildIndex(a.file, a.field);
    ctx.out << (a.field.empty() ? "Index du fichier " + a.file
                                : "Index " + a.field + " du fichier " + a.file)
            << " reconstruit(s) : " << entries << " entrées en " << secondsSince(start) << "\n";
    return kExitOk;
}

}  // namespace

ORV_DB_COMMAND("index create", "FICHIER CHAMP",
               "indexe un élément du dictionnaire d'un fichier (tenu à jour à chaque écriture)",
               runIndexCreate)
ORV_DB_COMMAND("index list", "[FICHIER]", "liste les index (d'un fichier ou de toute la base)",
               runIndexList)
ORV_DB_COMMAND("index drop", "FICHIER CHAMP", "supprime un index", runIndexDrop)
ORV_DB_COMMAND("index rebuild", "FICHIER [CHAMP]",
               "reconstruit un index, ou tous ceux d'un fichier, à partir des enregistrements",
               runIndexRebuild)

}  // namespace orv::tools
