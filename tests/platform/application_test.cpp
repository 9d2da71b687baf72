// The programs' application object: an error escaping an event handler becomes one critical
// "Message ORVANELLE" box naming the error number, and the program goes on. Its own main,
// since the application object is the one under test.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <stdexcept>

#include "client/dba.h"
#include "platform/application.h"
#include "platform/busy.h"
#include "platform/help.h"
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

// Qt's own buttons and dialogs speak French (Debian's qt6-translations-l10n).
TEST(Application, QtOwnTextsAreFrench) {
    QDialogButtonBox boutons(QDialogButtonBox::Cancel | QDialogButtonBox::Yes);
    EXPECT_EQ(boutons.button(QDialogButtonBox::Cancel)->text().remove('&'),
              QStringLiteral("Annuler"));
    EXPECT_EQ(boutons.button(QDialogButtonBox::Yes)->text().remove('&'), QStringLiteral("Oui"));
}

// F1 in any window opens the user guide; the help window of a page leads to it too.
TEST(Application, F1AndTheHelpWindowShowTheUserGuide) {
    orv::ScriptedMessageService messages;
    orv::ScopedMessageService scope(&messages);
    const auto source = [](QWidget* aide) {
        return aide->findChild<QTextBrowser*>("Txt_Aide")->source().fileName();
    };
    QWidget fenetre;
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(&fenetre, &f1);
    QWidget* aide = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "Frm_Aide" && w->isVisible()) aide = w;
    ASSERT_NE(aide, nullptr);
    EXPECT_EQ(aide->windowTitle(), orv::kGuideTitle);
    EXPECT_EQ(source(aide), orv::kGuidePage);

    ASSERT_EQ(orv::showHelp("Aide_ORVANELLE.htm", "Aide"), aide);
    EXPECT_EQ(source(aide), "Aide_ORVANELLE.htm");
    aide->findChild<QPushButton*>("Cmd_Guide")->click();
    EXPECT_EQ(source(aide), orv::kGuidePage);
    EXPECT_TRUE(messages.shown().isEmpty());
    orv::closeHelp();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    orv::Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
