// The programs' application object: an error escaping an event handler becomes one critical
// "Message ORVANELLE" box naming the error number, and the program goes on. Its own main,
// since the application object is the one under test.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <stdexcept>

#include "client/dba.h"
#include "platform/application.h"
#include "platform/busy.h"
#include "platform/message_services.h"

namespace {

// An object whose handler fails, as a control's handler may when the database refuses.
class Defaillant : public QObject {
  public:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        orv::showHourglass();
        throw dba::Error(dba::kRecordLocked, QStringLiteral("fiche en cours de modification"));
    }
};

TEST(Application, AnErrorEscapingAHandlerIsShownAndTheProgramGoesOn) {
    orv::ScriptedMessageService messages;
    orv::ScopedMessageService scope(&messages);
    Defaillant objet;
    for (int i = 0; i < 2; ++i) QCoreApplication::postEvent(&objet, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.shown().size(), 2);
    EXPECT_EQ(messages.shown()[0].icon, orv::MsgCritical);
    EXPECT_EQ(messages.shown()[0].title, orv::kTitreMessage);
    EXPECT_EQ(messages.shown()[0].text,
              QStringLiteral("Erreur %1 : fiche en cours de modification").arg(dba::kRecordLocked));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(orv::escapedErrorText(std::runtime_error("panne")), QStringLiteral("Erreur : panne"));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    orv::Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
