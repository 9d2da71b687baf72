// The leave tally's form: the helper, then her contracts (key, dates, employer, agreement) to
// choose from, and the motive. "Ouvrir" hosts SoldeConges.Ctr_SoldeConges on that contract.
#pragma once

#include <memory>

#include "host/formulaire_module.h"

namespace Ui {
class Frm_SoldeConges;
}

namespace orv::host {

class Frm_SoldeConges : public FormulaireModule {
    Q_OBJECT
  public:
    Frm_SoldeConges(ModuleHost& host, const ModuleEntry& entry, QWidget* parent = nullptr);
    ~Frm_SoldeConges() override;

    QStringList membres() override;

    // The helper's contracts, listed once her code is loaded.
    void Txt_CodAidant_Loaded(const dba::Record& aidant);

  private:
    QString nomEmployeur(const QString& code);
    QString libelle(const QString& fichier, const QString& cle);

    std::unique_ptr<Ui::Frm_SoldeConges> ui_;
    CodePicker* aidant_ = nullptr;
};

}  // namespace orv::host
