#include "client/ligne_commande.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <string_view>

namespace orv {

QString productVersion() { return QStringLiteral(ORV_PRODUCT_VERSION); }

bool asksForVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") return false;
        if (argument == "--version") return true;
    }
    return false;
}

void printVersion(const char* program) {
    std::printf("%s %s\n%s\n", program, qPrintable(productVersion()), ORV_PRODUCT_NAME);
}

bool installQtFrench(QCoreApplication& app) {
    const QLocale french(QLocale::French, QLocale::France);
    auto* translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // qt_fr gathers Qt's modules (qtbase_fr holds the widgets, dialogs, buttons and parser).
    if (!translator->load(french, QStringLiteral("qt"), QStringLiteral("_"), folder)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace orv
