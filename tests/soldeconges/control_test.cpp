// The leave tally control on a small database: the screen after Init, the following period
// disabled, the lists' navigation and scroll bars, the library-wide working-days flag, the
// contract's failures and the exit.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "controls/soldeconges/ctr_soldeconges.h"
#include "fixture.h"
#include "frame/library_objects.h"
#include "hosting.h"
#include "platform/automation.h"
#include "rights/rights.h"

namespace soldeconges::test {
namespace {

class ControleTest : public ::testing::Test {
  protected:
    // Pay period May 2006 (N0 = 01/06/2005 to 31/05/2006), a contract whose tally is April 2006.
    void SetUp() override {
        variablesBibliotheque().joursOuvres = false;
        base.ecrire("CONTRAT", QStringLiteral("00101*01"),
                    {{1, QStringLiteral("01")},
                     {7, j("20/09/2001")},
                     {38, QStringLiteral("1250")},
                     {39, QStringLiteral("300")},
                     {44, QStringLiteral("700")},
                     {83, QStringLiteral("400")},
                     {47, QStringLiteral("300")},
                     {48, QStringLiteral("100")},
                     {63, QStringLiteral("200604")},
                     {109, QStringLiteral("200")},
                     {110, QStringLiteral("50")},
                     {160, QStringLiteral("208|208")},
                     {162, QStringLiteral("100|150")}});
    }

    Ctr_SoldeConges& demarrer(const char* motif = "14") {
        droits.add(orv::RightsEntry(Ctr_SoldeConges::kCleDroits, 1));
        hote.host(&base.db(), &droits,
                  {{"W_CodeAidant", "00101"},
                   {"W_NomPrenom", "MARTIN Élise"},
                   {"W_CodeEmployeur", "50001"},
                   {"W_NomEmployeur", "DURAND Paul"},
                   {"W_CodeContrat", "00101*01"},
                   {"W_NumMotif", QString::fromUtf8(motif)}});
        return *ctrl;
    }
    QString texte(const char* nom) {
        if (auto* l = ctrl->findChild<QLabel*>(QLatin1String(nom))) return l->text();
        auto* t = ctrl->findChild<QLineEdit*>(QLatin1String(nom));
        EXPECT_NE(t, nullptr) << nom;
        return t ? t->text() : QString();
    }
    template <class T>
    T* w(const char* nom) {
        return hote.template child<T>(nom);
    }
    QStringList lignes(const char* liste) {
        QStringList l;
        for (int i = 0; i < w<QListWidget>(liste)->count(); ++i)
            l << w<QListWidget>(liste)->item(i)->text();
        return l;
    }

    BaseConges base;
    orv::Rights droits;
    orv::test::Hosted<Ctr_SoldeConges> hote;
    Ctr_SoldeConges*& ctrl = hote.control;  // set before Init, which may throw
};

TEST_F(ControleTest, InitFillsTheTallyAndBothPeriods) {
    base.absence("14", "20/05/2005", "10/06/2005");  // 01/06 to 10/06/2005: 9 days
    base.absence("16", "03/04/2006", "04/04/2006");
    base.absence("25", "03/10/2005", "03/10/2005");
    base.absence("14", "01/06/2006", "02/06/2006");  // in N1
    demarrer();
    for (const auto& [nom, attendu] : std::initializer_list<std::pair<const char*, const char*>>{
             {"Etq_Aidant", "00101  MARTIN Élise"},
             {"Etq_Employeur", "50001  DURAND Paul"},
             {"Etq_DateCPAcquis", "01/06/2005"},
             {"Txt_CPAcquis", "16,5"},  // 12,5 + Int(0 + 416 / 100)
             {"Etq_DateCAAcquis", "01/09/2005"},
             {"Txt_CAAcquis", "3"},
             {"Txt_CDPrev", "2"},
             {"Txt_DLDecompte", "0,5"},
             {"Etq_PeriodeRefN0", "01/06/2005 au 31/05/2006"},
             {"Txt_CPConsommesN0", "9"},
             {"Txt_CAConsommesN0", "2"},
             {"Txt_DLConsommesNO", "1"},
             {"Etq_JourAbsN0", "Jours ouvrables"},
             {"Etq_JourAbsN1", "Jours ouvrables"},
             {"Etq_PeriodeDecompteN0", "01/05/2006"},
             {"Txt_CPDecompte", "5,5"},  // (300 + 0 + 250) / 100
             {"Txt_CADecompte", "1"},
             {"Etq_PediodeRefN1", "01/06/2006 au 31/05/2007"},
             {"Etq_PeriodeCPN1", "01/06/2006"},
             {"Txt_CPAcquisN1", "4"},  // D = 3 rounds to 4
             {"Txt_CPConsommesN1", "2"}})
        EXPECT_EQ(texte(nom), QString::fromUtf8(attendu)) << nom;
    EXPECT_EQ(lignes("Lst_DebutN0"), (QStringList{"01/06/2005", "03/10/2005", "03/04/2006"}));
    EXPECT_EQ(lignes("Lst_FinN0"), (QStringList{"10/06/2005", "03/10/2005", "04/04/2006"}));
    EXPECT_EQ(lignes("Lst_TypeCongeN0"),
              (QStringList{"Congés payés", "Congés délai prévenance", "Congés ancienneté"}));
    EXPECT_EQ(lignes("Lst_NbJoursN0"), (QStringList{"9", "1", "2"}));
    EXPECT_EQ(lignes("Lst_NbJoursN1"), (QStringList{"2"}));
    EXPECT_TRUE(w<QListWidget>("Lst_DebutN1")->isEnabled());
    EXPECT_TRUE(ctrl->isEnabled());
    EXPECT_TRUE(base.messages.shown().isEmpty());
}

TEST_F(ControleTest, TallyInTheFollowingPeriodDisablesAndEmptiesN1) {
    base.ecrire("CONTRAT", QStringLiteral("00101*01"),
                {{1, QStringLiteral("01")}, {63, QStringLiteral("200606")}});
    base.absence("14", "06/06/2006", "07/06/2006");
    demarrer();
    EXPECT_EQ(texte("Etq_PeriodeRefN0"), QStringLiteral("01/06/2006 au 31/05/2007"));
    EXPECT_EQ(lignes("Lst_NbJoursN0"), (QStringList{"2"}));
    for (const char* nom : {"Txt_CPAcquisN1", "Txt_CPConsommesN1"}) {
        EXPECT_FALSE(w<QLineEdit>(nom)->isEnabled()) << nom;
        EXPECT_TRUE(texte(nom).isEmpty()) << nom;
    }
    for (const char* nom : {"Lst_DebutN1", "Lst_FinN1", "Lst_TypeCongeN1", "Lst_NbJoursN1"}) {
        EXPECT_FALSE(w<QListWidget>(nom)->isEnabled()) << nom;
        EXPECT_EQ(w<QListWidget>(nom)->count(), 0) << nom;
    }
    EXPECT_TRUE(texte("Etq_PediodeRefN1").isEmpty());
}

TEST_F(ControleTest, ScrollBarFromNineRowsAndOneRowSelectedInAllFourLists) {
    // Nine single days from Monday to Saturday (12 March 2006 is a Sunday).
    for (const char* jour : {"06", "07", "08", "09", "10", "11", "13", "14", "15"})
        base.absence("14", QString::fromUtf8(jour) + "/03/2006",
                     QString::fromUtf8(jour) + "/03/2006");
    base.absence("14", "12/06/2006", "12/06/2006");  // N1: one row
    demarrer();
    auto* barre = w<QScrollBar>("Bdv_AbsN0");
    EXPECT_TRUE(barre->isVisible());
    EXPECT_EQ(barre->maximum(), 8);
    EXPECT_EQ(barre->value(), 0);
    EXPECT_FALSE(w<QScrollBar>("Bdv_AbsN1")->isVisible());
    barre->setValue(4);
    for (const char* nom : {"Lst_DebutN0", "Lst_FinN0", "Lst_TypeCongeN0", "Lst_NbJoursN0"})
        EXPECT_EQ(w<QListWidget>(nom)->currentRow(), 4) << nom;
    auto* types = w<QListWidget>("Lst_TypeCongeN0");
    QTest::mouseClick(types->viewport(), Qt::LeftButton, {},
                      types->visualItemRect(types->item(2)).center());
    EXPECT_EQ(w<QListWidget>("Lst_DebutN0")->currentRow(), 2);
    EXPECT_EQ(w<QListWidget>("Lst_NbJoursN0")->currentRow(), 2);
    EXPECT_EQ(w<QListWidget>("Lst_DebutN1")->currentRow(), -1);  // the other period is apart

    // Eight rows: no scroll bar.
    base.supprimer("ABSENCESAIDANT", QStringLiteral("0010114") + j("15/03/2006"));
    demarrer();
    EXPECT_EQ(w<QListWidget>("Lst_DebutN0")->count(), 8);
    EXPECT_FALSE(w<QScrollBar>("Bdv_AbsN0")->isVisible());
}

// The four lists of a period read as one table: the wheel (as the automation driver turns it),
// the keys or the shared scroll bar move all four, and the scroll bar follows the selection.
TEST_F(ControleTest, TheFourListsOfAPeriodScrollAsOneTable) {
    // Every day of March 2006 to the 25th but Sundays: 22 rows.
    for (int jour = 1; jour <= 25; ++jour) {
        const QString date = QStringLiteral("%1/03/2006").arg(jour, 2, 10, QLatin1Char('0'));
        if (jour % 7 != 5) base.absence("14", date, date);
    }
    demarrer();
    const char* const noms[] = {"Lst_DebutN0", "Lst_FinN0", "Lst_TypeCongeN0", "Lst_NbJoursN0"};
    const auto hauts = [&] {
        QList<int> h;
        for (const char* nom : noms) h << w<QListWidget>(nom)->indexAt(QPoint(1, 1)).row();
        return h;
    };
    auto* types = w<QListWidget>("Lst_TypeCongeN0");
    orv::Automation::wheel(types, 2);
    const int haut = hauts().value(2);
    EXPECT_GT(haut, 0);
    EXPECT_EQ(hauts(), QList<int>(4, haut));

    types->setFocus();
    types->setCurrentRow(haut);
    for (int i = 0; i < 12; ++i) QTest::keyClick(types, Qt::Key_Down);
    const QList<int> apresTouches = hauts();
    EXPECT_GT(apresTouches.value(2), haut);
    EXPECT_EQ(apresTouches, QList<int>(4, apresTouches.value(2)));
    EXPECT_EQ(w<QScrollBar>("Bdv_AbsN0")->value(), haut + 12);
    for (const char* nom : noms) EXPECT_EQ(w<QListWidget>(nom)->currentRow(), haut + 12) << nom;

    w<QScrollBar>("Bdv_AbsN0")->setValue(0);
    EXPECT_EQ(hauts(), QList<int>(4, 0));
}

// Each list shows eight rows whole: the scroll bar that appears from nine rows hides none of
// the first eight. The two periods' headings and lists stand at one height.
TEST_F(ControleTest, ListsShowTheRowsTheScrollBarLeavesAndThePeriodsLineUp) {
    for (const char* jour : {"06", "07", "08", "09", "10", "11", "13", "14", "15"})
        base.absence("14", QString::fromUtf8(jour) + "/03/2006",
                     QString::fromUtf8(jour) + "/03/2006");
    demarrer();
    QApplication::processEvents();
    const int ligne = w<QListWidget>("Lst_DebutN0")->sizeHintForRow(0);
    for (const char* nom : {"Lst_DebutN0", "Lst_TypeCongeN1"})
        EXPECT_EQ(w<QListWidget>(nom)->viewport()->height(),
                  (Ctr_SoldeConges::kLignesVisibles - 1) * ligne)
            << nom;
    for (const auto& [n0, n1] :
         {std::pair{"Etq_DebutN0", "Etq_DebutN1"}, std::pair{"Etq_JourAbsN0", "Etq_JourAbsN1"},
          std::pair{"Lst_DebutN0", "Lst_DebutN1"}})
        EXPECT_EQ(w<QWidget>(n0)->mapTo(ctrl, QPoint()).y(),
                  w<QWidget>(n1)->mapTo(ctrl, QPoint()).y())
            << n0;
}

TEST_F(ControleTest, WorkingDaysFlagIsLibraryWideAndSetByPaidLeaveOnly) {
    base.convention(true);
    struct Cas {
        const char* motif;
        const char* titre;
        const char* cpN1;
    };
    // D = 3: 4 in ordinary working days, 3 x 5/6 = 2.5 + 0.5 = 3 -> 3 in working days.
    for (const Cas& c : {Cas{"15", "Jours ouvrables", "4"}, Cas{"14", "Jours ouvrés", "3"},
                         Cas{"16", "Jours ouvrés", "3"}}) {
        demarrer(c.motif);
        EXPECT_EQ(texte("Etq_JourAbsN0"), QString::fromUtf8(c.titre)) << c.motif;
        EXPECT_EQ(texte("Etq_JourAbsN1"), QString::fromUtf8(c.titre)) << c.motif;
        EXPECT_EQ(texte("Txt_CPAcquisN1"), QString::fromUtf8(c.cpN1)) << c.motif;
    }
}

TEST_F(ControleTest, EmptyTallyPeriodShowsTheHeaderOnlyAndAMissingContractOrDatabaseFails) {
    base.ecrire("CONTRAT", QStringLiteral("00101*01"), {{1, QStringLiteral("01")}});
    demarrer();
    EXPECT_EQ(texte("Etq_Aidant"), QStringLiteral("00101  MARTIN Élise"));
    for (const char* nom : {"Etq_PeriodeRefN0", "Txt_CPAcquis", "Etq_JourAbsN0", "Txt_CPAcquisN1"})
        EXPECT_TRUE(texte(nom).isEmpty()) << nom;

    base.supprimer("CONTRAT", QStringLiteral("00101*01"));
    try {
        demarrer();
        FAIL() << "Init succeeded without its contract";
    } catch (const dba::Error& e) {
        EXPECT_EQ(e.number(), dba::kRecordNotFound);
    }
    EXPECT_TRUE(ctrl->isEnabled());

    orv::thisLibrary().releaseDatabase();  // the database is library-wide
    Ctr_SoldeConges sansBase;
    try {
        sansBase.Init();
        FAIL() << "Init succeeded without a database";
    } catch (const dba::Error& e) {
        EXPECT_EQ(e.number(), dba::kNotConnected);
    }
}

TEST_F(ControleTest, ReturnSetsSortirClosesTheHostAndReleasesTheFiles) {
    demarrer();
    EXPECT_FALSE(hote.window->close());  // the host refuses while the control is active
    QTest::mouseClick(w<QPushButton>("cmd_Retour"), Qt::LeftButton);
    EXPECT_TRUE(ctrl->wSortir());
    EXPECT_FALSE(hote.window->isVisible());
    EXPECT_EQ(variablesBibliotheque().contrats, nullptr);
    EXPECT_EQ(ctrl->database(), nullptr);
}

}  // namespace
}  // namespace soldeconges::test
