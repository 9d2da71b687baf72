// The report chooser and the helper code window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "fixture.h"
#include "menu/chd_code.h"
#include "menu/chd_rapport.h"
#include "menu/mdi_vesperon.h"

using essai::BaseEssai;

namespace {

class Fenetres : public ::testing::Test {
  protected:
    void SetUp() override {
        base.ecrire("VESPERONRAPPORTS", "2006-02-28_import.txt", {"février"});
        base.ecrire("VESPERONRAPPORTS", "2006-03-01_import.txt", {"Import du 01/03", "Lus : 3"});
        base.ecrire("VESPERONRAPPORTS", "2006-03-15_import.txt",
                    {"Import du 15/03", "Lus : 12", "Anomalie : badge 00042"});
        base.ecrire("VESPERONRAPPORTS", "2006-04-02_import.txt", {"Import du 02/04"});
        for (const char* cle : {"CADRIUSRAPPORT", "CADRIUSCODE"}) base.droit("DUPOND", cle, 2);
        base.droit("MARTIN", "CADRIUSCODE", 1);
    }
    menu::Mdi_Vesperon& ouvrir(const QString& utilisateur, const QString& motPasse) {
        essai::connecter(programme, base, utilisateur, motPasse);
        return *programme.mdi;
    }
    template <class T>
    T* enfant(const char* fenetre, const char* nom) {
        QWidget* f = programme.mdi->fenetreOuverte(fenetre);
        return f ? f->findChild<T*>(nom) : nullptr;
    }

    BaseEssai base;
    orv::ScriptedMessageService messages;
    orv::ScopedMessageService service{&messages};
    menu::Programme programme;
};

TEST(RapportRequete, StartsOnTheFirstDayOfThePayPeriod) {
    EXPECT_EQ(menu::Chd_CADRIUSRAPPORT::dateDebut("200603"), "2006-03-01");
    EXPECT_EQ(menu::Chd_CADRIUSRAPPORT::requete("2006-03-01"),
              "SELECT VESPERONRAPPORTS AVEC Date >= \"2006-03-01\" PAR-DECR @ID");
}

TEST_F(Fenetres, ReportsOfThePayPeriodAreListedNewestFirst) {
    menu::Mdi_Vesperon& mdi = ouvrir("dupond", "mot,de,passe");
    mdi.entree("Mnu_CADRIUSRAPPORT")->trigger();
    auto* liste = enfant<QComboBox>("Chd_CADRIUSRAPPORT", "Cbo_Rapports");
    ASSERT_NE(liste, nullptr);
    QStringList noms;
    for (int i = 0; i < liste->count(); ++i) noms << liste->itemText(i);
    EXPECT_EQ(noms, (QStringList{"2006-04-02_import", "2006-03-15_import", "2006-03-01_import"}));
    EXPECT_FALSE(mdi.entree("Mnu_CADRIUSRAPPORT")->isEnabled());
    EXPECT_FALSE(mdi.entree("Mnu_Quitter")->isEnabled());
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(Fenetres, WithoutAPayPeriodEveryReportIsListed) {
    base.supprimer("PERIODESPAIE", "1");
    ouvrir("dupond", "mot,de,passe").entree("Mnu_CADRIUSRAPPORT")->trigger();
    EXPECT_EQ(enfant<QComboBox>("Chd_CADRIUSRAPPORT", "Cbo_Rapports")->count(), 4);
}

TEST_F(Fenetres, AReportShownTwiceAppearsOnceAndAnEmptyOneChangesNothing) {
    base.ecrire("VESPERONRAPPORTS", "2006-03-20_vide.txt", {});
    ouvrir("dupond", "mot,de,passe").entree("Mnu_CADRIUSRAPPORT")->trigger();
    auto* liste = enfant<QComboBox>("Chd_CADRIUSRAPPORT", "Cbo_Rapports");
    auto* texte = enfant<QPlainTextEdit>("Chd_CADRIUSRAPPORT", "Txt_Rapports");
    const QString attendu = "Import du 15/03\nLus : 12\nAnomalie : badge 00042";
    liste->setCurrentIndex(liste->findText("2006-03-15_import"));
    EXPECT_EQ(texte->toPlainText(), attendu);
    liste->setCurrentIndex(liste->findText("2006-04-02_import"));
    liste->setCurrentIndex(liste->findText("2006-03-15_import"));
    emit liste->activated(liste->currentIndex());  // the same entry clicked again
    EXPECT_EQ(texte->toPlainText(), attendu);

    liste->setCurrentIndex(liste->findText("2006-03-20_vide"));
    EXPECT_EQ(texte->toPlainText(), attendu);
}

TEST_F(Fenetres, ReportTextCannotBeChangedByTypingOrPasting) {
    ouvrir("dupond", "mot,de,passe").entree("Mnu_CADRIUSRAPPORT")->trigger();
    auto* liste = enfant<QComboBox>("Chd_CADRIUSRAPPORT", "Cbo_Rapports");
    auto* texte = enfant<QPlainTextEdit>("Chd_CADRIUSRAPPORT", "Txt_Rapports");
    liste->setCurrentIndex(liste->findText("2006-03-01_import"));
    const QString rapport = texte->toPlainText();
    QTest::keyClicks(texte, "abc");
    QTest::keyClick(texte, Qt::Key_Backspace);
    EXPECT_EQ(texte->toPlainText(), rapport);
    texte->insertPlainText("collé");  // what a paste does
    EXPECT_EQ(texte->toPlainText(), rapport);
    QTest::keyClick(texte, Qt::Key_Delete);
    EXPECT_EQ(texte->toPlainText(), rapport);
    // Selecting and copying still work.
    QApplication::clipboard()->clear();
    QTest::keyClick(texte, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(texte, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), rapport);
    EXPECT_EQ(texte->toPlainText(), rapport);
}

TEST_F(Fenetres, ReportLongerThanASixteenBitCountIsShownWhole) {
    std::vector<std::string> lignes;
    for (int i = 1; i <= 33000; ++i) lignes.push_back("ligne " + std::to_string(i));
    base.ecrire("VESPERONRAPPORTS", "2006-03-31_long.txt", lignes);
    ouvrir("dupond", "mot,de,passe").entree("Mnu_CADRIUSRAPPORT")->trigger();
    auto* liste = enfant<QComboBox>("Chd_CADRIUSRAPPORT", "Cbo_Rapports");
    liste->setCurrentIndex(liste->findText("2006-03-31_long"));
    const QString texte =
        enfant<QPlainTextEdit>("Chd_CADRIUSRAPPORT", "Txt_Rapports")->toPlainText();
    EXPECT_EQ(texte.count('\n'), 32999);
    EXPECT_TRUE(texte.endsWith("ligne 33000"));
}

TEST_F(Fenetres, ReportChooserClosesOnlyThroughFermer) {
    menu::Mdi_Vesperon& mdi = ouvrir("dupond", "mot,de,passe");
    mdi.entree("Mnu_CADRIUSRAPPORT")->trigger();
    QMdiSubWindow* fenetre = mdi.fenetreOuverte("Chd_CADRIUSRAPPORT");
    ASSERT_NE(fenetre, nullptr);
    fenetre->close();
    EXPECT_TRUE(fenetre->isVisible());
    enfant<QPushButton>("Chd_CADRIUSRAPPORT", "Cmd_Fermer")->click();
    EXPECT_EQ(mdi.fenetreOuverte("Chd_CADRIUSRAPPORT"), nullptr);
    EXPECT_TRUE(mdi.entree("Mnu_CADRIUSRAPPORT")->isEnabled());
    EXPECT_TRUE(mdi.entree("Mnu_Quitter")->isEnabled());
    EXPECT_EQ(programme.fichiers.rapports.fichier, nullptr);
}

TEST_F(Fenetres, FailingSelectionIsReportedAndLeavesTheListEmpty) {
    base.supprimer("DICT VESPERONRAPPORTS", "Date");
    ouvrir("dupond", "mot,de,passe").entree("Mnu_CADRIUSRAPPORT")->trigger();
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text, "Erreur d'exécution de la requête");
    EXPECT_EQ(messages.shown()[0].icon, 64);
    EXPECT_EQ(enfant<QComboBox>("Chd_CADRIUSRAPPORT", "Cbo_Rapports")->count(), 0);
}

TEST(CodeCadrius, CheckDigitIsTheNumberModuloSeven) {
    EXPECT_EQ(menu::CodeCadrius("00042", "17"), "30004217");
    EXPECT_EQ(menu::CodeCadrius("00007", ""), "000007");
    EXPECT_EQ(menu::CodeCadrius("21474", "83647"), "12147483647");
    EXPECT_EQ(menu::CodeCadrius("21474", "83648"), std::nullopt);
    EXPECT_EQ(menu::CodeCadrius("99999", "999999999"), std::nullopt);
    EXPECT_EQ(menu::CodeCadrius("", ""), std::nullopt);
}

TEST_F(Fenetres, CodeWindowPadsTheHelperCodeAndGeneratesTheCode) {
    menu::Mdi_Vesperon& mdi = ouvrir("dupond", "mot,de,passe");
    mdi.entree("Mnu_CADRIUSCODE")->trigger();
    QMdiSubWindow* fenetre = mdi.fenetreOuverte("Chd_CADRIUSCODE");
    ASSERT_NE(fenetre, nullptr);
    EXPECT_EQ(fenetre->windowTitle(), "Code Cadrius");
    auto* code = enfant<QLineEdit>("Chd_CADRIUSCODE", "Text1");
    auto* resultat = enfant<QLabel>("Chd_CADRIUSCODE", "Text2");
    auto* generer = enfant<QPushButton>("Chd_CADRIUSCODE", "Command1");
    EXPECT_TRUE(generer->isVisible());
    QApplication::setActiveWindow(&mdi);
    code->setFocus();
    QTest::keyClicks(code, "4a-2");
    EXPECT_EQ(code->text(), "42");
    QTest::keyClick(code, Qt::Key_Return);
    EXPECT_EQ(code->text(), "00042");
    generer->click();
    EXPECT_EQ(resultat->text(), "30004217");
    code->clear();
    EXPECT_TRUE(resultat->text().isEmpty());

    code->setFocus();
    QTest::keyClicks(code, "42");
    generer->setFocus();  // leaving the box pads it too
    EXPECT_EQ(code->text(), "00042");
}

TEST_F(Fenetres, CodeBeyondThe32BitRangeIsReportedWithoutACode) {
    base.ecrire("ASSOCIATION", "001", {"ADMR Vallée"});
    orv::DynArray a(base.db->read("ASSOCIATION", "001")->text());
    a.replace(39, "99999999");  // 0004299999999 > 2147483647
    base.db->write("ASSOCIATION", "001", a);
    ouvrir("dupond", "mot,de,passe").entree("Mnu_CADRIUSCODE")->trigger();
    enfant<QLineEdit>("Chd_CADRIUSCODE", "Text1")->setText("00042");
    enfant<QPushButton>("Chd_CADRIUSCODE", "Command1")->click();
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].title, "Message ORVANELLE");
    EXPECT_TRUE(enfant<QLabel>("Chd_CADRIUSCODE", "Text2")->text().isEmpty());
}

TEST_F(Fenetres, LevelOneSeesTheCodeWindowWithoutTheGenerateButton) {
    menu::Mdi_Vesperon& mdi = ouvrir("martin", "martin");
    mdi.entree("Mnu_CADRIUSCODE")->trigger();
    ASSERT_NE(mdi.fenetreOuverte("Chd_CADRIUSCODE"), nullptr);
    EXPECT_FALSE(enfant<QPushButton>("Chd_CADRIUSCODE", "Command1")->isVisible());
    EXPECT_TRUE(enfant<QPushButton>("Chd_CADRIUSCODE", "Command2")->isVisible());
}

TEST_F(Fenetres, CodeWindowCloseBoxLeavesAsSortirDoes) {
    menu::Mdi_Vesperon& mdi = ouvrir("dupond", "mot,de,passe");
    mdi.entree("Mnu_CADRIUSCODE")->trigger();
    EXPECT_FALSE(mdi.entree("Mnu_CADRIUSCODE")->isEnabled());
    mdi.fenetreOuverte("Chd_CADRIUSCODE")->close();
    EXPECT_EQ(mdi.fenetreOuverte("Chd_CADRIUSCODE"), nullptr);
    EXPECT_TRUE(mdi.entree("Mnu_CADRIUSCODE")->isEnabled());
    EXPECT_TRUE(mdi.entree("Mnu_Quitter")->isEnabled());
}

}  // namespace
