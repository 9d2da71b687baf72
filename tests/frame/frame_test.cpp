// The module control frame through a minimal control: start, picker, rights, exit handshake,
// help menu, member binding.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "ctr_essai.h"
#include "frame/host_window.h"
#include "platform/message_services.h"
#include "rights/rights_store.h"
#include "testkit.h"
#include "ui_ctr_essai.h"

namespace {

using essai::Ctr_Essai;
using orv::test::Fixture;

class FrameTest : public ::testing::Test {
  protected:
    Fixture fx;
    orv::ScriptedMessageService messages;
    orv::ScopedMessageService scoped{&messages};
    orv::Rights rights;
    orv::HostWindow window;
    Ctr_Essai* control = new Ctr_Essai;

    void SetUp() override {
        window.setControl(control);
        rights.setDatabase(fx.database);
        rights.setUser(QStringLiteral("dupont"));
    }

    // Hands the control its objects as a host does, then starts it in a shown window.
    void start(bool activities = false) {
        orv::setMember(control, "TheClient", QVariant::fromValue<QObject*>(fx.client.get()));
        orv::setMember(control, "TheDatabase", QVariant::fromValue<QObject*>(fx.database));
        orv::setMember(control, "DroitsUtilisateur", QVariant::fromValue<QObject*>(&rights));
        orv::setMember(control, "W_Activites", activities);
        ASSERT_TRUE(orv::callStartMethod(control));
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QLineEdit* code() { return control->ui().Txt_CodAssoc; }
    QComboBox* names() { return control->ui().Cbo_SigleAssoc; }
    QString detail() { return control->ui().Txt_Detail->text(); }
    void twoEntities() {
        fx.entity("007", "ACME");
        fx.entity("012", "BETA");
    }
};

TEST_F(FrameTest, SingleEntityIsLoadedAfterStart) {
    fx.entity("007", "ACME");
    start();
    EXPECT_EQ(code()->text(), "007");
    EXPECT_EQ(names()->currentText(), "ACME");
    EXPECT_EQ(detail(), "007 ACME");
    EXPECT_FALSE(code()->isEnabled());
    EXPECT_TRUE(control->isEnabled());
}

TEST_F(FrameTest, SingleEntityFromActivitiesIsLoadedAfterStart) {
    fx.entity("007", "ACME");
    fx.activity("007P", "P");
    fx.activity("007M", "M");
    start(true);
    EXPECT_EQ(detail(), "007 ACME");
    EXPECT_EQ(control->picker().list().get(1, 3, 1), "M");
    EXPECT_EQ(control->picker().list().get(1, 3, 2), "P");
}

TEST_F(FrameTest, SeveralEntitiesLeaveThePickerOpenAndFocused) {
    twoEntities();
    start();
    EXPECT_EQ(names()->count(), 2);
    EXPECT_EQ(code()->text(), "");
    EXPECT_EQ(names()->currentText(), "");
    EXPECT_TRUE(code()->hasFocus());
}

TEST_F(FrameTest, EnterAndLeavingPadTheCodeAndLoadTheEntity) {
    twoEntities();
    start();
    QTest::keyClick(code(), Qt::Key_7);
    QTest::keyClick(code(), Qt::Key_Return);
    EXPECT_EQ(code()->text(), "007");
    EXPECT_EQ(detail(), "007 ACME");

    code()->setEnabled(true);
    code()->clear();
    EXPECT_EQ(detail(), "");
    code()->setFocus();
    QTest::keyClicks(code(), "12");
    control->ui().Txt_Detail->setFocus();
    EXPECT_EQ(code()->text(), "012");
    EXPECT_EQ(names()->currentText(), "BETA");
    EXPECT_EQ(detail(), "012 BETA");
}

TEST_F(FrameTest, OnlyDigitsAndBackspaceReachTheCode) {
    twoEntities();
    start();
    QTest::keyClicks(code(), "a1.b-2");
    EXPECT_EQ(code()->text(), "12");
    QTest::keyClick(code(), Qt::Key_Backspace);
    EXPECT_EQ(code()->text(), "1");
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(FrameTest, UnknownCodeIsToldEmptiedAndRefocused) {
    twoEntities();
    start();
    QTest::keyClicks(code(), "999");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text, "Cette entité juridique n'existe pas.");
    EXPECT_EQ(messages.shown()[0].icon, 48);
    EXPECT_EQ(messages.shown()[0].title, "Message ORVANELLE");
    EXPECT_EQ(code()->text(), "");
    EXPECT_TRUE(code()->hasFocus());
    EXPECT_EQ(detail(), "");
}

TEST_F(FrameTest, ComboClickSetsTheCodeAndEmptyTextEmptiesIt) {
    twoEntities();
    start();
    names()->setCurrentIndex(1);
    EXPECT_EQ(code()->text(), "012");
    EXPECT_EQ(detail(), "012 BETA");
    names()->setEditText(QString());
    EXPECT_EQ(code()->text(), "");
    EXPECT_EQ(detail(), "");
}

TEST_F(FrameTest, ActionButtonOnlyWithFullRights) {
    fx.entity("007", "ACME");
    orv::rights::grant(*fx.engine, orv::rights::Holder::User, "DUPONT", "COMPTEURFACT", 1);
    start();
    EXPECT_FALSE(control->ui().Cmd_OK->isVisible());
    EXPECT_TRUE(control->ui().Cmd_Retour->isVisible());
    EXPECT_EQ(control->accessLevel(), orv::AccessLevel::Read);
}

TEST_F(FrameTest, ActionButtonShownWithLevelTwo) {
    fx.entity("007", "ACME");
    orv::rights::grant(*fx.engine, orv::rights::Holder::User, "DUPONT", "COMPTEURFACT", 2);
    start();
    EXPECT_TRUE(control->ui().Cmd_OK->isVisible());
}

TEST_F(FrameTest, HostWindowClosesOnlyThroughTheExitButton) {
    fx.entity("007", "ACME");
    start();
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(control->property("W_Sortir").toBool());
    QTest::mouseClick(control->ui().Cmd_Retour, Qt::LeftButton);
    EXPECT_TRUE(control->property("W_Sortir").toBool());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(control->rights(), nullptr);
    EXPECT_EQ(control->database(), nullptr);
}

TEST_F(FrameTest, RightPressOnTheBackgroundOnlyPopsUpTheHelpMenu) {
    fx.entity("007", "ACME");
    start();
    QMenu* menu = control->helpMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), "Mnu_Aide");
    EXPECT_EQ(menu->title(), "Aide");
    auto* sommaire = menu->findChild<QAction*>("Mnu_Sommaire");
    ASSERT_NE(sommaire, nullptr);
    EXPECT_EQ(sommaire->text(), "Aide_ORVANELLE");

    const QPoint onButton = control->ui().Cmd_OK->geometry().center();
    QTest::mousePress(control, Qt::RightButton, {}, onButton);
    EXPECT_FALSE(menu->isVisible());
    QTest::mousePress(control, Qt::RightButton, {}, QPoint(1, control->height() - 1));
    EXPECT_TRUE(menu->isVisible());
    sommaire->trigger();
    EXPECT_EQ(control->sommaireClicks(), 1);
    menu->hide();
}

TEST_F(FrameTest, MembersAreBoundByDeclaredNameOnly) {
    EXPECT_THROW(orv::setMember(control, "W_Inconnu", 1), std::invalid_argument);
    EXPECT_FALSE(control->dynamicPropertyNames().contains("W_Inconnu"));
    orv::setMemberFromText(control, "W_Nombre", "42");
    orv::setMemberFromText(control, "W_Activites", "Vrai");
    orv::setMemberFromText(control, "W_Titre", "Relevé 2005");
    EXPECT_EQ(control->property("W_Nombre").toInt(), 42);
    EXPECT_TRUE(control->property("W_Activites").toBool());
    EXPECT_EQ(control->property("W_Titre").toString(), "Relevé 2005");
    EXPECT_THROW(orv::setMemberFromText(control, "W_Nombre", "douze"), std::invalid_argument);
    EXPECT_THROW(orv::setMemberFromText(control, "W_Activites", "peut-être"),
                 std::invalid_argument);
    // A wrong kind of object for TheClient is refused, not taken.
    EXPECT_THROW(orv::setMember(control, "TheClient", QVariant::fromValue<QObject*>(&rights)),
                 std::invalid_argument);
    EXPECT_EQ(orv::startMethodName(control), "Init");
}

}  // namespace
