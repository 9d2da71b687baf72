// First run: with no INI file, MenuCadrius offers to create a database on this computer or to
// name a server's, writes the INI file, and the start-up goes on from it.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "fixture.h"
#include "menu/frm_premierdemarrage.h"
#include "menu/mod_menu.h"
#include "rights/rights_store.h"

using essai::Pilote;
using menu::Frm_PremierDemarrage;

namespace {

class PremierDemarrage : public ::testing::Test {
  protected:
    void SetUp() override { qputenv("ORVANELLE_INI", ini.toLocal8Bit()); }
    void TearDown() override { qunsetenv("ORVANELLE_INI"); }
    QString lireIni() const {
        QFile f(ini);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QTemporaryDir dossier;
    const QString ini = dossier.filePath("config/Orvanelle.ini");
    orv::ScriptedMessageService messages;
    orv::ScopedMessageService service{&messages};
    menu::Programme programme;
};

TEST_F(PremierDemarrage, NewDatabaseIsCreatedWithItsAdministratorAndOpensTheMenu) {
    const QString base = dossier.filePath("bases/neuve.orvdb");
    Pilote pilote(programme);
    pilote.puis("Frm_PremierDemarrage", [&](QWidget* w) {
        essai::saisir(w, "Txt_Fichier", base);
        essai::saisir(w, "Txt_MotPasse", "secret");
        essai::saisir(w, "Txt_Confirmation", "autre");
        essai::cliquer(w, "Cmd_OK");  // refused: the window stays, nothing is created
        EXPECT_FALSE(QFile::exists(base));
        essai::saisir(w, "Txt_Confirmation", "secret");
        essai::cliquer(w, "Cmd_OK");
    });
    pilote.puis("Frm_Connexion", [](QWidget* w) {
        essai::saisir(w, "Txt_Utilisateur", "administrateur");
        essai::saisir(w, "Txt_MotPasse", "secret");
        essai::cliquer(w, "Cmd_Ok");
    });
    ASSERT_TRUE(menu::Main(programme, {})) << essai::textes(messages).join('|').toStdString();
    EXPECT_EQ(pilote.vues(), (QStringList{"Frm_PremierDemarrage", "Frm_Connexion"}));
    EXPECT_EQ(essai::textes(messages), QStringList{Frm_PremierDemarrage::kMotsPasseDifferents});
    EXPECT_EQ(lireIni(), "SERVEUR=localhost\nBase locale=" + base + "\n");
    EXPECT_EQ(programme.NomBase, "Base locale");
    EXPECT_EQ(programme.NomUtilisateur, "ADMINISTRATEUR");
    // The new database's administrator may open every entry, the rights windows included.
    const auto db = orv::Database::openEmbedded(base.toStdString(), {.create = false});
    const auto droits = orv::rights::resolve(*db, "ADMINISTRATEUR").levels;
    for (const QString& cle : orv::rights::knownKeys())
        EXPECT_EQ(droits.value(cle), 2) << cle.toStdString();
}

TEST_F(PremierDemarrage, ServerDatabaseIsWrittenOnceEveryEntryIsGiven) {
    Pilote pilote(programme);
    pilote.puis("Frm_PremierDemarrage", [](QWidget* w) {
        essai::cliquer(w, "Opt_Serveur");
        essai::saisir(w, "Txt_Serveur", " ");
        essai::cliquer(w, "Cmd_OK");
        essai::saisir(w, "Txt_Serveur", "srv01");
        essai::saisir(w, "Txt_Libelle", "Production");
        essai::cliquer(w, "Cmd_OK");
        essai::saisir(w, "Txt_Chemin", "/data/prod");
        essai::cliquer(w, "Cmd_OK");
    });
    pilote.puis("Frm_Connexion", [](QWidget* w) { essai::cliquer(w, "Cmd_Annuler"); });
    EXPECT_FALSE(menu::Main(programme, {}));
    EXPECT_EQ(essai::textes(messages),
              (QStringList{"Vous devez indiquer le nom ou l'adresse IP du serveur.",
                           "Vous devez indiquer le chemin du compte."}));
    EXPECT_EQ(lireIni(), "SERVEUR=srv01\nProduction=/data/prod\n");
    EXPECT_EQ(programme.ServeurBase, "srv01");
    EXPECT_EQ(programme.SessionBase->accountPath(), "/data/prod");
}

TEST_F(PremierDemarrage, AnExistingFileIsNeverOverwrittenAndQuitEndsTheProgram) {
    const QString existant = dossier.filePath("existant.orvdb");
    QFile f(existant);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("garde");
    f.close();
    Pilote pilote(programme);
    pilote.puis("Frm_PremierDemarrage", [&](QWidget* w) {
        essai::saisir(w, "Txt_Fichier", existant);
        essai::saisir(w, "Txt_MotPasse", "secret");
        essai::saisir(w, "Txt_Confirmation", "secret");
        essai::cliquer(w, "Cmd_OK");
        essai::cliquer(w, "Cmd_Quitter");
    });
    EXPECT_FALSE(menu::Main(programme, {}));
    EXPECT_TRUE(programme.termine);
    EXPECT_EQ(programme.codeSortie, 0);
    EXPECT_EQ(essai::textes(messages),
              QStringList{Frm_PremierDemarrage::kFichierExistant.arg(existant)});
    EXPECT_FALSE(QFile::exists(ini));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "garde");
}

}  // namespace
