// The main window: owns the data-access client, the open database and the user's rights for
// the whole run, enables each menu entry by the user's rights, opens the child windows, draws
// the grey background with the centred logo, and offers the about box, the documentation, the
// support site, remote maintenance and Quit.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <functional>
#include <memory>

#include "client/dba.h"
#include "menu/fenetre_fille.h"
#include "menu/programme.h"
#include "rights/rights.h"

class QAction;
class QMdiArea;

namespace Ui {
class Mdi_Vesperon;
}

namespace menu {

class Mdi_Vesperon : public QMainWindow {
    Q_OBJECT
  public:
    explicit Mdi_Vesperon(Programme& programme, QWidget* parent = nullptr);
    ~Mdi_Vesperon() override;

    // The load step: creates the client, connects it and opens the chosen database.
    void Form_Load();
    // Builds the rights object and enables every menu entry by its rights key.
    void InitialiserDroits();

    // Menu entries (and submenus) by name, in display order.
    struct EntreeMenu {
        QString nom;
        QAction* action;
    };
    QList<EntreeMenu> entreesMenu() const;
    QAction* entree(const QString& nom) const;

    // Child windows: their load and their closing.
    void FenetreOuverte(FenetreFille& fenetre);
    void FenetreFermee(FenetreFille& fenetre);
    // The open child window of that name, or null.
    FenetreFille* fenetreOuverte(const QString& nom) const;

    void Mnu_Module_Click(const QString& entree);
    void Mnu_CADRIUSRAPPORT_Click();
    void Mnu_CADRIUSCODE_Click();
    void Mnu_APropos_Click();
    void Mnu_Documentation_Click();
    void Mnu_Support_Click();
    void Mnu_Telemaintenance_Click();
    void Mnu_Quitter_Click();

    Programme& programme() const { return programme_; }
    dba::Client* client() const { return client_; }
    dba::Database* database() const { return database_; }
    orv::Rights* droits() const { return droits_; }
    QMdiArea* Mdi_Zone() const;
    // The background surface as last drawn.
    const QPixmap& fond() const { return picture1_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void connecterMenu();
    // Draws the grey background with the logo centred, at the area's current size.
    void dessinerFond();
    // Places a child window of the program's own at the top left and starts it; a start that
    // fails is reported and the window closed again.
    void demarrerFenetre(FenetreFille* fenetre, const std::function<void()>& demarrer);

    std::unique_ptr<Ui::Mdi_Vesperon> ui_;
    Programme& programme_;
    QPointer<dba::Client> client_;
    QPointer<dba::Database> database_;
    QPointer<orv::Rights> droits_;
    QList<QPointer<FenetreFille>> fenetres_;
    QPixmap image1_;    // the logo
    QPixmap picture1_;  // the drawing surface
    bool occupe_ = false;
    bool aProposOuvert_ = false;
    bool quitte_ = false;
};

}  // namespace menu
