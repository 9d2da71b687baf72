// A minimal module control for the frame's tests: the legal-entity picker, a detail box that
// shows the loaded entity, an action button hidden without full rights, and an exit button.
// W_Activites chooses the entity list built from activities (else from the legal entities).
#pragma once

#include <memory>

#include "frame/code_picker.h"
#include "frame/module_control.h"

namespace Ui {
class Ctr_Essai;
}

namespace essai {

class Ctr_Essai : public orv::ModuleControl {
    Q_OBJECT
    Q_PROPERTY(bool W_Activites MEMBER activites_)
    Q_PROPERTY(int W_Nombre MEMBER nombre_)
    Q_PROPERTY(QString W_Titre MEMBER titre_)
  public:
    explicit Ctr_Essai(QWidget* parent = nullptr);
    ~Ctr_Essai() override;

    orv::EntityPicker& picker() { return *picker_; }
    Ui::Ctr_Essai& ui() { return *ui_; }
    int sommaireClicks() const { return sommaireClicks_; }

  protected:
    void start() override;
    QWidget* actionButton() const override;
    void Mnu_Sommaire_Click() override { ++sommaireClicks_; }

  private:
    std::unique_ptr<Ui::Ctr_Essai> ui_;
    orv::EntityPicker* picker_;
    bool activites_ = false;
    int nombre_ = 0;
    QString titre_;
    int sommaireClicks_ = 0;
};

}  // namespace essai
