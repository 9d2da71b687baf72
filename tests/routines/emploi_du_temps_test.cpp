// The server routine EDITEMPLOITEMPS on planning fixtures, called as the control calls it.
#include <gtest/gtest.h>

#include "tests/horaireaidants/fixture.h"

using namespace horaireaidants::test;

namespace {

// The call text: helper, user, first and last day, client, then the criteria.
QString appel(const QString& aidant, const QString& aide, const QString& aidantAide = QString(),
              const QString& criteres = QStringLiteral("||||||"), long fin = kLundi + 6) {
    return QStringList{aidant, QStringLiteral("DUPONT"), QString::number(kLundi),
                       QString::number(fin), aide}
               .join(QLatin1Char('|')) +
           QLatin1Char('|') + criteres.section(QLatin1Char('|'), 0, 5) + QLatin1Char('|') +
           aidantAide + QStringLiteral("|0|0");
}

QStringList lignes(const dba::Record& r) {
    QStringList out;
    for (int k = 1; k <= r.DCount(); ++k) out << r.get(k);
    return out;
}

class RoutineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        base.aidant({QStringLiteral("00012"), QStringLiteral("MARTIN"), QStringLiteral("Léa")});
        base.aidant({QStringLiteral("00034"), QStringLiteral("BERNARD"), QStringLiteral("Zoé"),
                     QStringLiteral("rue Haute"), QString(), QStringLiteral("0476111111"),
                     QStringLiteral("002")});
        base.aide({QStringLiteral("50001"), QStringLiteral("ÉTIENNE"), QStringLiteral("Hélène"),
                   QStringLiteral("allée des Châtaigniers"), QStringLiteral("Bât. B")});
        base.aide({QStringLiteral("50002"), QStringLiteral("ARNAUD"), QStringLiteral("Paul")});
        base.visite({QStringLiteral("00012"),
                     QStringLiteral("50001"),
                     kLundi + 2,
                     QStringLiteral("1400"),
                     QStringLiteral("1600"),
                     {QStringLiteral("Courses"), QStringLiteral("Préparation repas")},
                     true});
        base.visite({QStringLiteral("00012"), QStringLiteral("50002")});
        base.visite({QStringLiteral("00034"), QStringLiteral("50001"), kLundi + 1});
        // Outside the period: never printed.
        base.visite({QStringLiteral("00012"), QStringLiteral("50002"), kLundi + 7});
    }
    BaseEmploi base;
};

TEST_F(RoutineTest, OneHelperInDayOrderWithTheColumnsThePrintoutReads) {
    const QStringList l = lignes(base.appeler(appel(QStringLiteral("00012"), QString())));
    ASSERT_EQ(l.size(), 7) << l.join('\n').toStdString();
    EXPECT_EQ(l[0], QString());
    EXPECT_EQ(l.last(), QStringLiteral("FIN"));
    const QString& entree = l[1];
    EXPECT_EQ(entree.left(11).trimmed(), QStringLiteral("Lun 13/02"));
    EXPECT_EQ(entree.mid(12, 5), QStringLiteral("08:00"));
    EXPECT_EQ(entree.mid(18, 5), QStringLiteral("10:00"));
    EXPECT_EQ(entree.mid(25, 31).trimmed(), QStringLiteral("50002  ARNAUD Paul"));
    EXPECT_EQ(entree.mid(57, 26).trimmed(), QStringLiteral("12 rue des Lilas"));
    EXPECT_EQ(entree.mid(83).trimmed(), QStringLiteral("Ménage"));
    EXPECT_TRUE(l[2].left(25).trimmed().isEmpty());
    EXPECT_EQ(l[2].mid(32, 22).trimmed(), QStringLiteral("Tel 0476000000"));
    EXPECT_EQ(l[2].mid(57, 26).trimmed(), QStringLiteral("38000 Grenoble"));
    // Accented names keep every column in place; the key marker sits at column 55.
    const QString& accent = l[3];
    EXPECT_EQ(accent.mid(25, 29).trimmed(), QStringLiteral("50001  ÉTIENNE Hélène"));
    EXPECT_EQ(accent.mid(54, 1), QStringLiteral("£"));
    EXPECT_EQ(accent.mid(83).trimmed(), QStringLiteral("Courses, Préparation repas"));
    EXPECT_EQ(l[4].mid(57, 26).trimmed(), QStringLiteral("Bât. B"));
}

TEST_F(RoutineTest, OneClientShowsHerHelpers) {
    const QStringList l = lignes(base.appeler(appel(QString(), QStringLiteral("50001"))));
    ASSERT_EQ(l.size(), 6) << l.join('\n').toStdString();
    EXPECT_EQ(l[1].mid(25, 31).trimmed(), QStringLiteral("00034  BERNARD Zoé"));
    EXPECT_EQ(l[2].mid(32, 22).trimmed(), QStringLiteral("Tel 0476111111"));
    EXPECT_EQ(l[3].mid(25, 29).trimmed(), QStringLiteral("00012  MARTIN Léa"));
}

TEST_F(RoutineTest, SeveralPersonsOpenWithTheirPersonLinesAndFollowTheCriteria) {
    struct Cas {
        const char* nom;
        QString criteres;  // asso|act|tri|select|de|a
        QStringList personnes;
    };
    const QList<Cas> cas = {
        {"par code", QStringLiteral("||||||"), {"#00012", "#00034"}},
        {"par nom", QStringLiteral("||NOM||||"), {"#00034", "#00012"}},
        {"entité", QStringLiteral("002||||||"), {"#00034"}},
        {"bornes", QStringLiteral("||||00013|99999"), {"#00034"}},
    };
    for (const Cas& c : cas) {
        const dba::Record r = base.appeler(appel(QString(), QString(), "AIDANT", c.criteres));
        QStringList vues;
        for (int k = 2; k <= r.DCount(); ++k)
            if (r.get(k, 1).startsWith('#')) vues << r.get(k, 1);
        EXPECT_EQ(vues, c.personnes) << c.nom;
        // The person line's second value is the person's first entry line.
        EXPECT_EQ(r.get(2, 2).mid(12, 5), QStringLiteral("08:00")) << c.nom;
    }
}

// Clients sorted by name in French order ("É" among the E), and a name stored with decomposed
// accents laid out in the columns of the same name composed.
TEST_F(RoutineTest, NamesSortInFrenchOrderAndDecomposedAccentsTakeOneColumn) {
    const QString decompose = QStringLiteral("ÉTIENNE").normalized(QString::NormalizationForm_D);
    base.aide({QStringLiteral("50003"), QStringLiteral("PETIT"), QStringLiteral("Luc")});
    base.aide({QStringLiteral("50004"), decompose,
               QStringLiteral("Hélène").normalized(QString::NormalizationForm_D),
               QStringLiteral("allée des Châtaigniers")});
    base.visite({QStringLiteral("00034"), QStringLiteral("50003"), kLundi + 3});
    base.visite({QStringLiteral("00034"), QStringLiteral("50004"), kLundi + 4});
    const dba::Record r = base.appeler(appel(QString(), QString(), "AIDE", "||NOM||||"));
    QStringList personnes;
    for (int k = 2; k <= r.DCount(); ++k)
        if (r.get(k, 1).startsWith('#')) personnes << r.get(k, 1);
    // The two spellings of ÉTIENNE are equal but for their bytes: the decomposed one first.
    EXPECT_EQ(personnes, (QStringList{"#50002", "#50004", "#50001", "#50003"}));

    const QStringList l = lignes(base.appeler(appel(QStringLiteral("00034"), QString())));
    const auto ligneDe = [&](const QString& code) {
        for (const QString& ligne : l)
            if (ligne.mid(25, 5) == code) return ligne;
        return QString();
    };
    const QString compose = ligneDe(QStringLiteral("50001"));
    const QString decomposee =
        ligneDe(QStringLiteral("50004")).normalized(QString::NormalizationForm_C);
    ASSERT_FALSE(compose.isEmpty());
    EXPECT_EQ(decomposee.mid(30), compose.mid(30));
}

// The lines of the visit whose entry names `code` (columns 26-30): its entry line and the
// continuation lines that follow it.
QStringList lignesVisite(const QStringList& l, const QString& code) {
    QStringList visite;
    for (const QString& ligne : l) {
        const bool entree = !ligne.isEmpty() && ligne.at(0) != QLatin1Char(' ');
        if (entree && !visite.isEmpty()) break;
        if ((entree && ligne.mid(25, 5) == code) || (!entree && !visite.isEmpty())) visite << ligne;
    }
    return visite;
}

// A name and an address longer than their columns go on over the continuation lines, broken
// after a blank or a hyphen; the name stops at column 53, where the marker print stops.
TEST_F(RoutineTest, LongNamesAndAddressesGoOnOverTheContinuationLines) {
    base.aide({QStringLiteral("50005"), QStringLiteral("DE LA FONTAINE-SAINT-ÉTIENNE"),
               QStringLiteral("Jean-Baptiste"), QStringLiteral("rue du Président Édouard Herriot"),
               QStringLiteral("Résidence les Tilleuls, bâtiment C")});
    base.visite({QStringLiteral("00034"),
                 QStringLiteral("50005"),
                 kLundi + 5,
                 QStringLiteral("0900"),
                 QStringLiteral("1000"),
                 {QStringLiteral("Ménage")},
                 true});
    const QStringList visite = lignesVisite(
        lignes(base.appeler(appel(QStringLiteral("00034"), QString()))), QStringLiteral("50005"));
    struct Colonne {
        int debut, largeur;
        QStringList attendu;
    };
    const QList<Colonne> colonnes = {
        {33, 22, {"DE LA FONTAINE-SAINT-", "ÉTIENNE Jean-Baptiste", "Tel 0476000000"}},
        {58,
         25,
         {"12 rue du Président", "Édouard Herriot", "Résidence les Tilleuls,", "bâtiment C",
          "38000 Grenoble"}}};
    ASSERT_EQ(visite.size(), 5) << visite.join('\n').toStdString();
    EXPECT_EQ(visite[0].mid(54, 1), QStringLiteral("£"));
    for (const Colonne& c : colonnes) {
        QStringList vues;
        for (const QString& ligne : visite)
            if (const QString t = ligne.mid(c.debut - 1, c.largeur).trimmed(); !t.isEmpty())
                vues << t;
        EXPECT_EQ(vues, c.attendu) << c.debut;
    }
}

// A client's timetable has no address column (her address is in the heading): no
// continuation line is left that holds nothing once the printout blanks that column.
TEST_F(RoutineTest, AClientsTimetableHasNoLineBlankButForTheAddress) {
    const QStringList l = lignes(base.appeler(appel(QString(), QStringLiteral("50001"))));
    ASSERT_GT(l.size(), 3);
    for (const QString& ligne : l.mid(1, l.size() - 2)) {
        EXPECT_TRUE(ligne.mid(57, 26).trimmed().isEmpty()) << ligne.toStdString();
        EXPECT_FALSE((ligne.left(57) + ligne.mid(83)).trimmed().isEmpty()) << ligne.toStdString();
    }
}

TEST_F(RoutineTest, NothingFoundGivesVide) {
    for (const QString& texte :
         {appel(QStringLiteral("99999"), QString()),
          appel(QString(), QString(), QStringLiteral("AIDE"), QStringLiteral("009||||||")),
          appel(QString(), QString())}) {
        const dba::Record r = base.appeler(texte);
        EXPECT_EQ(lignes(r), (QStringList{"VIDE", "FIN"})) << texte.toStdString();
    }
}

TEST_F(RoutineTest, AWrongDayIsRefused) {
    EXPECT_THROW(base.appeler(QStringLiteral("00012|DUPONT|abc|13930|||||||||0|0")), dba::Error);
}

}  // namespace
