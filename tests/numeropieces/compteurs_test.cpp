// Stored forms, display, validation and the leaving comparison of the billing counters.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "controls/numeropieces/compteurs.h"

using namespace numeropieces;

namespace {

enum { kPrest = 0, kMandat = 1, kInter = 2 };

// A record as the billing counters of an entity are usually stored.
dba::Record enregistrementType() {
    const std::vector<std::pair<int, const char*>> valeurs = {
        {1, "0000000125"},  {2, "0000000007"}, {3, "0000000000"}, {4, "0000000000"},
        {5, "0000004200"},  {6, "0000000001"}, {7, "50"},         {9, "0000000012"},
        {10, "0000000125"}, {11, "1"},         {12, "0"},         {14, "1000"},
        {17, "1"}};
    dba::Record r;
    for (const auto& [attr, valeur] : valeurs) r.put(attr, QString::fromLatin1(valeur));
    return r;
}

}  // namespace

TEST(Cadrage, FitsTheTextToTheLength) {
    EXPECT_EQ(Cadrage(QStringLiteral("125"), 10, QStringLiteral("0")),
              QStringLiteral("0000000125"));
    EXPECT_EQ(Cadrage(QStringLiteral("12345678901"), 10, QStringLiteral("0")),
              QStringLiteral("1234567890"));
    EXPECT_EQ(Cadrage(QStringLiteral("1234567890"), 10, QStringLiteral("0")),
              QStringLiteral("1234567890"));
    // Only the first character of the fill text is used; lengths count characters.
    EXPECT_EQ(Cadrage(QStringLiteral("é"), 3, QStringLiteral("*-")), QStringLiteral("**é"));
}

TEST(StoredForms, CountersFederationNumberAndFlags) {
    Saisie s;
    s.modes[kPrest].aide = QStringLiteral("125");
    s.modes[kPrest].plancherFact = QStringLiteral("0,50");
    s.modes[kPrest].nomIntervenants = true;
    s.modes[kPrest].plancherEdition = true;
    s.modes[kPrest].montantEdition = QStringLiteral("12,5");
    s.modes[kPrest].factNegatives = true;
    s.modes[kInter].plancherFact = QStringLiteral("0,00");
    s.modes[kMandat].montantEdition = QStringLiteral("3,00");  // box unticked: not stored
    dba::Record r;
    r.put(25, QStringLiteral("gardé"));
    ecrireSaisie(s, r);

    EXPECT_EQ(r.get(1), QStringLiteral("0000000125"));
    for (int a : {2, 3, 4, 5, 6, 9}) EXPECT_EQ(r.get(a), QStringLiteral("0000000000")) << a;
    EXPECT_EQ(r.get(10), QStringLiteral("000000000"));
    EXPECT_EQ(r.get(7), QStringLiteral("50"));
    EXPECT_EQ(r.get(8), QString());  // a zero billing floor is stored empty
    EXPECT_EQ(r.get(11), QStringLiteral("1"));
    EXPECT_EQ(r.get(12), QStringLiteral("0"));
    EXPECT_EQ(r.get(13), QStringLiteral("0"));
    EXPECT_EQ(r.get(14), QStringLiteral("1250"));
    EXPECT_EQ(r.get(15), QString());
    EXPECT_EQ(r.get(16), QString());
    EXPECT_EQ(r.get(17), QStringLiteral("1"));
    EXPECT_EQ(r.get(18), QString());
    EXPECT_EQ(r.get(25), QStringLiteral("gardé"));  // attributes beyond the screen are kept

    s.numEtatFact = QStringLiteral("125");
    ecrireSaisie(s, r);
    EXPECT_EQ(r.get(10), QStringLiteral("0000000125"));
}

TEST(Display, StoredValuesAsTheScreenShowsThem) {
    const Saisie s = saisieDepuis(enregistrementType(), true);
    EXPECT_EQ(s.modes[kPrest].aide, QStringLiteral("125"));
    EXPECT_EQ(s.modes[kMandat].aide, QStringLiteral("0"));
    EXPECT_EQ(s.modes[kInter].aide, QStringLiteral("4200"));
    EXPECT_EQ(montantCentimes(s.modes[kPrest].plancherFact), 50);
    EXPECT_TRUE(s.modes[kPrest].nomIntervenants);
    EXPECT_FALSE(s.modes[kMandat].nomIntervenants);
    EXPECT_TRUE(s.modes[kInter].nomIntervenants);  // empty reads as "1"
    EXPECT_TRUE(s.modes[kPrest].plancherEdition);
    EXPECT_EQ(montantCentimes(s.modes[kPrest].montantEdition), 1000);
    EXPECT_FALSE(s.modes[kMandat].plancherEdition);
    EXPECT_TRUE(s.modes[kPrest].factNegatives);
    EXPECT_EQ(s.numSsiad, QStringLiteral("12"));
    EXPECT_EQ(s.numEtatFact, QStringLiteral("125"));
    EXPECT_EQ(saisieDepuis(dba::Record(), false).numSsiad, QStringLiteral("0"));
    EXPECT_EQ(saisieDepuis(enregistrementType(), false).numEtatFact, QString());
}

TEST(Leaving, AnUntouchedScreenIsNoChange) {
    dba::Record r = enregistrementType();
    EXPECT_FALSE(saisieModifiee(saisieDepuis(r, true), r));
    // The screen of an entity without counters, compared with what it loads with.
    Saisie vide;
    vide.numEtatFact = QStringLiteral("0");
    EXPECT_FALSE(saisieModifiee(vide, enregistrementAbsent()));
}

TEST(Leaving, EveryKindOfChangeCounts) {
    const dba::Record r = enregistrementType();
    const std::vector<std::pair<const char*, std::function<void(Saisie&)>>> changes = {
        {"counter typed with a leading zero", [](Saisie& s) { s.modes[kPrest].aide = "0125"; }},
        {"counter emptied", [](Saisie& s) { s.modes[kInter].orga.clear(); }},
        {"SSIAD number", [](Saisie& s) { s.numSsiad = "13"; }},
        {"federation number", [](Saisie& s) { s.numEtatFact = "126"; }},
        {"billing floor", [](Saisie& s) { s.modes[kPrest].plancherFact = "0,51"; }},
        {"billing floor set", [](Saisie& s) { s.modes[kInter].plancherFact = "2"; }},
        {"printing floor amount", [](Saisie& s) { s.modes[kPrest].montantEdition = "9,99"; }},
        {"printing floor removed",
         [](Saisie& s) {
             s.modes[kPrest].plancherEdition = false;
             s.modes[kPrest].montantEdition.clear();
         }},
        {"printing floor added", [](Saisie& s) { s.modes[kMandat].montantEdition = "0,00"; }},
        {"negative invoices unticked", [](Saisie& s) { s.modes[kPrest].factNegatives = false; }},
        {"negative invoices ticked", [](Saisie& s) { s.modes[kInter].factNegatives = true; }},
        {"helpers' names", [](Saisie& s) { s.modes[kMandat].nomIntervenants = true; }},
    };
    for (const auto& [nom, changer] : changes) {
        Saisie s = saisieDepuis(r, true);
        changer(s);
        EXPECT_TRUE(saisieModifiee(s, r)) << nom;
    }
}

TEST(Leaving, FederationNumberAndFloorsCompareAsNumbers) {
    const dba::Record r = enregistrementType();
    Saisie s = saisieDepuis(r, true);
    s.numEtatFact = QStringLiteral("0125");
    s.modes[kPrest].plancherFact = QStringLiteral("0,5");
    s.modes[kPrest].montantEdition = QStringLiteral("10");
    EXPECT_FALSE(saisieModifiee(s, r));
}

TEST(Validation, PrintingFloorsAreRequiredAndAtMostTenEuros) {
    Saisie s;
    EXPECT_FALSE(controlerSaisie(s));
    s.modes[kMandat].plancherEdition = true;
    s.modes[kMandat].montantEdition = QStringLiteral("10,00");
    EXPECT_FALSE(controlerSaisie(s));

    s.modes[kMandat].montantEdition = QStringLiteral("10,01");
    auto refus = controlerSaisie(s);
    ASSERT_TRUE(refus);
    EXPECT_EQ(refus->mode, kMandat);
    EXPECT_EQ(refus->message, kMessagePlancherMaxValidation);
    EXPECT_TRUE(refus->viderMontant);

    // Modes are checked in order: an empty Intermédiaire floor comes after the Mandataire one.
    s.modes[kInter].plancherEdition = true;
    EXPECT_EQ(controlerSaisie(s)->mode, kMandat);
    s.modes[kMandat].montantEdition = QStringLiteral("1");
    refus = controlerSaisie(s);
    ASSERT_TRUE(refus);
    EXPECT_EQ(refus->message,
              QStringLiteral("Vous devez renseigner un montant pour le plancher d'édition des "
                             "factures intermédiaires."));
    EXPECT_FALSE(refus->viderMontant);
    s.modes[kInter].montantEdition = QStringLiteral(",");  // no amount at all
    EXPECT_EQ(controlerSaisie(s)->mode, kInter);
}

TEST(Validation, LeavingAPrintingFloorBox) {
    EXPECT_FALSE(plancherEditionTropEleve(QStringLiteral("10,00")));
    EXPECT_FALSE(plancherEditionTropEleve(QStringLiteral("10")));
    EXPECT_TRUE(plancherEditionTropEleve(QStringLiteral("10,01")));
    EXPECT_FALSE(plancherEditionTropEleve(QStringLiteral(",")));
    EXPECT_FALSE(plancherEditionTropEleve(QString()));
}
