// The billing counters control on a small database: loading, typing, leaving the amount
// boxes, validation, writing, the leaving question, rights, and two users on one entity.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "client/dba.h"
#include "controls/numeropieces/ctr_numeropieces.h"
#include "hosting.h"
#include "platform/help.h"
#include "platform/message_services.h"
#include "rights/rights.h"
#include "testkit.h"

namespace {

using numeropieces::Ctr_NumeroPieces;
using orv::test::sparseRecord;

// Entities: 001 Prestataire, SSIAD and Intermédiaire activities, with counters; 002 only
// Mandataire activities; 003 Prestataire without a NUMEROFACT record. The installation is a
// federation.
class NumeroPiecesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        base_.dictionary("ACTIVITES", "LibAssoActivites", 0, "T1,3", "3L");
        base_.write("ASSOCIATION", "001", {"ADMR VALLÉE"});
        base_.write("ASSOCIATION", "002", {"MANDATAIRES"});
        base_.write("ASSOCIATION", "003", {"NOUVELLE"});
        using Activite = std::pair<const char*, const char*>;
        for (const auto& [key, mode] : std::initializer_list<Activite>{{"001001", "P"},
                                                                       {"001002", "S"},
                                                                       {"001003", "I"},
                                                                       {"002001", "M"},
                                                                       {"002002", "M"},
                                                                       {"003001", "P"}})
            base_.write("ACTIVITES", key, sparseRecord({{1, "activité"}, {12, mode}}));
        base_.write("COMPTEUR", "999", sparseRecord({{17, "FÉDÉRATION"}}));
        base_.write("NUMEROFACT", "001",
                    sparseRecord({{1, "0000000125"},
                                  {2, "0000000007"},
                                  {7, "50"},
                                  {10, "0000000125"},
                                  {14, "150"},
                                  {17, "1"}}));
        base_.write("NUMEROFACT", "002", sparseRecord({{3, "0000000040"}, {4, "0000000041"}}));
        rights_.add(orv::RightsEntry(Ctr_NumeroPieces::kCleDroits, 2));
    }

    // A started control on its own session (a user of its own).
    orv::test::Hosted<Ctr_NumeroPieces> control(int niveau = 2) {
        dba::Database* db = client_.OpenDatabase(QStringLiteral("ORVANELLE"), path_);
        auto* rights = new orv::Rights(db);
        rights->add(orv::RightsEntry(Ctr_NumeroPieces::kCleDroits, niveau));
        orv::test::Hosted<Ctr_NumeroPieces> c;
        c.client = &client_;
        c.host(db, rights);
        return c;
    }
    static void charger(Ctr_NumeroPieces& c, const char* code) {
        box(c, "Txt_CodAssoc")->setText(QString::fromLatin1(code));
    }
    template <class W = QLineEdit>
    static W* box(Ctr_NumeroPieces& c, const char* name) {
        W* w = c.findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString stocke(const char* key, int attr) {
        auto r = engine_->read("NUMEROFACT", key);
        return r ? QString::fromStdString(r->extractString(attr)) : QStringLiteral("<absent>");
    }
    // The visible help window of the counters, or null.
    static QWidget* fenetreAide() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == Ctr_NumeroPieces::kTitreAide &&
                !qobject_cast<orv::HostWindow*>(w))
                return w;
        return nullptr;
    }
    // Moves the focus from `from` to `to`, as a user leaving a box does.
    static void quitterBoite(QWidget* from, QWidget* to) {
        from->setFocus();
        to->setFocus();
    }

    orv::test::TempDatabase base_{{"ASSOCIATION", "ACTIVITES", "NUMEROFACT", "COMPTEUR"}};
    std::shared_ptr<orv::Database>& engine_ = base_.engine;
    dba::Client& client_ = *base_.client;
    const QString path_ = base_.path();
    orv::Rights rights_;
    orv::ScriptedMessageService messages_;
    orv::ScopedMessageService scope_{&messages_};
};

TEST_F(NumeroPiecesTest, LoadingShowsTheStoredCountersAndGreysThePicker) {
    auto c = control();
    charger(*c, "001");
    EXPECT_TRUE(c->entiteChargee());
    EXPECT_EQ(box(*c, "Txt_AidePrest")->text(), QStringLiteral("125"));
    EXPECT_EQ(box(*c, "Txt_OrgaPrest")->text(), QStringLiteral("7"));
    EXPECT_EQ(box(*c, "Txt_NumSsiad")->text(), QStringLiteral("0"));
    EXPECT_EQ(box(*c, "Txt_NumEtatFact")->text(), QStringLiteral("125"));
    EXPECT_EQ(numeropieces::montantCentimes(box(*c, "Txt_PlancherPrest")->text()), 50);
    EXPECT_TRUE(box<QCheckBox>(*c, "Cac_PlanFactP")->isChecked());
    EXPECT_FALSE(box(*c, "Txt_PlancherP")->isHidden());
    EXPECT_EQ(numeropieces::montantCentimes(box(*c, "Txt_PlancherP")->text()), 150);
    EXPECT_TRUE(box<QCheckBox>(*c, "Cac_EditFactNegP")->isChecked());
    EXPECT_TRUE(box<QCheckBox>(*c, "Cac_NomIntFactP")->isChecked());  // empty reads as ticked
    EXPECT_TRUE(box(*c, "Txt_PlancherM")->isHidden());
    EXPECT_TRUE(box<QGroupBox>(*c, "Cdr_Prest")->isEnabled());
    EXPECT_TRUE(box<QGroupBox>(*c, "Cdr_Inter")->isEnabled());
    EXPECT_TRUE(box<QGroupBox>(*c, "Cdr_Ssiad")->isEnabled());
    EXPECT_TRUE(box<QGroupBox>(*c, "Cdr_Fede")->isEnabled());
    EXPECT_FALSE(box<QGroupBox>(*c, "Cdr_Mandat")->isEnabled());
    EXPECT_FALSE(box(*c, "Txt_CodAssoc")->isEnabled());
    EXPECT_TRUE(box<QPushButton>(*c, "Cmd_OK")->isEnabled());
    EXPECT_TRUE(box<QPushButton>(*c, "Cmd_Annul")->isEnabled());
    // The loaded record reads attribute 9 as 0.
    EXPECT_EQ(c->enregistrementCharge().get(9), QStringLiteral("0"));
}

TEST_F(NumeroPiecesTest, AnAllMandataireEntityEnablesOnlyItsFrame) {
    auto c = control();
    charger(*c, "002");
    EXPECT_TRUE(box<QGroupBox>(*c, "Cdr_Mandat")->isEnabled());
    EXPECT_TRUE(box(*c, "Txt_AideMandat")->isEnabled());
    EXPECT_EQ(box(*c, "Txt_AideMandat")->text(), QStringLiteral("40"));
    for (const char* cadre : {"Cdr_Prest", "Cdr_Inter", "Cdr_Ssiad"})
        EXPECT_FALSE(box<QGroupBox>(*c, cadre)->isEnabled()) << cadre;
    for (const char* champ : {"Txt_AidePrest", "Txt_OrgaInter", "Txt_PlancherPrest"}) {
        EXPECT_FALSE(box(*c, champ)->isEnabled()) << champ;
        EXPECT_TRUE(box(*c, champ)->text().isEmpty()) << champ;
    }
}

TEST_F(NumeroPiecesTest, KeyFiltersOfNumberAndAmountBoxes) {
    auto c = control();
    charger(*c, "001");
    QLineEdit* plancher = box(*c, "Txt_PlancherPrest");
    plancher->clear();
    QTest::keyClicks(plancher, QStringLiteral("12.5"));
    EXPECT_EQ(plancher->text(), QStringLiteral("12,5"));
    QTest::keyClicks(plancher, QStringLiteral(",.x"));
    EXPECT_EQ(plancher->text(), QStringLiteral("12,5"));

    QLineEdit* numero = box(*c, "Txt_AideInter");
    QTest::keyClicks(numero, QStringLiteral("1a2,3"));
    EXPECT_EQ(numero->text(), QStringLiteral("123"));
    QTest::keyClick(numero, Qt::Key_Backspace);
    EXPECT_EQ(numero->text(), QStringLiteral("12"));
}

TEST_F(NumeroPiecesTest, LeavingAPrintingFloorAboveTenEurosIsRefused) {
    auto c = control();
    charger(*c, "001");
    QLineEdit* plancher = box(*c, "Txt_PlancherP");
    QWidget* ailleurs = box(*c, "Txt_AidePrest");

    plancher->setText(QStringLiteral("10"));
    quitterBoite(plancher, ailleurs);
    EXPECT_EQ(numeropieces::montantCentimes(plancher->text()), 1000);
    EXPECT_TRUE(plancher->text().contains(QLatin1Char(',')));  // formatted with the comma
    EXPECT_TRUE(messages_.shown().isEmpty());

    plancher->setText(QStringLiteral("10,01"));
    quitterBoite(plancher, ailleurs);
    ASSERT_EQ(messages_.shown().size(), 1);
    EXPECT_EQ(messages_.shown()[0].text, numeropieces::kMessagePlancherMaxSortie);
    EXPECT_EQ(messages_.shown()[0].icon, 64);
    EXPECT_EQ(messages_.shown()[0].title, QStringLiteral("Message ORVANELLE"));
    EXPECT_TRUE(plancher->hasFocus());
    EXPECT_EQ(numeropieces::montantCentimes(plancher->text()), 1001);

    // The box keeps the focus until its amount is right.
    quitterBoite(plancher, ailleurs);
    EXPECT_EQ(messages_.shown().size(), 2);
    EXPECT_TRUE(plancher->hasFocus());
    plancher->setText(QStringLiteral("5"));
    ailleurs->setFocus();
    EXPECT_EQ(messages_.shown().size(), 2);

    // The billing floors have no maximum.
    QLineEdit* facturation = box(*c, "Txt_PlancherPrest");
    facturation->setText(QStringLiteral("25"));
    quitterBoite(facturation, ailleurs);
    EXPECT_EQ(messages_.shown().size(), 2);
    EXPECT_EQ(numeropieces::montantCentimes(facturation->text()), 2500);
}

TEST_F(NumeroPiecesTest, ValidationRefusesAPrintingFloorAboveTenEuros) {
    auto c = control();
    charger(*c, "001");
    QLineEdit* plancher = box(*c, "Txt_PlancherP");
    plancher->setText(QStringLiteral("10,01"));
    c->Cmd_OK_Click();
    ASSERT_EQ(messages_.shown().size(), 1);
    EXPECT_EQ(messages_.shown()[0].text, numeropieces::kMessagePlancherMaxValidation);
    EXPECT_EQ(messages_.shown()[0].icon, 0);
    EXPECT_TRUE(plancher->text().isEmpty());
    EXPECT_EQ(stocke("001", 14), QStringLiteral("150"));

    c->Cmd_OK_Click();
    EXPECT_EQ(messages_.shown().last().text,
              QStringLiteral("Vous devez renseigner un montant pour le plancher d'édition des "
                             "factures prestataires."));
    EXPECT_TRUE(c->entiteChargee());

    plancher->setText(QStringLiteral("10,00"));
    c->Cmd_OK_Click();
    EXPECT_EQ(messages_.shown().size(), 2);
    EXPECT_EQ(stocke("001", 14), QStringLiteral("1000"));
    EXPECT_FALSE(c->entiteChargee());  // back to the open picker
    EXPECT_TRUE(box(*c, "Txt_CodAssoc")->text().isEmpty());
    EXPECT_TRUE(box(*c, "Txt_CodAssoc")->isEnabled());
}

TEST_F(NumeroPiecesTest, AStoredPrintingFloorAboveTenEurosLoadsAsStoredAndValidationRefusesIt) {
    orv::DynArray n;
    n.replace(14, "1200");  // 12 euros, stored before the maximum was checked
    engine_->write("NUMEROFACT", "003", n);
    auto c = control();
    box(*c, "Txt_CodAssoc")->setFocus();
    charger(*c, "003");
    QLineEdit* plancher = box(*c, "Txt_PlancherP");
    EXPECT_TRUE(messages_.shown().isEmpty());
    EXPECT_EQ(numeropieces::montantCentimes(plancher->text()), 1200);
    EXPECT_TRUE(box<QPushButton>(*c, "Cmd_OK")->hasFocus());

    c->Cmd_OK_Click();
    ASSERT_EQ(messages_.shown().size(), 1);
    EXPECT_EQ(messages_.shown()[0].text, numeropieces::kMessagePlancherMaxValidation);
    EXPECT_TRUE(plancher->hasFocus());
    EXPECT_TRUE(plancher->text().isEmpty());
}

TEST_F(NumeroPiecesTest, AnEntityWithoutCountersLoadsEmptyAndValidatingCreatesThem) {
    auto c = control();
    charger(*c, "003");
    EXPECT_TRUE(c->entiteChargee());
    EXPECT_TRUE(box(*c, "Txt_AidePrest")->text().isEmpty());
    EXPECT_TRUE(box(*c, "Txt_NumSsiad")->text().isEmpty());
    EXPECT_EQ(box(*c, "Txt_NumEtatFact")->text(), QStringLiteral("0"));

    box(*c, "Txt_AidePrest")->setText(QStringLiteral("125"));
    box(*c, "Txt_PlancherPrest")->setText(QStringLiteral("0,50"));
    box(*c, "Txt_NumEtatFact")->clear();
    box<QCheckBox>(*c, "Cac_NomIntFactP")->setChecked(true);
    c->Cmd_OK_Click();
    EXPECT_TRUE(messages_.shown().isEmpty());
    EXPECT_EQ(stocke("003", 1), QStringLiteral("0000000125"));
    for (int a : {2, 3, 4, 5, 6, 9}) EXPECT_EQ(stocke("003", a), QStringLiteral("0000000000"));
    EXPECT_EQ(stocke("003", 10), QStringLiteral("000000000"));
    EXPECT_EQ(stocke("003", 7), QStringLiteral("50"));
    EXPECT_EQ(stocke("003", 8), QString());
    EXPECT_EQ(stocke("003", 11), QStringLiteral("1"));
    EXPECT_EQ(stocke("003", 12), QStringLiteral("0"));
    EXPECT_EQ(stocke("003", 14), QString());

    // Loaded again, it shows what was stored.
    charger(*c, "003");
    EXPECT_EQ(box(*c, "Txt_AidePrest")->text(), QStringLiteral("125"));
    EXPECT_EQ(numeropieces::montantCentimes(box(*c, "Txt_PlancherPrest")->text()), 50);
}

TEST_F(NumeroPiecesTest, LeavingAfterAChangeAsksAndCancelKeepsTheScreen) {
    auto c = control();
    charger(*c, "001");
    box(*c, "Txt_OrgaPrest")->setText(QStringLiteral("8"));
    box(*c, "Txt_PlancherP")->setText(QStringLiteral("2,5"));
    messages_.queueAnswer(orv::MsgAnswer::Cancel);
    c->Cmd_Retour_Click();
    ASSERT_EQ(messages_.shown().size(), 1);
    EXPECT_EQ(messages_.shown()[0].text, Ctr_NumeroPieces::kQuestionEnregistrer);
    EXPECT_EQ(messages_.shown()[0].icon, 32);
    EXPECT_EQ(messages_.shown()[0].buttons, 3);
    EXPECT_FALSE(c->property("W_Sortir").toBool());
    EXPECT_EQ(box(*c, "Txt_OrgaPrest")->text(), QStringLiteral("8"));
    EXPECT_EQ(box(*c, "Txt_PlancherP")->text(), QStringLiteral("2,5"));
    EXPECT_EQ(box(*c, "Txt_AidePrest")->text(), QStringLiteral("125"));

    messages_.queueAnswer(orv::MsgAnswer::No);
    c->Cmd_Retour_Click();
    EXPECT_TRUE(c->property("W_Sortir").toBool());
    EXPECT_EQ(stocke("001", 2), QStringLiteral("0000000007"));
}

TEST_F(NumeroPiecesTest, LeavingWithYesWrites) {
    auto c = control();
    charger(*c, "002");
    box(*c, "Txt_OrgaMandat")->setText(QStringLiteral("42"));
    messages_.queueAnswer(orv::MsgAnswer::Yes);
    c->Cmd_Retour_Click();
    EXPECT_EQ(messages_.shown().size(), 1);
    EXPECT_TRUE(c->property("W_Sortir").toBool());
    EXPECT_EQ(stocke("002", 4), QStringLiteral("0000000042"));
}

TEST_F(NumeroPiecesTest, LeadingZerosCountAsAChangeExceptInTheFederationNumber) {
    auto c = control();
    charger(*c, "001");
    box(*c, "Txt_NumEtatFact")->setText(QStringLiteral("0125"));
    c->Cmd_Retour_Click();
    EXPECT_TRUE(messages_.shown().isEmpty());
    EXPECT_TRUE(c->property("W_Sortir").toBool());

    auto d = control();
    charger(*d, "001");
    box(*d, "Txt_AidePrest")->setText(QStringLiteral("0125"));
    messages_.queueAnswer(orv::MsgAnswer::Cancel);
    d->Cmd_Retour_Click();
    EXPECT_EQ(messages_.shown().size(), 1);
    EXPECT_FALSE(d->property("W_Sortir").toBool());
}

TEST_F(NumeroPiecesTest, WithoutFullRightsThereIsNoOkAndLeavingNeverAsks) {
    auto c = control(1);
    EXPECT_TRUE(box<QPushButton>(*c, "Cmd_OK")->isHidden());
    charger(*c, "001");
    box(*c, "Txt_AidePrest")->setText(QStringLiteral("999"));
    c->Cmd_Retour_Click();
    EXPECT_TRUE(messages_.shown().isEmpty());
    EXPECT_TRUE(c->property("W_Sortir").toBool());
    EXPECT_EQ(stocke("001", 1), QStringLiteral("0000000125"));
}

TEST_F(NumeroPiecesTest, CancelDropsTheChangesAndReopensThePicker) {
    auto c = control();
    charger(*c, "001");
    box(*c, "Txt_AidePrest")->setText(QStringLiteral("999"));
    c->Cmd_Annul_Click();
    EXPECT_TRUE(messages_.shown().isEmpty());
    EXPECT_FALSE(c->entiteChargee());
    EXPECT_TRUE(box(*c, "Txt_AidePrest")->text().isEmpty());
    EXPECT_TRUE(box<QComboBox>(*c, "Cbo_SigleAssoc")->currentText().isEmpty());
    EXPECT_FALSE(box<QPushButton>(*c, "Cmd_OK")->isEnabled());
    EXPECT_EQ(stocke("001", 1), QStringLiteral("0000000125"));
}

TEST_F(NumeroPiecesTest, TheSecondOfTwoUsersIsToldAndTheFirstOnesValuesStay) {
    auto premier = control();
    auto second = control();
    charger(*premier, "001");
    charger(*second, "001");
    box(*premier, "Txt_AidePrest")->setText(QStringLiteral("200"));
    box(*second, "Txt_AidePrest")->setText(QStringLiteral("130"));
    premier->Cmd_OK_Click();
    EXPECT_TRUE(messages_.shown().isEmpty());

    second->Cmd_OK_Click();
    ASSERT_EQ(messages_.shown().size(), 1);
    EXPECT_EQ(messages_.shown()[0].text, Ctr_NumeroPieces::kMessageModifie);
    EXPECT_EQ(messages_.shown()[0].title, QStringLiteral("Message ORVANELLE"));
    EXPECT_EQ(stocke("001", 1), QStringLiteral("0000000200"));
    EXPECT_TRUE(second->entiteChargee());
    EXPECT_EQ(box(*second, "Txt_AidePrest")->text(), QStringLiteral("130"));

    // Leaving with Yes does not write either, and stays on the screen.
    messages_.queueAnswer(orv::MsgAnswer::Yes);
    second->Cmd_Retour_Click();
    EXPECT_EQ(messages_.shown().last().text, Ctr_NumeroPieces::kMessageModifie);
    EXPECT_FALSE(second->property("W_Sortir").toBool());
    EXPECT_EQ(stocke("001", 1), QStringLiteral("0000000200"));

    // Loaded again, the second user sees the first one's values and may validate.
    second->Cmd_Annul_Click();
    charger(*second, "001");
    EXPECT_EQ(box(*second, "Txt_AidePrest")->text(), QStringLiteral("200"));
    box(*second, "Txt_AidePrest")->setText(QStringLiteral("201"));
    second->Cmd_OK_Click();
    EXPECT_EQ(stocke("001", 1), QStringLiteral("0000000201"));
}

TEST_F(NumeroPiecesTest, ARecordHeldByAnotherUserIsNotWrittenAndTheLockIsKeptByItsHolder) {
    auto c = control();
    charger(*c, "003");
    box(*c, "Txt_AidePrest")->setText(QStringLiteral("5"));

    dba::Database* autre = client_.OpenDatabase(QStringLiteral("ORVANELLE"), path_);
    auto fichier = autre->OpenFile(QStringLiteral("NUMEROFACT"));
    fichier->ReadForUpdate(QStringLiteral("003"));
    c->Cmd_OK_Click();
    ASSERT_EQ(messages_.shown().size(), 1);
    EXPECT_EQ(messages_.shown()[0].text, Ctr_NumeroPieces::kMessageVerrouille);
    EXPECT_EQ(messages_.shown()[0].icon, 48);
    EXPECT_EQ(stocke("003", 1), QStringLiteral("<absent>"));
    EXPECT_EQ(box(*c, "Txt_AidePrest")->text(), QStringLiteral("5"));

    fichier->Release(QStringLiteral("003"));
    c->Cmd_OK_Click();
    EXPECT_EQ(messages_.shown().size(), 1);
    EXPECT_EQ(stocke("003", 1), QStringLiteral("0000000005"));
    // The control released its own lock by writing: another user may take it.
    EXPECT_NO_THROW(fichier->ReadForUpdate(QStringLiteral("003")));
    fichier->Release(QStringLiteral("003"));
}

TEST_F(NumeroPiecesTest, AConflictReleasesTheLock) {
    auto c = control();
    charger(*c, "001");
    engine_->write("NUMEROFACT", "001", orv::DynArray("0000000300"));
    c->Cmd_OK_Click();
    ASSERT_EQ(messages_.shown().size(), 1);
    EXPECT_EQ(messages_.shown().last().text, Ctr_NumeroPieces::kMessageModifie);
    dba::Database* autre = client_.OpenDatabase(QStringLiteral("ORVANELLE"), path_);
    EXPECT_NO_THROW(autre->OpenFile(QStringLiteral("NUMEROFACT"))->ReadForUpdate("001"));
    EXPECT_EQ(stocke("001", 1), QStringLiteral("0000000300"));
}

TEST_F(NumeroPiecesTest, TheHelpMenuShowsTheCountersPage) {
    auto c = control();
    ASSERT_NE(c->helpMenu(), nullptr);
    EXPECT_EQ(c->helpMenu()->objectName(), QStringLiteral("Mnu_Aide"));
    auto* sommaire = c->helpMenu()->findChild<QAction*>(QStringLiteral("Mnu_Sommaire"));
    ASSERT_NE(sommaire, nullptr);
    EXPECT_FALSE(orv::findHelpPage(Ctr_NumeroPieces::kPageAide).isEmpty());
    sommaire->trigger();
    EXPECT_TRUE(messages_.shown().isEmpty());  // the page was found
    EXPECT_NE(fenetreAide(), nullptr);
    orv::closeHelp();
}

TEST_F(NumeroPiecesTest, TheHelpWindowClosesWhenTheControlEnds) {
    for (const bool parSortir : {true, false}) {
        auto c = control();
        c->helpMenu()->findChild<QAction*>(QStringLiteral("Mnu_Sommaire"))->trigger();
        const QPointer<QWidget> aide = fenetreAide();
        ASSERT_NE(aide, nullptr);
        if (parSortir)
            box<QPushButton>(*c, "Cmd_Retour")->click();
        else
            c.window.reset();  // the host deleted the control
        EXPECT_FALSE(aide && aide->isVisible()) << (parSortir ? "Sortir" : "deleted");
    }
}

}  // namespace
