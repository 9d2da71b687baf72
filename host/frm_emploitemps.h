// The timetable's form: one helper, one client, or several persons chosen by entity, sector,
// activity and code bounds, with their order; the first day proposed to the timetable's own
// date dialog (today), and the two options. "Continuer" hosts HoraireAidants.Ctr_EditEmplTps
// with Edition's arguments; its date dialog then asks for the period, as it always does.
#pragma once

#include <memory>

#include "host/formulaire_module.h"

namespace Ui {
class Frm_EmploiTemps;
}

namespace orv::host {

class Frm_EmploiTemps : public FormulaireModule {
    Q_OBJECT
  public:
    Frm_EmploiTemps(ModuleHost& host, const ModuleEntry& entry, QWidget* parent = nullptr);
    ~Frm_EmploiTemps() override;

    QStringList membres() override;

    void Opt_Personnes_Click();

  private:
    QString activiteChoisie();

    std::unique_ptr<Ui::Frm_EmploiTemps> ui_;
    CodePicker* aidant_ = nullptr;
    CodePicker* aide_ = nullptr;
    EntityPicker* entite_ = nullptr;
    CodePicker* secteur_ = nullptr;
};

}  // namespace orv::host
