// Screenshots of MenuCadrius's windows for the documentation, over a fixture database:
//   menu_captures DOSSIER
// writes menu-premier-demarrage.png, menu-selection.png, menu-connexion.png,
// menu-principal.png, menu-rapports.png and menu-code.png.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>

#include "fixture.h"
#include "menu/frm_connexion.h"
#include "menu/frm_premierdemarrage.h"
#include "menu/frm_selectionbase.h"
#include "menu/mdi_vesperon.h"

namespace {

void enregistrer(QWidget* w, const QString& dossier, const QString& nom) {
    QApplication::processEvents();
    w->grab().save(dossier + "/" + nom);
}

// A dialog drawn with its title bar: placed in a sub-window of an area of its own size.
void enregistrerAvecTitre(QDialog* dialogue, const QString& dossier, const QString& nom) {
    QMdiArea zone;
    zone.setBackground(QColor(128, 128, 128));
    QMdiSubWindow* cadre = zone.addSubWindow(dialogue, Qt::SubWindow);
    dialogue->setWindowFlags(Qt::Widget);
    cadre->show();
    cadre->adjustSize();
    zone.resize(cadre->size());
    cadre->move(0, 0);
    zone.show();
    enregistrer(&zone, dossier, nom);
    cadre->setWidget(nullptr);
    dialogue->setParent(nullptr);
}

// The main window with a submenu drawn open over it.
void capturerMenu(menu::Mdi_Vesperon& mdi, const QString& dossier) {
    QImage image = mdi.grab().toImage();
    auto* sousMenu = mdi.findChild<QMenu*>("Mnu_CADRIUSBADGEUSES");
    auto* barre = mdi.findChild<QMenuBar*>("Mnu_Barre");
    const QRect titre = barre->actionGeometry(sousMenu->menuAction());
    sousMenu->popup(mdi.mapToGlobal(barre->mapTo(&mdi, titre.bottomLeft())));
    auto* codesBarres = mdi.findChild<QMenu*>("Mnu_CADRIUSCODESBARRES");
    QApplication::processEvents();
    QPainter p(&image);
    const QPoint ici = barre->mapTo(&mdi, titre.bottomLeft());
    p.drawPixmap(ici, sousMenu->grab());
    codesBarres->adjustSize();
    const QRect ligne = sousMenu->actionGeometry(codesBarres->menuAction());
    p.drawPixmap(ici + QPoint(sousMenu->width() - 4, ligne.top()), codesBarres->grab());
    p.end();
    sousMenu->hide();
    image.save(dossier + "/menu-principal.png");
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString dossier = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    orv::ScriptedMessageService messages;
    orv::ScopedMessageService service(&messages);

    essai::BaseEssai base;
    base.ini({"SERVEUR=localhost", "Production=" + base.chemin, "Formation=/srv/formation.orvdb"});
    for (const char* cle :
         {"Moniteurs", "CADRIUSMONITEUR", "CADRIUSTLGVERIFPLG", "Etats", "CADRIUSFEUILLEPRES",
          "CADRIUSRAPPORT", "CADRIUSCODE", "CADRIUSBADGEUSES", "CADRIUSDOUCHETTE",
          "CADRIUSCODESBARRES", "CADRIUSCODESBARRESAIDES", "InfoVersion", "APropos"})
        base.droit("DUPOND", cle, 2);
    base.ecrire("VESPERONRAPPORTS", "2006-03-15_import.txt",
                {"Import des pointages du 15/03/2006", "Fichier : POINT_20060315.DAT",
                 "Pointages lus : 356", "Pointages intégrés : 354",
                 "Anomalie : aidant 00042, badge non reconnu à 08h12",
                 "Anomalie : aidant 00107, badge non reconnu à 17h45", "Fin de l'import à 06:14"});
    base.ecrire("VESPERONRAPPORTS", "2006-03-14_import.txt", {"Import des pointages du 14/03"});

    menu::Programme programme;
    programme.SessionBase = std::make_unique<uni::Session>();
    {
        menu::Frm_PremierDemarrage premier(base.dossier.filePath("Orvanelle.ini"));
        premier.findChild<QLineEdit*>("Txt_Fichier")
            ->setText("/home/accueil/.local/share/orvanelle/Orvanelle.orvdb");
        enregistrerAvecTitre(&premier, dossier, "menu-premier-demarrage.png");
    }
    {
        menu::Frm_SelectionBase selection(programme);
        selection.Form_Load();
        enregistrerAvecTitre(&selection, dossier, "menu-selection.png");
    }
    {
        menu::Frm_Connexion connexion(programme);
        connexion.Form_Load();
        connexion.Txt_Utilisateur()->setText("dupond");
        connexion.Txt_MotPasse()->setText("mot,de,passe");
        enregistrerAvecTitre(&connexion, dossier, "menu-connexion.png");
    }
    essai::connecter(programme, base, "dupond", "mot,de,passe");
    menu::Mdi_Vesperon& mdi = *programme.mdi;
    mdi.resize(1000, 680);
    QApplication::processEvents();
    capturerMenu(mdi, dossier);

    mdi.entree("Mnu_CADRIUSRAPPORT")->trigger();
    auto* liste = mdi.fenetreOuverte("Chd_CADRIUSRAPPORT")->findChild<QComboBox*>("Cbo_Rapports");
    liste->setCurrentIndex(0);
    enregistrer(&mdi, dossier, "menu-rapports.png");
    mdi.fenetreOuverte("Chd_CADRIUSRAPPORT")->findChild<QPushButton*>("Cmd_Fermer")->click();

    mdi.entree("Mnu_CADRIUSCODE")->trigger();
    QWidget* code = mdi.fenetreOuverte("Chd_CADRIUSCODE");
    code->findChild<QLineEdit*>("Text1")->setText("00042");
    code->findChild<QPushButton*>("Command1")->click();
    enregistrer(&mdi, dossier, "menu-code.png");
    return 0;
}
