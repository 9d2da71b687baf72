// The absence report's form: the report (absence list or forecast leave), the period, the
// grouping, the absence categories, the printer. "Imprimer" builds the report lines from the
// database (lignes_absences.h) and hosts TraceAbsences.Ctr_Impression with them.
#pragma once

#include <memory>

#include "host/formulaire_module.h"

namespace Ui {
class Frm_Absences;
}

namespace orv::host {

class Frm_Absences : public FormulaireModule {
    Q_OBJECT
  public:
    Frm_Absences(ModuleHost& host, const ModuleEntry& entry, QWidget* parent = nullptr);
    ~Frm_Absences() override;

    QStringList membres() override;

  private:
    std::unique_ptr<Ui::Frm_Absences> ui_;
};

}  // namespace orv::host
