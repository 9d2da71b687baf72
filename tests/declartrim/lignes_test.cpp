// Quarter labels, the selection statement and the reading of amounts.
#include <gtest/gtest.h>

#include "controls/declartrim/ctr_relevednt.h"
#include "controls/declartrim/releve_lignes.h"

using namespace declartrim;

TEST(Trimestres, NineQuartersBackFromToday) {
    const QStringList l = listeTrimestres(QDate(2005, 2, 15));
    EXPECT_EQ(l,
              (QStringList{"1er  TRIMESTRE 2005", "4ème TRIMESTRE 2004", "3ème TRIMESTRE 2004",
                           "2ème TRIMESTRE 2004", "1er  TRIMESTRE 2004", "4ème TRIMESTRE 2003",
                           "3ème TRIMESTRE 2003", "2ème TRIMESTRE 2003", "1er  TRIMESTRE 2003"}));
    // Every label has the same length, so that they line up in a fixed-pitch font.
    for (const QString& s : l) EXPECT_EQ(s.size(), 19);
}

TEST(Trimestres, EndOfMonthMovesBackWithoutSkippingAQuarter) {
    // 31 May: three months back is 28 (or 29) February, still the first quarter.
    const QStringList l = listeTrimestres(QDate(2004, 5, 31));
    EXPECT_EQ(l.mid(0, 3),
              (QStringList{"2ème TRIMESTRE 2004", "1er  TRIMESTRE 2004", "4ème TRIMESTRE 2003"}));
    EXPECT_EQ(listeTrimestres(QDate(2005, 12, 31)).last(), QStringLiteral("4ème TRIMESTRE 2003"));
}

TEST(Requete, SelectionStatementAsTheServerExpectsIt) {
    EXPECT_EQ(requeteDeclarations("1er  TRIMESTRE 2005", "007", "38"),
              QStringLiteral("SSELECT DETAILCHGPARTEMP AVEC @ID = \"[20051\" AND AVEC 1 = \"007\""
                             " AND AVEC CodCtrUrssafDetailChgPartemp = \"38\""
                             " PAR NomAideDetailChgPartemp PAR PrenomAideDetailChgPartemp"));
}

TEST(Montants, WholeNumbersOnly) {
    EXPECT_EQ(lireMontant("120"), 120);
    EXPECT_EQ(lireMontant(" -12 "), -12);
    EXPECT_EQ(lireMontant("+7"), 7);
    EXPECT_EQ(lireMontant("999999999999999"), 999999999999999LL);
    for (const char* t : {"", " ", "-", "12,5", "1.5", "12a", "1 2", "1000000000000000", "٣"})
        EXPECT_FALSE(lireMontant(QString::fromUtf8(t)).has_value()) << t;
}

// A name stored with decomposed accents fills its column like the same name composed.
TEST(Lignes, DecomposedAccentsTakeOneColumn) {
    const QString nom = QStringLiteral("ÉLOÏSE Hélène");
    const QString decompose = nom.normalized(QString::NormalizationForm_D);
    ASSERT_NE(decompose.size(), nom.size());
    EXPECT_EQ(debutLigne("50001", "1", decompose), debutLigne("50001", "1", nom));
    EXPECT_EQ(aGauche(decompose, 20).size(), 20);
}

TEST(Lignes, WideValuesAreNeverCut) {
    EXPECT_EQ(colonne("123456", 7), QStringLiteral(" 123456"));
    EXPECT_EQ(colonne("1234567", 7), QStringLiteral(" 1234567"));
    Totaux t{};
    t[1] = 123456789012345LL;
    t[9] = 5;
    const QString ligne = ligneTotal(kLibelleTotalPage, t);
    EXPECT_TRUE(ligne.contains(QStringLiteral("Total de la page 123456789012345")));
    EXPECT_TRUE(ligne.endsWith(QStringLiteral("      -5       0")));
}
