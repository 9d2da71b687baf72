// Reference periods (calendar year and June to May), the working-days flag, the seniority-leave
// acquisition date, the month after a pay period and a missing pay-period record.
#include <gtest/gtest.h>

#include "client/outils_communs.h"
#include "fixture.h"

namespace soldeconges::test {
namespace {

class PeriodesTest : public ::testing::Test {
  protected:
    // Runs Periode_Reference with the agreement and pay period given.
    int periode(const char* paie, const QString& date, bool anneeCivile = false,
                const char* motif = "14") {
        base.periodePaie(QString::fromUtf8(paie));
        base.convention(joursOuvres, anneeCivile, ancienneteAuDebut);
        base.charger(v);
        return Periode_Reference(base.db(), v, date, QString::fromUtf8(motif));
    }
    QString affichee(const QString& jour) { return orv::OutilsCommuns::JourVersDate(jour); }
    QString periodeAffichee() { return affichee(v.debutPeriode) + " au " + affichee(v.finPeriode); }

    BaseConges base;
    Mod_Variables v;
    bool joursOuvres = false;
    bool ancienneteAuDebut = false;
};

TEST_F(PeriodesTest, PeriodOfTheCurrentPayPeriodOrOfTheFollowingOne) {
    struct Cas {
        const char* paie;
        const char* date;
        bool civile;
        int k;
        const char* periode;
    };
    for (const Cas& c : {
             // June to May, months up to May: the period ends on 31 May of that year.
             Cas{"200605", "01/05/2006", false, 0, "01/06/2005 au 31/05/2006"},
             Cas{"200601", "31/05/2006", false, 0, "01/06/2005 au 31/05/2006"},
             Cas{"200605", "01/06/2006", false, 1, "01/06/2006 au 31/05/2007"},
             // June to May, months after May: the period starts on 1 June of that year.
             Cas{"200606", "15/06/2006", false, 0, "01/06/2006 au 31/05/2007"},
             Cas{"200612", "31/05/2007", false, 0, "01/06/2006 au 31/05/2007"},
             Cas{"200612", "01/06/2007", false, 1, "01/06/2007 au 31/05/2008"},
             Cas{"200612", "", false, 0, "01/06/2006 au 31/05/2007"},
             // Calendar year.
             Cas{"200605", "31/12/2006", true, 0, "01/01/2006 au 31/12/2006"},
             Cas{"200612", "01/01/2007", true, 1, "01/01/2007 au 31/12/2007"},
         }) {
        EXPECT_EQ(periode(c.paie, c.date[0] ? j(QString::fromUtf8(c.date)) : QString(), c.civile),
                  c.k)
            << c.paie << " " << c.date;
        EXPECT_EQ(periodeAffichee(), QString::fromUtf8(c.periode)) << c.paie << " " << c.date;
    }
    EXPECT_TRUE(base.messages.shown().isEmpty());
}

TEST_F(PeriodesTest, WorkingDaysFlagIsSetByPaidLeaveOnlyAndKeptOtherwise) {
    joursOuvres = true;
    periode("200605", j("01/05/2006"), false, "15");
    EXPECT_FALSE(v.joursOuvres);  // another motive leaves the initial value
    periode("200605", j("01/05/2006"), false, "14");
    EXPECT_TRUE(v.joursOuvres);
    joursOuvres = false;
    periode("200605", j("01/05/2006"), false, "16");
    EXPECT_TRUE(v.joursOuvres);  // kept from the previous call
    periode("200605", j("01/05/2006"), false, "14");
    EXPECT_FALSE(v.joursOuvres);
}

TEST_F(PeriodesTest, SeniorityLeaveAcquisitionDate) {
    struct Cas {
        bool auDebut;
        const char *a97, *a7, *a144, *attendu;
    };
    // Period 01/06/2005 to 31/05/2006: the month of the base date in 2005.
    for (const Cas& c : {Cas{true, "15/03/1999", "", "", "01/06/2005"},
                         Cas{false, "15/03/1999", "20/09/2001", "", "01/03/2005"},
                         Cas{false, "", "20/09/2001", "0", "01/09/2005"},
                         // 15 days and a half rounded up: 20/09 + 16 = 06/10.
                         Cas{false, "", "20/09/2001", "1550", "01/10/2005"},
                         Cas{false, "", "20/09/2001", "1049", "01/09/2005"}}) {
        ancienneteAuDebut = c.auDebut;
        base.ecrire("CONTRAT", QStringLiteral("00101*01"),
                    {{1, QStringLiteral("01")},
                     {7, c.a7[0] ? j(QString::fromUtf8(c.a7)) : QString()},
                     {97, c.a97[0] ? j(QString::fromUtf8(c.a97)) : QString()},
                     {144, QString::fromUtf8(c.a144)}});
        periode("200605", j("01/05/2006"));
        EXPECT_EQ(affichee(v.dateAcquisitionCA), QString::fromUtf8(c.attendu)) << c.a144;
    }
}

TEST_F(PeriodesTest, MissingPayPeriodShowsTheMessageAndKeepsThePeriod) {
    joursOuvres = true;
    periode("200605", j("01/05/2006"));
    const Mod_Variables avant = v;
    base.supprimer("PERIODESPAIE", QStringLiteral("1"));
    base.convention(false);
    v.convention = v.conventions->Read(QStringLiteral("01"));
    EXPECT_EQ(Periode_Reference(base.db(), v, j("01/07/2006"), QStringLiteral("14")), 0);
    ASSERT_EQ(base.messages.shown().size(), 1);
    EXPECT_EQ(base.messages.shown()[0].text,
              QStringLiteral("Erreur lors de la lecture du fichier PERIODESPAIE"));
    EXPECT_EQ(base.messages.shown()[0].title, QStringLiteral("Message ORVANELLE"));
    EXPECT_EQ(v.debutPeriode, avant.debutPeriode);
    EXPECT_EQ(v.finPeriode, avant.finPeriode);
    EXPECT_EQ(v.dateAcquisitionCA, avant.dateAcquisitionCA);
    EXPECT_TRUE(v.joursOuvres);
    // A pay period that is not yyyymm is refused the same way.
    base.periodePaie(QStringLiteral("2006"));
    EXPECT_EQ(Periode_Reference(base.db(), v, QString(), QStringLiteral("14")), 0);
    EXPECT_EQ(base.messages.shown().size(), 2);
}

TEST(MoisSuivant, FirstDayOfTheNextMonth) {
    for (const auto& [periode, attendu] :
         std::initializer_list<std::pair<const char*, const char*>>{
             {"200612", "01/01/2007"}, {"200605", "01/06/2006"}, {"200609", "01/10/2006"}})
        EXPECT_EQ(Mois_Suivant(QString::fromUtf8(periode)), j(QString::fromUtf8(attendu)));
}

}  // namespace
}  // namespace soldeconges::test
