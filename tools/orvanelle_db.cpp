// orvanelle-db: the administration command line of an Orvanelle database.
//   orvanelle-db --db PATH|pg:NAME [--server HOST[:PORT]] [--user NAME [--password-stdin]]
//                [--schema FILE] COMMAND [ARGUMENTS...]
#include <QCoreApplication>

#include <iostream>

#include "client/ligne_commande.h"
#include "engine/errors.h"
#include "tools/commands.h"

namespace {

using namespace orv::tools;

void printUsage(std::ostream& os) {
    os << "Usage : orvanelle-db --db CHEMIN|pg:NOM [--server HOTE[:PORT]] [--user NOM "
          "[--password-stdin]] [--schema FICHIER] [--engine-files] COMMANDE [ARGUMENTS...]\n"
          "       orvanelle-db --version | --help\n\n"
          "Une base pg:NOM est la base PostgreSQL NOM du serveur --server ; sans --user ni\n"
          "--password-stdin, PGUSER, PGPASSWORD et ~/.pgpass s'appliquent.\n\n"
          "Commandes :\n";
    for (const CommandInfo* c : allCommands())
        os << "  " << c->name << (c->usage.empty() ? "" : " " + c->usage) << "\n      "
           << c->summary << "\n";
}

void printCommandUsage(std::ostream& os, const CommandInfo& c) {
    os << "Usage : orvanelle-db --db CHEMIN " << c.name << (c.usage.empty() ? "" : " " + c.usage)
       << "\n";
}

// Finds the command named by the first one or two words ("read", "user add") and removes its name
// from the arguments; nullptr when there is none.
const CommandInfo* takeCommand(QStringList& words) {
    if (words.size() >= 2) {
        if (const CommandInfo* c = findCommand((words[0] + ' ' + words[1]).toStdString())) {
            words.remove(0, 2);
            return c;
        }
    }
    const CommandInfo* c = findCommand(words[0].toStdString());
    if (c) words.removeFirst();
    return c;
}

int runCommand(const CommandInfo& command, CommandContext& ctx) {
    try {
        return command.handler(ctx);
    } catch (const UsageError& e) {
        std::cerr << "Erreur : " << e.what() << "\n";
        printCommandUsage(std::cerr, command);
        return kExitUsage;
    } catch (const CommandFailure& e) {
        std::cerr << "Erreur : " << e.what() << "\n";
        return kExitFailure;
    } catch (const orv::DbError& e) {
        std::cerr << "Erreur de la base de données : " << e.what() << "\n";
        return kExitFailure;
    } catch (const std::exception& e) {
        std::cerr << "Erreur : " << e.what() << "\n";
        return kExitFailure;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (orv::asksForVersion(argc, argv)) {
        orv::printVersion("orvanelle-db");
        return kExitOk;
    }
    QCoreApplication app(argc, argv);
    orv::installQtFrench(app);
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption dbOption("db", "Fichier de la base de données.", "CHEMIN");
    const QCommandLineOption schemaOption("schema", "Fichier du schéma (JSON lines).", "FICHIER");
    const QCommandLineOption engineFilesOption(
        "engine-files",
        "Autorise read, query et dump des fichiers internes ORV.* (mots de passe hachés).");
    const QCommandLineOption serverOption("server", "Serveur PostgreSQL des bases pg:NOM.",
                                          "HOTE[:PORT]");
    const QCommandLineOption userOption("user", "Rôle PostgreSQL de la connexion.", "NOM");
    const QCommandLineOption passwordOption(
        "password-stdin", "Lit le mot de passe du rôle sur la première ligne de l'entrée.");
    const QCommandLineOption helpOption(QStringList{"h", "help"}, "Affiche cette aide.");
    const QCommandLineOption versionOption("version", "Affiche la version.");
    parser.addOption(serverOption);
    parser.addOption(userOption);
    parser.addOption(passwordOption);
    parser.addOption(dbOption);
    parser.addOption(schemaOption);
    parser.addOption(engineFilesOption);
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    if (!parser.parse(app.arguments())) {
        std::cerr << "Erreur : " << parser.errorText().toStdString() << "\n";
        printUsage(std::cerr);
        return kExitUsage;
    }
    if (parser.isSet(helpOption)) {
        printUsage(std::cout);
        return kExitOk;
    }
    QStringList rest = parser.positionalArguments();
    if (rest.isEmpty()) {
        std::cerr << "Erreur : commande manquante\n";
        printUsage(std::cerr);
        return kExitUsage;
    }
    const CommandInfo* command = takeCommand(rest);
    if (!command) {
        std::cerr << "Erreur : commande inconnue « " << rest.join(' ').toStdString() << " »\n";
        printUsage(std::cerr);
        return kExitUsage;
    }
    CommandContext ctx{parser.value(dbOption),
                       parser.value(schemaOption),
                       rest,
                       std::cin,
                       std::cout,
                       std::cerr,
                       nullptr,
                       parser.isSet(engineFilesOption),
                       parser.value(serverOption),
                       parser.value(userOption),
                       {}};
    if (parser.isSet(passwordOption)) {
        std::getline(std::cin, ctx.password);
        if (!ctx.password.empty() && ctx.password.back() == '\r') ctx.password.pop_back();
    }
    return runCommand(*command, ctx);
}
