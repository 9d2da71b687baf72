// The database selection window: its load reads the INI file of database servers into the
// list; OK applies the chosen database to the session; Quitter (or the close box) ends the
// program.
#pragma once

#include <QDialog>
#include <memory>

#include "frame/ini_serveurs.h"
#include "menu/programme.h"

class QComboBox;

namespace Ui {
class Frm_SelectionBase;
}

namespace menu {

class Frm_SelectionBase : public QDialog {
    Q_OBJECT
  public:
    explicit Frm_SelectionBase(Programme& programme, QWidget* parent = nullptr);
    ~Frm_SelectionBase() override;

    // Reads the INI file: the server, the list of labels and their account paths (relative
    // ones taken from the INI file's folder). A server
    // problem or a missing database shows its message and ends the program.
    void Form_Load();
    void Cmd_OK_Click();
    void Cmd_Quitter_Click();

    QComboBox* Cbo_BaseDispo() const;
    // True once OK applied a database to the session.
    bool baseChoisie() const { return choisie_; }

  protected:
    void reject() override;

  private:
    std::unique_ptr<Ui::Frm_SelectionBase> ui_;
    Programme& programme_;
    orv::IniServeurs ini_;
    bool choisie_ = false;
};

}  // namespace menu
