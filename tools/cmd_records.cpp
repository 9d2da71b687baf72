// Record commands: load, dump, read, write, delete.
#include <fstream>
#include <iostream>
#include <set>

#include "engine/database.h"
#include "tools/commands.h"
#include "tools/jsonl.h"
#include "tools/record_io.h"

namespace orv::tools {

namespace {

std::string argument(const QStringList& args, qsizetype i) { return args.at(i).toStdString(); }

struct FileKey {
    std::string file;
    std::string key;
};

// The FILE KEY arguments of read, write and delete; the file must exist.
FileKey fileAndKey(CommandContext& ctx) {
    requireArgumentCount(ctx.args, 2);
    FileKey target{argument(ctx.args, 0), argument(ctx.args, 1)};
    if (target.key.empty()) throw UsageError("la clé ne peut pas être vide");
    requireVisibleFile(target.file, ctx.engineFiles);
    ctx.database()->requireFile(target.file);
    return target;
}

int runLoad(CommandContext& ctx) {
    requireArgumentCount(ctx.args, 1);
    const std::string path = argument(ctx.args, 0);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw CommandFailure("impossible de lire le fichier « " + path + " »");
    const LoadCounts counts = loadExchange(*ctx.database(), in, path, ctx.engineFiles);
    settleAfterBulkWrite(*ctx.database(), ctx.err);
    ctx.err << counts.records << " enregistrement(s) chargé(s), " << counts.files
            << " fichier(s) créé(s)\n";
    return kExitOk;
}

// Engine files (users, ...) hold secrets and salts: a whole-database dump leaves them out.
void dumpWholeDatabase(Database& db, std::ostream& out) {
    std::vector<std::string> files = db.storage().fileNames();
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) {
        if (isEngineFile(file)) continue;
        out << createLine(file) << '\n';
        dumpFile(db, file, out);
    }
}

int runDump(CommandContext& ctx) {
    Database& db = *ctx.database();
    if (ctx.args.isEmpty()) {
        dumpWholeDatabase(db, ctx.out);
        return kExitOk;
    }
    for (const QString& file : ctx.args) {
        requireVisibleFile(file.toStdString(), ctx.engineFiles);
        db.requireFile(file.toStdString());
    }
    for (const QString& file : ctx.args) dumpFile(db, file.toStdString(), ctx.out);
    return kExitOk;
}

int runRead(CommandContext& ctx) {
    const FileKey target = fileAndKey(ctx);
    printRecord(*ctx.database(), target.file, target.key, ctx.out, ctx.engineFiles);
    return kExitOk;
}

int runWrite(CommandContext& ctx) {
    const FileKey target = fileAndKey(ctx);
    DynArray record;
    try {
        record = parseAttrsText(readAll(ctx.in));
    } catch (const ExchangeError& e) {
        throw CommandFailure(std::string("entrée standard : ") + e.what() +
                             " ; rien n'a été écrit");
    }
    ctx.database()->write(target.file, target.key, record);
    return kExitOk;
}

int runDelete(CommandContext& ctx) {
    const FileKey target = fileAndKey(ctx);
    if (!ctx.database()->remove(target.file, target.key))
        throw CommandFailure("l'enregistrement « " + target.key + " » n'existe pas dans " +
                             target.file);
    return kExitOk;
}

}  // namespace

ORV_DB_COMMAND("load", "FICHIER.jsonl", "charge des enregistrements JSON lines (tout ou rien)",
               runLoad)
ORV_DB_COMMAND("dump", "[FICHIER...]",
               "écrit les enregistrements en JSON lines (toute la base sans argument)", runDump)
ORV_DB_COMMAND("read", "FICHIER CLE", "affiche un enregistrement (tableau JSON attrs)", runRead)
ORV_DB_COMMAND("write", "FICHIER CLE",
               "écrit un enregistrement lu sur l'entrée standard (tableau JSON attrs)", runWrite)
ORV_DB_COMMAND("delete", "FICHIER CLE", "supprime un enregistrement", runDelete)

}  // namespace orv::tools
