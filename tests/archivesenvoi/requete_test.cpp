// The statement on the invoice archive and the request record, from the criteria alone.
#include <gtest/gtest.h>

#include "controls/archivesenvoi/requete_fact.h"

using namespace archivesenvoi;

namespace {

const QString Q = QStringLiteral("\"");

// Entity 012, January to March 2005, "Prestataire", every responsible, names from A to ZZ,
// alphabetical order: each case changes some of these.
Criteres parDefaut() {
    Criteres c;
    c.entite = QStringLiteral("012");
    c.periodeDeb = periode(QStringLiteral("2005"), 0);
    c.periodeFin = periode(QStringLiteral("2005"), 2);
    c.activite = Activite::Prestataire;
    c.selection = Selection::Resp;
    c.bornage = Bornage::Aide;
    c.borneDeb = QStringLiteral("A");
    c.borneFin = QStringLiteral("ZZ");
    c.tri = Tri::Alpha;
    return c;
}

struct CasInstruction {
    const char* nom;
    Criteres criteres;
    QString instruction;
    QStringList requete;  // values 1 to 10 of attribute 1
};

const QString kDebut = QStringLiteral("SSELECT ARCHIVEFACT AVEC AssocArcFact = ") + Q + "012" + Q +
                       " AND AVEC PeriodeArcFact >= " + Q + "200501" + Q +
                       " AND AVEC PeriodeArcFact <= " + Q + "200503" + Q +
                       " AND AVEC ActiviteArcFact = " + Q + "P" + Q;

std::vector<CasInstruction> cas() {
    std::vector<CasInstruction> liste;
    liste.push_back({"AideSansBornesAlphabetique",
                     parDefaut(),
                     kDebut + " AND AVEC CodeRespArcFact <> " + Q + Q +
                         " AND AVEC NomAideArcFact >= " + Q + "A]" + Q +
                         " AND AVEC NomAideArcFact <= " + Q + "ZZ]" + Q +
                         " PAR NomAideArcFact PAR PrenomAideArcFact PAR @ID",
                     {"012", "200503", "P", "Resp", "", "Aide", "A", "ZZ", "0", "Alpha"}});

    Criteres numeros = parDefaut();
    numeros.bornage = Bornage::NumFact;
    numeros.borneDeb = QStringLiteral("0000000100");
    numeros.borneFin = QStringLiteral("0000000200");
    numeros.tri = Tri::Comm;
    liste.push_back(
        {"NumerosParCommune",
         numeros,
         kDebut + " AND AVEC CodeRespArcFact <> " + Q + Q + " AND AVEC NumFactArcFact >= " + Q +
             "0000000100]" + Q + " AND AVEC NumFactArcFact <= " + Q + "0000000200]" + Q +
             " PAR LibComArcFact PAR NomAideArcFact PAR PrenomAideArcFact PAR @ID",
         {"012", "200503", "P", "Resp", "", "NumFact", "0000000100", "0000000200", "0", "Comm"}});

    Criteres adresse = parDefaut();
    adresse.selection = Selection::Sect;
    adresse.code = QStringLiteral("S02");
    adresse.triAdresse = true;
    adresse.tri = Tri::Sect;
    liste.push_back({"AdresseAvantSecteur",
                     adresse,
                     kDebut + " AND AVEC CodeSectArcFact = " + Q + "S02" + Q +
                         " AND AVEC NomAideArcFact >= " + Q + "A]" + Q +
                         " AND AVEC NomAideArcFact <= " + Q + "ZZ]" + Q +
                         " PAR ComAdrArcFact PAR NomAdrArcFact" +
                         " PAR CodeSectArcFact PAR NomAideArcFact PAR PrenomAideArcFact PAR @ID",
                     {"012", "200503", "P", "Sect", "S02", "Aide", "A", "ZZ", "1", "Sect"}});
    return liste;
}

TEST(RequeteFact, InstructionsEtRequetesEcrites) {
    for (const CasInstruction& c : cas()) {
        SCOPED_TRACE(c.nom);
        EXPECT_EQ(instructionArchives(c.criteres), c.instruction);
        const dba::Record requete = requeteArchives(c.criteres);
        EXPECT_EQ(requete.get(1), c.instruction);
        EXPECT_EQ(requete.get(2), QStringLiteral("ARCHIVEFACT"));
        EXPECT_EQ(requete.get(3), QStringLiteral("0"));

        dba::Record enregistrement;
        remplirRequeteFact(enregistrement, c.criteres);
        for (int v = 1; v <= 10; ++v)
            EXPECT_EQ(enregistrement.get(1, v), c.requete[v - 1]) << "valeur " << v;
    }
}

TEST(RequeteFact, UneOptionNonChoisieGardeLaValeurEnregistree) {
    dba::Record enregistrement;
    for (int v = 1; v <= 10; ++v) enregistrement.put(1, v, QStringLiteral("ancien"));
    Criteres c = parDefaut();
    c.activite = Activite::Aucune;
    c.selection = Selection::Aucune;
    c.bornage = Bornage::Aucun;
    c.tri = Tri::Aucun;
    remplirRequeteFact(enregistrement, c);
    const QStringList attendu = {"012",    "200503", "ancien", "ancien", "",
                                 "ancien", "A",      "ZZ",     "0",      "ancien"};
    for (int v = 1; v <= 10; ++v) EXPECT_EQ(enregistrement.get(1, v), attendu[v - 1]) << v;
}

TEST(RequeteFact, CleEtBornes) {
    EXPECT_EQ(cleRequeteFact(QStringLiteral("DUPOND")), QStringLiteral("REQUETEFACTDUPOND"));
    // Equal bounds pass: a begins-with selection of one name.
    EXPECT_EQ(controleBornes(QStringLiteral("MAR"), QStringLiteral("MAR")), std::nullopt);
    EXPECT_EQ(controleBornes(QStringLiteral("B"), QStringLiteral("A")), kMsgBornesOrdre);
    // A year is four digits: anything else stops the selection.
    for (const char* annee : {"2005\"", "2005\" OR AVEC 0 <> \"", "éàà\"", "205", "20051"})
        EXPECT_EQ(controlePeriodes(QStringLiteral("2004"), 0, QString::fromUtf8(annee), 0),
                  kMsgAnneesQuatreChiffres)
            << annee;
    EXPECT_EQ(controlePeriodes(QStringLiteral("2004"), 0, QStringLiteral(" 2005 "), 0),
              std::nullopt);
    // In French order: "É" among the E, before "F".
    EXPECT_EQ(controleBornes(QStringLiteral("ÉVRARD"), QStringLiteral("F")), std::nullopt);
    // A user name of 20 characters or more is kept whole.
    const QByteArray avant = qgetenv("USER");
    qputenv("USER", "administrateur_regional");
    EXPECT_EQ(NomUtilisateur(), QStringLiteral("ADMINISTRATEUR_REGIONAL"));
    qputenv("USER", avant);
}

}  // namespace
