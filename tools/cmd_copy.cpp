// copy FROM TO: every file of one database into another, embedded or on a server.
#include <algorithm>
#include <ostream>

#include "engine/database.h"
#include "tools/commands.h"
#include "tools/record_io.h"

namespace orv::tools {

namespace {

// Replaces the target's file with the source's records, in the source's file order, in one
// transaction: a failure leaves the target's file as it was.
int64_t copyFile(Database& from, Database& to, const std::string& file) {
    Storage& target = to.storage();
    int64_t copied = 0;
    target.begin();
    try {
        if (!target.hasFile(file)) target.createFile(file);
        target.clear(file);
        from.storage().scan(file, [&](std::string_view key, std::string_view record) {
            to.write(file, std::string(key), DynArray(std::string(record)));
            ++copied;
            return true;
        });
        target.commit();
    } catch (...) {
        target.rollback();
        throw;
    }
    return copied;
}

int runCopy(CommandContext& ctx) {
    requireArgumentCount(ctx.args, 2);
    if (ctx.args[0] == ctx.args[1]) throw UsageError("la source et la cible sont la même base");
    const auto from = ctx.open(ctx.args[0], false);
    const auto to = ctx.open(ctx.args[1], true);
    std::vector<std::string> files = from->storage().fileNames();
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) {
        if (isEngineFile(file)) continue;  // users and their passwords stay with their store
        ctx.err << file << " : " << copyFile(*from, *to, file) << " enregistrement(s)\n";
    }
    // Indexes once every file and dictionary is there: an index needs its dictionary item.
    for (const std::string& file : files) {
        const std::vector<std::string> existing = to->indexes(file);
        for (const std::string& field : from->indexes(file))
            if (std::find(existing.begin(), existing.end(), field) == existing.end())
                ctx.err << file << " : index " << field << " (" << to->createIndex(file, field)
                        << " entrée(s))\n";
    }
    return kExitOk;
}

}  // namespace

ORV_DB_COMMAND("copy", "SOURCE CIBLE",
               "copie chaque fichier (dictionnaires et index compris) d'une base dans une "
               "autre, fichier par fichier ; les utilisateurs ne sont pas copiés",
               runCopy)

}  // namespace orv::tools
