// The main window: its menu, the rights applied to it, the background, the about box, the
// outside programs and Quit.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include "fixture.h"
#include "menu/fichiers_programme.h"
#include "menu/lanceur.h"
#include "menu/mdi_vesperon.h"

using essai::BaseEssai;

namespace {

class FenetrePrincipale : public ::testing::Test {
  protected:
    menu::Mdi_Vesperon& ouvrir(const QString& utilisateur, const QString& motPasse) {
        essai::connecter(programme, base, utilisateur, motPasse);
        EXPECT_NE(programme.mdi, nullptr);
        return *programme.mdi;
    }
    QStringList actives(menu::Mdi_Vesperon& mdi) {
        QStringList noms;
        for (const auto& e : mdi.entreesMenu())
            if (e.action->isEnabled()) noms << e.nom;
        return noms;
    }

    BaseEssai base;
    orv::ScriptedMessageService messages;
    orv::ScopedMessageService service{&messages};
    menu::LanceurEnregistreur lanceur;
    menu::Programme programme;
    void SetUp() override { menu::Lanceur::installer(&lanceur); }
    void TearDown() override { menu::Lanceur::installer(nullptr); }
};

TEST_F(FenetrePrincipale, MenuEntriesNestingAndOrderFollowTheDesign) {
    menu::Mdi_Vesperon& mdi = ouvrir("martin", "martin");
    QStringList lignes;
    for (const auto& e : mdi.entreesMenu()) {
        lignes << e.nom + "=" + e.action->text();
    }
    EXPECT_EQ(lignes, (QStringList{
                          "Mnu_Moniteurs=Moniteurs",
                          "Mnu_CADRIUSMONITEUR=Suivi des anomalies",
                          "Mnu_CADRIUSTLGVERIFPLG=Contrôle d'effectivité",
                          "Mnu_CADRIUSHISTOPOINTAGE=Historique des pointages",
                          "Mnu_Etats=Etats",
                          "Mnu_CADRIUSFEUILLEPRES=Edition des feuilles de présence",
                          "Mnu_CADRIUSEDITIONCARTES=Edition cartes",
                          "Mnu_CADRIUSEXTRACTIONS=Extractions",
                          "Mnu_CADRIUSCOMPPLGTLG=Comparaison plannings/télégestion",
                          "Mnu_CADRIUSRAPPORT=Rapports d'importation",
                          "Mnu_CADRIUSCODE=Code",
                          "Mnu_CADRIUSBADGEUSES=Badgeuses",
                          "Mnu_CADRIUSDOUCHETTE=Gestion des badgeuses",
                          "Mnu_CADRIUSCODESBARRES=Codes barres",
                          "Mnu_CADRIUSCODESBARRESAIDES=Aidés",
                          "Mnu_CADRIUSCODESBARRESCOURSES=Courses",
                          "Mnu_CADRIUSPARAMS=Paramètres",
                          "Mnu_CADRIUSPARAMSRUB=Paramètrages des rubriques de saisies",
                          "Mnu_CADRIUSPARAMSARR=Paramétrage général",
                          "Mnu_CADRIUSDROITS=Droits utilisateurs",
                          "Mnu_CADRIUSDROITSGPE=Gestions des groupes de profil",
                          "Mnu_CADRIUSDROITSUTILS=Gestion des utilisateurs",
                          "Mnu_InfoVersion=?",
                          "Mnu_Documentation=Amélioration logiciel",
                          "Mnu_Maintenance=Maintenance",
                          "Mnu_Support=Support Orvanelle",
                          "Mnu_Telemaintenance=Télémaintenance",
                          "Mnu_APropos=A propos d'Orvanelle",
                          "Mnu_Quitter=Quitter",
                      }));
    // Nesting: the codes-barres entries sit two levels down, under Badgeuses.
    auto* codesBarres = mdi.findChild<QMenu*>("Mnu_CADRIUSCODESBARRES");
    ASSERT_NE(codesBarres, nullptr);
    EXPECT_EQ(codesBarres->parentWidget()->objectName(), "Mnu_CADRIUSBADGEUSES");
    EXPECT_TRUE(codesBarres->actions().contains(mdi.entree("Mnu_CADRIUSCODESBARRESCOURSES")));
    // Commands without children sit on the menu bar itself.
    auto* barre = mdi.findChild<QMenuBar*>("Mnu_Barre");
    EXPECT_TRUE(barre->actions().contains(mdi.entree("Mnu_CADRIUSRAPPORT")));
    EXPECT_TRUE(barre->actions().contains(mdi.entree("Mnu_Quitter")));
}

TEST_F(FenetrePrincipale, AdministratorWithAnEmptyRightsStoreGetsOnlyTheThreeForcedKeys) {
    menu::Mdi_Vesperon& mdi = ouvrir("administrateur", "admin");
    for (const char* cle : {"DROITS", "DROITSGROUPE", "DROITSUTIL"}) {
        const orv::RightsEntry e = mdi.droits()->entry(cle);
        EXPECT_EQ(e.key(), cle);
        EXPECT_EQ(e.level(), 2);
    }
    // Every entry still follows its own key: none is stored, so only Quit is available.
    EXPECT_EQ(actives(mdi), QStringList{"Mnu_Quitter"});
}

TEST_F(FenetrePrincipale, ForcedKeysKeepAStoredEntryAndRaiseItsLevel) {
    base.droit("ADMINISTRATEUR", "DROITS", 1);
    base.droit("ADMINISTRATEUR", "CADRIUSDROITS", 2);
    menu::Mdi_Vesperon& mdi = ouvrir("administrateur", "admin");
    EXPECT_EQ(mdi.droits()->entry("DROITS").level(), 2);
    EXPECT_EQ(actives(mdi), (QStringList{"Mnu_CADRIUSDROITS", "Mnu_Quitter"}));
}

TEST_F(FenetrePrincipale, ALevelZeroSubmenuMakesItsEntriesUnreachable) {
    base.droit("MARTIN", "Moniteurs", 0);
    base.droit("MARTIN", "CADRIUSMONITEUR", 2);
    base.droit("MARTIN", "Etats", 1);
    base.droit("MARTIN", "CADRIUSFEUILLEPRES", 1);
    base.droit("MARTIN", "Quitter", 0);
    menu::Mdi_Vesperon& mdi = ouvrir("martin", "martin");
    EXPECT_FALSE(mdi.entree("Mnu_Moniteurs")->isEnabled());
    EXPECT_TRUE(mdi.entree("Mnu_CADRIUSMONITEUR")->isEnabled());
    EXPECT_FALSE(mdi.findChild<QMenu*>("Mnu_Moniteurs")->menuAction()->isEnabled());
    EXPECT_EQ(actives(mdi), (QStringList{"Mnu_CADRIUSMONITEUR", "Mnu_Etats",
                                         "Mnu_CADRIUSFEUILLEPRES", "Mnu_Quitter"}));
}

TEST_F(FenetrePrincipale, ResizingRecentresTheLogoOnAGreyBackground) {
    menu::Mdi_Vesperon& mdi = ouvrir("martin", "martin");
    const QColor gris(128, 128, 128);
    for (const QSize taille : {QSize(900, 640), QSize(1200, 900), QSize(700, 500)}) {
        mdi.resize(taille);
        QApplication::processEvents();
        const QSize zone = mdi.Mdi_Zone()->viewport()->size();
        const QImage fond = mdi.fond().toImage();
        ASSERT_EQ(fond.size(), zone);
        EXPECT_EQ(QColor(fond.pixel(0, 0)), gris);
        EXPECT_EQ(QColor(fond.pixel(zone.width() - 1, zone.height() - 1)), gris);
        // The logo's house is teal at the logo's centre line, just above its middle.
        const QColor centre(fond.pixel(zone.width() / 2, zone.height() / 2 - 30));
        EXPECT_NE(centre, gris);
        EXPECT_EQ(QColor(fond.pixel(zone.width() / 2 - 200, zone.height() / 2)), gris);
        EXPECT_EQ(mdi.Mdi_Zone()->background().textureImage().size(), zone);
    }
}

TEST_F(FenetrePrincipale, AboutBoxDisablesQuitUntilOk) {
    for (const char* cle : {"InfoVersion", "APropos"}) base.droit("MARTIN", cle, 2);
    menu::Mdi_Vesperon& mdi = ouvrir("martin", "martin");
    bool quitterPendant = true;
    QString version;
    QTimer::singleShot(0, [&] {
        QWidget* boite = QApplication::activeModalWidget();
        ASSERT_NE(boite, nullptr);
        EXPECT_EQ(boite->windowTitle(), "A propos d'Orvanelle");
        quitterPendant = mdi.entree("Mnu_Quitter")->isEnabled();
        version = boite->findChild<QLabel*>("Etq_Version")->text();
        boite->close();  // refused: only OK closes it
        EXPECT_TRUE(boite->isVisible());
        QMouseEvent clic(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(boite->findChild<QLabel*>("Etq_SiteWeb"), &clic);
        boite->findChild<QPushButton*>("Cmd_OK")->click();
    });
    mdi.entree("Mnu_APropos")->trigger();
    EXPECT_FALSE(quitterPendant);
    EXPECT_TRUE(mdi.entree("Mnu_Quitter")->isEnabled());
    EXPECT_FALSE(version.isEmpty());
    ASSERT_EQ(lanceur.demandes().size(), 1);
    EXPECT_EQ(lanceur.demandes()[0].cible, menu::kSiteWeb);
}

TEST_F(FenetrePrincipale, OutsideProgramsThatCannotStartAreReported) {
    for (const char* cle :
         {"InfoVersion", "Maintenance", "Support", "Telemaintenance", "Documentation"})
        base.droit("MARTIN", cle, 2);
    menu::Mdi_Vesperon& mdi = ouvrir("martin", "martin");
    qputenv("ORVANELLE_DATA_DIR", base.dossier.path().toLocal8Bit());
    mdi.entree("Mnu_Documentation")->trigger();  // no document: nothing visible
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_TRUE(lanceur.demandes().isEmpty());

    mdi.entree("Mnu_Telemaintenance")->trigger();
    lanceur.reussite = false;
    mdi.entree("Mnu_Support")->trigger();
    QFile document(base.dossier.filePath("infoversion.pdf"));
    ASSERT_TRUE(document.open(QIODevice::WriteOnly));
    document.close();
    mdi.entree("Mnu_Documentation")->trigger();  // a document that no viewer shows
    qunsetenv("ORVANELLE_DATA_DIR");
    ASSERT_EQ(messages.shown().size(), 3);
    EXPECT_TRUE(
        messages.shown()[0].text.startsWith("Le programme de télémaintenance est introuvable"));
    EXPECT_TRUE(messages.shown()[1].text.contains(menu::kSiteSupport));
    EXPECT_EQ(messages.shown()[1].title, "Message ORVANELLE");
    EXPECT_TRUE(messages.shown()[2].text.startsWith("Aucune visionneuse de documents PDF"));
    EXPECT_TRUE(messages.shown()[2].text.contains(document.fileName()));
}

TEST_F(FenetrePrincipale, QuitReleasesTheObjectsDisconnectsAndEnds) {
    menu::Mdi_Vesperon& mdi = ouvrir("martin", "martin");
    int fin = -1;
    programme.surFin = [&](int code) { fin = code; };
    QPointer<dba::Database> database = mdi.database();
    QPointer<orv::Rights> droits = mdi.droits();
    mdi.entree("Mnu_Quitter")->trigger();
    EXPECT_EQ(fin, 0);
    EXPECT_TRUE(database.isNull());
    EXPECT_TRUE(droits.isNull());
    EXPECT_FALSE(programme.SessionBase->isConnected());
    EXPECT_FALSE(mdi.isVisible());
}

}  // namespace
