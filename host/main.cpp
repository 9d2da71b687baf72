// orvanelle-module [--base LABEL --user NAME --password-stdin | --db PATH --user NAME
//                   --password-stdin] [IDENTIFIER [--set MEMBER=VALUE ...] [--arg NAME=VALUE ...]]
//                   [--script FILE]
// Without an identifier, the Modules window; with the identifier of a module that has a form
// and no member given, that form.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>

#include "client/dba.h"
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

bool parseOptions(const QStringList& arguments, HostOptions& options) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Héberge un module Orvanelle."));
    parser.addHelpOption();
    const QCommandLineOption base("base", "Libellé de la base (fichier INI).", "LIBELLE");
    const QCommandLineOption db("db", "Fichier de la base de données embarquée.", "CHEMIN");
    const QCommandLineOption user("user", "Nom de l'utilisateur.", "NOM");
    const QCommandLineOption password("password-stdin",
                                      "Lit le mot de passe sur l'entrée standard.");
    const QCommandLineOption set("set", "Membre public du module.", "MEMBRE=VALEUR");
    // The arguments of a start method that takes them (Edition) are members of the control.
    const QCommandLineOption arg("arg", "Argument de la méthode de démarrage, par son nom.",
                                 "NOM=VALEUR");
    const QCommandLineOption script = orv::Automation::scriptOption();
    parser.addOptions({base, db, user, password, set, arg, script});
    parser.addPositionalArgument("IDENTIFIANT",
                                 "Module à héberger (NumeroPieces.Ctr_NumeroPieces) ; sans "
                                 "identifiant, la fenêtre des modules.",
                                 "[IDENTIFIANT]");
    if (!parser.parse(arguments) || parser.positionalArguments().size() > 1) {
        const QString problem = parser.errorText().isEmpty()
                                    ? QStringLiteral("un seul identifiant de module est attendu")
                                    : parser.errorText();
        std::fprintf(stderr, "Erreur : %s\n%s", qPrintable(problem), qPrintable(parser.helpText()));
        return false;
    }
    options.identifier = parser.positionalArguments().value(0);
    if (options.identifier.isEmpty() && !parser.values(set).isEmpty()) {
        std::fprintf(stderr, "Erreur : --set demande un identifiant de module\n");
        return false;
    }
    options.base = parser.value(base);
    options.dbPath = parser.value(db);
    options.user = parser.value(user);
    options.passwordStdin = parser.isSet(password);
    options.members = parser.values(set) + parser.values(arg);
    options.script = parser.value(script);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // The usage needs no display (over SSH, in scripts): printed before any window system starts.
    if (orv::asksForHelp(argc, argv)) {
        std::printf(
            "Usage : orvanelle-module [--base LIBELLE | --db CHEMIN] [--user NOM "
            "--password-stdin] [IDENTIFIANT [--set MEMBRE=VALEUR ...] [--arg NOM=VALEUR ...]] "
            "[--script FICHIER]\nSans identifiant : la fenêtre des modules.\n");
        return 0;
    }
    orv::Application app(argc, argv);
    HostOptions options;
    if (!parseOptions(app.arguments(), options)) return kExitUsage;
    orv::installPlatform(!options.script.isEmpty());

    // The login window and a start method that opens its own modal windows (Edition) run the
    // script from inside them, as MenuCadrius does for its first windows.
    bool scriptStarted = false;
    int scriptCode = -1;
    if (!options.script.isEmpty()) {
        options.beforeFirstModal = [&] {
            // Started already when the first window was not modal (the Modules window).
            if (scriptStarted) return;
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
    if (!options.script.isEmpty() && !scriptStarted) {
        scriptStarted = true;
        orv::Automation::run(options.script);
    }
    return app.exec();
}
