// The import report chooser: lists the telegestion import reports dated from the first day of
// the current pay period, newest first, and shows the chosen one read-only. Closes only
// through Fermer.
#pragma once

#include <QPointer>
#include <memory>

#include "client/dba.h"
#include "client/uniobjects.h"
#include "menu/fenetre_fille.h"
#include "rights/rights.h"

namespace Ui {
class Chd_CADRIUSRAPPORT;
}

namespace menu {

class Chd_CADRIUSRAPPORT : public FenetreFille {
    Q_OBJECT
  public:
    static inline const QString kErreurRequete = QStringLiteral("Erreur d'exécution de la requête");

    explicit Chd_CADRIUSRAPPORT(Mdi_Vesperon& mdi);
    ~Chd_CADRIUSRAPPORT() override;

    void setTheSession(uni::Session* session) { session_ = session; }
    void setTheDatabase(dba::Database* database) { database_ = database; }
    void setTheClient(dba::Client* client) { client_ = client; }
    // Keeps the rights object and its entry for "RIENDEFINI".
    void setDroitsUtilisateur(orv::Rights* droits);

    // Builds the list of reports.
    void Init();
    // Shows the report selected in the list.
    void AfficherRapport();
    void Txt_Rapports_KeyPress(int& keyAscii);
    void Txt_Rapports_Change();
    void Cmd_Fermer_Click();

    // The selection statement for reports dated from `debut` (yyyy-mm-dd).
    static QString requete(const QString& debut);
    // The first day of the pay period "yyyymm...", as yyyy-mm-01.
    static QString dateDebut(const QString& periode);

  protected:
    bool peutFermer() override { return fermeture_; }

  private:
    std::unique_ptr<Ui::Chd_CADRIUSRAPPORT> ui_;
    QPointer<uni::Session> session_;
    QPointer<dba::Database> database_;
    QPointer<dba::Client> client_;
    QPointer<orv::Rights> droits_;
    orv::RightsEntry droit_;
    uni::Record requete_;
    uni::Record resultat_;
    std::shared_ptr<uni::Subroutine> routine_;
    bool fermeture_ = false;
    bool chargement_ = false;
};

}  // namespace menu
