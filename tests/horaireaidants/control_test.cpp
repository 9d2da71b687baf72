// Edition of the control, from the date dialog to the printed pages, on a transcript printer
// of the catalogue; the dialog is answered from inside its own event loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QTimer>

#include "client/outils_communs.h"
#include "controls/horaireaidants/ctr_editempltps.h"
#include "fixture.h"
#include "frame/host_window.h"
#include "hosting.h"
#include "platform/dialogs.h"
#include "platform/message_services.h"
#include "platform/print_catalogue.h"

using namespace horaireaidants;
using namespace horaireaidants::test;

namespace {

class ControleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        qputenv("ORVANELLE_TODAY", "2006-02-10");
        qputenv("ORVANELLE_SYSTEM_PRINTERS", "0");
        laser = base.dir.filePath(QStringLiteral("l.jsonl"));
        qputenv("ORVANELLE_PRINTERS", ("Laser=transcript:" + laser).toUtf8());
        orv::PrinterCatalogue::reload();
        orv::OutilsCommuns::installDialogues(&dialogues);
        base.aidant({QStringLiteral("00012"), QStringLiteral("MARTIN"), QStringLiteral("Léa")});
        base.aide({QStringLiteral("50001"), QStringLiteral("ÉTIENNE"), QStringLiteral("Hélène")});
        for (int semaine = 0; semaine < 9; ++semaine)
            base.visite({QStringLiteral("00012"), QStringLiteral("50001"), kLundi + 7 * semaine});
        hote.hand(&base.db(), nullptr,
                  {{"W_User", "DUPONT"},
                   {"W_DateVal", QString::number(kLundi)},
                   {"w_datefintemp", QString::number(kLundi + 62)}});
    }
    void TearDown() override { orv::OutilsCommuns::installDialogues(nullptr); }

    // Clicks a button of the date dialog once Edition shows it.
    void repondre(const char* bouton) {
        QTimer::singleShot(0, [bouton] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                d->findChild<QPushButton*>(QLatin1String(bouton))->click();
        });
    }
    void editer(const QString& aidant, const char* bouton = "Cmd_Ok") {
        orv::setMemberFromText(hote.control, QStringLiteral("W_CodAidant"), aidant);
        repondre(bouton);
        QMetaObject::invokeMethod(hote.control, "Edition", Qt::DirectConnection);
    }

    BaseEmploi base;
    QString laser;
    orv::ScriptedMessageService messages;
    orv::ScopedMessageService service{&messages};
    orv::ScriptedDialogues dialogues;
    orv::test::Hosted<Ctr_EditEmplTps> hote;
};

TEST_F(ControleTest, PrintsTheHelpersTimetableLandscape) {
    dialogues.queuePrinter(orv::PrinterCatalogue::indexOf(QStringLiteral("Laser")));
    editer(QStringLiteral("00012"));
    EXPECT_EQ(hote->texteAppel(), QStringLiteral("00012|DUPONT|13924|13986||||||||||"));
    EXPECT_TRUE(messages.shown().isEmpty());
    const Transcription t = lireTranscription(laser);
    EXPECT_TRUE(t.terminee);
    EXPECT_EQ(t.ops.first().value("orientation").toString(), QStringLiteral("landscape"));
    EXPECT_EQ(t.textes(1).filter(QStringLiteral("Aidant : 00012 MARTIN Léa")).size(), 1);
    EXPECT_EQ(t.textes().filter(QStringLiteral("ÉTIENNE Hélène")).size(), 9);
    EXPECT_TRUE(hote->property("W_Sortir").toBool());
}

TEST_F(ControleTest, NothingToPrintIsSaid) {
    dialogues.queuePrinter(orv::PrinterCatalogue::indexOf(QStringLiteral("Laser")));
    editer(QStringLiteral("99999"));
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text, Ctr_EditEmplTps::kAucunEmploi);
    EXPECT_EQ(messages.shown()[0].icon, 48);
    EXPECT_FALSE(QFile::exists(laser));
}

// The routine refuses a code after the dialog and the printer were answered: the user is told
// what failed, the edition ends there and nothing is printed.
TEST_F(ControleTest, ARoutineRefusalIsToldInTheOfficesWords) {
    dialogues.queuePrinter(orv::PrinterCatalogue::indexOf(QStringLiteral("Laser")));
    editer(QStringLiteral("00\"12"));
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text,
              Ctr_EditEmplTps::kEmploiNonPrepare.arg(
                  QStringLiteral("le code « 00\"12 » n'est pas un code d'aidant ou d'aidé")));
    EXPECT_EQ(messages.shown()[0].icon, 48);
    EXPECT_TRUE(lireTranscription(laser).textes().isEmpty());
    EXPECT_TRUE(hote->isEnabled());
}

TEST_F(ControleTest, SortirOrACancelledPrinterPrintNothingAndSayNothing) {
    editer(QStringLiteral("00012"), "Cmd_sortir");
    dialogues.queuePrinter(-1);
    editer(QStringLiteral("00012"));
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_FALSE(QFile::exists(laser));
}

TEST_F(ControleTest, TheReferenceArgumentsComeBackWithTheLastPerson) {
    dialogues.queuePrinter(orv::PrinterCatalogue::indexOf(QStringLiteral("Laser")));
    QString aidant, user = QStringLiteral("DUPONT"), aide, asso, act, tri, select, de, a;
    QString aidantAide = QStringLiteral("AIDE");
    int debut = kLundi, fin = kLundi + 6;
    repondre("Cmd_Ok");
    hote->Edition(aidant, user, debut, fin, aide, asso, act, tri, select, de, a, aidantAide);
    EXPECT_EQ(aide, QStringLiteral("50001"));
    EXPECT_EQ(lireTranscription(laser).textes(1).filter(QStringLiteral("Aidé : 50001")).size(), 1);
}

}  // namespace
