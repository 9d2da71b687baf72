// The printed statement, read back from the transcript printer.
#include <gtest/gtest.h>

#include <QDir>

#include "controls/declartrim/releve_dnt.h"
#include "fixture.h"
#include "platform/printer.h"

using namespace declartrim;
using namespace declartrim::test;

namespace {

const QString kEntete1 = QStringLiteral(
    "Code  Numéro affiliation       Nom Prenom                  S.s     S.s    CSG   CRDS   "
    "Form.  Ret.   ASSE-  Prév.  Régul.  Total");
const QString kEntete2 = QStringLiteral(
    "aidé       URSSAF                                          N.Exo   Exo                 "
    "prof.  IRCEM   DIC   IRCEM");

QString sp(int n) { return QString(n, QLatin1Char(' ')); }
QString d(const QString& s, int w) { return s.rightJustified(w); }

// The ten amounts of a row or total line, read at their columns (the regularisation column
// with its sign).
QList<qint64> montants(const QString& line) {
    QList<qint64> out;
    for (int k = 0; k < 8; ++k) out << line.mid(57 + 7 * k, 7).trimmed().toLongLong();
    out << line.mid(113, 8).trimmed().toLongLong() << line.mid(121, 8).trimmed().toLongLong();
    return out;
}

// A row: a five-digit helper code and a blank.
bool estLigneDetail(const QString& text) {
    return text.size() > 6 && text.left(5).toInt() > 0 && text[5] == QLatin1Char(' ');
}

QList<qint64> plus(QList<qint64> a, const QList<qint64>& b) {
    for (int i = 0; i < a.size(); ++i) a[i] += b.value(i);
    return a;
}

class ReleveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        qputenv("ORVANELLE_TODAY", "2005-02-15");
        base.ecrire(
            "ASSOCIATION", "001",
            {"ADMR Vallée", "", "12", "rue des Lilas", "", "Bât. C", "BP 4", "38000", "Grenoble"});
        base.ecrire("CENTREURSSAF", "38",
                    {"URSSAF de l'Isère", "", "", "", "", "", "", "38046", "Grenoble Cedex", "", "",
                     "", "", "", "", "000"});
    }

    Transcription imprimer(const QStringList& cles, const QString& imprimante = "Laser",
                           bool paysage = true) {
        const QString path = base.dir.filePath(QStringLiteral("releve.jsonl"));
        QFile::remove(path);
        orv::Printer printer(orv::PrinterEntry{imprimante, orv::PrinterKind::Transcript, path});
        if (paysage) printer.setOrientation(orv::PrinterOrientation::Landscape);
        releve = std::make_unique<ReleveDnt>(base.db(), printer);
        releve->setDonnees({selection(cles), lire("ASSOCIATION", "001"), lire("CENTREURSSAF", "38"),
                            QStringLiteral("4ème TRIMESTRE 2004")});
        releve->GestionRequete();
        printer.endDoc();
        return lireTranscription(path);
    }
    dba::Record lire(const QString& fichier, const QString& cle) {
        return base.db().OpenFile(fichier)->Read(cle);
    }
    static dba::Record selection(const QStringList& cles) {
        dba::Record r;
        for (int i = 0; i < cles.size(); ++i) r.put(i + 1, 1, cles[i]);
        return r;
    }
    static QString cle(const QString& code) { return code + QStringLiteral("0013820044"); }
    QStringList cles(int n) {
        QStringList out;
        for (int i = 1; i <= n; ++i) out << cle(QString::number(10000 + i));
        return out;
    }
    QString ligneUnique(const Transcription& t, const QString& debut) {
        const auto l = t.commencantPar(debut);
        EXPECT_EQ(l.size(), 1) << debut.toStdString();
        return l.isEmpty() ? QString() : l.first().text;
    }

    BaseReleve base;
    std::unique_ptr<ReleveDnt> releve;
};

}  // namespace

TEST_F(ReleveTest, ThreeRowsOnOnePagePrintTheWholeSequenceOfLines) {
    base.aide("10001", "DURAND", "Élodie", "1234567890123");
    base.aide("10002", "MARTIN", "Jean", "2345678901234");
    base.aide("10003", "ÉTIENNE-DE-LA-GRANDE-MAISON", "Anne", "3456789012345");
    base.declaration("10001", {"100", "20", "30", "40", "50", "60", "70", "80"});
    base.declaration("10002", {"200", "10"}, "12");
    base.declaration("10003", {"", "5", "5"}, "0");
    const Transcription t = imprimer({cle("10001"), cle("10002"), cle("10003")});

    const QString totaux = d("300", 14) + d("35", 7) + d("35", 7) + d("40", 7) + d("50", 7) +
                           d("60", 7) + d("70", 7) + d("80", 7) + d("-12", 8) + d("658", 8);
    const QStringList attendu = {
        "",
        "Date : 15/02/2005" + sp(105) + "Page : 1",
        "",
        sp(30) + "RELEVE DES DECLARATIONS NOMINATIVES TRIMESTRIELLES DU 4ème TRIMESTRE 2004",
        "",
        "Entité juridique : ADMR Vallée",
        sp(19) + "12 rue des Lilas Bât. C",
        sp(19) + "BP 4",
        sp(19) + "38000 Grenoble",
        "",
        "Centre URSSAF    : URSSAF de l'Isère",
        sp(19) + "38046 Grenoble Cedex",
        "",
        kEntete1,
        kEntete2,
        "",
        "10001 " + QString("1234567890123").leftJustified(24) + " " +
            QString("DURAND Élodie").leftJustified(26) + d("100", 7) + d("20", 7) + d("30", 7) +
            d("40", 7) + d("50", 7) + d("60", 7) + d("70", 7) + d("80", 7) + d("0", 8) +
            d("450", 8),
        "10002 " + QString("2345678901234").leftJustified(24) + " " +
            QString("MARTIN Jean").leftJustified(26) + d("200", 7) + d("10", 7) + sp(42) +
            d("-12", 8) + d("198", 8),
        "10003 " + QString("3456789012345").leftJustified(24) + " ÉTIENNE-DE-LA-GRANDE-MAISO" +
            sp(7) + d("5", 7) + d("5", 7) + sp(35) + d("0", 8) + d("10", 8),
        "",
        sp(34) + "Total de la page" + totaux,
        "",
        sp(34) + "Total général" + sp(3) + totaux,
    };
    EXPECT_EQ(t.textes(), attendu);
    EXPECT_EQ(kEntete1.size(), 128);
    EXPECT_EQ(kEntete2.size(), 113);
    EXPECT_EQ(t.pages, 1);
    EXPECT_TRUE(t.terminee);
    for (const Ligne& l : t.lignes) {
        if (l.text.isEmpty()) continue;
        EXPECT_EQ(l.font, QStringLiteral("Courier New"));
        EXPECT_EQ(l.size, 10);
        EXPECT_EQ(l.bold, l.text.contains(QStringLiteral("RELEVE DES"))) << l.text.toStdString();
    }
    // The last character of every amount column, counted in characters.
    const QString premiere = t.lignes[16].text;
    EXPECT_EQ(premiere.size(), 129);
    EXPECT_EQ(premiere.indexOf(QStringLiteral(" 100 ")) + 4, 64);
    EXPECT_EQ(premiere.lastIndexOf(QStringLiteral("450")) + 3, 129);
    // Every row ends at the same column, whatever contributions it has.
    for (int r = 16; r <= 18; ++r) EXPECT_EQ(t.lignes[r].text.size(), 129) << r;
    // The empty first contribution of 10003, followed by others, is reported.
    ASSERT_EQ(releve->anomalies().size(), 1);
    EXPECT_TRUE(releve->anomalies()[0].contains(cle("10003")) &&
                releve->anomalies()[0].contains(QStringLiteral("attribut 6")));
}

TEST_F(ReleveTest, PageBreakCarriesThePageTotalsForward) {
    base.declarations(75);
    const Transcription t = imprimer(cles(75));
    ASSERT_EQ(t.pages, 3);

    QList<qint64> report(10, 0);
    for (int page = 1; page <= t.pages; ++page) {
        QList<qint64> somme(10, 0);
        for (const Ligne& l : t.lignes)
            if (l.page == page && estLigneDetail(l.text)) somme = plus(somme, montants(l.text));
        const auto totalPage = t.commencantPar(QStringLiteral("Total de la page"));
        ASSERT_EQ(totalPage.size(), 3);
        EXPECT_EQ(totalPage[page - 1].page, page);
        EXPECT_EQ(montants(totalPage[page - 1].text), somme) << "page " << page;
        const auto reports = t.commencantPar(QStringLiteral("Report"));
        if (page > 1) {
            EXPECT_EQ(reports[page - 2].page, page);
            EXPECT_EQ(montants(reports[page - 2].text), report) << "page " << page;
        }
        report = plus(report, somme);
        const QStringList textes = t.textes(page);
        EXPECT_TRUE(textes[1].endsWith(QStringLiteral("Page : %1").arg(page)));
        EXPECT_EQ(textes.count(kEntete1), 1);
    }
    EXPECT_EQ(t.commencantPar(QStringLiteral("Report")).size(), 2);
    const QString general = ligneUnique(t, QStringLiteral("Total général"));
    EXPECT_EQ(montants(general), report);
    // 75 rows of i, 10, 1 to 6 and a regularisation of 1.
    EXPECT_EQ(report[0], 75 * 76 / 2);
    EXPECT_EQ(report[7], 75 * 6);
    EXPECT_EQ(report[8], -75);
    EXPECT_EQ(report[9], 75 * 76 / 2 + 75 * 30);
}

TEST_F(ReleveTest, PagesBreakAt10800TwipsOr15600OnAMatrixPrinter) {
    base.declarations(120);
    struct Cas {
        QString imprimante;
        bool paysage;
        int limite;
    };
    for (const Cas& c : {Cas{"Laser", true, 10800}, Cas{"Epson matriCielle", false, 15600}}) {
        const Transcription t = imprimer(cles(120), c.imprimante, c.paysage);
        ASSERT_GE(t.pages, 2) << c.imprimante.toStdString();
        for (int page = 1; page < t.pages; ++page) {
            QList<Ligne> lignes;
            for (const Ligne& l : t.lignes)
                if (l.page == page && estLigneDetail(l.text)) lignes << l;
            ASSERT_GE(lignes.size(), 2);
            const double hauteur = lignes[1].y - lignes[0].y;
            const double derniere = lignes.last().y;
            EXPECT_LT(derniere + 240, c.limite) << c.imprimante.toStdString();
            EXPECT_GE(derniere + hauteur + 240, c.limite) << c.imprimante.toStdString();
        }
    }
}

TEST_F(ReleveTest, RegularisationPrintsWithAMinusSignAndIsTakenOffTheRow) {
    base.aide("10001", "DURAND", "Élodie", "1");
    base.declaration("10001", {"100", "50", "0", "0", "0", "0", "0", "0"}, "12");
    const Transcription t = imprimer({cle("10001")});
    const QString row = ligneUnique(t, QStringLiteral("10001"));
    EXPECT_EQ(row.mid(113, 8), QStringLiteral("     -12"));
    EXPECT_EQ(row.mid(121, 8), QStringLiteral("     138"));
    const QString page = ligneUnique(t, QStringLiteral("Total de la page"));
    EXPECT_EQ(page.mid(113, 8), QStringLiteral("     -12"));
    EXPECT_EQ(page.mid(121, 8), QStringLiteral("     138"));
}

TEST_F(ReleveTest, CentrePrefixGoesBeforeTheAffiliationNumberExceptFor000) {
    base.aide("10001", "DURAND", "Élodie", "  1234567890123456789012 ");
    base.declaration("10001", {"1"});
    QString row = ligneUnique(imprimer({cle("10001")}), QStringLiteral("10001"));
    EXPECT_EQ(row.mid(6, 25), QStringLiteral("1234567890123456789012   "));

    base.ecrire("CENTREURSSAF", "38",
                {"URSSAF", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "117"});
    row = ligneUnique(imprimer({cle("10001")}), QStringLiteral("10001"));
    EXPECT_EQ(row.mid(6, 25), QStringLiteral("117123456789012345678901 "));
    EXPECT_EQ(row.mid(31, 13), QStringLiteral("DURAND Élodie"));
}

TEST_F(ReleveTest, Attribute17IsAddedIntoTheFirstColumn) {
    base.aide("10001", "A", "B", "1");
    base.aide("10002", "C", "D", "2");
    base.declaration("10001", {"100", "7"}, "", "40");
    base.declaration("10002", {"", "7"}, "", "40");
    const Transcription t = imprimer({cle("10001"), cle("10002")});
    EXPECT_EQ(ligneUnique(t, "10001").mid(57, 7), QStringLiteral("    140"));
    EXPECT_TRUE(ligneUnique(t, "10001").endsWith(QStringLiteral("      0     147")));
    EXPECT_EQ(ligneUnique(t, "10002").mid(57, 7), QStringLiteral("     40"));
    // Nothing is written back.
    EXPECT_EQ(lire("DETAILCHGPARTEMP", cle("10001")).get(6), QStringLiteral("100"));
}

TEST_F(ReleveTest, EntityWithoutAddressPrintsNoAddressNorTownLine) {
    base.ecrire("ASSOCIATION", "001", {"ADMR Nord"});
    base.aide("10001", "A", "B", "1");
    base.declaration("10001", {"1"});
    const QStringList textes = imprimer({cle("10001")}).textes();
    const int i = textes.indexOf(QStringLiteral("Entité juridique : ADMR Nord"));
    ASSERT_GE(i, 0);
    EXPECT_EQ(textes[i + 1], QString());
    EXPECT_EQ(textes[i + 2], QStringLiteral("Centre URSSAF    : URSSAF de l'Isère"));
}

TEST_F(ReleveTest, AnEmptyContributionKeepsItsColumnCountsZeroAndIsNoted) {
    base.aide("10001", "A", "B", "1");
    base.declaration("10001", {"1", "2", "", "4", "5"}, "0");
    const Transcription t = imprimer({cle("10001")});
    // The later contributions stay under their own headings and count.
    EXPECT_EQ(ligneUnique(t, "10001").mid(57), d("1", 7) + d("2", 7) + sp(7) + d("4", 7) +
                                                   d("5", 7) + sp(21) + d("0", 8) + d("12", 8));
    EXPECT_TRUE(ligneUnique(t, QStringLiteral("Total général")).endsWith(d("12", 8)));
    ASSERT_EQ(releve->anomalies().size(), 1);
    EXPECT_TRUE(releve->anomalies()[0].contains(QStringLiteral("attribut 8")));
}

TEST_F(ReleveTest, TotalsBeyond32BitsArePrintedWholeWithoutCutting) {
    base.aide("10001", "A", "B", "1");
    base.aide("10002", "C", "D", "2");
    base.declaration("10001", {"2000000000"});
    base.declaration("10002", {"30000", "1"}, "", "30000");
    const Transcription t = imprimer({cle("10001"), cle("10002")});
    EXPECT_TRUE(ligneUnique(t, "10001").contains(QStringLiteral(" 2000000000 ")));
    EXPECT_EQ(ligneUnique(t, "10002").mid(57, 7), QStringLiteral("  60000"));
    const QString general = ligneUnique(t, QStringLiteral("Total général"));
    EXPECT_EQ(general.split(' ', Qt::SkipEmptyParts).mid(2, 1),
              QStringList{QStringLiteral("2000060000")});
    EXPECT_TRUE(general.endsWith(QStringLiteral("       0 2000060001")));
    // The figure wider than its column is reported; the row of normal widths is not.
    ASSERT_EQ(releve->anomalies().size(), 1);
    EXPECT_TRUE(releve->anomalies()[0].contains(cle("10001")));
}

TEST_F(ReleveTest, NonNumericAmountsAndMissingRecordsAreNotedAndCountAsZero) {
    base.aide("10001", "A", "B", "1");
    base.declaration("10001", {"100", "12,5", "3"}, "x");
    base.declaration("10009", {"7"});  // no CIVILAIDE nor ELTSPARTEMP record
    const Transcription t = imprimer({cle("10001"), cle("10009"), cle("10001")});
    const auto rows = t.commencantPar("10001");
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].text.mid(57),
              d("100", 7) + d("0", 7) + d("3", 7) + sp(35) + d("0", 8) + d("103", 8));
    const QString manquant = ligneUnique(t, "10009");
    EXPECT_EQ(manquant.left(6), QStringLiteral("10009 "));
    EXPECT_EQ(manquant.mid(57), d("7", 7) + sp(49) + d("0", 8) + d("7", 8));
    // Without its payroll record the affiliation is blank, not the centre prefix alone.
    EXPECT_EQ(manquant.mid(6, 24).trimmed(), QString());

    const QStringList notes = releve->anomalies();
    ASSERT_EQ(notes.size(), 4) << notes.join('\n').toStdString();
    EXPECT_TRUE(notes[0].contains(cle("10001")) && notes[0].contains("« 12,5 »"));
    EXPECT_TRUE(notes[1].contains("« x »"));
    EXPECT_TRUE(notes[2].contains(cle("10009")) && notes[2].contains("CIVILAIDE"));
    EXPECT_TRUE(notes[3].contains("ELTSPARTEMP"));
}

TEST_F(ReleveTest, NegativeRegularisationIsACredit) {
    base.aide("10001", "A", "B", "1");
    base.declaration("10001", {"100"}, "-5");
    const QString row = ligneUnique(imprimer({cle("10001")}), "10001");
    EXPECT_EQ(row.mid(57), QStringLiteral("    100") + sp(49) + QStringLiteral("       5     105"));
}

TEST_F(ReleveTest, ClosingLinesNeverLandOnAPageWithoutHeading) {
    // Around the number of rows that fills the first page, the page total and the grand total
    // either fit below the last row or move to a new page that starts with its heading.
    base.declarations(40);
    for (int n = 26; n <= 40; ++n) {
        const Transcription t = imprimer(cles(n));
        for (int page = 1; page <= t.pages; ++page) {
            const QStringList textes = t.textes(page);
            ASSERT_GE(textes.size(), 2) << n << " lignes, page " << page;
            EXPECT_TRUE(textes[1].startsWith(QStringLiteral("Date : "))) << n << "/" << page;
            EXPECT_TRUE(textes.contains(kEntete1)) << n << "/" << page;
        }
        const Ligne general = t.commencantPar(QStringLiteral("Total général")).value(0);
        EXPECT_EQ(general.page, t.pages) << n;
        EXPECT_EQ(t.commencantPar(QStringLiteral("Total de la page")).last().page, t.pages) << n;
    }
}

TEST_F(ReleveTest, AFigureWiderThanItsColumnStaysWholeInsideThePage) {
    base.aide("10001", "A", "B", "1");
    base.declaration("10001", {"100012345678", "11", "11", "11", "11", "11", "11", "0"});
    const QString row = ligneUnique(imprimer({cle("10001")}), "10001");
    EXPECT_TRUE(row.endsWith(QStringLiteral(" 100012345744"))) << row.toStdString();
    // Landscape A4 holds 137 characters of Courier New 10.
    EXPECT_LE(row.size(), 137);
    EXPECT_EQ(releve->anomalies().size(), 1);
}
