// user add|passwd|remove|list: database users. Passwords are read from standard input, never
// from the command line, so that they do not show in the process list or the shell history.
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <iostream>
#include <optional>

#include "engine/database.h"
#include "rights/administration.h"
#include "rights/rights_store.h"
#include "tools/commands.h"

namespace orv::tools {

namespace {

std::string userName(const QStringList& args) {
    requireArgumentCount(args, 1);
    const QString name = args[0].trimmed().toUpper();
    if (name.isEmpty()) throw UsageError("nom d'utilisateur vide");
    if (const auto problem = rights::userNameProblem(name))
        throw CommandFailure(problem->toStdString());
    return name.toStdString();
}

bool userExists(Database& db, const std::string& name) {
    for (const std::string& user : db.userNames())
        if (user == name) return true;
    return false;
}

// The terminal settings to put back if a signal ends the program while echo is off.
termios savedTerminal{};
volatile sig_atomic_t echoOff = 0;

void restoreEchoAndDie(int sig) {
    if (echoOff) tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
    signal(sig, SIG_DFL);
    raise(sig);
}

// Turns the terminal's echo off for its life and puts it back when it ends, also when Ctrl+C,
// a hang-up or a kill interrupts the prompt.
class EchoOff {
  public:
    EchoOff() {
        tcgetattr(STDIN_FILENO, &savedTerminal);
        for (int i = 0; i < kSignalCount; ++i)
            previous_[i] = signal(kSignals[i], restoreEchoAndDie);
        termios quiet = savedTerminal;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        echoOff = 1;
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    ~EchoOff() {
        tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
        echoOff = 0;
        for (int i = 0; i < kSignalCount; ++i) signal(kSignals[i], previous_[i]);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

  private:
    static constexpr int kSignalCount = 4;
    static constexpr int kSignals[kSignalCount] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    sighandler_t previous_[kSignalCount] = {};
};

// Reads one line, without echo and after `prompt` when standard input is a terminal.
std::string readLine(CommandContext& ctx, bool terminal, const char* prompt) {
    std::string line;
    {
        std::optional<EchoOff> quiet;
        if (terminal) {
            quiet.emplace();  // before the prompt: nothing typed after it is ever shown
            ctx.err << prompt << std::flush;
        }
        std::getline(ctx.in, line);
    }
    if (terminal) ctx.err << '\n';
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// Reads the password: one line from a pipe; on a terminal, typed twice (nothing is shown, so a
// typing slip would go unseen). A password the users' window would refuse (empty or blank) is
// refused.
std::string readPassword(CommandContext& ctx) {
    const bool terminal = &ctx.in == &std::cin && isatty(STDIN_FILENO);
    const std::string password = readLine(ctx, terminal, "Mot de passe : ");
    if (rights::passwordProblem(QString::fromStdString(password)))
        throw CommandFailure("mot de passe vide ou fait d'espaces : rien n'a été modifié");
    if (terminal && readLine(ctx, terminal, "Confirmez le mot de passe : ") != password)
        throw CommandFailure("les deux mots de passe saisis diffèrent : rien n'a été modifié");
    return password;
}

int runUserAdd(CommandContext& ctx) {
    const std::string name = userName(ctx.args);
    Database& db = *ctx.database();
    if (userExists(db, name)) throw CommandFailure("l'utilisateur " + name + " existe déjà");
    try {
        // Another administrator may add the same user between the check and here.
        db.setUserPassword(name, readPassword(ctx), UserChange::Create);
    } catch (const DbError& e) {
        if (e.code() == DbErrorCode::UserExists)
            throw CommandFailure("l'utilisateur " + name + " existe déjà");
        throw;
    }
    rights::syncAdministrators(db, QString::fromStdString(name));  // rights kept from before
    return kExitOk;
}

int runUserPasswd(CommandContext& ctx) {
    const std::string name = userName(ctx.args);
    Database& db = *ctx.database();
    if (!userExists(db, name)) throw CommandFailure("l'utilisateur " + name + " n'existe pas");
    db.setUserPassword(name, readPassword(ctx), UserChange::Change);
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

ORV_DB_COMMAND("user add", "NOM",
               "crée un utilisateur (mot de passe sur l'entrée standard ; demandé deux fois "
               "depuis un terminal)",
               runUserAdd)
ORV_DB_COMMAND("user passwd", "NOM",
               "change le mot de passe d'un utilisateur (lu sur l'entrée standard)", runUserPasswd)
ORV_DB_COMMAND("user remove", "NOM", "supprime un utilisateur", runUserRemove)
ORV_DB_COMMAND("user list", "", "liste les utilisateurs", runUserList)

}  // namespace orv::tools
