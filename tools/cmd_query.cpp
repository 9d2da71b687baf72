// Selection commands: query (one statement) and shell (statements read line by line).
#include <unistd.h>

#include <iostream>
#include <sstream>

#include "engine/database.h"
#include "tools/commands.h"
#include "tools/record_io.h"

namespace orv::tools {

namespace {

int runQuery(CommandContext& ctx) {
    QCommandLineParser parser;
    const QCommandLineOption fields("fields", "Numéros d'attributs affichés (\"0 12\").", "LISTE",
                                    "0");
    parser.addOption(fields);
    const QStringList args = parseCommandOptions(ctx, parser);
    requireArgumentCount(args, 1);
    printQuery(*ctx.database(), args[0].toStdString(), parser.value(fields).toStdString(), ctx.out,
               ctx.engineFiles);
    return kExitOk;
}

std::string trimmed(const std::string& text) {
    return QString::fromStdString(text).trimmed().toStdString();
}

// One line typed at the shell prompt. Returns false on "quit".
bool runShellLine(CommandContext& ctx, const std::string& line, std::string& fields) {
    Database& db = *ctx.database();
    std::ostream& out = ctx.out;
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    const QString upper = QString::fromStdString(verb).toUpper();
    if (upper == "QUIT" || upper == "EXIT") return false;
    if (upper == "READ") {
        std::string file, key;
        words >> file >> key;
        if (key.empty()) throw UsageError("usage : read FICHIER CLE");
        printRecord(db, file, key, out, ctx.engineFiles);
    } else if (upper == "FIELDS") {
        std::getline(words, fields);
        fields = trimmed(fields);
        out << "Attributs affichés : " << (fields.empty() ? "0" : fields) << '\n';
    } else if (upper == "SELECT" || upper == "SSELECT") {
        const long n = printQuery(db, line, fields, out, ctx.engineFiles);
        ctx.err << n << " enregistrement(s) sélectionné(s)\n";
    } else if (upper == "HELP" || upper == "AIDE") {
        out << "SELECT|SSELECT FICHIER ... : sélection ; read FICHIER CLE ; fields 0 1 ... ; "
               "quit\n";
    } else {
        throw UsageError("commande inconnue « " + verb + " » (help pour l'aide)");
    }
    return true;
}

int runShell(CommandContext& ctx) {
    requireArgumentCount(ctx.args, 0);
    ctx.database();
    const bool interactive = isatty(STDIN_FILENO) && &ctx.in == &std::cin;
    std::string fields = "0";
    std::string line;
    for (;;) {
        if (interactive) ctx.out << "orvanelle> " << std::flush;
        if (!std::getline(ctx.in, line)) break;
        line = trimmed(line);
        if (line.empty()) continue;
        try {
            if (!runShellLine(ctx, line, fields)) break;
        } catch (const std::exception& e) {
            ctx.err << "Erreur : " << e.what() << '\n';
        }
        ctx.out << std::flush;
    }
    return kExitOk;
}

}  // namespace

ORV_DB_COMMAND("query", "[--fields \"0 12\"] 'SSELECT FICHIER ...'",
               "affiche les enregistrements sélectionnés, un par ligne", runQuery)
ORV_DB_COMMAND("shell", "", "invite interactive : instructions de sélection, read, quit", runShell)

}  // namespace orv::tools
