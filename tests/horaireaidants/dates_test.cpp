// The date dialog: its rules without widgets, then the window itself.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "client/outils_communs.h"
#include "controls/horaireaidants/dates_edition.h"
#include "controls/horaireaidants/frm_emploitemps.h"
#include "fixture.h"
#include "platform/message_services.h"

using namespace horaireaidants;
using horaireaidants::test::kLundi;

namespace {

TEST(RegleDates, EightDigitsGainTheirSlashes) {
    const QList<std::pair<QString, QString>> cas = {
        {"01022005", "01/02/2005"}, {"0102200", "0102200"},   {"010220051", "010220051"},
        {"1/2/2005", "1/2/2005"},   {"01/02/05", "01/02/05"}, {"", ""},
        {"10.03.20", "10.03.20"},   {"10-03-20", "10-03-20"}};
    for (const auto& [saisie, attendu] : cas)
        EXPECT_EQ(ajouterBarres(saisie), attendu) << qPrintable(saisie);
}

TEST(RegleDates, PeriodOfAtMostSixtyTwoDaysInOrder) {
    EXPECT_EQ(controlerPeriode(kLundi, kLundi), QString());
    EXPECT_EQ(controlerPeriode(kLundi, kLundi + 62), QString());
    EXPECT_EQ(controlerPeriode(kLundi, kLundi + 63), kAmplitudeTropGrande);
    EXPECT_EQ(controlerPeriode(kLundi, kLundi - 1), kFinAvantDebut);
}

class DialogueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DateDebut = QString::number(kLundi);
        DateFin = QString::number(kLundi + 30);
        DatesValidees = false;
        dialogue = std::make_unique<Frm_emploitemps>();
        dialogue->show();
        QApplication::setActiveWindow(dialogue.get());
    }
    template <class W>
    W* w(const char* nom) {
        return dialogue->findChild<W*>(QString::fromLatin1(nom));
    }
    QLineEdit* debut() { return w<QLineEdit>("Txt_datedebut"); }
    QLineEdit* fin() { return w<QLineEdit>("Txt_datefin"); }
    QPushButton* ok() { return w<QPushButton>("Cmd_Ok"); }
    void saisir(QLineEdit* boite, const QString& texte) {
        boite->setFocus();
        boite->selectAll();
        QTest::keyClick(boite, Qt::Key_Delete);
        QTest::keyClicks(boite, texte);
    }
    void quitter(QLineEdit* boite) {
        QFocusEvent sortie(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(boite, &sortie);
    }

    orv::ScriptedMessageService messages;
    orv::ScopedMessageService service{&messages};
    std::unique_ptr<Frm_emploitemps> dialogue;
};

TEST_F(DialogueTest, LoadsTheProposedDaysAsDates) {
    EXPECT_EQ(dialogue->windowTitle(), QStringLiteral("Emploi du temps"));
    EXPECT_EQ(debut()->text(), QStringLiteral("13/02/2006"));
    EXPECT_EQ(fin()->text(), orv::OutilsCommuns::JourVersDate(kLundi + 30));
    EXPECT_TRUE(ok()->isEnabled());
}

TEST_F(DialogueTest, EightDigitsTypedGainSlashesAndEnableOk) {
    saisir(fin(), QStringLiteral("1504200"));
    EXPECT_FALSE(ok()->isEnabled());
    QTest::keyClicks(fin(), QStringLiteral("6"));
    EXPECT_EQ(fin()->text(), QStringLiteral("15/04/2006"));
    EXPECT_TRUE(ok()->isEnabled());
}

TEST_F(DialogueTest, AnEmptiedBoxIsLeftAloneAndOkStaysDisabled) {
    saisir(debut(), QString());
    quitter(debut());
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_FALSE(ok()->isEnabled());
}

TEST_F(DialogueTest, LeavingABoxNormalisesTheTypedDateOrRefusesIt) {
    saisir(debut(), QStringLiteral("1-2-06"));
    quitter(debut());
    EXPECT_EQ(debut()->text(), QStringLiteral("01/02/2006"));
    EXPECT_TRUE(messages.shown().isEmpty());
    for (const QString& mauvaise : {QStringLiteral("32/01/2006"), QStringLiteral("demain")}) {
        messages.clear();
        saisir(debut(), mauvaise);
        quitter(debut());
        ASSERT_EQ(messages.shown().size(), 1) << qPrintable(mauvaise);
        EXPECT_EQ(messages.shown()[0].text, kErreurSaisieDate);
        EXPECT_EQ(messages.shown()[0].icon, 48);
        EXPECT_TRUE(debut()->hasFocus());
    }
}

TEST_F(DialogueTest, OkAcceptsUpToSixtyTwoDaysAndRefusesMore) {
    struct Cas {
        long fin;
        QString message;
    };
    for (const Cas& c : {Cas{kLundi + 63, kAmplitudeTropGrande}, Cas{kLundi - 1, kFinAvantDebut},
                         Cas{kLundi + 62, QString()}, Cas{kLundi, QString()}}) {
        messages.clear();
        dialogue->show();
        fin()->setText(orv::OutilsCommuns::JourVersDate(c.fin));
        QTest::mouseClick(ok(), Qt::LeftButton);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(messages.shown().isEmpty()) << c.fin;
            EXPECT_TRUE(DatesValidees);
            EXPECT_EQ(DateFin, QString::number(c.fin));
            EXPECT_FALSE(dialogue->isVisible());
        } else {
            ASSERT_EQ(messages.shown().size(), 1) << c.fin;
            EXPECT_EQ(messages.shown()[0].text, c.message);
            EXPECT_FALSE(DatesValidees);
            EXPECT_TRUE(dialogue->isVisible());
        }
    }
}

// A date typed with dots and Enter: the box reads it as on leaving, and Enter presses "Ok";
// with "Ok" disabled, Enter does nothing.
TEST_F(DialogueTest, EnterInADateBoxPressesOkWhenItIsEnabled) {
    saisir(debut(), QString());
    QTest::keyClick(debut(), Qt::Key_Return);
    EXPECT_TRUE(dialogue->isVisible());
    EXPECT_TRUE(messages.shown().isEmpty());
    saisir(debut(), QStringLiteral("13.02.2006"));
    saisir(fin(), QStringLiteral("10-03-06"));
    QTest::keyClick(fin(), Qt::Key_Return);
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_FALSE(dialogue->isVisible());
    EXPECT_TRUE(DatesValidees);
    EXPECT_EQ(DateDebut, QString::number(kLundi));
    EXPECT_EQ(DateFin, QString::number(kLundi + 25));
}

TEST_F(DialogueTest, OnlyOkOrSortirClose) {
    EXPECT_FALSE(dialogue->close());
    QTest::keyClick(dialogue.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialogue->isVisible());
    QTest::mouseClick(w<QPushButton>("Cmd_sortir"), Qt::LeftButton);
    EXPECT_FALSE(dialogue->isVisible());
    EXPECT_FALSE(DatesValidees);
}

}  // namespace
