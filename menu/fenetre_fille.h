// A child window of the main window. Opening one disables its own menu entry and Quit; once it
// closes (when its guard lets it), its entry is enabled again, and Quit too when no other child
// window remains open.
#pragma once

#include <QMdiSubWindow>
#include <QString>

namespace menu {

class Mdi_Vesperon;

class FenetreFille : public QMdiSubWindow {
    Q_OBJECT
  public:
    // `entree` is the name of the menu entry that opens the window ("Mnu_CADRIUSCODE").
    FenetreFille(Mdi_Vesperon& mdi, const QString& nom, const QString& caption,
                 const QString& entree);

    const QString& entree() const { return entree_; }
    Mdi_Vesperon& mdi() const { return mdi_; }

    // The load step: the window's entry and Quit are disabled while it is open.
    void desactiverEntrees();
    // Closes the window whatever its guard says (a hosted control that could not start).
    void fermerSansCondition();

  protected:
    // The unload guard: false cancels a close request.
    virtual bool peutFermer() { return true; }
    void closeEvent(QCloseEvent* event) override;

  private:
    Mdi_Vesperon& mdi_;
    QString entree_;
    bool forcee_ = false;
};

}  // namespace menu
