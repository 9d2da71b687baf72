// call: runs a server routine as a session does, for administrators and scripts.
//   orvanelle-db --db P call NAME [--user U] TEXT
//   orvanelle-db --db P call NAME [--user U] --record    (a JSON attrs array on standard input)
#include <QProcessEnvironment>

#include <iostream>

#include "engine/database.h"
#include "tools/commands.h"
#include "tools/jsonl.h"

namespace orv::tools {

namespace {

// The routine's argument: the whole text of the record read on standard input, or the text
// given on the command line.
std::string routineArgument(CommandContext& ctx, const QStringList& args, bool record) {
    if (!record) {
        requireArgumentCount(args, 2);
        return args[1].toStdString();
    }
    requireArgumentCount(args, 1);
    try {
        return parseAttrsText(readAll(ctx.in)).text();
    } catch (const ExchangeError& e) {
        throw CommandFailure(std::string("entrée standard : ") + e.what() +
                             " ; la routine n'a pas été appelée");
    }
}

std::string defaultUser() {
    const QString user = QProcessEnvironment::systemEnvironment().value(QStringLiteral("USER"));
    return user.isEmpty() ? "ADMINISTRATEUR" : user.toUpper().toStdString();
}

int runCall(CommandContext& ctx) {
    QCommandLineParser parser;
    const QCommandLineOption user("user", "Utilisateur de la session (par défaut $USER).", "U");
    const QCommandLineOption record(
        "record", "L'argument est l'enregistrement lu sur l'entrée standard (tableau JSON attrs).");
    parser.addOption(user);
    parser.addOption(record);
    const QStringList args = parseCommandOptions(ctx, parser);
    if (args.isEmpty()) throw UsageError("nom de routine manquant");
    const std::string routine = args[0].toStdString();
    std::vector<std::string> arguments{routineArgument(ctx, args, parser.isSet(record)),
                                       std::string()};
    Session session(ctx.database(), parser.isSet(user) ? parser.value(user).toUpper().toStdString()
                                                       : defaultUser());
    session.call(routine, arguments);
    // A result holding marks is written as an attrs array, so that it stays on one line.
    const std::string& result = arguments[1];
    const bool marks = result.find_first_of(std::string{kAttributeMark, kValueMark,
                                                        kSubvalueMark}) != std::string::npos;
    ctx.out << (marks ? attrsJson(DynArray(result)) : result) << '\n';
    return kExitOk;
}

}  // namespace

ORV_DB_COMMAND("call", "NOM [--user U] (TEXTE | --record)",
               "appelle une routine du serveur et affiche son résultat sur une ligne", runCall)

}  // namespace orv::tools
