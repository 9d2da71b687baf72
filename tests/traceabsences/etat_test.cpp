// The absence report read back from the transcript printer: paging, groups, the text of the
// lines, the walk's selection, and the chart (bars in twips, body rules, legend, week labels).
#include <gtest/gtest.h>

#include "client/outils_communs.h"
#include "fixture.h"
#include "schema/lignes_absences.h"

using namespace traceabsences;
using namespace traceabsences::test;

namespace {

const long D = jour(2005, 1, 3);
QString sp(int n) { return QString(n, QLatin1Char(' ')); }
QString date(long j) { return orv::OutilsCommuns::JourVersDate(j); }
Parametres liste(int semaines) { return Parametres{D, D + 7 * semaines - 1, false, false, false}; }
Parametres periode(long deb, long fin, bool conges = false) {
    return Parametres{deb, fin, conges, false, false};
}

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
    // Stored with decomposed accents: padded and cut as a reader counts, printed composed.
    const auto nfd = [](const char* t) {
        return QString::fromUtf8(t).normalized(QString::NormalizationForm_D);
    };
    const QList<Cas> cas = {
        {nfd("DURAND-MARTÉNEZ"), nfd("JÉAN"), D + 1, D + 2, "", "DURAND-MARTÉNEZ JÉA  CP" + dedans},
        {nfd("ÉLOÏSE"), nfd("Zoé"), D + 1, D + 2, "", "ÉLOÏSE Zoé" + sp(11) + "CP" + dedans},
        {"DURAND-MARTIN", "JEAN", D + 1, D + 2, "", "DURAND-MARTIN JEAN   CP" + dedans},
        {"DURAND-MARTIN", "JEANS", D + 1, D + 2, "", "DURAND-MARTIN JEANS  CP" + dedans},
        {"DURAND-MARTINEZ", "JEAN", D + 1, D + 2, "", "DURAND-MARTINEZ JEA  CP" + dedans},
        // The start date takes the place after the name: value 2 has no room on this line.
        {"A", "B", D - 3, F + 3, "", "A B" + sp(18) + date(D - 3) + sp(104) + date(F + 3)},
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
    // A value as long as its column, or longer, still has a blank before the next one.
    for (const Cas& c :
         {Cas{"12", "", " 12     2      0     5"}, Cas{"1234567", "", " 1234567 2      0     5"},
          Cas{"123456789", "1234567", " 123456789 2      1234567 5"}}) {
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

// Value 2 gets what fits after the name, before the next text of its line (the line builder
// writes labels of that width): no text of a line runs into another or into the chart.
TEST_F(EtatAbsencesTest, NoTextOfALineOverlapsAnother) {
    namespace la = orv::lignesabsences;
    const QString long29 = "Congé individuel de formation";
    const QString tient(la::LargeurLibelle, QLatin1Char('M'));
    struct Cas {
        const char* quoi;
        bool conges;
        long debut;
        QString libelle, imprime;
    };
    const QList<Cas> cas = {
        {"a label of the builder's width", false, D + 1, tient, tient},
        {"one character more", false, D + 1, tient + "X", tient},
        {"29 characters", false, D + 1, long29, long29.left(la::LargeurLibelle)},
        {"beside a start date", false, D - 3, long29, ""},
        {"forecast type", true, D + 1, long29, long29.left(la::LargeurType)},
        {"forecast type beside a start date", true, D - 3, long29, long29.left(la::LargeurType)},
    };
    base.aidant("10001", "DE LA FONTAINE-SAINT-ÉTIENNE", "Jean-Baptiste");  // cut to 19
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.quoi);
        dba::Record r1;
        if (c.conges)
            ajouterConge(r1, "10001", "Acc", c.debut, D + 40);
        else
            ajouterLigne(r1, cleAbsence("10001", 14, c.debut), "", QString::number(D + 40));
        r1.put(1, la::Libelle, c.libelle);
        const Rendu r = imprimer(base, periode(D, D + 27, c.conges), r1);
        ASSERT_EQ(r.lignes(1).size(), 1);
        const QString suivant = c.debut < D ? date(c.debut).left(1) : " ";
        EXPECT_EQ(r.lignes(1).first().mid(28, c.imprime.size() + 1), c.imprime + suivant);
        const QStringList chevauchements =
            c.conges ? r.chevauchements(1, 8.645, 21.82) : r.chevauchements(1, 7, 26.74);
        EXPECT_TRUE(chevauchements.isEmpty()) << chevauchements.join('\n').toStdString();
    }
}

// A helper whose sector is empty or has no record is printed under a heading of its own.
TEST_F(EtatAbsencesTest, HelpersOfNoKnownSectorHaveAHeadingOfTheirOwn) {
    struct Cas {
        QString secteur, entete;
        bool enPremier;  // the helper's line comes first
    };
    for (const Cas& c : {Cas{"", "Secteur non renseigné", false}, Cas{"Z", "Secteur : Z", false},
                         Cas{"", "Secteur non renseigné", true}}) {
        SCOPED_TRACE(c.entete.toStdString());
        base.aidant("10001", "ALAIN");
        base.aidant("10002", "BRUNO", "Jean", c.secteur);
        dba::Record r1;
        for (const char* code : c.enPremier ? QList{"10002", "10001"} : QList{"10001", "10002"})
            ajouterLigne(r1, cleAbsence(code, 14, D), "CP", QString::number(D + 1));
        Parametres p = liste(4);
        p.secteur = true;
        const Rendu r = imprimer(base, p, r1);
        ASSERT_EQ(r.t.pages, 2);
        const int page = c.enPremier ? 1 : 2;
        EXPECT_EQ(r.textes(page, 12), QStringList{c.entete});
        EXPECT_EQ(r.textes(3 - page, 12), QStringList{"Secteur : Secteur Nord"});
        ASSERT_EQ(r.lignes(page).size(), 1);
        EXPECT_TRUE(r.lignes(page).first().startsWith("10002  BRUNO Jean"));
        EXPECT_EQ(r.barres(page).size(), 1);
        // The page has its chart's heading band and body as the other one.
        EXPECT_EQ(r.ops(page, "line").size(), r.ops(3 - page, "line").size());
        EXPECT_TRUE(r.notes.isEmpty()) << r.notes.join('\n').toStdString();
    }
}

// A line without a start day (a 5-character key, or a leave request without its days) leaves
// the start column blank instead of printing day 0.
TEST_F(EtatAbsencesTest, ALineWithoutAStartDayPrintsNoStartDate) {
    base.aidant("10001", "A", "B");
    for (const bool conges : {false, true}) {
        SCOPED_TRACE(conges);
        dba::Record r1;
        if (conges) {
            ajouterConge(r1, "10001", "Acc", D, D + 3);
            r1.put(1, 14, "10001");
        } else {
            ajouterLigne(r1, "10001", "CP", QString::number(D + 3));
        }
        const Rendu r = imprimer(base, periode(D, D + 27, conges), r1);
        ASSERT_EQ(r.lignes(1).size(), 1);
        EXPECT_EQ(r.lignes(1).first(), "10001  A B" + sp(18) + "CP" + sp(conges ? 80 : 114) +
                                           sp(10) + (conges ? " 12     2      0     5" : ""));
    }
}

// A failure inside one step of the walk (here the sectors' file removed while the report
// prints) abandons that step only: it is noted with its line, and the walk goes on.
TEST_F(EtatAbsencesTest, AFailedStepIsNotedAndTheWalkGoesOn) {
    base.aidant("10001", "UN");
    base.aidant("10002", "DEUX", "Jean", "B");
    base.aidant("10003", "TROIS", "Jean", "B");
    for (const char* code : {"10001", "10002", "10003"})
        ajouterLigne(requete, cleAbsence(code, 14, D), "CP", QString::number(D + 1));
    Parametres p = liste(4);
    p.secteur = true;
    const Rendu r = imprimer(base, p, requete, "Laser", true, orv::RightsEntry("ABSENCESAIDANT", 2),
                             [this](int ligne) {
                                 if (ligne == 1) base.engine->storage().dropFile("SECTEUR");
                             });
    ASSERT_EQ(r.notes.size(), 1) << r.notes.join('\n').toStdString();
    EXPECT_TRUE(r.notes[0].contains("10002")) << r.notes[0].toStdString();
    EXPECT_EQ(r.imprimes, 2);
    EXPECT_EQ(r.lignes(1).size(), 1);
    EXPECT_EQ(r.lignes(2).size(), 1);
}

TEST_F(EtatAbsencesTest, EmptyListPrintsOnlyThePageHeading) {
    const Rendu r = imprimer(base, liste(4), requete);
    EXPECT_EQ(r.imprimes, 0);
    EXPECT_TRUE(r.lignes(1).isEmpty());
    EXPECT_TRUE(r.barres(1).isEmpty());
    EXPECT_TRUE(r.legendes(1).isEmpty());
}

// The chart spans every day of the period, whatever its length: an absence of the period's last
// days, or one that starts after its twelfth week, has its bar up to its last day.
TEST_F(EtatAbsencesTest, BarsRunFromTheirFirstToTheirLastDayOnAChartOfEveryDay) {
    struct Cas {
        const char* quoi;
        long finPeriode;  // days after D
        long debut, fin;
        double x1, x2;  // cm; x1 = 0: no bar
    };
    const double mars = 19.74 / 31, semaines26 = 19.74 / 182;
    const QList<Cas> cas = {
        {"three days in, to day 9", 27, D + 3, D + 9, 9.115, 14.05},
        {"before and after the period", 27, D - 5, D + 40, 7.0, 26.74},
        {"the last three days of 31", 30, D + 28, D + 30, 7 + 28 * mars, 26.74},
        {"ends past a period of 31 days", 30, D + 1, D + 40, 7 + mars, 26.74},
        {"starts on day 90 of 26 weeks", 181, D + 90, D + 95, 7 + 90 * semaines26,
         7 + 96 * semaines26},
        {"starts after the period", 27, D + 30, D + 31, 0, 0},
        {"ended before the period", 27, D - 9, D - 2, 0, 0},
    };
    base.aidant("10001", "UN");
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.quoi);
        dba::Record r1;
        ajouterLigne(r1, cleAbsence("10001", 14, c.debut), "CP", QString::number(c.fin));
        const Rendu r = imprimer(base, periode(D, D + c.finPeriode), r1);
        EXPECT_EQ(r.lignes(1).size(), 1);
        EXPECT_EQ(r.legendes(1), QStringList{"   Congés"});
        // One rule a day from the chart's origin, its right edge at the last day's end.
        QList<double> regles;
        for (const QJsonObject& op : r.ops(1, "line"))
            if (qAbs(op.value("y1").toDouble() - 3.85 * kTwips) < 0.01)
                regles << op.value("x1").toDouble();
        EXPECT_EQ(regles.size(), c.finPeriode + 2);
        EXPECT_NEAR(regles.last(), 26.74 * kTwips, 0.01);
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

// Only the weeks that have room are labelled: each label inside the chart, clear of the
// previous one and of every rule, so the first never covers "DEBUT" and long periods show
// every other week.
TEST_F(EtatAbsencesTest, WeekLabelsOnlyWhereTheyHaveRoom) {
    struct Cas {
        long jours;
        QList<int> semaines;  // the weeks labelled, from 1
    };
    const QList<Cas> cas = {
        {28, {1, 2, 3, 4}},
        {91, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
        {98, {1, 3, 5, 7, 9, 11, 13}},
        {182, {1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25}},
        {366, {1, 5, 9, 13, 17, 21, 25, 29, 33, 37, 41, 45, 49}},
    };
    base.aidants(1, requete, D, D + 2);
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.jours);
        const Rendu r = imprimer(base, periode(D, D + c.jours - 1), requete);
        const QList<Rendu::Morceau> etiquettes = r.morceaux(1, 8);
        QStringList attendues;
        for (int k : c.semaines) {
            const QString d = date(D + 7 * (k - 1));
            attendues << d.left(6) + d.right(2);
        }
        QStringList textes;
        for (const Rendu::Morceau& e : etiquettes) textes << e.texte;
        EXPECT_EQ(textes, attendues);
        for (int i = 0; i < etiquettes.size(); ++i) {
            EXPECT_GE(etiquettes[i].x1, 7 * kTwips);
            EXPECT_LE(etiquettes[i].x2, 26.74 * kTwips);
            if (i > 0) {
                EXPECT_GT(etiquettes[i].x1, etiquettes[i - 1].x2);
            }
        }
        // No rule crosses a label: the rules under one start below it, with the day rules.
        for (const QJsonObject& trait : r.ops(1, "line")) {
            const double x = trait.value("x1").toDouble();
            const double haut = qMin(trait.value("y1").toDouble(), trait.value("y2").toDouble());
            for (const Rendu::Morceau& e : etiquettes) {
                if (x == trait.value("x2").toDouble() && e.x1 < x && x < e.x2) {
                    EXPECT_GE(haut, 3.85 * kTwips - 1) << e.texte.toStdString();
                }
            }
        }
    }
}

// Colours that are not numbers get fall-backs that tell the three categories apart.
TEST_F(EtatAbsencesTest, ColoursComeFromTheParametersOrDistinctFallBacks) {
    for (const auto& [code, fin] :
         {std::pair{"10001", 1}, std::pair{"10002", 14}, std::pair{"10003", 40}}) {
        base.aidant(code, "NOM");
        ajouterLigne(requete, cleAbsence(code, fin, D), "", QString::number(D + 2));
    }
    struct Cas {
        bool couleur;
        QString arrets, conges, autres;  // attributes 7, 6 and 23 of TPSPARAM "1"
        QStringList attendues;           // bars of categories 1, 2, 3
        int notes;
    };
    const QList<Cas> cas = {
        {true, "255", "65280", "16711680", {"#ff0000", "#00ff00", "#0000ff"}, 0},
        {false, "255", "65280", "16711680", {"#000000", "#646464", "#c8c8c8"}, 0},
        {true, "rouge", "", "autre", {"#ff0000", "#00b050", "#ffc000"}, 3},
        // The fall-back of a category never repeats a colour another category shows.
        {true, "255", "vert", "", {"#ff0000", "#00b050", "#ffc000"}, 2},
        {true, "5287936", "", "16711680", {"#00b050", "#ff0000", "#0000ff"}, 1},
        {true, "x", "255", "y", {"#00b050", "#ff0000", "#ffc000"}, 2},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE((c.arrets + "/" + c.conges + "/" + c.autres).toStdString());
        base.write("TPSPARAM", "1",
                   orv::test::sparseRecord({{6, c.conges}, {7, c.arrets}, {23, c.autres}}));
        const Rendu r = imprimer(base, liste(4), requete, "Laser", c.couleur);
        QStringList barres;
        for (const QJsonObject& b : r.barres(1)) barres << b.value("colour").toString();
        EXPECT_EQ(barres, c.attendues);
        EXPECT_EQ(r.notes.size(), c.notes);
    }
}

TEST_F(EtatAbsencesTest, WeeksAreThoseThePeriodHasDaysIn) {
    EXPECT_EQ(nombreSemaines(D, D + 27), 4);
    EXPECT_EQ(nombreSemaines(D, D + 28), 5);  // 29 days: a fifth week of one day
    EXPECT_EQ(nombreSemaines(D, D + 30), 5);  // 31 days
    EXPECT_EQ(nombreSemaines(D, D + 181), 26);
    EXPECT_EQ(nombreSemaines(D, D + 2), 1);
}

}  // namespace
