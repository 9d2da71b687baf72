// Ctr_Tornesse, "Gestion des groupes d'utilisateurs": the groups, and for a group or a single
// user the level of every rights key the program and the modules look up (each with its French
// label), and the sectors the absences' per-sector question allows. A user's key without a
// level of its own shows what the user's groups give. Groups are created here; users are the
// users' window's. Only level 2 on the window's rights key changes anything; level 1 reads.
// "Enregistrer" stores what is shown in one transaction through rights::Administration.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "frame/module_control.h"
#include "rights/administration.h"

namespace Ui {
class Ctr_Tornesse;
}

namespace administration {

class Ctr_Tornesse : public orv::ModuleControl {
    Q_OBJECT
  public:
    static inline const QString kCleDroits = QStringLiteral("CADRIUSDROITSGPE");
    static inline const QString kQuestionEnregistrer =
        QStringLiteral("Voulez-vous enregistrer les modifications apportées à ces droits ?");

    explicit Ctr_Tornesse(QWidget* parent = nullptr);
    ~Ctr_Tornesse() override;

    // The level shown for a key: its own, or (nothing stored) the groups' for a user.
    QString texteNiveau(const QString& cle) const;

    // Event handlers.
    void Opt_Titulaire_Click();
    void Cbo_Titulaire_Click();
    void Lst_Droits_Click();
    void Cbo_Niveau_Click();
    void Opt_Secteurs_Click();
    void Cmd_CreerGroupe_Click();
    void Cmd_OK_Click();
    void Cmd_Annul_Click();
    void Cmd_Retour_Click();

  protected:
    void start() override;
    void releaseResources() override;

  private:
    orv::rights::Holder titulaire() const;
    // Fills the holder combo for the chosen kind and selects `nom` (else the first).
    void remplirTitulaires(const QString& nom = QString());
    // Reads the chosen holder's rights and shows them.
    void charger();
    void afficherDroits();
    void afficherSecteurs();
    orv::rights::StoredRights lireEcran() const;
    bool cleImposee(const QString& cle) const;
    bool modifie() const;
    // Asks whether to save changes before another holder is shown; false: stay.
    bool quitterTitulaire();

    std::unique_ptr<Ui::Ctr_Tornesse> ui_;
    std::optional<orv::rights::Administration> admin_;
    QString nom_;                        // the holder shown
    orv::rights::StoredRights affiche_;  // as read
    orv::rights::StoredRights saisie_;   // as edited (sectors read from the screen)
    QMap<QString, int> niveauxGroupes_;  // for a user: what the groups give
    QStringList cles_;                   // the rows of Lst_Droits
};

}  // namespace administration
