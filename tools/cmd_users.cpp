// user add|passwd|remove|list: database users. Passwords are read from standard input, never
// from the command line, so that they do not show in the process list or the shell history.
#include <termios.h>
#include <unistd.h>

#include <iostream>

#include "engine/database.h"
#include "tools/commands.h"

namespace orv::tools {

namespace {

std::string userName(const QStringList& args) {
    requireArgumentCount(args, 1);
    const QString name = args[0].trimmed().toUpper();
    if (name.isEmpty()) throw UsageError("nom d'utilisateur vide");
    return name.toStdString();
}

bool userExists(Database& db, const std::string& name) {
    for (const std::string& user : db.userNames())
        if (user == name) return true;
    return false;
}

// Reads one line without echo when standard input is a terminal.
std::string readPassword(CommandContext& ctx) {
    const bool terminal = &ctx.in == &std::cin && isatty(STDIN_FILENO);
    termios saved{};
    if (terminal) {
        ctx.err << "Mot de passe : " << std::flush;
        tcgetattr(STDIN_FILENO, &saved);
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string password;
    std::getline(ctx.in, password);
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        ctx.err << '\n';
    }
    if (!password.empty() && password.back() == '\r') password.pop_back();
    if (password.empty()) throw CommandFailure("mot de passe vide : rien n'a été modifié");
    return password;
}

int runUserAdd(CommandContext& ctx) {
    const std::string name = userName(ctx.args);
    Database& db = *ctx.database();
    if (userExists(db, name)) throw CommandFailure("l'utilisateur " + name + " existe déjà");
    db.setUserPassword(name, readPassword(ctx));
    return kExitOk;
}

int runUserPasswd(CommandContext& ctx) {
    const std::string name = userName(ctx.args);
    Database& db = *ctx.database();
    if (!userExists(db, name)) throw CommandFailure("l'utilisateur " + name + " n'existe pas");
    db.setUserPassword(name, readPassword(ctx));
    return kExitOk;
}

int runUserRemove(CommandContext& ctx) {
    const std::string name = userName(ctx.args);
    if (!ctx.database()->removeUser(name))
        throw CommandFailure("l'utilisateur " + name + " n'existe pas");
    return kExitOk;
}

int runUserList(CommandContext& ctx) {
    requireArgumentCount(ctx.args, 0);
    for (const std::string& user : ctx.database()->userNames()) ctx.out << user << '\n';
    return kExitOk;
}

}  // namespace

ORV_DB_COMMAND("user add", "NOM", "crée un utilisateur (mot de passe sur l'entrée standard)",
               runUserAdd)
ORV_DB_COMMAND("user passwd", "NOM",
               "change le mot de passe d'un utilisateur (lu sur l'entrée standard)", runUserPasswd)
ORV_DB_COMMAND("user remove", "NOM", "supprime un utilisateur", runUserRemove)
ORV_DB_COMMAND("user list", "", "liste les utilisateurs", runUserList)

}  // namespace orv::tools
