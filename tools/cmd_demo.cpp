// demo: creates the demo database (schema, data, users) in a new file.
#include <signal.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <ostream>

#include "engine/database.h"
#include "engine/pg_storage.h"
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

constexpr const char* kJournalSuffixes[] = {"", "-wal", "-shm", "-journal"};

// Removes the database file and its journal files after a failed build.
void removeDatabaseFiles(const QString& path) {
    for (const char* suffix : kJournalSuffixes) QFile::remove(path + suffix);
}

// The demo is built beside the target under a name that holds the builder's process id, and
// takes the target's name only once complete: a build that is killed never leaves a database
// that looks usable.
const QString kBuildMarker = QStringLiteral(".construction-");

QString buildPath(const QString& target) {
    return target + kBuildMarker + QString::number(getpid());
}

// Removes what builds of the same target left when they were killed.
void removeAbandonedBuilds(const QString& target) {
    const QFileInfo info(target);
    const QString prefix = info.fileName() + kBuildMarker;
    for (const QString& name : info.dir().entryList({prefix + "*"}, QDir::Files | QDir::Hidden)) {
        bool ok = false;
        const pid_t pid = name.mid(prefix.size()).section('-', 0, 0).toInt(&ok);
        if (ok && pid > 0 && kill(pid, 0) != 0 && errno == ESRCH)
            QFile::remove(info.dir().filePath(name));
    }
}

// Gives the complete build the target's name, unless a file took it meanwhile.
void publish(const QString& built, const QString& target) {
    if (link(QFile::encodeName(built).constData(), QFile::encodeName(target).constData()) != 0)
        throw CommandFailure("impossible de créer « " + target.toStdString() +
                             " » : " + std::strerror(errno));
    QFile::remove(built);
}

int runDemo(CommandContext& ctx) {
    QCommandLineParser parser;
    const QCommandLineOption scale("scale", "Multiplie les volumes (1 par défaut).", "N", "1");
    parser.addOption(scale);
    requireArgumentCount(parseCommandOptions(ctx, parser), 0);
    const int factor = scaleOption(parser, scale);
    if (ctx.dbPath.isEmpty()) throw UsageError("l'option --db CHEMIN est obligatoire");
    // Refused before anything is made: a server database would need demo login roles with
    // well-known passwords on a shared server.
    if (isPgAccountPath(ctx.dbPath.toStdString()))
        throw CommandFailure(
            "la démonstration se construit dans un fichier (--db CHEMIN), pas sur un serveur ; "
            "copiez-la ensuite sur le serveur avec copy CHEMIN pg:NOM");
    const QString target = ctx.dbPath;
    if (QFileInfo::exists(target))
        throw CommandFailure("le fichier « " + target.toStdString() +
                             " » existe déjà : la démonstration se construit dans une base neuve");
    removeAbandonedBuilds(target);
    ctx.dbPath = buildPath(target);
    removeDatabaseFiles(ctx.dbPath);
    try {
        Database& db = *ctx.database(true);
        applySchema(db, schemaPath(ctx));
        const DemoCounts counts = buildDemoData(db, factor);
        // Built once the records are in: one pass over each file.
        for (const DemoIndex& index : demoIndexes()) {
            const int64_t entries = db.createIndex(index.file, index.field);
            ctx.err << "Index " << index.file << ' ' << index.field << " : " << entries
                    << " entrées\n";
        }
        createDemoUsers(db, ctx.err);
        ctx.db_.reset();  // closes the database: its journal goes back into the file
        publish(ctx.dbPath, target);
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
