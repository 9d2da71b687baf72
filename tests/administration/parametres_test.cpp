// The values the general parameters' window refuses before writing anything, and the colours
// as the chart reads them back.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "controls/administration/ctr_menlisse.h"
#include "platform/printer.h"
#include "rights/rights_store.h"

namespace {

using namespace administration;

TEST(Parametres, WrongPayPeriodsAndTimesAreRefused) {
    const struct {
        QString periode;
        bool juste;
    } periodes[] = {{"200603", true},  {"200612", true}, {"196801", true},       {"200613", false},
                    {"200600", false}, {"20063", false}, {"2006031", false},     {"2006-3", false},
                    {"196712", false}, {"", false},      {"２００６０３", false}};
    for (const auto& p : periodes)
        EXPECT_EQ(!erreurPeriodePaie(p.periode), p.juste) << p.periode.toStdString();
    EXPECT_TRUE(erreurPeriodePaie("200613")->contains("« 200613 »"));

    const struct {
        QString heure;
        bool juste;
    } heures[] = {{"09:00", true}, {"23:59", true},  {"", true},     {"24:00", false},
                  {"9:00", false}, {"09:60", false}, {"0900", false}};
    for (const auto& h : heures) EXPECT_EQ(!erreurHeure(h.heure), h.juste) << h.heure.toStdString();
}

TEST(Parametres, ColoursAreStoredAsTheChartReadsThem) {
    EXPECT_EQ(valeurCouleur("#FF0000"), orv::rgbValue(255, 0, 0));
    EXPECT_EQ(valeurCouleur("#00ff00"), 65280);
    EXPECT_EQ(valeurCouleur(" #0000FF "), orv::rgbValue(0, 0, 255));
    for (const char* faux : {"FF0000", "#FF00", "#GG0000", "rouge", ""})
        EXPECT_FALSE(valeurCouleur(faux)) << faux;
    // Read back: the demo's stored values, and a text that is no number kept as it is.
    EXPECT_EQ(texteCouleur("255"), "#FF0000");
    EXPECT_EQ(texteCouleur(QString::number(*valeurCouleur("#50B0C0"))), "#50B0C0");
    EXPECT_EQ(texteCouleur("bleu"), "bleu");
}

// The groups' window lists the known keys: every entry of the menu is among them, with a label.
TEST(ClesDeDroits, EveryMenuEntryHasAKnownKey) {
    QFile ui(QStringLiteral(ORV_TEST_DATA_DIR "/../../menu/mdi_vesperon.ui"));
    ASSERT_TRUE(ui.open(QIODevice::ReadOnly));
    const QString texte = QString::fromUtf8(ui.readAll());
    static const QRegularExpression entree(QStringLiteral("name=\"Mnu_([A-Za-z]+)\""));
    int entrees = 0;
    for (const auto& m : entree.globalMatch(texte)) {
        const QString cle = m.captured(1).toUpper();
        if (cle == u"BARRE" || cle == u"QUITTER") continue;  // the bar; Quit is always enabled
        ++entrees;
        EXPECT_FALSE(orv::rights::keyLabel(cle).isEmpty()) << cle.toStdString();
    }
    EXPECT_GT(entrees, 25);
}

}  // namespace
