// The helper code window: turns a five-digit helper code into the longer code a helper types
// on the telegestion system (a check digit, the helper code, the association's suffix).
#pragma once

#include <QPointer>
#include <memory>
#include <optional>

#include "client/uniobjects.h"
#include "menu/fenetre_fille.h"
#include "rights/rights.h"

namespace Ui {
class Chd_CADRIUSCODE;
}

namespace menu {

// The telegestion code of a helper: s = helper code followed by the suffix, read as a 32-bit
// signed whole number; the code is the number modulo 7 followed by s. None when s is not such
// a number (too large, or not digits).
std::optional<QString> CodeCadrius(const QString& codeAidant, const QString& suffixe);

class Chd_CADRIUSCODE : public FenetreFille {
    Q_OBJECT
  public:
    explicit Chd_CADRIUSCODE(Mdi_Vesperon& mdi);
    ~Chd_CADRIUSCODE() override;

    void setTheSession(uni::Session* session) { session_ = session; }
    // Keeps the rights object and its entry for "CADRIUSCODE".
    void setDroitsUtilisateur(orv::Rights* droits);

    // Hides the generate button without full rights, reads the association's suffix.
    void Init();
    void Text1_Change();
    void Command1_Click();
    void Command2_Click();

    const QString& suffixe() const { return suffixe_; }

  private:
    std::unique_ptr<Ui::Chd_CADRIUSCODE> ui_;
    QPointer<uni::Session> session_;
    QPointer<orv::Rights> droits_;
    orv::RightsEntry droit_;
    QString suffixe_;
};

}  // namespace menu
