// The control as a host drives it: members set from text (Requete from a JSON-lines file), Init
// printing on the printer of W_Res, the empty report, step failures shown, objects released.
#include <gtest/gtest.h>

#include <QFile>
#include <QMetaProperty>

#include "controls/traceabsences/ctr_impression.h"
#include "fixture.h"
#include "frame/host_window.h"
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
        hote.setControl(ctrl);
    }
    // Sets the members as orvanelle-module does, then starts the control.
    void lancer(const QString& imprimante, const QStringList& lignes,
                const QStringList& membres = {}) {
        const QString fichier = base.dir.filePath("requete.jsonl");
        QFile f(fichier);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (const QString& l : lignes) f.write(l.toUtf8() + '\n');
        f.close();
        ctrl->setTheDatabase(&base.db());
        ctrl->setDroitsUtilisateur(&droits);
        const QStringList tous =
            QStringList{"W_Deb=" + QString::number(D),
                        "W_DateFin=" + QString::number(D + 27),
                        "W_CongeAbsence=0",
                        "W_Graphique=-1",
                        "Requete=@" + fichier,
                        "W_Res=" + QString::number(orv::PrinterCatalogue::indexOf(imprimante))} +
            membres;
        for (const QString& m : tous)
            orv::setMemberFromText(ctrl, m.section('=', 0, 0), m.section('=', 1));
        ctrl->Init();
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
    orv::HostWindow hote;
    Ctr_Impression* ctrl = new Ctr_Impression;
};

TEST_F(CtrImpressionTest, MembersHaveTheHostTypes) {
    const QMetaObject* m = ctrl->metaObject();
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

TEST_F(CtrImpressionTest, AFailedStepIsShownAndTheReportStillEnds) {
    lancer("Laser", {ligne("10001", D, D + 1), ligne("10002", D, D + 1)}, {"W_Secteur=-1"});
    EXPECT_TRUE(orv::test::lireTranscription(laser).terminee);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].title, orv::kTitreMessage);
    EXPECT_TRUE(messages.shown()[0].text.contains("10002"))
        << messages.shown()[0].text.toStdString();
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
