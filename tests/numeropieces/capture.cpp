// Screenshot of the billing counters control with an entity loaded, rendered offscreen:
//   numeropieces_capture DATABASE ENTITY OUTPUT.png [USER]
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <cstdio>

#include "client/dba.h"
#include "controls/numeropieces/ctr_numeropieces.h"
#include "platform/message_services.h"
#include "rights/rights.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "Usage : numeropieces_capture BASE ENTITE SORTIE.png [UTILISATEUR]\n");
        return 2;
    }
    orv::ScriptedMessageService messages;
    orv::ScopedMessageService scope(&messages);
    dba::Client client;
    const QString user = args.size() > 4 ? args[4] : QStringLiteral("DIRECTION");
    client.ClientConnect(user, QString(), QString());
    dba::Database* db = client.OpenDatabase(QStringLiteral("ORVANELLE"), args[1]);
    orv::Rights rights;
    rights.setDatabase(db);
    rights.setUser(user);

    numeropieces::Ctr_NumeroPieces control;
    control.setTheClient(&client);
    control.setTheDatabase(db);
    control.setDroitsUtilisateur(&rights);
    control.resize(control.sizeHint());
    control.show();
    control.Init();
    control.findChild<QLineEdit*>(QStringLiteral("Txt_CodAssoc"))->setText(args[2]);
    app.processEvents();
    for (const orv::ShownMessage& m : messages.shown())
        std::fprintf(stderr, "Message : %s\n", qPrintable(m.text));
    if (!control.entiteChargee() || !control.grab().save(args[3])) {
        std::fprintf(stderr, "Capture impossible\n");
        return 1;
    }
    return 0;
}
