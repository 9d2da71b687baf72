// Start-up: database selection from the INI file, login (interactive and unattended), the
// telegestion check and the opening of the main window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QWidget>

#include "engine/backup.h"
#include "fixture.h"
#include "menu/ecran_presentation.h"
#include "menu/frm_connexion.h"
#include "menu/frm_selectionbase.h"
#include "menu/mdi_vesperon.h"
#include "menu/mod_menu.h"
#include "menu/sauvegarde_jour.h"
#include "testkit.h"

using essai::BaseEssai;
using essai::Pilote;

namespace {

class Demarrage : public ::testing::Test {
  protected:
    void SetUp() override { base.ini({"SERVEUR=localhost", "Essai=" + base.chemin}); }
    // A splash left by a start-up must not tick into the next test.
    void TearDown() override { delete ecran(); }
    static menu::EcranPresentation* ecran() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* e = qobject_cast<menu::EcranPresentation*>(w)) return e;
        return nullptr;
    }
    void deuxBases() {
        base.ini({"SERVEUR=localhost", "Production=" + base.chemin, "Formation=/nulle/part"});
    }
    // The login window answered with a user and a password.
    static Pilote::Action identifier(const QString& utilisateur, const QString& motPasse) {
        return [=](QWidget* w) {
            essai::saisir(w, "Txt_Utilisateur", utilisateur);
            essai::saisir(w, "Txt_MotPasse", motPasse);
            essai::cliquer(w, "Cmd_Ok");
        };
    }

    BaseEssai base;
    orv::ScriptedMessageService messages;
    orv::ScopedMessageService service{&messages};
    menu::Programme programme;
};

TEST_F(Demarrage, OneDatabaseLineGoesStraightToTheLogin) {
    Pilote pilote(programme);
    pilote.puis("Frm_Connexion", identifier("administrateur", "admin"));
    ASSERT_TRUE(menu::Main(programme, {}));
    EXPECT_EQ(pilote.vues(), QStringList{"Frm_Connexion"});
    EXPECT_EQ(programme.NomBase, "Essai");
    EXPECT_EQ(programme.SessionBase->accountPath(), base.chemin);
    EXPECT_EQ(programme.NomUtilisateur, "ADMINISTRATEUR");
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(Demarrage, TwoDatabaseLinesShowTheSelectionAndTheTypedLabelIsMatchedLoosely) {
    deuxBases();
    Pilote pilote(programme);
    pilote.puis("Frm_SelectionBase", [](QWidget* w) {
        EXPECT_TRUE(w->isModal());
        auto* combo = w->findChild<QComboBox*>("Cbo_BaseDispo");
        EXPECT_EQ(combo->count(), 2);
        combo->setEditText(" production ");
        essai::cliquer(w, "Cmd_OK");
    });
    pilote.puis("Frm_Connexion", identifier("martin", "martin"));
    ASSERT_TRUE(menu::Main(programme, {}));
    EXPECT_EQ(pilote.vues(), (QStringList{"Frm_SelectionBase", "Frm_Connexion"}));
    EXPECT_EQ(programme.NomBase, "Production");
    EXPECT_EQ(programme.SessionBase->accountPath(), base.chemin);
}

TEST_F(Demarrage, SelectionRefusesAnEmptyOrUnknownChoiceAndQuitEnds) {
    deuxBases();
    Pilote pilote(programme);
    pilote.puis("Frm_SelectionBase", [](QWidget* w) {
        auto* combo = w->findChild<QComboBox*>("Cbo_BaseDispo");
        combo->setEditText("   ");
        essai::cliquer(w, "Cmd_OK");
        combo->setEditText("Archives");
        essai::cliquer(w, "Cmd_OK");
        EXPECT_TRUE(w->isVisible());
        w->close();  // the close box leaves the program as Quitter does
    });
    EXPECT_FALSE(menu::Main(programme, {}));
    EXPECT_TRUE(programme.termine);
    EXPECT_EQ(programme.codeSortie, 0);
    ASSERT_EQ(messages.shown().size(), 2);
    EXPECT_EQ(messages.shown()[0].text, "Vous devez sélectionner une base de données.");
    EXPECT_EQ(messages.shown()[0].icon, 48);
    EXPECT_EQ(messages.shown()[1].text, "Cette base n'est pas disponible.");
    EXPECT_EQ(messages.shown()[1].title, "MenuCadrius");
}

TEST_F(Demarrage, UnattendedLoginUpperCasesTheUserAndKeepsTheWholePassword) {
    deuxBases();
    Pilote pilote(programme);
    ASSERT_TRUE(menu::Main(programme, "Production,dupond,mot,de,passe"));
    EXPECT_TRUE(pilote.vues().isEmpty());
    EXPECT_EQ(programme.NomBase, "Production");
    EXPECT_EQ(programme.NomUtilisateur, "DUPOND");
    EXPECT_EQ(programme.SessionBase->userName(), "DUPOND");
    EXPECT_EQ(programme.MotPasse, "mot,de,passe");
    EXPECT_EQ(programme.SessionBase->Error(), 0);
}

TEST_F(Demarrage, AccentedLabelsReadFromUtf8AndFromOldWindows1252Files) {
    for (const bool windows1252 : {false, true}) {
        menu::Programme demarrage;
        base.ini({"SERVEUR=localhost", "Démo=" + base.chemin, "Formation=/nulle/part"},
                 windows1252);
        Pilote pilote(demarrage);
        ASSERT_TRUE(menu::Main(demarrage, "Démo,dupond,mot,de,passe")) << windows1252;
        EXPECT_TRUE(pilote.vues().isEmpty());
        EXPECT_EQ(demarrage.NomBase, "Démo");
        delete ecran();
    }
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(Demarrage, UnattendedStartFallsBackToTheWindowsWhenItCannotApplyItsValues) {
    deuxBases();
    Pilote pilote(programme);
    pilote.puis("Frm_SelectionBase", [](QWidget* w) {
        w->findChild<QComboBox*>("Cbo_BaseDispo")->setEditText("Production");
        essai::cliquer(w, "Cmd_OK");
    });
    pilote.puis("Frm_Connexion", [](QWidget* w) {
        // The user of the command line stays proposed; the refused password is gone.
        EXPECT_EQ(w->findChild<QLineEdit*>("Txt_Utilisateur")->text(), "dupond");
        EXPECT_TRUE(w->findChild<QLineEdit*>("Txt_MotPasse")->text().isEmpty());
        identifier("dupond", "mot,de,passe")(w);
    });
    ASSERT_TRUE(menu::Main(programme, "Inconnue,dupond,faux"));
    EXPECT_EQ(essai::textes(messages), (QStringList{"Cette base n'est pas disponible.",
                                                    "Le mot de passe saisi n'est pas correct."}));
    EXPECT_EQ(programme.NomUtilisateur, "DUPOND");
}

TEST_F(Demarrage, CommandLineWithoutPasswordAsksForItInTheLoginWindow) {
    Pilote pilote(programme);
    pilote.puis("Frm_Connexion", [](QWidget* w) {
        EXPECT_EQ(w->findChild<QLineEdit*>("Txt_Utilisateur")->text(), "martin");
        auto* motPasse = w->findChild<QLineEdit*>("Txt_MotPasse");
        EXPECT_TRUE(motPasse->hasFocus() || w->focusWidget() == motPasse);
        identifier("martin", "martin")(w);
    });
    ASSERT_TRUE(menu::Main(programme, "Essai,martin"));
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text, menu::kLigneSansMotPasse);
    EXPECT_EQ(messages.shown()[0].title, "Message ORVANELLE");
    EXPECT_EQ(pilote.vues(), QStringList{"Frm_Connexion"});
    EXPECT_EQ(programme.NomUtilisateur, "MARTIN");
}

TEST_F(Demarrage, WrongPasswordEmptiesTheBoxAllowsRetriesAndCancelEnds) {
    Pilote pilote(programme);
    pilote.puis("Frm_Connexion", [](QWidget* w) {
        auto* motPasse = w->findChild<QLineEdit*>("Txt_MotPasse");
        for (int essai = 0; essai < 2; ++essai) {
            essai::saisir(w, "Txt_Utilisateur", "martin");
            essai::saisir(w, "Txt_MotPasse", "faux");
            essai::cliquer(w, "Cmd_Ok");
            EXPECT_TRUE(motPasse->text().isEmpty());
            EXPECT_TRUE(motPasse->hasFocus() || w->focusWidget() == motPasse);
            EXPECT_TRUE(w->isEnabled());
        }
        w->close();  // the close box does nothing
        EXPECT_TRUE(w->isVisible());
        essai::cliquer(w, "Cmd_Annuler");
    });
    EXPECT_FALSE(menu::Main(programme, {}));
    EXPECT_EQ(messages.shown().size(), 2);
    EXPECT_EQ(messages.shown()[0].text, "Le mot de passe saisi n'est pas correct.");
    EXPECT_TRUE(programme.termine);
    EXPECT_TRUE(programme.NomUtilisateur.isEmpty());
}

// The INI file's relative paths are taken from its own folder, whatever folder the program is
// started from; a database file that is missing or is no database is told as such (where it was
// looked for), at every try, and the typed password is kept.
TEST_F(Demarrage, RelativePathsFromTheIniFolderAndMissingDatabasesToldAsSuch) {
    QFile texte(base.dossier.filePath("texte.orvdb"));
    ASSERT_TRUE(texte.open(QIODevice::WriteOnly));
    texte.write(QByteArray(4096, 'x'));
    texte.close();
    const QString ailleurs = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QDir::tempPath()));
    const struct {
        QString chemin;
        QString message;  // empty: the login succeeds
    } cas[] = {
        {"cadrius.orvdb", {}},
        {"absente.orvdb", "La base de données est introuvable : le fichier « " +
                              base.dossier.filePath("absente.orvdb") + " » n'existe pas."},
        {"texte.orvdb", "Le fichier « " + base.dossier.filePath("texte.orvdb") +
                            " » n'a pas pu être ouvert comme base de données"},
    };
    for (const auto& c : cas) {
        base.ini({"SERVEUR=localhost", "Essai=" + c.chemin});
        messages.clear();
        menu::Programme p;
        Pilote pilote(p);
        pilote.puis("Frm_Connexion", [&](QWidget* w) {
            for (int essai = 0; essai < 2; ++essai) {
                identifier("martin", "martin")(w);
                EXPECT_EQ(w->findChild<QLineEdit*>("Txt_MotPasse")->text(), "martin");
            }
            essai::cliquer(w, "Cmd_Annuler");
        });
        const bool ouvert = menu::Main(p, c.message.isEmpty() ? "Essai,martin,martin" : "");
        EXPECT_EQ(ouvert, c.message.isEmpty()) << c.chemin.toStdString();
        if (ouvert) {
            EXPECT_EQ(p.SessionBase->accountPath(), base.chemin);
            EXPECT_EQ(p.cheminDe("Essai"), base.chemin);
            EXPECT_TRUE(messages.shown().isEmpty());
            delete ecran();
            continue;
        }
        ASSERT_EQ(messages.shown().size(), 2) << c.chemin.toStdString();
        for (const auto& m : messages.shown()) {
            EXPECT_TRUE(m.text.startsWith(c.message)) << m.text.toStdString();
            EXPECT_EQ(m.icon, 16);
        }
    }
    QDir::setCurrent(ailleurs);
}

TEST_F(Demarrage, SecondServerLineWinsAndMalformedFilesEndTheProgram) {
    base.ini({"SERVEUR=premier", "", "   ", "Essai=" + base.chemin, "serveur=second"});
    menu::Frm_SelectionBase selection(programme);
    programme.SessionBase = std::make_unique<uni::Session>();
    selection.Form_Load();
    EXPECT_EQ(programme.ServeurBase, "second");
    EXPECT_EQ(programme.CheminsBases, QStringList{base.chemin});

    for (const QStringList& lignes :
         {QStringList{"Essai=" + base.chemin}, QStringList{"SERVEUR=srv", "Essai sans égal"},
          QStringList{"SERVEUR=srv"}}) {
        base.ini(lignes);
        menu::Programme autre;
        menu::Frm_SelectionBase fenetre(autre);
        fenetre.Form_Load();
        EXPECT_TRUE(autre.termine) << lignes.join('|').toStdString();
    }
    EXPECT_EQ(essai::textes(messages),
              (QStringList{"Problème dans le nom ou l'adresse IP d'un serveur",
                           "Problème dans le nom ou l'adresse IP d'un serveur",
                           "Base de données manquante."}));
    EXPECT_EQ(messages.shown().last().icon, 16);
}

TEST_F(Demarrage, TelegestionCheckComparesAttribute33Exactly) {
    const struct {
        const char* valeur;
        const char* message;
    } cas[] = {{"01", "vous n'utilisez pas"}, {"", "vous n'utilisez pas"}, {nullptr, "impossible"}};
    for (const auto& c : cas) {
        if (c.valeur) {
            orv::DynArray r(base.db->read("COMPTEUR", "999").value_or(orv::DynArray()).text());
            r.replace(33, c.valeur);
            base.db->write("COMPTEUR", "999", r);
        } else {
            base.supprimer("COMPTEUR", "999");
        }
        messages.clear();
        menu::Programme p;
        EXPECT_FALSE(menu::Main(p, "Essai,martin,martin"));
        EXPECT_EQ(p.codeSortie, 1);
        ASSERT_EQ(messages.shown().size(), 1);
        EXPECT_TRUE(messages.shown()[0].text.contains(QString::fromUtf8(c.message)));
        EXPECT_EQ(messages.shown()[0].icon, 16);
    }
}

TEST_F(Demarrage, SplashOpensTheMainWindowOnItsSecondTick) {
    ASSERT_TRUE(menu::Main(programme, "Essai,administrateur,admin"));
    base.droit("ADMINISTRATEUR", "Moniteurs", 2);
    base.droit("ADMINISTRATEUR", "CADRIUSTLGVERIFPLG", 2);
    menu::EcranPresentation* splash = ecran();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    splash->Timer1_Timer();
    EXPECT_EQ(programme.mdi, nullptr);
    splash->Timer1_Timer();
    ASSERT_NE(programme.mdi, nullptr);
    EXPECT_TRUE(programme.mdi->isVisible());
    EXPECT_EQ(programme.mdi->windowTitle(), "Orvanelle - Cadrius - " + base.chemin);
    EXPECT_NE(programme.mdi->database(), nullptr);
    EXPECT_TRUE(programme.mdi->entree("Mnu_CADRIUSTLGVERIFPLG")->isEnabled());
    QWidget* menuOuvert = programme.mdi.get();
    splash->Timer1_Timer();  // later ticks do nothing
    EXPECT_EQ(programme.mdi.get(), menuOuvert);
}

TEST_F(Demarrage, MissingCheckTimeDisablesTheEffectivenessCheckWhateverTheRights) {
    base.droit("MARTIN", "CADRIUSTLGVERIFPLG", 2);
    for (const bool absent : {true, false}) {
        if (absent)
            base.supprimer("TLGPARAM", "HEURELIMITEVERIF");
        else
            base.ecrire("TLGPARAM", "HEURELIMITEVERIF", {"", "", "o"});
        menu::Programme p;
        essai::connecter(p, base, "martin", "martin");
        ASSERT_NE(p.mdi, nullptr);
        EXPECT_FALSE(p.mdi->entree("Mnu_CADRIUSTLGVERIFPLG")->isEnabled());
    }
}

// The first start of each day backs the embedded database up, privately, in the user's data
// folder; a second start that day makes none; the last seven are kept.
TEST_F(Demarrage, TheFirstStartOfTheDayBacksTheDatabaseUpAndTheLastSevenAreKept) {
    const QDir dossier(menu::dossierSauvegardes());
    QDir(dossier).removeRecursively();
    const QByteArray avant = qgetenv("ORVANELLE_TODAY");
    const auto demarrer = [&](const QString& jour) {
        qputenv("ORVANELLE_TODAY", jour.toLatin1());
        menu::Programme demarrage;
        Pilote pilote(demarrage);
        EXPECT_TRUE(menu::Main(demarrage, "Essai,administrateur,admin"));
        delete ecran();
        return menu::sauvegardeDuJour(dossier.path(), QStringLiteral("Essai"));
    };
    const QString premiere = demarrer(QStringLiteral("2006-03-01"));
    EXPECT_NO_THROW(orv::checkBackup(premiere.toStdString()));
    EXPECT_EQ(orv::test::modeOf(dossier.path()), 0700u);
    EXPECT_EQ(orv::test::modeOf(premiere), 0600u);
    const QDateTime faite = QFileInfo(premiere).lastModified();
    demarrer(QStringLiteral("2006-03-01"));
    EXPECT_EQ(QFileInfo(premiere).lastModified(), faite);
    for (int jour = 2; jour <= 9; ++jour) demarrer(QStringLiteral("2006-03-0%1").arg(jour));
    QStringList gardees;
    for (int jour = 3; jour <= 9; ++jour)
        gardees << QStringLiteral("Essai-2006-03-0%1.orvdb").arg(jour);
    EXPECT_EQ(dossier.entryList(QDir::Files, QDir::Name), gardees);
    EXPECT_TRUE(messages.shown().isEmpty());
    qputenv("ORVANELLE_TODAY", avant);
}

// A backup that cannot be made is told; the start goes on.
TEST_F(Demarrage, AFailedBackupIsToldAndTheStartGoesOn) {
    const QString dossier = menu::dossierSauvegardes();
    QDir(dossier).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(dossier).absolutePath()));
    QFile bouchon(dossier);  // a file where the folder should be
    ASSERT_TRUE(bouchon.open(QIODevice::WriteOnly));
    bouchon.close();
    EXPECT_TRUE(menu::Main(programme, "Essai,administrateur,admin"));
    EXPECT_EQ(programme.NomUtilisateur, "ADMINISTRATEUR");
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.shown()[0].text.startsWith(
        "La sauvegarde automatique de la base « Essai » n'a pas pu être faite"))
        << messages.shown()[0].text.toStdString();
    EXPECT_EQ(messages.shown()[0].icon, 48);
    bouchon.remove();
}

}  // namespace
