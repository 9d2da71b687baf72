// The leaves of a helper in a reference period: the selection, the restriction of each absence
// to the contract and to the period, the routine's answer turned into rows and totals.
#include <gtest/gtest.h>

#include "fixture.h"

namespace soldeconges::test {
namespace {

const QString kContrat = QStringLiteral("00101*01");

class AbsencesTest : public ::testing::Test {
  protected:
    void SetUp() override { periode("01/06/2006", "31/05/2007"); }
    void periode(const char* debut, const char* fin) {
        base.charger(v);
        v.debutPeriode = j(QString::fromUtf8(debut));
        v.finPeriode = j(QString::fromUtf8(fin));
    }
    // The record the routine receives for absence `cle`.
    dba::Record preparee(const QString& cle) {
        dba::Record r = v.absencesAidant->Read(cle);
        preparerAbsence(r, v);
        return r;
    }
    static QString cleDu(const char* motif, const char* debut) {
        return QStringLiteral("00101") + QString::fromUtf8(motif) + j(QString::fromUtf8(debut));
    }

    // One leave of each kind counted, in selection order: paid leave across the period start,
    // seniority and split leave on the same day (motive descending), notice-period leave and
    // leave carried over after a stoppage.
    QStringList unCongeDeChaque() {
        return {base.absence("14", "20/05/2006", "10/06/2006"),
                base.absence("16", "03/07/2006", "03/07/2006"),
                base.absence("15", "03/07/2006", "05/07/2006"),
                base.absence("25", "02/10/2006", "03/10/2006"),
                base.absence("31", "04/12/2006", "06/12/2006")};
    }

    BaseConges base;
    Mod_Variables v;
};

TEST_F(AbsencesTest, SelectsTheHelpersLeavesOverlappingThePeriodInOrder) {
    EXPECT_EQ(instructionAbsences(QStringLiteral("00101"), QStringLiteral("14031"),
                                  QStringLiteral("14395")),
              QStringLiteral(
                  "SSELECT ABSENCESAIDANT AVEC 0 = \"00101]\" AND AVEC NumMotifAidant >= \"14\" "
                  "AND AVEC NumMotifAidant <= \"16\" AND AVEC DebAbsAidant <= \"14395\" AND AVEC "
                  "2 >= \"14031\" OR AVEC 0 = \"00101]\" AND AVEC NumMotifAidant = \"25\" OR = "
                  "\"31\" AND AVEC DebAbsAidant <= \"14395\" AND AVEC 2 >= \"14031\" PAR "
                  "CodeAidant PAR DebAbsAidant PAR-DECR NumMotifAidant"));
    QStringList attendues = unCongeDeChaque();
    attendues << base.absence("14", "31/05/2007", "15/06/2007");  // across the period end
    base.absence("17", "03/07/2006", "05/07/2006");               // not a leave
    base.absence("01", "04/07/2006", "05/07/2006");
    base.absence("14", "01/05/2006", "31/05/2006");  // before the period
    base.absence("25", "01/06/2007", "02/06/2007");  // after it
    base.absence("31", "02/05/2006", "03/05/2006");
    base.ecrire("ABSENCESAIDANT", QStringLiteral("0010214") + j("03/07/2006"),
                {{2, j("04/07/2006")}});  // another helper
    dba::Record requete;
    requete.put(1, instructionAbsences(QStringLiteral("00101"), v.debutPeriode, v.finPeriode));
    requete.put(2, QStringLiteral("ABSENCESAIDANT"));
    requete.put(3, QStringLiteral("0"));
    const dba::Record r = base.db().Query(requete);
    QStringList cles;
    for (int i = 1; i <= r.DCount(); ++i) cles << r.get(i, 1);
    // By start date, then motive descending.
    EXPECT_EQ(cles, attendues);
}

TEST_F(AbsencesTest, EachAbsenceIsRestrictedToTheContractAndThePeriod) {
    struct Cas {
        const char* cas;
        QList<QStringList> parts;
        const char *debut, *fin, *finContrat, *debutCompte, *finCompte;
    };
    const QString autre = QStringLiteral("00101*02");
    for (const Cas& c : {
             Cas{"across the period start",
                 {},
                 "20/05/2006",
                 "10/06/2006",
                 "",
                 "01/06/2006",
                 "10/06/2006"},
             Cas{"across the period end",
                 {},
                 "28/05/2007",
                 "05/06/2007",
                 "",
                 "28/05/2007",
                 "31/05/2007"},
             Cas{"past the contract's end",
                 {},
                 "10/07/2006",
                 "20/07/2006",
                 "14/07/2006",
                 "10/07/2006",
                 "14/07/2006"},
             Cas{"shared between two contracts",
                 {{autre, "03/07/2006", "07/07/2006"}, {kContrat, "10/07/2006", "14/07/2006"}},
                 "03/07/2006",
                 "14/07/2006",
                 "",
                 "10/07/2006",
                 "14/07/2006"},
             Cas{"share across the period start",
                 {{kContrat, "25/05/2006", "02/06/2006"}},
                 "25/05/2006",
                 "02/06/2006",
                 "",
                 "01/06/2006",
                 "02/06/2006"},
         }) {
        base.ecrire("CONTRAT", kContrat,
                    {{1, QStringLiteral("01")},
                     {8, c.finContrat[0] ? j(QString::fromUtf8(c.finContrat)) : QString()}});
        base.charger(v);
        const QString cle =
            base.absence("14", QString::fromUtf8(c.debut), QString::fromUtf8(c.fin), c.parts);
        const dba::Record r = preparee(cle);
        EXPECT_EQ(r.get(1), cle.left(7) + j(QString::fromUtf8(c.debutCompte))) << c.cas;
        EXPECT_EQ(r.get(3), j(QString::fromUtf8(c.finCompte))) << c.cas;
        EXPECT_EQ(r.get(11), kContrat) << c.cas;
        EXPECT_EQ(r.get(2), j(QString::fromUtf8(c.debut))) << c.cas;  // former attribute 1
        const int part = c.parts.size();  // this contract's share is the last one
        if (part) {
            EXPECT_EQ(r.get(23, part), j(QString::fromUtf8(c.debutCompte))) << c.cas;
            EXPECT_EQ(r.get(25, part), j(QString::fromUtf8(c.finCompte))) << c.cas;
        }
        base.supprimer("ABSENCESAIDANT", cle);
    }
}

TEST_F(AbsencesTest, RowsAndTotalsFromTheRoutinesAnswers) {
    const QStringList c = unCongeDeChaque();
    const QString rien = base.absence("14", "07/12/2006", "07/12/2006");
    base.routineSimulee({{cleDu("14", "01/06/2006"), "800"},
                         {c[1], "100"},
                         {c[2], "250"},
                         {c[3], "199.9"},
                         {c[4], "300"},
                         {rien, "0"}});
    const Absences a = listerAbsences(base.db(), v, QStringLiteral("00101"));
    QStringList lignes;
    for (const LigneAbsence& l : a.lignes)
        lignes << l.debut + " " + l.fin + " " + l.libelle + " " + l.jours.texte();
    EXPECT_EQ(lignes, (QStringList{"01/06/2006 10/06/2006 Congés payés 8",
                                   "03/07/2006 03/07/2006 Congés ancienneté 1",
                                   "03/07/2006 05/07/2006 Congés fractionnement 2,5",
                                   "02/10/2006 03/10/2006 Congés délai prévenance 1,99",
                                   "04/12/2006 06/12/2006 Congés reportés suite arrêt 3"}));
    EXPECT_EQ(a.congesPayes.texte(), QStringLiteral("13,5"));
    EXPECT_EQ(a.anciennete.texte(), QStringLiteral("1"));
    EXPECT_EQ(a.delaiPrevenance.texte(), QStringLiteral("1,99"));
    // The routine received the start clipped to 1 June and the contract in attribute 11.
    ASSERT_EQ(base.recus.size(), 6);
    EXPECT_EQ(base.recus[0].get(1), cleDu("14", "01/06/2006"));
    EXPECT_EQ(base.recus[0].get(11), kContrat);
}

TEST_F(AbsencesTest, AnUnreadableAnswerIsAnErrorAndAnEmptySelectionNothing) {
    EXPECT_TRUE(listerAbsences(base.db(), v, QStringLiteral("00101")).lignes.isEmpty());
    const QString cle = base.absence("14", "03/07/2006", "05/07/2006");
    base.routineSimulee({{cle, "deux"}});
    try {
        listerAbsences(base.db(), v, QStringLiteral("00101"));
        FAIL() << "no error";
    } catch (const dba::Error& e) {
        EXPECT_EQ(e.number(), dba::kRoutineError);
        EXPECT_TRUE(e.message().contains(QStringLiteral("deux")));
    }
}

// The database's own routine through the client, under the contract's agreement. May 2007: 27
// days from Monday to Saturday, 23 from Monday to Friday, less 1 and 8 May, Ascension (17 May)
// and Whit Monday (28 May).
TEST_F(AbsencesTest, TheDatabasesRoutineCountsTheDaysOfTheAgreement) {
    base.absence("14", "01/05/2007", "31/05/2007");
    periode("01/06/2006", "31/05/2007");
    EXPECT_EQ(listerAbsences(base.db(), v, QStringLiteral("00101")).congesPayes.texte(),
              QStringLiteral("23"));
    base.convention(true);
    EXPECT_EQ(listerAbsences(base.db(), v, QStringLiteral("00101")).congesPayes.texte(),
              QStringLiteral("19"));
}

}  // namespace
}  // namespace soldeconges::test
