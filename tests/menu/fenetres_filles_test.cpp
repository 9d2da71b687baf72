// The child windows hosting the telegestion controls (played by the stand-in plugin): members
// in the order of each row, Init and ChargerSiDejaBranche, one window of each kind, the entries
// and Quit, the close guard, and controls that are missing or fail to start.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include "fixture.h"
#include "menu/chd_module.h"
#include "menu/mdi_vesperon.h"

using essai::BaseEssai;

namespace {

class FenetresFilles : public ::testing::Test {
  protected:
    void SetUp() override {
        qputenv("ORVANELLE_PLUGIN_PATH", MENU_TEST_PLUGINS);
        for (const menu::DefinitionModule& d : menu::DefinitionsModules())
            base.droit("DUPOND", d.entree.mid(4), 2);
        for (const char* sousMenu : {"Moniteurs", "Etats", "CADRIUSBADGEUSES", "CADRIUSCODESBARRES",
                                     "CADRIUSPARAMS", "CADRIUSDROITS"})
            base.droit("DUPOND", sousMenu, 2);
        essai::connecter(programme, base, "dupond", "mot,de,passe");
        ASSERT_NE(programme.mdi, nullptr);
        mdi = programme.mdi.get();
    }
    void TearDown() override { qunsetenv("ORVANELLE_PLUGIN_PATH"); }

    // Opens the window of a menu entry; its hosted control (null when none).
    QWidget* ouvrir(const QString& entree) {
        mdi->entree(entree)->trigger();
        const menu::DefinitionModule* d = menu::DefinitionModuleDe(entree);
        auto* fenetre = qobject_cast<menu::Chd_Module*>(mdi->fenetreOuverte(d->fenetre));
        return fenetre ? fenetre->controle() : nullptr;
    }
    static QStringList journal(QWidget* controle) {
        return controle->property("Journal").toStringList();
    }
    static void sortir(QWidget* controle) {
        controle->findChild<QPushButton*>("Cmd_Sortir")->click();
        QApplication::processEvents();
    }
    bool quitter() const { return mdi->entree("Mnu_Quitter")->isEnabled(); }

    BaseEssai base;
    orv::ScriptedMessageService messages;
    orv::ScopedMessageService service{&messages};
    menu::Programme programme;
    menu::Mdi_Vesperon* mdi = nullptr;
};

TEST_F(FenetresFilles, EveryRowHandsItsMembersInOrderThenStarts) {
    for (const menu::DefinitionModule& d : menu::DefinitionsModules()) {
        QWidget* controle = ouvrir(d.entree);
        ASSERT_NE(controle, nullptr) << d.entree.toStdString();
        QMdiSubWindow* fenetre = mdi->fenetreOuverte(d.fenetre);
        EXPECT_EQ(fenetre->windowTitle(), d.caption);
        EXPECT_EQ(fenetre->pos(), QPoint(0, 0));
        QStringList recus;
        for (const QString& ligne : journal(controle)) recus << ligne.section('=', 0, 0);
        QStringList attendus = d.membres;
        if (d.init) attendus << "Init";
        if (d.chargerSiDejaBranche) attendus << "ChargerSiDejaBranche";
        EXPECT_EQ(recus, attendus) << d.entree.toStdString();
        sortir(controle);
        EXPECT_EQ(mdi->fenetreOuverte(d.fenetre), nullptr);
    }
}

TEST_F(FenetresFilles, BadgeReaderIsLoadedOnlyOnceItsWindowIsVisible) {
    QWidget* controle = ouvrir("Mnu_CADRIUSDOUCHETTE");
    ASSERT_NE(controle, nullptr);
    EXPECT_EQ(journal(controle),
              (QStringList{"TheSession=uni::Session", "TheDatabase=dba::Database",
                           "TheClient=dba::Client", "DroitsUtilisateur=orv::Rights",
                           "W_NomBase=Essai", "W_Utilisateur=DUPOND", "W_MotPasse=mot,de,passe",
                           "Init=cachée", "ChargerSiDejaBranche=visible"}));
}

TEST_F(FenetresFilles, EffectivenessCheckIsToldItsCaller) {
    QWidget* controle = ouvrir("Mnu_CADRIUSTLGVERIFPLG");
    ASSERT_NE(controle, nullptr);
    EXPECT_TRUE(journal(controle).contains("W_OrigineAppel=MENUCADRIUS"));
}

TEST_F(FenetresFilles, ErrandBarcodesGetNoMemberNoInitAndStillHonourTheirExit) {
    QWidget* controle = ouvrir("Mnu_CADRIUSCODESBARRESCOURSES");
    ASSERT_NE(controle, nullptr);
    EXPECT_TRUE(journal(controle).isEmpty());
    QMdiSubWindow* fenetre = mdi->fenetreOuverte("Chd_CADRIUSCODESBARRESCOURSES");
    EXPECT_TRUE(fenetre->isVisible());
    fenetre->close();
    EXPECT_TRUE(fenetre->isVisible());
    sortir(controle);
    EXPECT_EQ(mdi->fenetreOuverte("Chd_CADRIUSCODESBARRESCOURSES"), nullptr);
}

TEST_F(FenetresFilles, QuitComesBackOnlyWhenTheLastChildWindowCloses) {
    EXPECT_TRUE(quitter());
    QWidget* moniteur = ouvrir("Mnu_CADRIUSMONITEUR");
    QWidget* historique = ouvrir("Mnu_CADRIUSHISTOPOINTAGE");
    ASSERT_TRUE(moniteur && historique);
    EXPECT_FALSE(mdi->entree("Mnu_CADRIUSMONITEUR")->isEnabled());
    EXPECT_FALSE(mdi->entree("Mnu_CADRIUSHISTOPOINTAGE")->isEnabled());
    EXPECT_FALSE(quitter());

    sortir(moniteur);
    EXPECT_TRUE(mdi->entree("Mnu_CADRIUSMONITEUR")->isEnabled());
    EXPECT_FALSE(quitter());
    sortir(historique);
    EXPECT_TRUE(mdi->entree("Mnu_CADRIUSHISTOPOINTAGE")->isEnabled());
    EXPECT_TRUE(quitter());
}

TEST_F(FenetresFilles, CloseBoxIsRefusedWhileTheControlHasNotLeft) {
    QWidget* controle = ouvrir("Mnu_CADRIUSPARAMSRUB");
    ASSERT_NE(controle, nullptr);
    QMdiSubWindow* fenetre = mdi->fenetreOuverte("Chd_CADRIUSPARAMSRUB");
    fenetre->close();
    QApplication::processEvents();
    EXPECT_EQ(mdi->fenetreOuverte("Chd_CADRIUSPARAMSRUB"), fenetre);
    EXPECT_TRUE(fenetre->isVisible());
    EXPECT_FALSE(mdi->entree("Mnu_CADRIUSPARAMSRUB")->isEnabled());
    EXPECT_FALSE(quitter());
    // The main window's close box cannot quit either while a child window is open.
    mdi->close();
    EXPECT_TRUE(mdi->isVisible());
}

TEST_F(FenetresFilles, OneWindowOfEachKind) {
    QWidget* premier = ouvrir("Mnu_CADRIUSPARAMSARR");
    ASSERT_NE(premier, nullptr);
    mdi->Mnu_Module_Click("Mnu_CADRIUSPARAMSARR");  // even when called with the entry disabled
    EXPECT_EQ(mdi->Mdi_Zone()->subWindowList().size(), 1);
}

TEST_F(FenetresFilles, MissingOrFailingControlIsReportedAndItsEntryComesBack) {
    qputenv("ORVANELLE_PLUGIN_PATH", base.dossier.path().toLocal8Bit());
    EXPECT_EQ(ouvrir("Mnu_CADRIUSEXTRACTIONS"), nullptr);
    QApplication::processEvents();
    ASSERT_EQ(messages.shown().size(), 1);
    // Named by its caption, with where it comes from.
    EXPECT_EQ(messages.shown()[0].text,
              "Le module « Extractions Cadrius » n'est pas installé : il est fourni avec les "
              "modules de télégestion Cadrius, à installer à part.");
    EXPECT_EQ(messages.shown()[0].title, "Message ORVANELLE");
    EXPECT_TRUE(mdi->entree("Mnu_CADRIUSEXTRACTIONS")->isEnabled());
    EXPECT_TRUE(quitter());

    qputenv("ORVANELLE_PLUGIN_PATH", MENU_TEST_PLUGINS);
    qputenv("ORV_TEST_ECHEC_INIT", "1");
    ouvrir("Mnu_CADRIUSEXTRACTIONS");
    qunsetenv("ORV_TEST_ECHEC_INIT");
    QApplication::processEvents();
    ASSERT_EQ(messages.shown().size(), 2);
    EXPECT_TRUE(messages.shown()[1].text.contains("Orbesque.Ctr_Orbesque"));
    EXPECT_TRUE(messages.shown()[1].text.contains("base de télégestion injoignable"));
    EXPECT_EQ(mdi->fenetreOuverte("Chd_CADRIUSEXTRACTION"), nullptr);
    EXPECT_TRUE(mdi->entree("Mnu_CADRIUSEXTRACTIONS")->isEnabled());
    EXPECT_TRUE(quitter());
}

}  // namespace
