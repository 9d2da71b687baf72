// The control as a host drives it: members set from text (Requete from a JSON-lines file), Init
// printing on the printer of W_Res, the empty report, step failures shown, objects released.
#include <gtest/gtest.h>

#include <QFile>
#include <QMetaProperty>

#include "controls/traceabsences/ctr_impression.h"
#include "fixture.h"
#include "frame/host_window.h"
#include "hosting.h"
#include "platform/message_services.h"
#include "platform/print_catalogue.h"

using namespace traceabsences;
using namespace traceabsences::test;

namespace {

const long D = jour(2005, 1, 3);

class CtrImpressionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        qputenv("ORVANELLE_TODAY", "2005-02-15");
        qputenv("ORVANELLE_SYSTEM_PRINTERS", "0");
        qputenv("ORVANELLE_PRINTERS", QStringLiteral("Epson MatriCielle=transcript:%1;"
                                                     "Laser=transcript:%2")
                                          .arg(matricielle, laser)
                                          .toUtf8());
        orv::PrinterCatalogue::reload();
        base.aidant("10001", "UN");
        base.aidant("10002", "DEUX", "Jean", "C");  // sector C has no SECTEUR record
        droits.add(orv::RightsEntry(Ctr_Impression::kCleDroits, 2));
    }
    // Sets the members as orvanelle-module does, then starts the control.
    void lancer(const QString& imprimante, const QStringList& lignes,
                const QStringList& membres = {}) {
        const QString fichier = base.dir.filePath("requete.jsonl");
        QFile f(fichier);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (const QString& l : lignes) f.write(l.toUtf8() + '\n');
        f.close();
        orv::test::Members tous = {
            {"W_Deb", QString::number(D)},
            {"W_DateFin", QString::number(D + 27)},
            {"W_CongeAbsence", "0"},
            {"W_Graphique", "-1"},
            {"Requete", "@" + fichier},
            {"W_Res", QString::number(orv::PrinterCatalogue::indexOf(imprimante))}};
        for (const QString& m : membres) tous.emplace_back(m.section('=', 0, 0), m.section('=', 1));
        hote.host(&base.db(), &droits, tous);
    }
    QString ligne(const QString& code, long debut, long fin) {
        return QStringLiteral("[\"%1\", \"CP\", %2]").arg(cleAbsence(code, 14, debut)).arg(fin);
    }

    BaseAbsences base;
    QString matricielle = base.dir.filePath("m.jsonl");
    QString laser = base.dir.filePath("l.jsonl");
    orv::Rights droits;
    orv::ScriptedMessageService messages;
    orv::ScopedMessageService messagesEnService{&messages};
    orv::test::Hosted<Ctr_Impression> hote;
    Ctr_Impression*& ctrl = hote.control;  // set before Init, which may throw
};

TEST_F(CtrImpressionTest, MembersHaveTheHostTypes) {
    const QMetaObject* m = &Ctr_Impression::staticMetaObject;
    for (const char* b : {"W_CongeAbsence", "W_Secteur", "W_Commune", "W_Graphique", "W_CongesPrev",
                          "W_ArretTravail", "W_Conges", "W_EvtFam", "W_AValider"})
        EXPECT_STREQ(m->property(m->indexOfProperty(b)).typeName(), "short") << b;
    for (const char* n : {"W_Deb", "W_DateFin", "W_Res"})
        EXPECT_STREQ(m->property(m->indexOfProperty(n)).typeName(), "int") << n;
    EXPECT_TRUE(m->property(m->indexOfProperty("Requete")).isWritable());
}

TEST_F(CtrImpressionTest, InitPrintsTheWholeReportOnThePrinterOfWRes) {
    struct Cas {
        QString imprimante, fichier, orientation;
    };
    for (const Cas& c :
         {Cas{"Laser", laser, "landscape"}, Cas{"Epson MatriCielle", matricielle, "portrait"}}) {
        SCOPED_TRACE(c.imprimante.toStdString());
        lancer(c.imprimante, {ligne("10001", D + 1, D + 3), "[]", ligne("10001", D + 5, D + 6)});
        const orv::test::Transcription t = orv::test::lireTranscription(c.fichier);
        EXPECT_TRUE(t.terminee);
        EXPECT_EQ(t.ops.first().value("orientation").toString(), c.orientation);
        int barres = 0;
        for (const QJsonObject& op : t.ops)
            barres += op.value("op").toString() == "fill" && op.value("y1").toDouble() > 2000;
        EXPECT_EQ(barres, 1);  // the empty second line stops the walk
        EXPECT_TRUE(messages.shown().isEmpty());
        EXPECT_EQ(ctrl->rights(), nullptr);
        EXPECT_TRUE(orv::hostMayClose(ctrl));
        EXPECT_TRUE(ctrl->requeteTexte().isEmpty());
    }
}

TEST_F(CtrImpressionTest, NothingToPrintCancelsTheJobAndSaysSo) {
    for (const QStringList& lignes : {QStringList{}, QStringList{ligne("10009", D, D + 1)}}) {
        messages.clear();
        lancer("Laser", lignes);
        EXPECT_TRUE(orv::test::lireTranscription(laser).annulee);
        ASSERT_EQ(messages.shown().size(), 1);
        EXPECT_EQ(messages.shown()[0].text, Ctr_Impression::kAucunAidant);
        EXPECT_EQ(messages.shown()[0].title, "TraceAbsences");
        EXPECT_EQ(messages.shown()[0].icon, 0);
    }
}

// What could not be printed as asked is shown once the report has ended; a helper of a sector
// without a record is no failure: it is printed under its sector's code.
TEST_F(CtrImpressionTest, RemarksAreShownAfterTheReportEnds) {
    struct Cas {
        QString couleurConges;  // attribute 6 of TPSPARAM "1"
        int messages;
    };
    for (const Cas& c : {Cas{"65280", 0}, Cas{"vert", 1}}) {
        SCOPED_TRACE(c.couleurConges.toStdString());
        messages.clear();
        QFile::remove(laser);
        base.write("TPSPARAM", "1",
                   orv::test::sparseRecord({{6, c.couleurConges}, {7, "255"}, {23, "16711680"}}));
        lancer("Laser", {ligne("10001", D, D + 1), ligne("10002", D, D + 1)}, {"W_Secteur=-1"});
        const orv::test::Transcription t = orv::test::lireTranscription(laser);
        EXPECT_TRUE(t.terminee);
        // Page 2: the heading of sector C, and its helper's line.
        QStringList page2;
        for (const QJsonObject& op : t.ops)
            if (op.value("page").toInt() == 2) page2 << op.value("text").toString();
        EXPECT_TRUE(page2.contains("DEUX Jean            ")) << page2.join('|').toStdString();
        EXPECT_EQ(page2.join(QString()).count("Secteur : C"), 1);
        ASSERT_EQ(messages.shown().size(), c.messages);
        if (c.messages == 0) continue;
        EXPECT_EQ(messages.shown()[0].title, orv::kTitreMessage);
        EXPECT_TRUE(messages.shown()[0].text.contains("TPSPARAM"))
            << messages.shown()[0].text.toStdString();
    }
}

// Members outside their type's range, and periods that end before they start or are longer
// than the report covers, are refused in French before anything is printed.
TEST_F(CtrImpressionTest, OutOfRangeMembersAreRefusedAndNothingIsPrinted) {
    struct Cas {
        QStringList membres;
        QString message;
    };
    const QString fin = "W_DateFin=" + QString::number(D + 27);
    const QList<Cas> cas = {
        {{"W_Deb=-5000000", fin}, "n'est pas une date"},
        {{"W_DateFin=2147483647"}, "n'est pas une date"},
        {{"W_Deb=" + QString::number(D + 28), fin}, "avant son premier jour"},
        {{"W_DateFin=" + QString::number(D + 366)}, "au plus 366"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.membres.join(' ').toStdString());
        messages.clear();
        QFile::remove(laser);
        lancer("Laser", {ligne("10001", D, D + 1)}, c.membres);
        ASSERT_EQ(messages.shown().size(), 1);
        EXPECT_TRUE(messages.shown()[0].text.contains(c.message))
            << messages.shown()[0].text.toStdString();
        EXPECT_TRUE(messages.shown()[0].text.endsWith("rien n'a été imprimé."));
        EXPECT_FALSE(QFile::exists(laser));
        EXPECT_TRUE(orv::hostMayClose(ctrl));
    }
    // A whole year is printed.
    messages.clear();
    lancer("Laser", {ligne("10001", D, D + 1)}, {"W_DateFin=" + QString::number(D + 365)});
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_TRUE(orv::test::lireTranscription(laser).terminee);
    // Numbers beyond a member's type are refused as they are given, never wrapped.
    for (const auto& [membre, valeur] :
         QList<std::pair<const char*, QString>>{{"W_Deb", QString::number((1LL << 32) + D)},
                                                {"W_DateFin", "-2147483649"},
                                                {"W_Secteur", "65535"},
                                                {"W_Res", "99999999999999999999"}}) {
        SCOPED_TRACE(membre);
        const int avant = ctrl->property(membre).toInt();
        EXPECT_THROW(orv::setMemberFromText(ctrl, membre, valeur), std::invalid_argument);
        EXPECT_EQ(ctrl->property(membre).toInt(), avant);
    }
}

TEST_F(CtrImpressionTest, BadHostInputIsRefusedInFrench) {
    lancer("Laser", {ligne("10001", D, D + 1)}, {"W_Res=99"});
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.shown()[0].text.contains("imprimante numéro 99"));
    EXPECT_FALSE(QFile::exists(laser));
    EXPECT_THROW(orv::setMemberFromText(ctrl, "Requete", "@/pas/de/fichier"),
                 std::invalid_argument);
}

}  // namespace
