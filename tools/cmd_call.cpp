// call: runs a server routine as a client's run-command request does ("NAME |a|b|..."), for a
// user, and prints the routine's arguments after the call, one a line.
#include <iostream>

#include "engine/database.h"
#include "tools/commands.h"

namespace orv::tools {

namespace {

int runCall(CommandContext& ctx) {
    QCommandLineParser parser;
    const QCommandLineOption user("user", "Utilisateur pour lequel la routine s'exécute.", "NOM",
                                  "ORVANELLE");
    parser.addOption(user);
    const QStringList args = parseCommandOptions(ctx, parser);
    if (args.size() != 1 && args.size() != 2)
        throw UsageError("attendu : ROUTINE ['ARG1|ARG2|...']");
    std::vector<std::string> arguments;
    if (args.size() == 2)
        for (const QString& a : args[1].split(QLatin1Char('|')))
            arguments.push_back(a.toStdString());
    Session session(ctx.database(), parser.value(user).toStdString());
    session.call(args[0].toStdString(), arguments);
    for (const std::string& a : arguments) ctx.out << a << '\n';
    return kExitOk;
}

}  // namespace

ORV_DB_COMMAND("call", "ROUTINE [--user NOM] ['ARG1|ARG2|...']",
               "exécute une routine du serveur (arguments séparés par |)", runCall)

}  // namespace orv::tools
