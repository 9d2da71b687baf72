// Exact decimal numbers, the figures of a contract's leave tally and the date conversions the
// reference periods rely on.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "client/outils_communs.h"
#include "controls/soldeconges/chiffres_solde.h"
#include "fixture.h"

namespace soldeconges::test {
namespace {

TEST(NombreConges, ReadsSumsRoundsDownAndWritesWithTheDecimalComma) {
    struct Cas {
        const char* texte;
        const char* lu;
        const char* entier;
    };
    for (const Cas& c : {Cas{"250", "250", "250"}, Cas{"2.5", "2,5", "2"}, Cas{"2,50", "2,5", "2"},
                         Cas{"-2.5", "-2,5", "-3"}, Cas{" 0.25 ", "0,25", "0"},
                         Cas{"1234567.000001", "1234567,000001", "1234567"}}) {
        const auto n = Nombre::lire(QString::fromUtf8(c.texte));
        ASSERT_TRUE(n) << c.texte;
        EXPECT_EQ(n->texte(), QString::fromUtf8(c.lu)) << c.texte;
        EXPECT_EQ(n->partieEntiere().texte(), QString::fromUtf8(c.entier)) << c.texte;
    }
    for (const char* faux : {"", "abc", "1.2.3", "12e3", "1,5 j"})
        EXPECT_FALSE(Nombre::lire(QString::fromUtf8(faux))) << faux;
    // Ten times 0.1 is exactly 1, as a sum of hundredths must be.
    Nombre somme;
    for (int i = 0; i < 10; ++i) somme += Nombre::lire(QStringLiteral("0.1")).value();
    EXPECT_EQ(somme, Nombre::entier(1));
    EXPECT_EQ(Nombre::lireOuZero(QStringLiteral("250")).centiemes().texte(), QStringLiteral("2,5"));
}

TEST(NombreConges, HalvesRoundToTheEvenNumber) {
    struct Cas {
        long num, den, attendu;
    };
    for (const Cas& c : {Cas{5, 2, 2}, Cas{7, 2, 4}, Cas{3, 2, 2}, Cas{-5, 2, -2}, Cas{7, 3, 2},
                         Cas{8, 3, 3}, Cas{4, 1, 4}})
        EXPECT_EQ(arrondiPair(c.num, c.den), c.attendu) << c.num << "/" << c.den;
}

TEST(ChiffresSolde, FormulasOfTheContract) {
    dba::Record c;
    c.put(38, QStringLiteral("1250.9"));  // Int -> 1250 -> 12,5
    c.put(40, QStringLiteral("3.7"));
    c.put(39, QStringLiteral("300"));
    c.put(41, QStringLiteral("25"));
    c.put(47, QStringLiteral("350"));
    c.put(48, QStringLiteral("199.9"));
    c.put(109, QStringLiteral("150"));
    c.put(110, QStringLiteral("50"));
    // Three values of 162 bound the sums: the fourth value of 160 is not counted.
    const std::tuple<int, const char*, const char*> valeurs[] = {
        {1, "208.33", "100.5"}, {2, "208.33", "0"}, {3, "208.33", "50.25"}};
    for (const auto& [v, a160, a162] : valeurs) {
        c.put(160, v, QString::fromUtf8(a160));
        c.put(162, v, QString::fromUtf8(a162));
    }
    c.put(160, 4, QStringLiteral("999"));
    const SommesMensuelles s = sommesMensuelles(c);
    EXPECT_EQ(s.s160.texte(), QStringLiteral("624,99"));
    EXPECT_EQ(s.s162.texte(), QStringLiteral("150,75"));

    const ChiffresSolde f = chiffresSolde(c);
    // 1250 / 100 + Int(3.7 + 624 / 100) = 12.5 + Int(9.94) = 21.5
    EXPECT_EQ(f.cpAcquis.texte(), QStringLiteral("21,5"));
    // (300 + 25 + 150) / 100
    EXPECT_EQ(f.cpDecompte.texte(), QStringLiteral("4,75"));
    EXPECT_EQ(f.caAcquis.texte(), QStringLiteral("3,5"));
    EXPECT_EQ(f.caDecompte.texte(), QStringLiteral("1,99"));
    EXPECT_EQ(f.cdPrev.texte(), QStringLiteral("1,5"));
    EXPECT_EQ(f.dlDecompte.texte(), QStringLiteral("0,5"));
}

TEST(ChiffresSolde, PaidLeaveOfTheFollowingPeriodRoundsHalvesToEven) {
    struct Cas {
        const char *a44, *a83;
        bool ouvres;
        long attendu;
    };
    // D = 2 gives 2 (2.5 to even), D = 3 gives 4 (3.5 to even); in working days D is 5/6 of it.
    for (const Cas& c :
         {Cas{"500", "300", false, 2}, Cas{"700", "400", false, 4}, Cas{"2500", "0", false, 26},
          Cas{"240", "0", true, 2}, Cas{"360", "0", true, 4}, Cas{"2500", "0", true, 21},
          Cas{"", "", false, 0}, Cas{"0", "100", false, 0}}) {
        dba::Record r;
        r.put(44, QString::fromUtf8(c.a44));
        r.put(83, QString::fromUtf8(c.a83));
        EXPECT_EQ(cpAcquisN1(r, c.ouvres), c.attendu) << c.a44 << " - " << c.a83 << " " << c.ouvres;
    }
}

TEST(ChiffresSolde, DateConversionsHoldTheirContract) {
    EXPECT_EQ(dateDecompteN0(QStringLiteral("200604")), j("01/04/2006"));
    EXPECT_EQ(orv::OutilsCommuns::DateVersJour(QStringLiteral("01/6/2006")), j("01/06/2006"));
    EXPECT_EQ(orv::OutilsCommuns::DateVersJour(QStringLiteral("31/02/2006")), QString());
    // A reference period starts on 1 January or 1 June: 366 days later is the same month of
    // the next year, day 1 when a 29 February lies between, day 2 otherwise.
    const std::pair<const char*, const char*> cas[] = {{"01/06/2005", "02/06/2006"},
                                                       {"01/06/2007", "01/06/2008"},
                                                       {"01/01/2007", "02/01/2008"},
                                                       {"01/01/2008", "01/01/2009"},
                                                       {"29/02/2008", "01/03/2009"}};
    for (const auto& [date, plus366] : cas) {
        const QString jour = j(QString::fromUtf8(date));
        EXPECT_EQ(orv::OutilsCommuns::JourVersDate(jour), QString::fromUtf8(date));
        EXPECT_EQ(orv::OutilsCommuns::JourVersDate(jour.toLong() + 366),
                  QString::fromUtf8(plus366));
        EXPECT_EQ(jour.size(), 5) << date;
    }
}

}  // namespace
}  // namespace soldeconges::test
