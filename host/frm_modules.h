// The Modules window of orvanelle-module: the six modules with their French names and what
// each does; a module the user's rights do not open is greyed. "Ouvrir" (or a double click)
// opens the chosen module in a window of its own, through its form when it has one; several
// may be open at once. "Quitter" closes them all and ends the program.
#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class Frm_Modules;
}

namespace orv::host {

class ModuleHost;
struct ModuleEntry;

class Frm_Modules : public QWidget {
    Q_OBJECT
  public:
    explicit Frm_Modules(ModuleHost& host, QWidget* parent = nullptr);
    ~Frm_Modules() override;

    void Lst_Modules_Click();
    void Cmd_Ouvrir_Click();
    void Cmd_Quitter_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    const ModuleEntry* chosen() const;

    std::unique_ptr<Ui::Frm_Modules> ui_;
    ModuleHost& host_;
};

}  // namespace orv::host
