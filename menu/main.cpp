// MenuCadrius: the telegestion menu. One optional argument "label,user,password" logs in
// unattended; --script FILE runs the automation driver over the program's windows.
#include <QApplication>
#include <QCommandLineParser>
#include <QJsonObject>
#include <cstdlib>

#include "menu/lanceur.h"
#include "menu/mod_menu.h"
#include "platform/application.h"
#include "platform/automation.h"
#include "platform/json_output.h"
#include "platform/platform.h"

namespace {

void declarerOptions(QCommandLineParser& parser, const QCommandLineOption& script) {
    parser.setApplicationDescription(QStringLiteral("Menu de télégestion Orvanelle Cadrius"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(script);
    parser.addPositionalArgument(QStringLiteral("connexion"),
                                 QStringLiteral("base,utilisateur,mot de passe"));
}

// The usage needs no display (over SSH, in scripts): printed before any window system starts.
[[noreturn]] void afficherUsage(int argc, char** argv) {
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("MenuCadrius"));
    orv::installQtFrench(core);
    QCommandLineParser parser;
    declarerOptions(parser, orv::Automation::scriptOption());
    parser.process(core);  // prints the usage and ends the program
    std::exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    if (orv::asksForVersion(argc, argv)) {
        orv::printVersion("MenuCadrius");
        return 0;
    }
    if (orv::asksForHelp(argc, argv)) afficherUsage(argc, argv);
    orv::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("MenuCadrius"));
    QGuiApplication::setDesktopFileName(QStringLiteral("orvanelle-cadrius"));

    QCommandLineParser parser;
    const QCommandLineOption script = orv::Automation::scriptOption();
    declarerOptions(parser, script);
    parser.process(app);

    const bool automation = parser.isSet(script);
    orv::installPlatform(automation);
    menu::Programme programme;

    // Under automation nothing outside is started: each request is written as a JSON line.
    menu::LanceurEnregistreur enregistreur;
    if (automation) {
        enregistreur.setObservateur([](const menu::LanceurEnregistreur::Demande& d) {
            orv::writeJsonLine({{QStringLiteral("launch"), menu::nomSorte(d.sorte)},
                                {QStringLiteral("target"), d.cible}});
        });
        menu::Lanceur::installer(&enregistreur);
        // The script starts at once: the selection and login windows are modal and the script
        // answers them from inside their own event loops.
        orv::Automation::run(parser.value(script));
        if (auto* driver = app.findChild<orv::Automation*>()) {
            QObject::connect(driver, &orv::Automation::finished, [&programme](int code) {
                programme.termine = true;
                programme.codeSortie = code;
            });
        }
    }

    if (!menu::Main(programme, parser.positionalArguments().value(0))) return programme.codeSortie;
    programme.surFin = [](int code) { QCoreApplication::exit(code); };
    return QApplication::exec();
}
