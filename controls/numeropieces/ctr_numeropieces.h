// Ctr_NumeroPieces: per legal entity, the invoice number counters, the billing floors, the
// invoice printing floors (at most 10 euros), helpers' names and negative invoices on
// invoices, the SSIAD payment statement number and, in a federation, the federation billing
// statement number (record NUMEROFACT, see compteurs.h).
//
// Writing is safe against other users: the record is read for update and compared with the
// record loaded for display; when another user holds it or changed it since, nothing is
// written, a message says so and the screen keeps what was typed.
#pragma once

#include <QString>
#include <array>
#include <memory>

#include "client/dba.h"
#include "controls/numeropieces/compteurs.h"
#include "frame/module_control.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace Ui {
class Ctr_NumeroPieces;
}

namespace orv {
class EntityPicker;
}

namespace numeropieces {

class Ctr_NumeroPieces : public orv::ModuleControl {
    Q_OBJECT
  public:
    static inline const QString kCleDroits = QStringLiteral("COMPTEURFACT");
    static inline const QString kPageAide = QStringLiteral("NumeroPieces.htm");
    static inline const QString kTitreAide = QStringLiteral("Les compteurs de facturation");
    static inline const QString kQuestionEnregistrer =
        QStringLiteral("Voulez-vous enregistrer les modifications apportées à cet article ?");
    static inline const QString kMessageVerrouille = QStringLiteral(
        "Les compteurs de cette entité juridique sont en cours de modification par un autre "
        "utilisateur.\nVos modifications n'ont pas été enregistrées : elles restent à l'écran. "
        "Validez de nouveau dans quelques instants.");
    static inline const QString kMessageModifie = QStringLiteral(
        "Les compteurs de cette entité juridique ont été modifiés par un autre utilisateur "
        "depuis leur affichage.\nVos modifications n'ont pas été enregistrées : annulez puis "
        "rappelez l'entité juridique pour voir les valeurs à jour.");

    explicit Ctr_NumeroPieces(QWidget* parent = nullptr);
    ~Ctr_NumeroPieces() override;

    // Public procedures, also used by the control itself.
    void Initialisation();
    void VideZones();
    // Writes NUMEROFACT from the screen; false when nothing was written (record held or
    // changed by another user), the screen then keeps every typed value.
    bool Ecriture();
    void Remplir_TypeActivite();
    void ouvrirFichiers(dba::Database& db);
    void DegrisageZone();
    void Remplir_Zone();
    void ControleChiffre(int& keyAscii);
    static QString Cadrage(const QString& texte, int longueur, const QString& caractere);
    void RemplirNumEtatFact();

    // The screen's values as typed, and the record loaded for display (attribute 9 set to 0
    // when it was empty).
    numeropieces::Saisie lireEcran() const;
    const dba::Record& enregistrementCharge() const { return charge_; }
    bool entiteChargee() const { return entiteChargee_; }

    // Event handlers.
    void Cmd_OK_Click();
    void Cmd_Annul_Click();
    void Cmd_Retour_Click();
    void Cac_PlanFact_Click(int mode);
    void Txt_Plancher_LostFocus(QLineEdit* box);
    void Txt_PlancherEdition_LostFocus(int mode);

  protected:
    void start() override;
    QWidget* actionButton() const override;
    void releaseResources() override;
    void Mnu_Sommaire_Click() override;

  private:
    // The widgets of one billing mode, found by name.
    struct ModeWidgets {
        QGroupBox* cadre = nullptr;
        QLabel* etqAide = nullptr;
        QLineEdit* aide = nullptr;
        QLabel* etqOrga = nullptr;
        QLineEdit* orga = nullptr;
        QLabel* etqPlancherFact = nullptr;  // null in a mode without billing floor
        QLineEdit* plancherFact = nullptr;
        QCheckBox* nomIntervenants = nullptr;
        QCheckBox* plancherEdition = nullptr;
        QLineEdit* montantEdition = nullptr;
        QCheckBox* factNegatives = nullptr;
    };

    void trouverWidgets();
    void installerFiltres();
    void connecterEvenements();
    void afficher(const numeropieces::Saisie& saisie);
    void activerMode(const ModeWidgets& w, bool actif);
    void activerSsiad(bool actif);
    void chargerEntite();
    void ouvrirSelecteur();
    bool federation() const;
    void quitter();

    std::unique_ptr<Ui::Ctr_NumeroPieces> ui_;
    orv::EntityPicker* picker_ = nullptr;
    std::array<ModeWidgets, numeropieces::kNombreModes> modes_;

    std::shared_ptr<dba::File> numeroFact_;
    std::shared_ptr<dba::File> association_;
    std::shared_ptr<dba::File> activites_;
    std::shared_ptr<dba::File> compteur_;

    // The record as read (compared with the stored one before writing) and as loaded for
    // display and the leaving check.
    dba::Record lu_;
    dba::Record charge_;
    dba::Record compteur999_;
    bool entiteChargee_ = false;
    // True while an entity loads: ticking a printing floor then moves no focus, and the amount
    // boxes' leaving checks do not run (a stored value is shown as stored; validation judges it).
    bool chargement_ = false;
};

}  // namespace numeropieces
