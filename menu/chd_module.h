// The child windows that host a telegestion module control: one table row per menu entry
// (window name, caption, control identifier, members set in order, whether Init and
// ChargerSiDejaBranche are called), and the window that creates, starts and guards the control.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

#include "menu/fenetre_fille.h"

namespace menu {

struct DefinitionModule {
    QString entree;                     // menu entry, "Mnu_CADRIUSMONITEUR"
    QString fenetre;                    // child window, "Chd_CADRIUSMONITEUR"
    QString caption;                    // "Moniteur de contrôle"
    QString controle;                   // control identifier, "Cordanel.Ctr_Cordanel"
    QStringList membres;                // members set, in this order
    bool init = true;                   // Init is called before the window is shown
    bool chargerSiDejaBranche = false;  // ChargerSiDejaBranche is called once it is visible
};

// The fourteen hosted controls, in menu order.
const std::vector<DefinitionModule>& DefinitionsModules();
// True for the controls that come with the telegestion modules (all but the administration
// windows: general parameters, groups, users).
bool ModuleDeTelegestion(const DefinitionModule& definition);
// The row of a menu entry; null when the entry does not open a hosted control.
const DefinitionModule* DefinitionModuleDe(const QString& entree);

class Chd_Module : public FenetreFille {
    Q_OBJECT
  public:
    Chd_Module(Mdi_Vesperon& mdi, const DefinitionModule& definition);

    // Loads the window and starts its control: members in the order of the row, Init, show,
    // then ChargerSiDejaBranche. A control that is not installed or fails while starting is
    // reported in a message naming the module, and the window is closed again. True when the
    // control runs.
    bool Ouvrir();

    QWidget* controle() const { return controle_; }
    const DefinitionModule& definition() const { return definition_; }

  protected:
    // The control agrees to be closed (W_Sortir is True).
    bool peutFermer() override;

  private:
    // The value handed over for a member of the table.
    QVariant valeurMembre(const QString& membre) const;
    void appeler(const char* methode);
    void echec(const QString& message);

    const DefinitionModule& definition_;
    QPointer<QWidget> controle_;
};

}  // namespace menu
