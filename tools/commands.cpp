#include "tools/commands.h"

#include <QFileInfo>

#include <istream>
#include <iterator>
#include <map>
#include <ostream>

#include "engine/database.h"
#include "engine/pg_storage.h"
#include "routines/routines.h"

namespace orv::tools {

namespace {

std::map<std::string, CommandInfo>& commandTable() {
    static std::map<std::string, CommandInfo> table;
    return table;
}

// A database the commands open offers the suite's server routines (orvanelle-db call).
std::shared_ptr<Database> withRoutines(std::shared_ptr<Database> db) {
    routines::registerAll(*db);
    return db;
}

}  // namespace

std::shared_ptr<Database> CommandContext::database(bool create) {
    if (db_) return db_;
    if (dbPath.isEmpty()) throw UsageError("l'option --db CHEMIN est obligatoire");
    db_ = open(dbPath, create);
    return db_;
}

std::shared_ptr<Database> CommandContext::open(const QString& accountPath, bool create) {
    const std::string path = accountPath.toStdString();
    if (isPgAccountPath(path)) {
        if (create) {
            PgTarget target = pgTargetOf(server.toStdString(), path);
            target.user = user.toStdString();
            target.password = password;
            initPostgresDatabase(target);
        }
        return withRoutines(Database::openAccount(server.toStdString(), path, user.toStdString(),
                                                  password, StorageOptions{.create = false}));
    }
    if (!create && !QFileInfo::exists(accountPath))
        throw CommandFailure("la base « " + path + " » n'existe pas (init ou demo crée une base)");
    return withRoutines(Database::openEmbedded(path, StorageOptions{.create = create}));
}

bool registerCommand(CommandInfo info) {
    std::string name = info.name;
    commandTable()[name] = std::move(info);
    return true;
}

const CommandInfo* findCommand(const std::string& name) {
    auto it = commandTable().find(name);
    return it == commandTable().end() ? nullptr : &it->second;
}

std::vector<const CommandInfo*> allCommands() {
    std::vector<const CommandInfo*> list;
    for (const auto& [name, info] : commandTable()) list.push_back(&info);
    return list;
}

QStringList parseCommandOptions(const CommandContext& ctx, QCommandLineParser& parser) {
    QStringList argv = ctx.args;
    argv.prepend(QStringLiteral("orvanelle-db"));
    if (!parser.parse(argv)) throw UsageError(parser.errorText().toStdString());
    return parser.positionalArguments();
}

void requireArgumentCount(const QStringList& args, qsizetype count) {
    if (args.size() < count) throw UsageError("argument manquant");
    if (args.size() > count) throw UsageError("argument en trop : " + args[count].toStdString());
}

std::string readAll(std::istream& in) {
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void settleAfterBulkWrite(Database& db, std::ostream& err) {
    try {
        db.storage().afterBulkWrite();
    } catch (const DbError& e) {
        err << "avertissement : les enregistrements sont écrits, mais le serveur n'a pas mis à "
               "jour ses statistiques ("
            << e.what() << ") ; il le fera de lui-même plus tard\n";
    }
}

}  // namespace orv::tools
