// Sub-commands of orvanelle-db. Each command lives in its own source file and registers itself
// by name with ORV_DB_COMMAND; the program's main looks the name up and runs the handler.
#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <functional>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace orv {
class Database;
}

namespace orv::tools {

// Exit codes shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// A wrong command line: the message is shown with the command's usage and the exit code is 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A failure that the command has already explained: its message goes to standard error and the
// exit code is 1.
class CommandFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// What a command receives: the global options, its own arguments (after the command name) and
// the standard streams (replaced in tests).
struct CommandContext {
    QString dbPath;
    QString schemaPath;
    QStringList args;
    std::istream& in;
    std::ostream& out;
    std::ostream& err;

    // Opens the database named by --db (once); throws UsageError when --db is missing. Only
    // the commands that build a database pass create: for the others a missing file is an
    // error, so that a mistyped path does not leave an empty database behind.
    std::shared_ptr<Database> database(bool create = false);
    // Opens the database of an account path: an embedded file, or "pg:NAME" on --server as
    // --user (create: the server database, its schema and its users' group role are made
    // when missing).
    std::shared_ptr<Database> open(const QString& accountPath, bool create);

    std::shared_ptr<Database> db_;  // opened by database()
    // --engine-files: read, query and dump may show the engine's own files (ORV.*).
    bool engineFiles = false;
    // --server HOST[:PORT], --user and the password read by --password-stdin: how to reach a
    // PostgreSQL database (libpq's PGHOST, PGUSER, PGPASSWORD... stand in for what is missing).
    QString server;
    QString user;
    std::string password;
};

using CommandHandler = std::function<int(CommandContext&)>;

struct CommandInfo {
    std::string name;
    std::string usage;    // arguments, e.g. "FILE KEY"
    std::string summary;  // one line in French
    CommandHandler handler;
};

// Adds a command to the table; returns true so that it can initialise a static variable.
bool registerCommand(CommandInfo info);
const CommandInfo* findCommand(const std::string& name);
// Every registered command, by name.
std::vector<const CommandInfo*> allCommands();

// Parses the command's own options (added to `parser` by the caller, e.g. --fields) and returns
// its positional arguments. Throws UsageError on an unknown option or a missing value.
QStringList parseCommandOptions(const CommandContext& ctx, QCommandLineParser& parser);

// Requires exactly `count` positional arguments, else throws UsageError.
void requireArgumentCount(const QStringList& args, qsizetype count);

// Reads all of standard input as UTF-8 text.
std::string readAll(std::istream& in);

// After a copy or a load: the store's upkeep of the records just committed. They are safe
// already, so a failure of it is a warning on err, not a failed command.
void settleAfterBulkWrite(Database& db, std::ostream& err);

}  // namespace orv::tools

// Registers a command from its own source file:
//   ORV_DB_COMMAND(read, "FILE KEY", "affiche un enregistrement", runRead)
#define ORV_DB_COMMAND_CONCAT2(a, b) a##b
#define ORV_DB_COMMAND_CONCAT(a, b) ORV_DB_COMMAND_CONCAT2(a, b)
#define ORV_DB_COMMAND(name, usage, summary, handler)                                    \
    namespace {                                                                          \
    [[maybe_unused]] const bool ORV_DB_COMMAND_CONCAT(orvCommandRegistered_, __LINE__) = \
        ::orv::tools::registerCommand({name, usage, summary, handler});                  \
    }
