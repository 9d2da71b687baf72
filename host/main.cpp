// orvanelle-module [--base LABEL --user NAME --password-stdin | --db PATH --user NAME
//                   --password-stdin] IDENTIFIER [--set MEMBER=VALUE ...] [--arg NAME=VALUE ...]
//                   [--script FILE]
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>

#include "client/dba.h"
#include "frame/control_factory.h"
#include "host/module_host.h"
#include "platform/application.h"
#include "platform/automation.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace {

using orv::host::HostFailure;
using orv::host::HostOptions;
using orv::host::ModuleHost;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// The command line: the same options for the usage (--help, printed without a display) and
// for the run.
struct CommandLine {
    QCommandLineParser parser;
    const QCommandLineOption base{"base", "Libellé de la base dans le fichier des serveurs (INI).",
                                  "LIBELLE"};
    const QCommandLineOption db{"db", "Fichier de la base de données embarquée.", "CHEMIN"};
    const QCommandLineOption user{"user", "Nom de l'utilisateur.", "NOM"};
    const QCommandLineOption password{
        "password-stdin", "Lit le mot de passe sur la première ligne de l'entrée standard."};
    const QCommandLineOption set{"set", "Donne une valeur à un membre public du module.",
                                 "MEMBRE=VALEUR"};
    // The arguments of a start method that takes them (Edition) are members of the control.
    const QCommandLineOption arg{"arg", "Argument de la méthode de démarrage, par son nom.",
                                 "NOM=VALEUR"};
    const QCommandLineOption script = orv::Automation::scriptOption();

    CommandLine() {
        parser.setApplicationDescription(QStringLiteral(
            "Héberge un module Orvanelle dans sa fenêtre. Sans --db ni --base, la base est "
            "choisie dans le fichier des serveurs ; sans --user et --password-stdin, la "
            "fenêtre d'identification s'ouvre."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOptions({base, db, user, password, set, arg, script});
        parser.addPositionalArgument(
            QStringLiteral("IDENTIFIANT"),
            QStringLiteral("Module à héberger (NumeroPieces.Ctr_NumeroPieces)."));
    }

    bool parse(const QStringList& arguments, HostOptions& options) {
        if (!parser.parse(arguments) || parser.positionalArguments().size() != 1) {
            const QString problem = parser.errorText().isEmpty()
                                        ? QStringLiteral("un identifiant de module est attendu")
                                        : parser.errorText();
            std::fprintf(stderr, "Erreur : %s\n%s", qPrintable(problem),
                         qPrintable(parser.helpText()));
            return false;
        }
        options.identifier = parser.positionalArguments().first();
        options.base = parser.value(base);
        options.dbPath = parser.value(db);
        options.user = parser.value(user);
        options.passwordStdin = parser.isSet(password);
        options.members = parser.values(set) + parser.values(arg);
        options.script = parser.value(script);
        return true;
    }
};

}  // namespace

int main(int argc, char** argv) {
    // The usage needs no display (over SSH, in scripts): printed before any window system starts.
    if (orv::asksForVersion(argc, argv)) {
        orv::printVersion("orvanelle-module");
        return 0;
    }
    if (orv::asksForHelp(argc, argv)) {
        QCoreApplication core(argc, argv);
        core.setApplicationName(QStringLiteral("orvanelle-module"));
        orv::installQtFrench(core);
        std::printf("%s", qPrintable(CommandLine().parser.helpText()));
        return 0;
    }
    orv::Application app(argc, argv);
    HostOptions options;
    if (!CommandLine().parse(app.arguments(), options)) return kExitUsage;
    // The module's windows belong to its desktop entry (and carry it as their window class).
    const QString entry = orv::desktopEntryName(options.identifier);
    QGuiApplication::setDesktopFileName(entry);
    QCoreApplication::setApplicationName(entry);
    orv::installPlatform(!options.script.isEmpty());

    // The login window and a start method that opens its own modal windows (Edition) run the
    // script from inside them, as MenuCadrius does for its first windows.
    bool scriptStarted = false;
    int scriptCode = -1;
    if (!options.script.isEmpty()) {
        options.beforeFirstModal = [&] {
            orv::Automation::run(options.script);
            scriptStarted = true;
            if (auto* driver = app.findChild<orv::Automation*>())
                QObject::connect(driver, &orv::Automation::finished,
                                 [&scriptCode](int code) { scriptCode = code; });
        };
    }
    ModuleHost host(options);
    try {
        if (!host.open()) return kExitFailure;
    } catch (const HostFailure& e) {
        orv::MsgBox(e.message(), e.style());
        return kExitFailure;
    }
    host.show();
    if (scriptCode >= 0) return scriptCode;
    if (host.controlLeft() && options.script.isEmpty()) return 0;
    if (!options.script.isEmpty() && !scriptStarted) orv::Automation::run(options.script);
    return app.exec();
}
