// The absence report read back from the transcript printer: paging, groups, the text of the
// lines, the walk's selection, and the chart (bars in twips, body rules, legend, week labels).
#include <gtest/gtest.h>

#include "client/outils_communs.h"
#include "fixture.h"

using namespace traceabsences;
using namespace traceabsences::test;

namespace {

const long D = jour(2005, 1, 3);
QString sp(int n) { return QString(n, QLatin1Char(' ')); }
QString date(long j) { return orv::OutilsCommuns::JourVersDate(j); }
Parametres liste(int semaines) { return Parametres{D, D + 7 * semaines - 1, false, false, false}; }

class EtatAbsencesTest : public ::testing::Test {
  protected:
    void SetUp() override { qputenv("ORVANELLE_TODAY", "2005-02-15"); }
    BaseAbsences base;
    dba::Record requete;
};

TEST_F(EtatAbsencesTest, PagesHoldTheirCountOfLinesOnMatrixAndPagePrinters) {
    struct Cas {
        QString imprimante;
        QString orientation;
        QList<int> parPage;
    };
    base.aidants(50, requete, D, D + 2);
    for (const Cas& c :
         {Cas{"Epson matricielle", "portrait", {24, 24, 2}}, Cas{"Laser", "landscape", {29, 21}}}) {
        SCOPED_TRACE(c.imprimante.toStdString());
        const Rendu r = imprimer(base, liste(4), requete, c.imprimante);
        EXPECT_EQ(r.imprimes, 50);
        EXPECT_EQ(r.orientation, c.orientation);
        ASSERT_EQ(r.t.pages, c.parPage.size());
        for (int page = 1; page <= c.parPage.size(); ++page) {
            EXPECT_EQ(r.lignes(page).size(), c.parPage[page - 1]);
            EXPECT_TRUE(r.textes(page, 10).first().endsWith(QStringLiteral("Page : %1").arg(page)));
            EXPECT_EQ(r.barres(page).size(), c.parPage[page - 1]);
        }
        EXPECT_TRUE(r.notes.isEmpty()) << r.notes.join('\n').toStdString();
    }
}

TEST_F(EtatAbsencesTest, EveryGroupStartsAPageUnderItsHeading) {
    base.aidant("10001", "ALAIN", "Jean", "A", "LYON");
    base.aidant("10002", "BRUNO", "Jean", "A", "LYON");
    base.aidant("10003", "CESAR", "Luc", "B", "BRON");
    for (const char* code : {"10001", "10002", "10003"})
        ajouterLigne(requete, cleAbsence(code, 14, D), "CP", QString::number(D + 1));
    struct Cas {
        bool secteur, commune;
        QString page1, page2;
    };
    for (const Cas& c : {Cas{true, false, "Secteur : Secteur Nord", "Secteur : Secteur Sud"},
                         Cas{true, true, "Secteur : Secteur Nord", "Secteur : Secteur Sud"},
                         Cas{false, true, "Commune : LYON", "Commune : BRON"}}) {
        SCOPED_TRACE(c.page1.toStdString());
        Parametres p = liste(4);
        p.secteur = c.secteur;
        p.commune = c.commune;
        const Rendu r = imprimer(base, p, requete);
        ASSERT_EQ(r.t.pages, 2);
        EXPECT_TRUE(r.textes(1, 12).contains(c.page1));
        EXPECT_TRUE(r.textes(2, 12).contains(c.page2));
        EXPECT_EQ(r.lignes(1).size(), 2);
        EXPECT_EQ(r.lignes(2).size(), 1);
        EXPECT_TRUE(r.lignes(2).first().startsWith(QStringLiteral("10003  CESAR Luc")));
        EXPECT_EQ(r.barres(2).size(), 1);
    }
}

TEST_F(EtatAbsencesTest, LineTextPadsTheNameAndShowsOnlyDatesOutsideThePeriod) {
    const long F = D + 27;
    const QString masque = QString(17, QLatin1Char('0')) + QStringLiteral("XX9999999999");
    struct Cas {
        QString nom, prenom;
        long debut, fin;
        QString v17;
        QString attendu;  // after "10001  "
    };
    const QString dedans = sp(114) + sp(10);
    const QList<Cas> cas = {
        {"DURAND-MARTIN", "JEAN", D + 1, D + 2, "", "DURAND-MARTIN JEAN   CP" + dedans},
        {"DURAND-MARTIN", "JEANS", D + 1, D + 2, "", "DURAND-MARTIN JEANS  CP" + dedans},
        {"DURAND-MARTINEZ", "JEAN", D + 1, D + 2, "", "DURAND-MARTINEZ JEA  CP" + dedans},
        {"A", "B", D - 3, F + 3, "", "A B" + sp(18) + "CP" + date(D - 3) + sp(104) + date(F + 3)},
        {"A", "B", D - 3, F + 3, masque, "A B" + sp(18) + "CP" + dedans},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.attendu.toStdString());
        base.aidant("10001", c.nom, c.prenom);
        dba::Record r1;
        ajouterLigne(r1, cleAbsence("10001", 14, c.debut), "CP", QString::number(c.fin), c.v17);
        const Rendu r = imprimer(base, liste(4), r1);
        EXPECT_EQ(r.textes(1, 14), QStringList{sp(18) + "LISTE DES AIDANTS ABSENTS ENTRE LE " +
                                               date(D) + " ET LE " + date(F)});
        ASSERT_EQ(r.lignes(1).size(), 1);
        EXPECT_EQ(r.lignes(1).first(), "10001  " + c.attendu);
    }
}

TEST_F(EtatAbsencesTest, ForecastReportHasItsTitleColumnsAndScale) {
    struct Cas {
        QString anc, ref;  // value 8, attribute 45 of the helper
        QString colonnes;  // after the end column
    };
    const QString debut = date(D - 3) + sp(70) + sp(10);
    for (const Cas& c : {Cas{"12", "", " 12     2      0     5"},
                         Cas{"123456789", "1234567", " 1234567892      12345675"}}) {
        SCOPED_TRACE(c.colonnes.toStdString());
        base.aidant("10001", "A", "B", "A", "LYON", c.ref);
        dba::Record r1;
        ajouterConge(r1, "10001", "Acc", D - 3, D + 4);
        r1.put(1, 8, c.anc);
        Parametres p = liste(4);
        p.congeAbsence = true;
        const Rendu r = imprimer(base, p, r1);
        EXPECT_EQ(r.textes(1, 14),
                  QStringList{sp(26) + "CONGES PREVISIONNELS A PARTIR DU " + date(D)});
        ASSERT_EQ(r.lignes(1).size(), 1);
        EXPECT_EQ(r.lignes(1).first(), "10001  A B" + sp(18) + "CP" + debut + c.colonnes);
        const QList<QJsonObject> b = r.barres(1);
        ASSERT_EQ(b.size(), 1);
        EXPECT_NEAR(b[0].value("x1").toDouble(), 8.645 * kTwips, 0.01);
        EXPECT_NEAR(b[0].value("x2").toDouble(), (8.645 + 5 * 0.235) * kTwips, 0.01);
        EXPECT_EQ(b[0].value("colour").toString(), "#00ffff");
        EXPECT_EQ(r.legendes(1), QStringList{"   Accepté"});
    }
}

TEST_F(EtatAbsencesTest, WalkSkipsWhatItMayNotPrintAndStopsOnAnEmptyKey) {
    base.aidant("10001", "UN");
    base.aidant("10002", "DEUX", "Jean", "B");
    base.aidant("10003", "TROIS");
    const QString fin = QString::number(D + 1);
    ajouterLigne(requete, "", "", "");             // empty first key: walk goes on
    ajouterLigne(requete, "10001", "cinq", fin);   // 5 characters: printed
    ajouterLigne(requete, "1000", "quatre", fin);  // 4: skipped
    ajouterLigne(requete, cleAbsence("10001", 14, D) + "0", "", fin);  // 13: skipped
    ajouterLigne(requete, cleAbsence("10009", 14, D), "", fin);        // unknown helper
    ajouterLigne(requete, cleAbsence("10002", 14, D), "", fin);        // sector B refused
    ajouterLigne(requete, cleAbsence("10003", 14, D), "douze", fin);   // printed
    ajouterLigne(requete, "", "", "");                                 // stops the walk
    ajouterLigne(requete, cleAbsence("10003", 14, D), "après", fin);   // never reached
    const orv::RightsEntry droits("ABSENCESAIDANT", 2, orv::SectorSet{false, {"A"}});
    const Rendu r = imprimer(base, liste(4), requete, "Laser", true, droits);
    EXPECT_EQ(r.imprimes, 2);
    const QStringList l = r.lignes(1);
    ASSERT_EQ(l.size(), 2);
    EXPECT_TRUE(l[0].startsWith("10001  UN Jean") && l[0].contains("cinq"));
    EXPECT_TRUE(l[1].startsWith("10003  TROIS Jean") && l[1].contains("douze"));
    EXPECT_EQ(r.barres(1).size(), 2);
}

TEST_F(EtatAbsencesTest, EmptyListPrintsOnlyThePageHeading) {
    const Rendu r = imprimer(base, liste(4), requete);
    EXPECT_EQ(r.imprimes, 0);
    EXPECT_TRUE(r.lignes(1).isEmpty());
    EXPECT_TRUE(r.barres(1).isEmpty());
    EXPECT_TRUE(r.legendes(1).isEmpty());
}

TEST_F(EtatAbsencesTest, BarsRunFromTheirFirstToTheirLastDayInsideTheChart) {
    struct Cas {
        const char* quoi;
        int semaines;
        long debut, fin;
        double x1, x2;  // cm; x1 = 0: no bar
    };
    const QList<Cas> cas = {
        {"three days in, to day 9", 4, D + 3, D + 9, 9.115, 14.05},
        {"before and after the period", 4, D - 5, D + 40, 7.0, 26.74},
        {"ends past the chart of a 31-day period", 4, D + 1, D + 40, 7 + 0.705, 26.74},
        {"starts beyond 84 days", 16, D + 90, D + 95, 0, 0},
        {"starts after the period", 4, D + 30, D + 31, 0, 0},
        {"ended before the period", 4, D - 9, D - 2, 0, 0},
    };
    base.aidant("10001", "UN");
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.quoi);
        dba::Record r1;
        ajouterLigne(r1, cleAbsence("10001", 14, c.debut), "CP", QString::number(c.fin));
        Parametres p = liste(c.semaines);
        if (QString(c.quoi).contains("31-day")) p.fin = D + 30;
        const Rendu r = imprimer(base, p, r1);
        EXPECT_EQ(r.lignes(1).size(), 1);
        EXPECT_EQ(r.legendes(1), QStringList{"   Congés"});
        const QList<QJsonObject> b = r.barres(1);
        if (c.x1 == 0) {
            EXPECT_TRUE(b.isEmpty());
            continue;
        }
        ASSERT_EQ(b.size(), 1);
        EXPECT_NEAR(b[0].value("x1").toDouble(), c.x1 * kTwips, 0.01);
        EXPECT_NEAR(b[0].value("x2").toDouble(), c.x2 * kTwips, 0.01);
        EXPECT_NEAR(b[0].value("y1").toDouble(), 4.03 * kTwips, 0.01);
        EXPECT_EQ(b[0].value("colour").toString(), "#00ff00");
    }
}

TEST_F(EtatAbsencesTest, LegendShowsOnlyTheCategoriesOnThePage) {
    struct Cas {
        bool conges;
        QStringList codes;  // absence codes, or statuses
        QStringList legendes;
        int barres;
    };
    const QList<Cas> cas = {
        {false, {"14", "25"}, {"   Congés"}, 2},
        {false, {"07", "30", "40"}, {"   Arrêts travail", "   Autres/A valider"}, 3},
        {true, {"Acc"}, {"   Accepté"}, 1},
        {true, {"Ref", "EnC", "Xyz"}, {"   Refusé", "   En-cours"}, 2},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.codes.join(',').toStdString());
        dba::Record r1;
        int n = 0;
        for (const QString& code : c.codes) {
            const QString aidant = QString::number(10001 + n++);
            base.aidant(aidant, "NOM");
            if (c.conges)
                ajouterConge(r1, aidant, code, D + 1, D + 4);
            else
                ajouterLigne(r1, cleAbsence(aidant, code.toInt(), D), "", QString::number(D + 2));
        }
        Parametres p = liste(8);
        p.congeAbsence = c.conges;
        const Rendu r = imprimer(base, p, r1);
        EXPECT_EQ(r.lignes(1).size(), c.codes.size());
        EXPECT_EQ(r.legendes(1), c.legendes);
        EXPECT_EQ(r.barres(1).size(), c.barres);
    }
}

TEST_F(EtatAbsencesTest, BodyBottomFollowsTheLinesOfThePage) {
    for (const auto& [lignes, bas] : {std::pair{29, 19.66}, std::pair{5, 6.835}}) {
        SCOPED_TRACE(lignes);
        dba::Record r1;
        base.aidants(lignes, r1, D, D + 2);
        const Rendu r = imprimer(base, liste(4), r1);
        bool trouve = false;
        for (const QJsonObject& op : r.ops(1, "line"))
            trouve |= op.value("x1").toDouble() == 0 && op.value("x2").toDouble() > 28 * kTwips &&
                      qAbs(op.value("y1").toDouble() - bas * kTwips) < 0.01 &&
                      op.value("width").toInt() == 3;
        EXPECT_TRUE(trouve);
        // Every line of text stays inside the printable page, beside its bar.
        EXPECT_EQ(r.t.pages, 1);
        EXPECT_EQ(r.barres(1).size(), lignes);
    }
}

TEST_F(EtatAbsencesTest, WeekLabelsStopAfterTheTwelfthWeek) {
    base.aidants(1, requete, D, D + 2);
    const Rendu r = imprimer(base, liste(14), requete);
    QStringList etiquettes;
    for (const QJsonObject& op : r.ops(1, "text"))
        if (op.value("size").toDouble() == 8) etiquettes << op.value("text").toString();
    ASSERT_EQ(etiquettes.size(), 12);
    EXPECT_EQ(etiquettes.first(), date(D).left(6) + date(D).right(2));
    EXPECT_EQ(etiquettes.last(), date(D + 77).left(6) + date(D + 77).right(2));
    int ticks = 0;
    for (const QJsonObject& op : r.ops(1, "line")) ticks += op.value("width").toInt() == 22;
    EXPECT_EQ(ticks, 13 + 13);  // heading ticks between the 14 weeks, and body week rules
}

TEST_F(EtatAbsencesTest, ColoursComeFromTheParametersOrGreys) {
    base.aidants(1, requete, D, D + 2);
    struct Cas {
        bool couleur;
        QString conges;  // attribute 6 of TPSPARAM "1"
        QString attendue;
        int notes;
    };
    for (const Cas& c : {Cas{true, "65280", "#00ff00", 0}, Cas{false, "65280", "#646464", 0},
                         Cas{true, "vert", "#a0a0a0", 1}, Cas{true, "", "#a0a0a0", 1}}) {
        SCOPED_TRACE(c.conges.toStdString());
        base.write("TPSPARAM", "1",
                   orv::test::sparseRecord({{6, c.conges}, {7, "255"}, {23, "16711680"}}));
        const Rendu r = imprimer(base, liste(4), requete, "Laser", c.couleur);
        ASSERT_EQ(r.barres(1).size(), 1);
        EXPECT_EQ(r.barres(1)[0].value("colour").toString(), c.attendue);
        EXPECT_EQ(r.notes.size(), c.notes);
    }
}

TEST_F(EtatAbsencesTest, WeeksAreRoundedAndNeverZero) {
    EXPECT_EQ(nombreSemaines(D, D + 27), 4);
    EXPECT_EQ(nombreSemaines(D, D + 30), 4);  // 31 / 7 = 4.43
    EXPECT_EQ(nombreSemaines(D, D + 31), 5);  // 32 / 7 = 4.57
    EXPECT_EQ(nombreSemaines(D, D + 2), 1);   // 3 / 7 = 0.43: one week still
}

}  // namespace
