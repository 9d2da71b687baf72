// Ctr_Falmeret, "Gestion des utilisateurs": the users of the database with their group; a
// user added with a password typed twice, a password changed, a user removed after a
// confirmation, a user's group changed. Only level 2 on the window's rights key changes
// anything; level 1 reads. Every change goes through rights::Administration (one transaction,
// the user's rights record read for update, never the last administrator removed).
#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "frame/module_control.h"
#include "rights/administration.h"

namespace Ui {
class Ctr_Falmeret;
}

namespace administration {

class Ctr_Falmeret : public orv::ModuleControl {
    Q_OBJECT
  public:
    static inline const QString kCleDroits = orv::rights::kUsersWindowKey;
    static inline const QString kAucunGroupe = QStringLiteral("(aucun groupe)");

    explicit Ctr_Falmeret(QWidget* parent = nullptr);
    ~Ctr_Falmeret() override;

    // Event handlers.
    void Lst_Utilisateurs_Click();
    void Cmd_Ajouter_Click();
    void Cmd_MotPasse_Click();
    void Cmd_Groupe_Click();
    void Cmd_Supprimer_Click();
    void Cmd_Retour_Click();

  protected:
    void start() override;
    void releaseResources() override;

  private:
    // Fills the list and the group choices; selects `utilisateur` when it is listed.
    void remplir(const QString& utilisateur = QString());
    QString groupeChoisi() const;
    QString nomSaisi() const;
    void viderMotsDePasse();
    // Runs a change of the user named in the box, then shows the list as stored.
    void changer(const std::function<void()>& changement);

    std::unique_ptr<Ui::Ctr_Falmeret> ui_;
    std::optional<orv::rights::Administration> admin_;
    void lireAffiche(const QString& nom);
    // The selected user's rights record as read when it was selected.
    QString afficheNom_;
    orv::rights::StoredRights affiche_;
};

}  // namespace administration
