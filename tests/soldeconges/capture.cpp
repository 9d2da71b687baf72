// Screenshot of the leave tally control of a helper under one contract, rendered offscreen:
//   soldeconges_capture DATABASE HELPER CONTRACT OUTPUT.png [NAME]
#include <QApplication>
#include <QPixmap>
#include <cstdio>

#include "client/dba.h"
#include "controls/soldeconges/ctr_soldeconges.h"
#include "platform/message_services.h"
#include "rights/rights.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        std::fprintf(stderr, "Usage : soldeconges_capture BASE AIDANT CONTRAT SORTIE.png [NOM]\n");
        return 2;
    }
    orv::ScriptedMessageService messages;
    orv::ScopedMessageService scope(&messages);
    dba::Client client;
    client.ClientConnect(QStringLiteral("DIRECTION"), QString(), QString());
    dba::Database* db = client.OpenDatabase(QStringLiteral("ORVANELLE"), args[1]);
    orv::Rights rights;
    rights.setDatabase(db);
    rights.setUser(QStringLiteral("DIRECTION"));

    soldeconges::Ctr_SoldeConges control;
    control.setTheClient(&client);
    control.setTheDatabase(db);
    control.setDroitsUtilisateur(&rights);
    control.W_CodeAidant = args[2];
    control.W_NomPrenom = args.size() > 5 ? args[5] : QString();
    control.W_CodeContrat = args[3];
    control.W_NumMotif = QStringLiteral("14");
    control.resize(control.sizeHint());
    control.show();
    control.Init();
    app.processEvents();
    for (const orv::ShownMessage& m : messages.shown())
        std::fprintf(stderr, "Message : %s\n", qPrintable(m.text));
    if (!control.grab().save(args[4])) {
        std::fprintf(stderr, "Capture impossible\n");
        return 1;
    }
    return 0;
}
