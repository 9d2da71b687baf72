// The invoice selection control on a small database: the start, the activity options of an
// entity, the responsible or sector, the bounds, the checks of "OK", the empty selection and
// the hand-off to the edit control.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "client/dba.h"
#include "controls/archivesenvoi/ctr_repdemat.h"
#include "hosting.h"
#include "platform/message_services.h"
#include "schema/attributes.h"
#include "testkit.h"

namespace {

using archivesenvoi::Ctr_RepDemat;
using orv::test::sparseRecord;

// What the control handed to the edit control, in the order it did.
class EditionEssai : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QObject* TheDatabase READ objet WRITE setTheDatabase)
    Q_PROPERTY(QObject* TheClient READ objet WRITE setTheClient)
  public:
    using QWidget::QWidget;
    QObject* objet() const { return nullptr; }
    void setTheDatabase(QObject*) { appels << QStringLiteral("TheDatabase"); }
    void setTheClient(QObject*) { appels << QStringLiteral("TheClient"); }
    Q_INVOKABLE void EditerFactures(const QString& factures, bool drapeau, const QString& user,
                                    int nombre, bool preimp) {
        appels << QStringLiteral("EditerFactures");
        recu = dba::Record(factures);
        arguments = {drapeau, user, nombre, preimp};
    }
    QStringList appels;
    dba::Record recu;
    QVariantList arguments;
};

// Entity 001 (preprinted documents) with two "P" activities, 002 with "S", "M" and "I"
// activities, 003 without activity, 004 with only an "S" activity; two responsibles, one
// sector, three invoices. The pay period is December 2004 and the clock in January 2005.
class RepDematTest : public ::testing::Test {
  protected:
    void SetUp() override {
        qputenv("ORVANELLE_TODAY", "2005-01-15");
        qputenv("USER", "dupond");
        base_.dictionary("ACTIVITES", QStringLiteral("LibAssoActivites"), 0, "T1,3", "3L");
        namespace a = orv::attr::archivefact;
        const std::pair<const char*, int> items[] = {{"AssocArcFact", a::Entite},
                                                     {"PeriodeArcFact", a::Periode},
                                                     {"ActiviteArcFact", a::Mode},
                                                     {"CodeRespArcFact", a::Responsable},
                                                     {"CodeSectArcFact", a::Secteur},
                                                     {"NomAideArcFact", a::NomClient},
                                                     {"PrenomAideArcFact", a::PrenomClient},
                                                     {"NumFactArcFact", a::NumeroFacture},
                                                     {"NomAdrArcFact", a::NomAdresse},
                                                     {"ComAdrArcFact", a::CommuneAdresse},
                                                     {"LibComArcFact", a::Commune}};
        for (const auto& [item, attribut] : items)
            base_.dictionary("ARCHIVEFACT", QString::fromLatin1(item), attribut);
        base_.write("ASSOCIATION", "001", sparseRecord({{1, "TOUT PRESTA"}, {50, "1"}}));
        base_.write("ASSOCIATION", "002", {"MANDAT INTER"});
        base_.write("ASSOCIATION", "003", {"SANS ACTIVITE"});
        base_.write("ASSOCIATION", "004", {"SERVICES"});
        for (const char* activite :
             {"001001P", "001002P", "002001S", "002002M", "002003I", "004001S"})
            base_.write("ACTIVITES", QString::fromLatin1(activite, 6),
                        sparseRecord({{1, "activité"}, {12, QString::fromLatin1(activite + 6)}}));
        base_.write("RESPONSABLE", "001", {"DURAND"});
        base_.write("RESPONSABLE", "002", {"ALBERT"});
        base_.write("SECTEUR", "001", {"NORD"});
        base_.write("PERIODESPAIE", "1", {"200412"});
        // entity, period, mode, activity, responsible, sector, client, name, first name, number
        base_.write(
            "ARCHIVEFACT", "001PA0000000001",
            {"001", "200501", "P", "001001", "001", "001", "C1", "MARTIN", "Paul", "0000000001"});
        base_.write(
            "ARCHIVEFACT", "001PA0000000002",
            {"001", "200501", "P", "001001", "002", "001", "C2", "ABEL", "Anne", "0000000002"});
        base_.write(
            "ARCHIVEFACT", "001PA0000000003",
            {"001", "200412", "P", "001001", "001", "001", "C3", "BRUN", "Léa", "0000000003"});
    }

    // The values of attribute 1 of a stored request record (10), or its first attributes.
    QStringList stocke(const char* file, const QString& key, int attributs = 0) {
        auto r = base_.engine->read(file, key.toStdString());
        if (!r) return {QStringLiteral("<absent>")};
        QStringList valeurs;
        for (int i = 1; i <= (attributs ? attributs : 10); ++i)
            valeurs << QString::fromStdString(attributs ? r->extractString(i)
                                                        : r->extractString(1, i));
        return valeurs;
    }

    // The edit control: `edition_`, none, or the export plugin created by its identifier.
    enum class Edition { Essai, Absente, Plugin };
    // The edit control is created only when "OK" hands the selection over.
    orv::test::Hosted<Ctr_RepDemat> control(Edition edition = Edition::Essai) {
        orv::test::Hosted<Ctr_RepDemat> c;
        c.client = base_.client.get();
        c.host(base_.database, nullptr);
        if (edition != Edition::Plugin)
            c->setFabriqueEdition([this, edition](QWidget* parent, QString* erreur) -> QWidget* {
                ++creations_;
                if (edition == Edition::Essai) return edition_ = new EditionEssai(parent);
                *erreur = QStringLiteral("introuvable");
                return nullptr;
            });
        return c;
    }
    template <class W = QLineEdit>
    static W* w(Ctr_RepDemat& c, const char* name) {
        W* widget = c.findChild<W*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static void entite(Ctr_RepDemat& c, const char* code) {
        w(c, "Txt_CodAssoc")->setText(QString::fromLatin1(code));
    }
    // Entity 001, January 2005 to January 2005, then "OK", which must show no message.
    void okEnJanvier(Ctr_RepDemat& c) {
        entite(c, "001");
        w<QComboBox>(c, "Cbo_PeriodeMois1")->setCurrentIndex(0);
        w<QComboBox>(c, "Cbo_PeriodeMois2")->setCurrentIndex(0);
        w<QPushButton>(c, "Cmd_Ok")->click();
        EXPECT_TRUE(messages_.shown().isEmpty()) << textes().join(" | ").toStdString();
    }
    static void quitter(QWidget* box, QWidget* ailleurs) {
        box->setFocus();
        ailleurs->setFocus();
    }
    QStringList textes() const {
        QStringList t;
        for (const orv::ShownMessage& m : messages_.shown()) t << m.text;
        return t;
    }

    orv::test::TempDatabase base_{{"ASSOCIATION", "ACTIVITES", "RESPONSABLE", "SECTEUR",
                                   "PERIODESPAIE", "ARCHIVEFACT", "CIVILAIDE", "TEMPO"}};
    EditionEssai* edition_ = nullptr;
    int creations_ = 0;
    orv::ScriptedMessageService messages_;
    orv::ScopedMessageService scope_{&messages_};
};

TEST_F(RepDematTest, StartShowsThePayPeriodMonthAndTheClockYear) {
    auto c = control();
    for (const char* mois : {"Cbo_PeriodeMois1", "Cbo_PeriodeMois2"})
        EXPECT_EQ(w<QComboBox>(*c, mois)->currentText(), QStringLiteral("Décembre"));
    EXPECT_EQ(w(*c, "Txt_AnneeDeb")->text(), QStringLiteral("2005"));
    EXPECT_EQ(w(*c, "Txt_AnneeFin")->text(), QStringLiteral("2005"));
    // Entity 004 has only "S" activities: it is not offered.
    auto* entites = w<QComboBox>(*c, "Cbo_SigleAssoc");
    ASSERT_EQ(entites->count(), 2);
    EXPECT_EQ(entites->itemText(1), QStringLiteral("MANDAT INTER"));
    // Responsibles by name; sectors are read only when "Secteur" is chosen.
    auto* noms = w<QComboBox>(*c, "Cbo_Select");
    EXPECT_EQ(noms->itemText(0), QStringLiteral("ALBERT"));
    EXPECT_FALSE(c->secteursCharges());
    EXPECT_TRUE(w<QRadioButton>(*c, "Opt_TriAlpha")->isChecked());
    EXPECT_FALSE(w<QPushButton>(*c, "Cmd_Ok")->isEnabled());
    // A key on one selection option moves the focus to the other.
    auto* resp = w<QRadioButton>(*c, "Opt_Resp");
    auto* sect = w<QRadioButton>(*c, "Opt_Sect");
    resp->setFocus();
    QTest::keyClick(resp, Qt::Key_A);
    EXPECT_TRUE(sect->hasFocus());
    EXPECT_TRUE(resp->isChecked());
    QTest::keyClick(sect, Qt::Key_1);
    EXPECT_TRUE(resp->hasFocus());
    sect->click();
    EXPECT_TRUE(c->secteursCharges());
    EXPECT_EQ(noms->count(), 1);
    EXPECT_EQ(noms->itemText(0), QStringLiteral("NORD"));
    EXPECT_TRUE(messages_.shown().isEmpty()) << textes().join(" | ").toStdString();
}

TEST_F(RepDematTest, ActivityOptionsFollowTheEntity) {
    struct {
        const char* code;
        bool presta, mandat, inter;
        const char* choisie;
        bool preimp, ok;
    } cas[] = {{"001", true, false, false, "Opt_Prestataire", true, true},
               {"002", false, true, true, "Opt_Mandataire", false, true},
               {"003", false, false, false, nullptr, false, false}};
    auto c = control();
    for (const auto& e : cas) {
        SCOPED_TRACE(e.code);
        entite(*c, e.code);
        EXPECT_EQ(w<QRadioButton>(*c, "Opt_Prestataire")->isEnabled(), e.presta);
        EXPECT_EQ(w<QRadioButton>(*c, "Opt_Mandataire")->isEnabled(), e.mandat);
        EXPECT_EQ(w<QRadioButton>(*c, "Opt_Intermediaire")->isEnabled(), e.inter);
        for (const char* o : {"Opt_Prestataire", "Opt_Mandataire", "Opt_Intermediaire"})
            EXPECT_EQ(w<QRadioButton>(*c, o)->isChecked(), e.choisie && !qstrcmp(o, e.choisie))
                << o;
        EXPECT_EQ(w<QCheckBox>(*c, "Cac_Preimp")->isChecked(), e.preimp);
        EXPECT_EQ(w<QPushButton>(*c, "Cmd_Ok")->isEnabled(), e.ok);
        EXPECT_EQ(w<QRadioButton>(*c, "Opt_Aide")->isChecked(), e.ok);
    }
    // A shorter code returns to incomplete criteria with the default options.
    w<QRadioButton>(*c, "Opt_TriCom")->click();
    entite(*c, "00");
    EXPECT_FALSE(w<QPushButton>(*c, "Cmd_Ok")->isEnabled());
    EXPECT_FALSE(w<QGroupBox>(*c, "Fra_Borne")->isEnabled());
    EXPECT_TRUE(w<QRadioButton>(*c, "Opt_TriAlpha")->isChecked());
}

TEST_F(RepDematTest, TypedCodesLoadTheirRecords) {
    // Each key changes the code; the control is busy for a moment after each, which must not
    // count as leaving the box (that would pad "0" to "000").
    auto c = control();
    QLineEdit* code = w(*c, "Txt_CodAssoc");
    code->setFocus();
    QTest::keyClicks(code, QStringLiteral("002"));
    EXPECT_EQ(code->text(), QStringLiteral("002"));
    EXPECT_TRUE(code->hasFocus());
    EXPECT_TRUE(w<QRadioButton>(*c, "Opt_Mandataire")->isChecked());
    // A responsible code shows its name and starts the bounds again; an unknown one is refused.
    w(*c, "Txt_BorneDeb")->setText(QStringLiteral("M"));
    QTest::keyClicks(w(*c, "Txt_Select"), QStringLiteral("1"));
    QTest::keyClick(w(*c, "Txt_Select"), Qt::Key_Return);
    EXPECT_EQ(w<QComboBox>(*c, "Cbo_Select")->currentText(), QStringLiteral("DURAND"));
    EXPECT_TRUE(w(*c, "Txt_BorneDeb")->text().isEmpty());
    EXPECT_TRUE(messages_.shown().isEmpty()) << textes().join(" | ").toStdString();
    w(*c, "Txt_Select")->setText(QStringLiteral("009"));
    EXPECT_EQ(textes(), QStringList{Ctr_RepDemat::kMsgResponsableInconnu});
    EXPECT_TRUE(w(*c, "Txt_Select")->text().isEmpty());
    w<QComboBox>(*c, "Cbo_Select")->setCurrentIndex(0);  // ALBERT
    EXPECT_EQ(w(*c, "Txt_Select")->text(), QStringLiteral("002"));
}

TEST_F(RepDematTest, BoundsAreFilteredPaddedAndUpperCased) {
    auto c = control();
    entite(*c, "001");
    QLineEdit* deb = w(*c, "Txt_BorneDeb");
    QLineEdit* fin = w(*c, "Txt_BorneFin");
    auto* ok = w<QPushButton>(*c, "Cmd_Ok");
    EXPECT_EQ(deb->maxLength(), 50);
    QTest::keyClicks(deb, QStringLiteral("a1b-"));
    quitter(deb, fin);
    EXPECT_EQ(deb->text(), QStringLiteral("AB"));
    EXPECT_TRUE(ok->isEnabled());

    w<QRadioButton>(*c, "Opt_NumFact")->click();
    EXPECT_TRUE(deb->text().isEmpty());
    EXPECT_EQ(deb->maxLength(), 10);
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(deb, QStringLiteral("4x2"));
    quitter(deb, fin);
    EXPECT_EQ(deb->text(), QStringLiteral("0000000042"));
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(fin, QStringLiteral("50"));
    EXPECT_TRUE(ok->isEnabled());
    fin->clear();
    EXPECT_FALSE(ok->isEnabled());

    // Enter in the start box moves on to the end box.
    w<QRadioButton>(*c, "Opt_Aide")->click();
    QTest::keyClicks(deb, QStringLiteral("mar"));
    QTest::keyClick(deb, Qt::Key_Return);
    EXPECT_EQ(deb->text(), QStringLiteral("MAR"));
    EXPECT_TRUE(fin->hasFocus());
}

TEST_F(RepDematTest, OkChecksThePeriodsThenTheBoundsAndMayFindNothing) {
    struct {
        const char *anneeDeb, *anneeFin;
        int moisDeb, moisFin;
        QString message;
    } cas[] = {{"2005", "2004", 0, 0, archivesenvoi::kMsgPeriodesOrdre},
               {"2005", "2005", 2, 1, archivesenvoi::kMsgPeriodesOrdre},
               {"", "2005", 0, 0, archivesenvoi::kMsgPeriodesVides},
               {"2005", "2005", 2, 2, Ctr_RepDemat::kMsgPasDeFacture}};
    auto c = control();
    for (const auto& p : cas) {
        SCOPED_TRACE(p.moisFin);
        messages_.clear();
        entite(*c, "001");
        w(*c, "Txt_AnneeDeb")->setText(QString::fromLatin1(p.anneeDeb));
        w(*c, "Txt_AnneeFin")->setText(QString::fromLatin1(p.anneeFin));
        w<QComboBox>(*c, "Cbo_PeriodeMois1")->setCurrentIndex(p.moisDeb);
        w<QComboBox>(*c, "Cbo_PeriodeMois2")->setCurrentIndex(p.moisFin);
        w<QPushButton>(*c, "Cmd_Ok")->click();
        ASSERT_EQ(textes(), QStringList{p.message});
        EXPECT_EQ(messages_.shown()[0].icon, 48);
        EXPECT_EQ(messages_.shown()[0].title, QStringLiteral("Message ORVANELLE"));
    }
    // March to March passed, and found nothing: no request record, no edit control, and the
    // entity code emptied with the control still open.
    EXPECT_EQ(stocke("TEMPO", QStringLiteral("REQUETEFACTDUPOND")), QStringList{"<absent>"});
    EXPECT_EQ(creations_, 0);
    EXPECT_TRUE(w(*c, "Txt_CodAssoc")->text().isEmpty());
    EXPECT_FALSE(w<QPushButton>(*c, "Cmd_Ok")->isEnabled());
    EXPECT_TRUE(c->isEnabled());
    EXPECT_FALSE(c->wSortir());
    // The end bound is checked after the periods.
    messages_.clear();
    entite(*c, "001");
    w(*c, "Txt_BorneDeb")->setText(QStringLiteral("ZZA"));
    w<QPushButton>(*c, "Cmd_Ok")->click();
    EXPECT_EQ(textes(), QStringList{archivesenvoi::kMsgBornesOrdre});
    EXPECT_EQ(w(*c, "Txt_BorneFin")->text(), QStringLiteral("ZZ"));
}

TEST_F(RepDematTest, OkWritesTheRequestThenHandsTheInvoicesOver) {
    auto c = control();
    okEnJanvier(*c);
    // Empty bounds searched from A to ZZ; names in alphabetical order.
    EXPECT_EQ(w(*c, "Txt_BorneDeb")->text(), QStringLiteral("A"));
    EXPECT_EQ(stocke("TEMPO", QStringLiteral("REQUETEFACTDUPOND")),
              (QStringList{"001", "200501", "P", "Resp", "", "Aide", "A", "ZZ", "0", "Alpha"}));
    ASSERT_NE(edition_, nullptr);
    EXPECT_EQ(edition_->objectName(), QStringLiteral("Ctr_ActiveXEditFact1"));
    EXPECT_EQ(edition_->appels, (QStringList{"TheDatabase", "TheClient", "EditerFactures"}));
    EXPECT_EQ(edition_->recu.get(1, 1), QStringLiteral("001PA0000000002"));
    EXPECT_EQ(edition_->recu.get(2, 1), QStringLiteral("001PA0000000001"));
    EXPECT_EQ(edition_->recu.DCount(), 2);
    EXPECT_EQ(edition_->arguments, (QVariantList{true, QStringLiteral("DUPOND"), 1, true}));
    EXPECT_TRUE(c->wSortir());
}

// Names with accents or a particle lie within the default bounds "A" to "ZZ", in French order.
TEST_F(RepDematTest, DefaultBoundsHandOverEveryClientInFrenchOrder) {
    base_.write("ARCHIVEFACT", "001PA0000000004",
                {"001", "200501", "P", "001001", "001", "001", "C4", "ÉVRARD", "Anne", "4"});
    base_.write("ARCHIVEFACT", "001PA0000000005",
                {"001", "200501", "P", "001001", "001", "001", "C5", "de LA TOUR", "Luc", "5"});
    auto c = control();
    okEnJanvier(*c);
    ASSERT_NE(edition_, nullptr);
    QStringList cles;
    for (int i = 1; i <= edition_->recu.DCount(); ++i) cles << edition_->recu.get(i, 1);
    // ABEL, de LA TOUR, ÉVRARD, MARTIN.
    EXPECT_EQ(cles, (QStringList{"001PA0000000002", "001PA0000000005", "001PA0000000004",
                                 "001PA0000000001"}));
}

// A year box takes four digits; a year that is not four digits stops "OK" with a message, and
// no statement is built from it. The bound boxes take accented letters.
TEST_F(RepDematTest, YearsAreFourDigitsAndBoundsTakeAccentedLetters) {
    auto c = control();
    entite(*c, "001");
    QLineEdit* fin = w(*c, "Txt_AnneeFin");
    fin->clear();
    QTest::keyClicks(fin, QStringLiteral("2005\" OR"));
    EXPECT_EQ(fin->text(), QStringLiteral("2005"));
    for (const QString& lettre : {QStringLiteral("É"), QStringLiteral("v")}) {
        QKeyEvent touche(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, lettre);
        QApplication::sendEvent(w(*c, "Txt_BorneDeb"), &touche);
    }
    EXPECT_EQ(w(*c, "Txt_BorneDeb")->text(), QStringLiteral("Év"));
    // The box holds four characters: a pasted "2005"" loses its quote.
    fin->setText(QStringLiteral("2005\""));
    EXPECT_EQ(fin->text(), QStringLiteral("2005"));
    for (const char* annee : {"05", "２００５"}) {
        messages_.clear();
        entite(*c, "001");
        fin->setText(QString::fromUtf8(annee));
        w<QPushButton>(*c, "Cmd_Ok")->click();
        EXPECT_EQ(textes(), QStringList{archivesenvoi::kMsgAnneesQuatreChiffres}) << annee;
        EXPECT_EQ(creations_, 0);
    }
}

TEST_F(RepDematTest, AMissingEditControlIsToldAndTheRequestKept) {
    auto c = control(Edition::Absente);
    entite(*c, "001");
    w<QComboBox>(*c, "Cbo_PeriodeMois1")->setCurrentIndex(0);
    w<QPushButton>(*c, "Cmd_Ok")->click();
    ASSERT_EQ(messages_.shown().size(), 1);
    EXPECT_TRUE(textes()[0].contains(Ctr_RepDemat::kIdentifiantEdition));
    EXPECT_EQ(stocke("TEMPO", QStringLiteral("REQUETEFACTDUPOND")).value(2), QStringLiteral("P"));
    EXPECT_FALSE(c->wSortir());
    EXPECT_TRUE(c->isEnabled());
}

TEST_F(RepDematTest, TheExportPluginWritesTheInvoicesAndItsReceipt) {
    QTemporaryDir racine;
    const QString dossier = racine.filePath(QStringLiteral("envois/2004"));  // made by the export
    qputenv("ORVANELLE_EXPORT", dossier.toUtf8());
    auto c = control(Edition::Plugin);
    entite(*c, "001");
    w(*c, "Txt_AnneeDeb")->setText(QStringLiteral("2004"));  // December 2004 on
    w<QPushButton>(*c, "Cmd_Ok")->click();
    qunsetenv("ORVANELLE_EXPORT");
    // The receipt in TEMPO: the export file and the number of invoices.
    const QStringList recu = stocke("TEMPO", QStringLiteral("ARCHIVEFACTDUPOND"), 2);
    ASSERT_EQ(recu.size(), 2);
    EXPECT_EQ(recu[1], QStringLiteral("3"));
    EXPECT_TRUE(recu[0].startsWith(dossier));
    // Names, addresses and amounts: the user's alone.
    for (const auto& [chemin, droits] :
         {std::pair{racine.filePath(QStringLiteral("envois")), 0700u},
          {dossier, 0700u},
          {recu[0], 0600u}})
        EXPECT_EQ(orv::test::modeOf(chemin), droits) << chemin.toStdString();
    EXPECT_EQ(textes(), QStringList{"3 factures ont été exportées dans le fichier :\n" + recu[0]});
    EXPECT_EQ(messages_.shown()[0].icon, 64);
    QFile f(recu[0]);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lignes = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    // In the order of the selection: ABEL, BRUN, MARTIN.
    ASSERT_EQ(lignes.size(), 3);
    EXPECT_EQ(lignes[1],
              QStringLiteral("{\"file\":\"ARCHIVEFACT\",\"key\":\"001PA0000000003\",\"attrs\":"
                             "[\"001\",\"200412\",\"P\",\"001001\",\"001\",\"001\",\"C3\","
                             "\"BRUN\",\"Léa\",\"0000000003\"]}"));
    EXPECT_TRUE(c->wSortir());
}

TEST_F(RepDematTest, AQueryFailureIsShownAndTheControlStaysUsable) {
    auto c = control();
    entite(*c, "001");
    base_.engine->remove("DICT ARCHIVEFACT", "NomAideArcFact");
    w<QPushButton>(*c, "Cmd_Ok")->click();
    ASSERT_EQ(messages_.shown().size(), 1);
    EXPECT_TRUE(textes()[0].contains(QString::number(dba::kQueryError)))
        << textes()[0].toStdString();
    EXPECT_EQ(stocke("TEMPO", QStringLiteral("REQUETEFACTDUPOND")), QStringList{"<absent>"});
    EXPECT_EQ(creations_, 0);
    EXPECT_TRUE(c->isEnabled());
    EXPECT_TRUE(w<QPushButton>(*c, "Cmd_Ok")->isEnabled());
}

// Free text in the names combo must name someone: "DUX" is refused as an unknown code is, a
// name typed whole is taken as if picked (its code is what the selection uses).
TEST_F(RepDematTest, TypedNamesMustNameAResponsibleOrASector) {
    const struct {
        const char* option;
        const char* saisi;
        QString message;   // empty: accepted, handed over
        const char* code;  // the code the selection uses
    } cas[] = {{"Opt_Resp", "DUX", Ctr_RepDemat::kMsgResponsableInconnu, ""},
               {"Opt_Sect", "DUX", Ctr_RepDemat::kMsgSecteurInconnu, ""},
               {"Opt_Resp", " albert ", {}, "002"}};
    for (const auto& e : cas) {
        SCOPED_TRACE(e.saisi);
        messages_.clear();
        auto c = control();
        entite(*c, "001");
        w<QRadioButton>(*c, e.option)->click();
        w<QComboBox>(*c, "Cbo_PeriodeMois1")->setCurrentIndex(0);
        w<QComboBox>(*c, "Cbo_PeriodeMois2")->setCurrentIndex(0);
        auto* noms = w<QComboBox>(*c, "Cbo_Select");
        noms->setEditText(QString::fromLatin1(e.saisi));
        w<QPushButton>(*c, "Cmd_Ok")->click();
        EXPECT_EQ(textes(), e.message.isEmpty() ? QStringList{} : QStringList{e.message});
        EXPECT_EQ(w(*c, "Txt_Select")->text(), QString::fromLatin1(e.code));
        EXPECT_EQ(c->wSortir(), e.message.isEmpty());
        if (e.message.isEmpty()) continue;
        EXPECT_TRUE(noms->currentText().isEmpty());
        EXPECT_EQ(QApplication::focusWidget(), noms);
        EXPECT_EQ(creations_, 0);
    }
}

// An entity without activity to issue says so; the entity combo's index follows the code, and
// after "Pas de facture" the focus is on the emptied code.
TEST_F(RepDematTest, TheEntityBoxesTellWhatTheyHold) {
    auto c = control();
    auto* sigles = w<QComboBox>(*c, "Cbo_SigleAssoc");
    const struct {
        const char* code;
        int index;
        QStringList messages;
    } cas[] = {{"002", 1, {}}, {"001", 0, {}}, {"003", -1, {Ctr_RepDemat::kMsgSansActivite}}};
    for (const auto& e : cas) {
        SCOPED_TRACE(e.code);
        messages_.clear();
        entite(*c, e.code);
        EXPECT_EQ(sigles->currentIndex(), e.index);
        EXPECT_EQ(textes(), e.messages);
    }
    EXPECT_EQ(sigles->currentText(), QStringLiteral("SANS ACTIVITE"));
    entite(*c, "001");
    w<QComboBox>(*c, "Cbo_PeriodeMois1")->setCurrentIndex(2);
    w<QComboBox>(*c, "Cbo_PeriodeMois2")->setCurrentIndex(2);
    messages_.clear();
    w<QPushButton>(*c, "Cmd_Ok")->click();
    ASSERT_EQ(textes(), QStringList{Ctr_RepDemat::kMsgPasDeFacture});
    EXPECT_EQ(QApplication::focusWidget(), w(*c, "Txt_CodAssoc"));
}

}  // namespace

#include "control_test.moc"
