// The control on its form: lists, pickers, rights, focus, and the print command on virtual
// printers of the catalogue.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "client/outils_communs.h"
#include "controls/declartrim/ctr_relevednt.h"
#include "fixture.h"
#include "frame/control_factory.h"
#include "hosting.h"
#include "platform/dialogs.h"
#include "platform/message_services.h"
#include "platform/print_catalogue.h"
#include "platform/printer.h"
#include "rights/rights.h"

using namespace declartrim;
using namespace declartrim::test;

namespace {

class ControleTest : public ::testing::Test {
  protected:
    explicit ControleTest(std::initializer_list<const char*> absents = {}) : base(absents) {}
    void SetUp() override {
        qputenv("ORVANELLE_TODAY", "2005-02-15");
        qputenv("ORVANELLE_SYSTEM_PRINTERS", "0");
        matricielle = base.dir.filePath("m.jsonl");
        laser = base.dir.filePath("l.jsonl");
        qputenv("ORVANELLE_PRINTERS", QStringLiteral("Epson MatriCielle=transcript:%1;"
                                                     "Laser=transcript:%2")
                                          .arg(matricielle, laser)
                                          .toUtf8());
        orv::PrinterCatalogue::reload();
        orv::OutilsCommuns::installDialogues(&dialogues);

        base.ecrire("ASSOCIATION", "001", {"ADMR Vallée"});
        base.ecrire("ASSOCIATION", "007", {"ADMR Plaine"});
        base.ecrire("CENTREURSSAF", "07", {"URSSAF de l'Ardèche"});
        base.ecrire("CENTREURSSAF", "38", {"URSSAF de l'Isère"});
    }
    void TearDown() override { orv::OutilsCommuns::installDialogues(nullptr); }

    // Creates the control in a host window, as a host does, and starts it.
    void demarrer(int niveau = 2) {
        droits.add(orv::RightsEntry(QStringLiteral("RELEVEDNT"), niveau));
        hote.host(&base.db(), &droits);
    }
    template <class T>
    T* w(const char* name) {
        return hote.template child<T>(name);
    }
    QLineEdit* centre() { return w<QLineEdit>("Txt_CtrUrssaf"); }
    QLineEdit* entite() { return w<QLineEdit>("Txt_CodAssoc"); }
    QPushButton* ok() { return w<QPushButton>("Cmd_Ok"); }
    QString nomCentre() { return w<QComboBox>("Cbo_CtrUrssaf")->currentText(); }
    void choisir(const QString& codeEntite, const QString& codeCentre) {
        entite()->setText(codeEntite);
        centre()->setText(codeCentre);
    }
    // Declarations of entity 001, centre 38, quarter 4 of 2004.
    void declarations(int n) {
        base.declarations(n);
        choisir("001", "38");
    }
    int imprimante(const QString& nom) { return orv::PrinterCatalogue::indexOf(nom); }

    BaseReleve base;
    orv::Rights droits;
    orv::ScriptedMessageService messages;
    orv::ScopedMessageService messagesEnService{&messages};
    orv::ScriptedDialogues dialogues;
    orv::test::Hosted<Ctr_ReleveDnt> hote;
    Ctr_ReleveDnt*& ctrl = hote.control;  // set before Init, which may throw
    QString matricielle;
    QString laser;
};

}  // namespace

TEST_F(ControleTest, QuarterListFromTodayWithThePreviousQuarterSelected) {
    demarrer();
    auto* trimestres = w<QComboBox>("Cbo_Trimestre");
    ASSERT_EQ(trimestres->count(), 9);
    EXPECT_EQ(trimestres->itemText(0), QStringLiteral("1er  TRIMESTRE 2005"));
    EXPECT_EQ(trimestres->itemText(8), QStringLiteral("1er  TRIMESTRE 2003"));
    EXPECT_EQ(trimestres->currentText(), QStringLiteral("4ème TRIMESTRE 2004"));
    EXPECT_EQ(trimestres->font().family(), QStringLiteral("Courier New"));
    EXPECT_FALSE(trimestres->isEditable());
    EXPECT_EQ(w<QComboBox>("Cbo_SigleAssoc")->count(), 2);
    EXPECT_EQ(w<QComboBox>("Cbo_CtrUrssaf")->count(), 2);
    EXPECT_GE(ctrl->width(), 512);
    EXPECT_GE(ctrl->height(), 168);
    // The two buttons at the bottom right, under the name lists.
    EXPECT_LT(ok()->geometry().right(), w<QPushButton>("Cmd_Sortir")->geometry().left());
    EXPECT_EQ(w<QPushButton>("Cmd_Sortir")->geometry().right(),
              w<QComboBox>("Cbo_CtrUrssaf")->geometry().right());
    EXPECT_EQ(ok()->text(), QStringLiteral("Imprimer"));
    EXPECT_FALSE(ok()->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), entite());
}

// Every caption is shown whole, with the screen's text at 100 % and at 200 % (twice the font
// for the same pixels, as a desktop scaled through its font resolution shows it).
TEST_F(ControleTest, EveryCaptionIsWholeAt100And200Percent) {
    const QFont normale = QApplication::font();
    for (const double echelle : {1.0, 2.0}) {
        SCOPED_TRACE(echelle);
        QFont police = normale;
        police.setPointSizeF(normale.pointSizeF() * echelle);
        QApplication::setFont(police);
        demarrer();
        for (const QLabel* etiquette : ctrl->findChildren<QLabel*>())
            EXPECT_LE(etiquette->fontMetrics().horizontalAdvance(etiquette->text()),
                      etiquette->contentsRect().width())
                << etiquette->objectName().toStdString();
        for (const QPushButton* bouton : ctrl->findChildren<QPushButton*>())
            EXPECT_GE(bouton->width(), bouton->sizeHint().width())
                << bouton->objectName().toStdString();
        const auto* trimestres = w<QComboBox>("Cbo_Trimestre");
        EXPECT_GE(trimestres->width(), trimestres->sizeHint().width());
        hote.window.reset();
    }
    QApplication::setFont(normale);
}

TEST_F(ControleTest, CentreCodeIsPaddedOnEnterAndOnLeaving) {
    demarrer();
    centre()->setFocus();
    QTest::keyClicks(centre(), "7");
    QTest::keyClick(centre(), Qt::Key_Return);
    EXPECT_EQ(centre()->text(), QStringLiteral("07"));
    EXPECT_EQ(nomCentre(), QStringLiteral("URSSAF de l'Ardèche"));
    EXPECT_EQ(QApplication::focusWidget(), centre());

    centre()->clear();
    EXPECT_EQ(nomCentre(), QString());
    centre()->setFocus();
    QTest::keyClicks(centre(), "a7-");
    EXPECT_EQ(centre()->text(), QStringLiteral("7"));
    entite()->setFocus();
    EXPECT_EQ(centre()->text(), QStringLiteral("07"));
    EXPECT_EQ(nomCentre(), QStringLiteral("URSSAF de l'Ardèche"));
    EXPECT_TRUE(messages.shown().isEmpty());

    // Choosing a name puts its code in the box; emptying the name empties the code.
    auto* noms = w<QComboBox>("Cbo_CtrUrssaf");
    noms->setCurrentIndex(1);
    EXPECT_EQ(centre()->text(), QStringLiteral("38"));
    EXPECT_EQ(nomCentre(), QStringLiteral("URSSAF de l'Isère"));
    noms->setEditText(QString());
    EXPECT_EQ(centre()->text(), QString());
}

TEST_F(ControleTest, PrintIsPossibleOnlyWhileBothCodesNameExistingRecords) {
    demarrer();
    choisir("007", "38");
    EXPECT_TRUE(ok()->isEnabled());
    // A third character: no centre any more.
    centre()->setFocus();
    QTest::keyClicks(centre(), "5");
    EXPECT_EQ(centre()->text(), QStringLiteral("385"));
    EXPECT_EQ(nomCentre(), QString());
    EXPECT_FALSE(ok()->isEnabled());

    centre()->setText("99");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text, QStringLiteral("Ce centre Urssaf n'existe pas."));
    EXPECT_EQ(messages.shown()[0].title, QStringLiteral("Message ORVANELLE"));
    EXPECT_EQ(messages.shown()[0].icon, 48);
    EXPECT_EQ(centre()->text(), QString());
    EXPECT_FALSE(ok()->isEnabled());

    // A half-typed centre does not make the entity printable.
    centre()->setText("3");
    entite()->setText("001");
    EXPECT_FALSE(ok()->isEnabled());
    centre()->setText("38");
    EXPECT_TRUE(ok()->isEnabled());
    entite()->setText("00");
    EXPECT_EQ(w<QComboBox>("Cbo_SigleAssoc")->currentText(), QString());
    EXPECT_FALSE(ok()->isEnabled());
}

TEST_F(ControleTest, SingleCentreIsChosenAndGreyedAndTheFocusMovesOn) {
    base.engine->remove("CENTREURSSAF", "07");
    demarrer();
    EXPECT_EQ(centre()->text(), QStringLiteral("38"));
    EXPECT_EQ(nomCentre(), QStringLiteral("URSSAF de l'Isère"));
    EXPECT_FALSE(centre()->isEnabled());
    EXPECT_FALSE(w<QLabel>("Etq_CtrUrssaf")->isEnabled());
    EXPECT_FALSE(w<QComboBox>("Cbo_CtrUrssaf")->isEnabled());
    EXPECT_TRUE(entite()->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), entite());
}

TEST_F(ControleTest, SingleEntityAndCentreLeaveTheFocusOnPrint) {
    base.engine->remove("CENTREURSSAF", "07");
    base.engine->remove("ASSOCIATION", "007");
    demarrer();
    EXPECT_EQ(entite()->text(), QStringLiteral("001"));
    EXPECT_FALSE(entite()->isEnabled());
    EXPECT_TRUE(ok()->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), ok());
}

TEST_F(ControleTest, WithoutFullRightsThereIsNoPrintButtonButSortirCloses) {
    demarrer(1);
    EXPECT_FALSE(ok()->isVisible());
    EXPECT_TRUE(hote.window->isVisible());
    hote.window->close();
    EXPECT_TRUE(hote.window->isVisible());
    EXPECT_FALSE(ctrl->wSortir());
    QTest::mouseClick(w<QPushButton>("Cmd_Sortir"), Qt::LeftButton);
    EXPECT_TRUE(ctrl->wSortir());
    EXPECT_FALSE(hote.window->isVisible());
}

TEST_F(ControleTest, NoDeclarationShowsTheMessageAndStaysOpen) {
    demarrer();
    declarations(2);
    w<QComboBox>("Cbo_Trimestre")->setCurrentIndex(0);
    ok()->click();
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text, Ctr_ReleveDnt::kAucuneDeclaration);
    EXPECT_EQ(entite()->text(), QString());
    EXPECT_EQ(centre()->text(), QString());
    EXPECT_FALSE(ctrl->wSortir());
    EXPECT_TRUE(hote.window->isVisible());
    EXPECT_FALSE(QFile::exists(laser));
}

TEST_F(ControleTest, SelectionMatchesQuarterEntityAndCentreSortedByName) {
    demarrer();
    base.aide("20001", "ZOLA", "Émile", "1");
    base.aide("20002", "ARNAUD", "Zoé", "2");
    base.aide("20003", "ARNAUD", "Anne", "3");
    base.declaration("20001", {"1"});
    base.declaration("20002", {"1"});
    base.declaration("20003", {"1"});
    base.declaration("20003", {"1"}, "", "", "007");                 // another entity
    base.declaration("20002", {"1"}, "", "", "001", "07");           // another centre
    base.declaration("20001", {"1"}, "", "", "001", "38", "20043");  // another quarter
    base.declaration("20001", {"1"}, "", "", "001", "38", "20054");  // 2005, quarter 4
    choisir("001", "38");
    dialogues.queuePrinter(imprimante("Laser"));
    ok()->click();
    QStringList codes;
    for (const Ligne& l : lireTranscription(laser).lignes)
        if (l.text.startsWith(QStringLiteral("2000"))) codes << l.text.left(5);
    EXPECT_EQ(codes, (QStringList{"20003", "20002", "20001"}));
}

TEST_F(ControleTest, CancelledPrinterChoicePrintsNothingAndCloses) {
    demarrer();
    declarations(2);
    dialogues.queuePrinter(-1);
    ok()->click();
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_TRUE(ctrl->wSortir());
    EXPECT_FALSE(hote.window->isVisible());
    EXPECT_FALSE(QFile::exists(laser));
    EXPECT_FALSE(QFile::exists(matricielle));
}

TEST_F(ControleTest, MatrixPrinterKeepsItsOrientationOthersPrintInLandscape) {
    demarrer();
    declarations(3);
    dialogues.queuePrinter(imprimante("Laser"));
    ok()->click();
    Transcription t = lireTranscription(laser);
    ASSERT_TRUE(t.terminee);
    EXPECT_EQ(t.ops[0].value("orientation").toString(), QStringLiteral("landscape"));
    EXPECT_TRUE(ctrl->wSortir());
    EXPECT_FALSE(hote.window->isVisible());

    // The next user of the printer finds its own orientation again.
    demarrer();
    choisir("001", "38");
    dialogues.queuePrinter(imprimante("Epson MatriCielle"));
    ok()->click();
    t = lireTranscription(matricielle);
    ASSERT_TRUE(t.terminee);
    EXPECT_EQ(t.ops[0].value("orientation").toString(), QStringLiteral("portrait"));
    EXPECT_EQ(t.commencantPar("Total général").size(), 1);
}

TEST_F(ControleTest, CopiesPrintInOneJobWithRunningPageNumbers) {
    demarrer();
    declarations(40);
    dialogues.queuePrinter(imprimante("Laser"));
    dialogues.queueCopies(2);
    ok()->click();
    const Transcription t = lireTranscription(laser);
    ASSERT_TRUE(t.terminee);
    int debuts = 0;
    for (const QJsonObject& op : t.ops) debuts += op.value("op").toString() == "start";
    EXPECT_EQ(debuts, 1);
    ASSERT_EQ(t.pages, 4);
    const auto totaux = t.commencantPar("Total général");
    ASSERT_EQ(totaux.size(), 2);
    EXPECT_EQ(totaux[0].page, 2);
    EXPECT_EQ(totaux[0].text, totaux[1].text);
    const auto dates = t.commencantPar("Date : ");
    ASSERT_EQ(dates.size(), 4);
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(dates[p].page, p + 1);
        EXPECT_TRUE(dates[p].text.endsWith(QStringLiteral("Page : %1").arg(p + 1)));
    }
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(ControleTest, DataProblemsAreReportedOnceAfterPrinting) {
    demarrer();
    base.aide("10001", "A", "B", "1");
    base.declaration("10001", {"12x"});
    choisir("001", "38");
    dialogues.queuePrinter(imprimante("Laser"));
    dialogues.queueCopies(2);
    ok()->click();
    ASSERT_TRUE(lireTranscription(laser).terminee);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].title, QStringLiteral("Message ORVANELLE"));
    EXPECT_TRUE(messages.shown()[0].text.contains(QStringLiteral("100010013820044")));
    EXPECT_EQ(messages.shown()[0].text.count(QStringLiteral("« 12x »")), 1);
}

TEST_F(ControleTest, CreatedByItsIdentifierWithTheHostMembers) {
    QString erreur;
    std::unique_ptr<QWidget> c(orv::createControl("DeclarTrim.Ctr_ReleveDnt", nullptr, &erreur));
    ASSERT_NE(c, nullptr) << erreur.toStdString();
    for (const char* membre : {"TheClient", "TheDatabase", "DroitsUtilisateur", "W_Sortir"})
        EXPECT_TRUE(orv::hasMember(c.get(), membre)) << membre;
    EXPECT_EQ(orv::startMethodName(c.get()), QStringLiteral("Init"));
    EXPECT_NE(c->findChild<QObject*>("Mnu_Sommaire"), nullptr);
}

TEST_F(ControleTest, PreviewShowsTheStatementInItsWindow) {
    demarrer();
    declarations(3);
    dialogues.queuePrinter(imprimante(orv::PrinterCatalogue::previewPrinterName()));
    ok()->click();
    QWidget* apercu = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == QStringLiteral("Aperçu avant impression"))
            apercu = w;
    ASSERT_NE(apercu, nullptr);
    EXPECT_TRUE(ctrl->wSortir());
    apercu->close();
}

TEST_F(ControleTest, HelpOpensInTheHelpWindowAndClosesWithTheControl) {
    demarrer();
    auto* sommaire = ctrl->findChild<QAction*>("Mnu_Sommaire");
    ASSERT_NE(sommaire, nullptr);
    EXPECT_EQ(sommaire->text(), QStringLiteral("Aide_ORVANELLE"));
    sommaire->trigger();
    EXPECT_TRUE(messages.shown().isEmpty());
    QPointer<QWidget> aide;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == Ctr_ReleveDnt::kTitreAide) aide = w;
    ASSERT_NE(aide, nullptr);
    hote.window.reset();  // the control terminates with its host window
    EXPECT_TRUE(aide.isNull() || !aide->isVisible());
}

namespace {

class ControleSansElementsTest : public ControleTest {
  protected:
    ControleSansElementsTest() : ControleTest({"ELTSPARTEMP"}) {}
};

}  // namespace

TEST_F(ControleSansElementsTest, AFileThatCannotBeOpenedStopsTheJobAndIsReported) {
    demarrer();
    base.ecrire("CIVILAIDE", "10001", {"", "DURAND", "Élodie"});
    base.declaration("10001", {"100"});
    choisir("001", "38");
    dialogues.queuePrinter(imprimante("Laser"));
    ok()->click();
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].icon, 16);
    EXPECT_TRUE(
        messages.shown()[0].text.startsWith(QStringLiteral("L'impression du relevé a échoué")));
    EXPECT_TRUE(messages.shown()[0].text.contains(QStringLiteral("ELTSPARTEMP")));
    // Nothing reached the printer, and the user can try again or leave.
    EXPECT_FALSE(lireTranscription(laser).terminee);
    EXPECT_FALSE(ctrl->wSortir());
    EXPECT_TRUE(ctrl->isEnabled());
    EXPECT_EQ(orv::currentPrinter().orientation(), orv::PrinterOrientation::Portrait);
}
