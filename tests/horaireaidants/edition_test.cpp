// The printed timetable, read back from a transcript printer.
#include <gtest/gtest.h>

#include <QFile>

#include "client/marks.h"
#include "controls/horaireaidants/edition_emploi.h"
#include "fixture.h"
#include "platform/printer.h"

using namespace horaireaidants;
using namespace horaireaidants::test;

namespace {

const QChar kVM = QChar(0xFD);  // never typed: value marks go through put()

// A timetable line: columns 1-25, the name field 26-56, then from column 58.
QString ligne(const QString& debut, const QString& nom, const QString& suite = QString()) {
    return debut.leftJustified(25) + nom.leftJustified(31) + QLatin1Char(' ') + suite;
}
QString entree(int n, const QString& nom = QStringLiteral("50001  ARNAUD Paul")) {
    return ligne(QStringLiteral("Lun 13/02   08:00 10:00"), nom,
                 QStringLiteral("12 rue des Lilas").leftJustified(26) + QStringLiteral("Tâche ") +
                     QString::number(n));
}
QString suite() {
    return ligne(QString(), QStringLiteral("       Tel 0476000000"), "38000 Grenoble");
}

class EditionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        qputenv("ORVANELLE_TODAY", "2006-02-10");
        base.aidant({QStringLiteral("00012"), QStringLiteral("MARTIN"), QStringLiteral("Léa")});
        base.aidant({QStringLiteral("00034"), QStringLiteral("BERNARD"), QStringLiteral("Zoé")});
        base.aide({QStringLiteral("50001"), QStringLiteral("ÉTIENNE"), QStringLiteral("Hélène"),
                   QString(), QString()});
    }

    // Prints a record whose lines start at attribute 2 (a person line: "#code" then its first
    // line as a second value).
    Transcription imprimer(const QList<QStringList>& lignes, ParametresEdition p) {
        dba::Record r;
        int k = 2;
        for (const QStringList& valeurs : lignes) {
            for (int v = 0; v < valeurs.size(); ++v) r.put(k, v + 1, valeurs[v]);
            ++k;
        }
        r.put(k, QStringLiteral("FIN"));
        return imprimerEmploi(r, p);
    }
    Transcription imprimerEmploi(dba::Record r, ParametresEdition p) {
        const QString chemin = base.dir.filePath(QStringLiteral("e.jsonl"));
        QFile::remove(chemin);
        orv::Printer printer(orv::PrinterEntry{"Laser", orv::PrinterKind::Transcript, chemin});
        printer.setOrientation(orv::PrinterOrientation::Landscape);
        EditionEmploiTemps edition(base.db(), printer);
        p.jourDebut = kLundi;
        p.jourFin = kLundi + 6;
        edition.setParametres(p);
        edition.imprimer(r);
        parametres = edition.parametres();
        imprime = r;
        printer.endDoc();
        return lireTranscription(chemin);
    }
    static QList<QStringList> entrees(int n) {
        QList<QStringList> l;
        for (int i = 1; i <= n; ++i) l << QStringList{entree(i)};
        return l;
    }
    // Timetable lines: entries, and a remembered name (26 blanks then the name).
    static int lignesEmploi(const Transcription& t, int page) {
        int n = 0;
        for (const QString& texte : t.textes(page)) {
            const bool nom = texte.size() > 26 && texte.left(26).trimmed().isEmpty() &&
                             texte.at(26) != QLatin1Char(' ');
            if (texte.startsWith(QStringLiteral(" Lun")) || nom) ++n;
        }
        return n;
    }

    BaseEmploi base;
    ParametresEdition parametres;
    dba::Record imprime;  // the record as the printout left it
    const ParametresEdition aidant12{QStringLiteral("00012")};
};

TEST_F(EditionTest, EightyLinesMakeThreePagesUnderTheSameHeading) {
    const Transcription t = imprimer(entrees(80), aidant12);
    ASSERT_EQ(t.pages, 3);
    for (int page = 1; page <= 3; ++page) {
        const QStringList textes = t.textes(page);
        EXPECT_TRUE(textes.filter(QStringLiteral("Page : %1").arg(page)).size() == 1) << page;
        EXPECT_EQ(textes.filter(QStringLiteral("Aidant : 00012 MARTIN Léa")).size(), 1) << page;
        EXPECT_EQ(textes.filter(QStringLiteral("Du 13/02/2006 au 19/02/2006")).size(), 1);
        EXPECT_EQ(textes.filter(QStringLiteral("Nom prénom/Tel            Adresse")).size(), 1);
    }
    EXPECT_EQ(lignesEmploi(t, 1), 35);
    EXPECT_EQ(lignesEmploi(t, 2), 35);
    EXPECT_EQ(lignesEmploi(t, 3), 10);
    EXPECT_EQ(t.textes(1)[1], QStringLiteral("  Date : 10/02/2006") + QString(104, ' ') +
                                  QStringLiteral("Page : 1"));
}

// Visits of two lines (an entry and its "Tel" line): a page holds 35 timetable lines, the
// remembered name above a continuation line taking no line of them; 36 lines whose last ends the
// timetable stay on one page.
TEST_F(EditionTest, TwoLineVisitsFillEveryPageWithItsThirtyFiveLines) {
    const auto lignesTableau = [](const Transcription& t, int page) {
        qsizetype n = 0;
        for (const QString& texte : t.textes(page))
            if (texte.startsWith(QStringLiteral(" Lun")) ||
                texte.contains(QStringLiteral("Tel 04")))
                ++n;
        return n;
    };
    const QList<std::pair<int, QList<qsizetype>>> cas = {{80, {35, 35, 10}}, {36, {36}}};
    for (const auto& [nombre, parPage] : cas) {
        QList<QStringList> l;
        for (int i = 1; i <= nombre / 2; ++i) l << QStringList{entree(i)} << QStringList{suite()};
        const Transcription t = imprimer(l, aidant12);
        ASSERT_EQ(t.pages, parPage.size()) << nombre;
        for (int page = 1; page <= t.pages; ++page)
            EXPECT_EQ(lignesTableau(t, page), parPage[page - 1]) << nombre << " page " << page;
    }
}

TEST_F(EditionTest, AContinuationLineFirstOnAPageFollowsTheRememberedName) {
    QList<QStringList> l = entrees(34);
    l << QStringList{entree(35, QStringLiteral("50002  ÉTIENNE Hélène"))} << QStringList{suite()}
      << QStringList{entree(36)};
    const Transcription t = imprimer(l, aidant12);
    ASSERT_EQ(t.pages, 2);
    const QStringList page2 = t.textes(2);
    const qsizetype nom = page2.indexOf(QString(26, ' ') + QStringLiteral("50002  ÉTIENNE Hélène"));
    ASSERT_GE(nom, 0) << page2.join('\n').toStdString();
    EXPECT_EQ(page2.value(nom + 1), QLatin1Char(' ') + suite());
}

// The kind of persons is read as the routine reads it: case and blanks around do not count.
TEST_F(EditionTest, PersonLinesStartEachHelperOnANewPage) {
    for (const char* genre : {"AIDANT", "aidant", " Aidant "}) {
        SCOPED_TRACE(genre);
        ParametresEdition p;
        p.aidantAide = QString::fromLatin1(genre);
        const Transcription t =
            imprimer({{"#00012", entree(1)}, {entree(2)}, {"#00034", entree(3)}, {entree(4)}}, p);
        ASSERT_EQ(t.pages, 2);
        EXPECT_EQ(t.textes(1).filter(QStringLiteral("Aidant : 00012 MARTIN")).size(), 1);
        EXPECT_EQ(t.textes(2).filter(QStringLiteral("Aidant : 00034 BERNARD")).size(), 1);
        EXPECT_EQ(lignesEmploi(t, 1), 2);
        EXPECT_EQ(lignesEmploi(t, 2), 2);
        EXPECT_TRUE(t.textes().filter(QStringLiteral("#")).isEmpty());
        EXPECT_EQ(parametres.codAidant, QStringLiteral("00034"));
    }
}

// Long records of several persons, with continuation lines: every line is printed once and in
// order, each person's pages under her heading, and the record loses only its person values.
TEST_F(EditionTest, ManyPersonsOfManyLinesPrintEveryLineInOrderUnderTheirHeadings) {
    const QList<QList<int>> cas = {{200}, {37, 70, 36, 1, 105, 34}, QList<int>(40, 12)};
    for (const QList<int>& parPersonne : cas) {
        QList<QStringList> lignes;
        QStringList attendues, entetes;
        QString texte;  // the record's lines from attribute 2, once its person values are gone
        for (qsizetype p = 0; p < parPersonne.size(); ++p) {
            const QString code = QString::number(101 + p).rightJustified(5, QLatin1Char('0'));
            for (int i = 0; i < parPersonne[p]; ++i) {
                const QString l = i % 3 == 2 ? suite() : entree(i);
                lignes << (i == 0 ? QStringList{QLatin1Char('#') + code, l} : QStringList{l});
                attendues << QLatin1Char(' ') + l;
                texte += l + QChar(orv::kAttributeMarkChar);
                if (i % 35 == 0) entetes << code;
            }
        }
        ParametresEdition p;
        p.aidantAide = QStringLiteral("AIDANT");
        const Transcription t = imprimer(lignes, p);
        SCOPED_TRACE(parPersonne.size());
        QStringList imprimees, vues;
        for (const QString& l : t.textes())
            if (l.startsWith(QStringLiteral(" Lun")) || l == QLatin1Char(' ') + suite())
                imprimees << l;
        EXPECT_EQ(imprimees, attendues);
        for (int page = 1; page <= t.pages; ++page)
            for (const QString& l : t.textes(page))
                if (l.startsWith(QStringLiteral("  Aidant : "))) vues << l.mid(11, 5);
        EXPECT_EQ(vues, entetes);
        EXPECT_EQ(imprime.get(), QChar(orv::kAttributeMarkChar) + texte + QStringLiteral("FIN"));
    }
}

TEST_F(EditionTest, AClientsTimetableHasAnAidantColumnAndNoAddress) {
    ParametresEdition p;
    p.codeAide = QStringLiteral("50001");
    const Transcription t = imprimer(entrees(3), p);
    const QStringList textes = t.textes(1);
    EXPECT_EQ(textes.filter(QStringLiteral("Aidé : 50001 ÉTIENNE Hélène")).size(), 1);
    EXPECT_EQ(textes.filter(QStringLiteral("Horaire     Aidant")).size(), 1);
    EXPECT_TRUE(textes.filter(QStringLiteral("Adresse")).isEmpty());
    for (const QString& texte : textes)
        if (texte.startsWith(QStringLiteral(" Lun"))) {
            EXPECT_TRUE(texte.mid(58, 26).trimmed().isEmpty()) << texte.toStdString();
            EXPECT_TRUE(texte.contains(QStringLiteral("Tâche")));
        }
}

TEST_F(EditionTest, MarkersArePrintedInVerdanaAtTheirPositions) {
    QString marquee = entree(1);
    marquee[54] = QChar(0x00A3);
    const Transcription t = imprimer({{marquee}}, aidant12);
    QList<QJsonObject> textes;
    for (const QJsonObject& op : t.ops)
        if (op.value("op").toString() == "text") textes << op;
    qsizetype i = 0;
    while (i < textes.size() && textes[i].value("text").toString() != QStringLiteral("£")) ++i;
    ASSERT_LT(i + 3, textes.size());
    EXPECT_EQ(textes[i - 1].value("font").toString(), QStringLiteral("Courier New"));
    EXPECT_EQ(textes[i - 1].value("text").toString(), QLatin1Char(' ') + marquee.left(53));
    EXPECT_EQ(textes[i].value("font").toString(), QStringLiteral("Verdana"));
    EXPECT_DOUBLE_EQ(textes[i].value("x").toDouble(), 6580);
    EXPECT_DOUBLE_EQ(textes[i].value("size").toDouble(), 9);
    EXPECT_DOUBLE_EQ(textes[i + 1].value("size").toDouble(), 6);
    const QJsonObject& reste = textes[i + 3];
    EXPECT_EQ(reste.value("font").toString(), QStringLiteral("Courier New"));
    EXPECT_DOUBLE_EQ(reste.value("x").toDouble(), 6960);
    EXPECT_EQ(reste.value("text").toString(), marquee.mid(57));
}

// A client whose name is stored with decomposed accents: the timetable the routine writes prints
// every piece of text at the x of the same timetable with the name composed.
TEST_F(EditionTest, ADecomposedNamePrintsItsColumnsWhereAComposedOneDoes) {
    const auto nfd = [](const char* t) {
        return QString::fromUtf8(t).normalized(QString::NormalizationForm_D);
    };
    base.aide({QStringLiteral("50009"), nfd("ÉTIENNE"), nfd("Hélène"), QString(), QString()});
    base.visite({QStringLiteral("00012"), QStringLiteral("50001")});
    base.visite({QStringLiteral("00034"), QStringLiteral("50009")});
    QList<QList<std::pair<double, QString>>> textes;
    for (const char* aidant : {"00012", "00034"}) {
        const QString appel = QString::fromLatin1(aidant) + QStringLiteral("|DUPONT|") +
                              QString::number(kLundi) + QLatin1Char('|') +
                              QString::number(kLundi + 6) + QStringLiteral("|||||||||0|0");
        const Transcription t =
            imprimerEmploi(base.appeler(appel), ParametresEdition{QString::fromLatin1(aidant)});
        QList<std::pair<double, QString>> vus;
        for (const QJsonObject& op : t.ops)
            if (op.value("op").toString() == "text" && op.value("text").toString().contains("50"))
                vus.append({op.value("x").toDouble(),
                            op.value("text").toString().normalized(QString::NormalizationForm_C)});
        ASSERT_FALSE(vus.isEmpty()) << aidant;
        textes << vus;
    }
    ASSERT_EQ(textes[0].size(), textes[1].size());
    for (qsizetype i = 0; i < textes[0].size(); ++i) {
        EXPECT_EQ(textes[0][i].first, textes[1][i].first);
        // The printed text starts with a blank: the code ends at 31.
        EXPECT_EQ(textes[0][i].second.mid(31), textes[1][i].second.mid(31));
    }
}

TEST_F(EditionTest, TheAddressTakesThreeLinesSoTheTelephoneKeepsItsPlace) {
    struct Cas {
        QString rue, complement;
        QStringList attendu;  // the three lines above the telephone, indent 9 for a client
    };
    const QString ville = QStringLiteral("         38000 Grenoble");
    const QList<Cas> cas = {
        {"rue Haute", "Bât. B", {"         12 rue Haute", "         Bât. B", ville}},
        {"", "", {ville, "", ""}},
        {"", "Bât. B", {"         Bât. B", ville, ""}},
        {"rue Haute", "", {"         12 rue Haute", ville, ""}},
    };
    qsizetype place = -1;
    for (const Cas& c : cas) {
        base.aide({QStringLiteral("50009"), QStringLiteral("PONS"), QStringLiteral("Luc"), c.rue,
                   c.complement});
        ParametresEdition p;
        p.codeAide = QStringLiteral("50009");
        const QStringList textes = imprimer(entrees(1), p).textes(1);
        const qsizetype tel = textes.indexOf(QStringLiteral("  Tel    : 0476000000"));
        ASSERT_GT(tel, 3) << qPrintable(c.rue + c.complement);
        EXPECT_EQ(textes.mid(tel - 3, 3), c.attendu) << qPrintable(c.rue + c.complement);
        if (place >= 0) {
            EXPECT_EQ(tel, place);
        }
        place = tel;
    }
}

}  // namespace
