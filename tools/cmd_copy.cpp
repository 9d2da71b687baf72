// copy FROM TO: every file of one database into another, embedded or on a server.
#include <QDateTime>

#include <algorithm>
#include <optional>
#include <ostream>

#include "engine/database.h"
#include "tools/commands.h"
#include "tools/record_io.h"

namespace orv::tools {

namespace {

// Replaces the target's file with the source's records, in the source's file order.
int64_t copyFile(Database& from, Database& to, const std::string& file) {
    if (!to.hasFile(file)) to.createFile(file);
    to.storage().clear(file);
    int64_t copied = 0;
    from.storage().scan(file, [&](std::string_view key, std::string_view record) {
        to.write(file, std::string(key), DynArray(std::string(record)));
        ++copied;
        return true;
    });
    return copied;
}

// A copy under way is marked in the target, in a transaction of its own, and the mark goes in
// the copy's transaction: a mark found says that a copy was interrupted (its transaction, and so
// all it wrote, rolled back).
constexpr const char* kCopyFile = "ORV.COPIE";
constexpr const char* kCopyKey = "EN COURS";

void reportInterruptedCopy(Database& to, std::ostream& err) {
    if (!to.hasFile(kCopyFile)) return;
    const std::optional<DynArray> mark = to.read(kCopyFile, kCopyKey);
    if (!mark) return;
    err << "Une copie précédente depuis « " << mark->extractString(1) << " » (commencée le "
        << mark->extractString(2)
        << ") a été interrompue : la base cible est restée comme avant elle.\n";
}

void markCopy(Database& to, const QString& source) {
    if (!to.hasFile(kCopyFile)) to.storage().createFile(kCopyFile);  // no dictionary
    DynArray mark;
    mark.replace(1, source.toStdString());
    mark.replace(
        2,
        QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy à HH:mm")).toStdString());
    to.write(kCopyFile, kCopyKey, mark);
}

int runCopy(CommandContext& ctx) {
    requireArgumentCount(ctx.args, 2);
    if (ctx.args[0] == ctx.args[1]) throw UsageError("la source et la cible sont la même base");
    const auto from = ctx.open(ctx.args[0], false);
    const auto to = ctx.open(ctx.args[1], true);
    reportInterruptedCopy(*to, ctx.err);
    markCopy(*to, ctx.args[0]);
    std::vector<std::string> files = from->storage().fileNames();
    std::sort(files.begin(), files.end());
    // The whole copy is one transaction of the target: a copy that fails or is killed leaves it
    // as it was.
    Storage& target = to->storage();
    target.begin();
    try {
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
        to->remove(kCopyFile, kCopyKey);
        target.commit();
    } catch (...) {
        target.rollback();
        throw;
    }
    settleAfterBulkWrite(*to, ctx.err);
    return kExitOk;
}

}  // namespace

ORV_DB_COMMAND("copy", "SOURCE CIBLE",
               "copie chaque fichier (dictionnaires et index compris) d'une base dans une "
               "autre, en une seule transaction ; les utilisateurs ne sont pas copiés",
               runCopy)

}  // namespace orv::tools
