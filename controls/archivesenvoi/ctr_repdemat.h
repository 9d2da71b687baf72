// Ctr_RepDemat: the choice of the archived invoices to issue electronically (billing period,
// legal entity, activity type, responsible or sector, bounds on the helper's name or on the
// invoice number, sort order), the selection on ARCHIVEFACT, and the hand-off of the selected
// invoices to the edit control "Transmelia.Ctr_ActiveXEditDemat", which issues them.
//
// "OK" is available only while the criteria are complete (VerifValeur). Before handing off, the
// criteria are written to the user's request record "REQUETEFACT" + user of TEMPO, which stays
// there as the record of the last request.
#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <memory>

#include "client/dba.h"
#include "controls/archivesenvoi/requete_fact.h"
#include "frame/module_control.h"

class QAbstractButton;
class QLineEdit;
class QRadioButton;

namespace Ui {
class Ctr_RepDemat;
}

namespace orv {
class EntityPicker;
}

namespace archivesenvoi {

class Ctr_RepDemat : public orv::ModuleControl {
    Q_OBJECT
  public:
    static inline const QString kIdentifiantEdition =
        QStringLiteral("Transmelia.Ctr_ActiveXEditDemat");
    static inline const QString kMsgPasDeResponsable =
        QStringLiteral("Pas de responsable disponible.");
    static inline const QString kMsgPasDeSecteur = QStringLiteral("Pas de secteur disponible.");
    static inline const QString kMsgResponsableInconnu =
        QStringLiteral("Ce responsable n'existe pas.");
    static inline const QString kMsgSecteurInconnu = QStringLiteral("Ce secteur n'existe pas.");
    static inline const QString kMsgSansActivite = QStringLiteral(
        "Cette entité juridique n'a aucune activité à facturer (prestataire, mandataire ou "
        "intermédiaire).");
    static inline const QString kMsgPasDeFacture =
        QStringLiteral("Pas de facture correspondant aux critères sélectionnés.");

    // Creates the edit control on the given parent; null with a message for the user when it
    // cannot be created.
    using FabriqueEdition = std::function<QWidget*(QWidget* parent, QString* erreur)>;

    explicit Ctr_RepDemat(QWidget* parent = nullptr);
    ~Ctr_RepDemat() override;

    // Host-facing: empties the entity code (the criteria become incomplete).
    Q_INVOKABLE void ChangePeriode();

    // Own procedures.
    void RemplirCboPeriode();
    void ChargeResp();
    void ChargeSect();
    void Remplir_TypeActivite();
    void DegrisageZone();
    void VideZone();
    void VerifValeur();
    // Builds and runs the selection; the result (one attribute per invoice, value 1 its key)
    // is kept for the edit control. False when the query failed (the failure was shown).
    bool Remplir_ListFact();

    // The criteria as the screen shows them (periods from the year boxes and month lists).
    Criteres criteres() const;
    const dba::Record& resultat() const { return resultat_; }
    bool secteursCharges() const { return secteursCharges_; }

    // Where the edit control comes from (by default: the plugin of kIdentifiantEdition).
    void setFabriqueEdition(FabriqueEdition fabrique) { fabrique_ = std::move(fabrique); }

    // Event handlers.
    void Cmd_Ok_Click();
    void Cmd_Retour_Click();
    void Txt_Select_Change();
    void Cbo_Select_Click();
    void Cbo_Select_Change();
    void Txt_Borne_KeyPress(QLineEdit* box, int& keyAscii);
    void Txt_Borne_LostFocus(QLineEdit* box);
    void Txt_Borne_Change();

  protected:
    void start() override;
    void releaseResources() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ouvrirFichiers(dba::Database& db);
    void connecterEvenements();
    void installerFiltres();
    // Selects an option as a click in code does: its Click runs even when it was selected.
    void cliquer(QRadioButton* option);
    void quandClic(QRadioButton* option, std::function<void()> handler);
    static void decocher(QRadioButton* option);
    void desactiverActivites();

    void Opt_Resp_Click();
    void Opt_Sect_Click();
    void Opt_Aide_Click();
    void Opt_NumFact_Click();
    void choisirBornage(bool parNom);
    void remplirCboSelect();
    void remplirNoms(const dba::Record& liste);
    void chargerListe(const QString& fichier, const QString& messageVide, dba::Record& liste,
                      bool& charge);
    void entiteChangee();
    void entiteOuverte();
    void entiteChargee(const dba::Record& entite);
    void cocherPreimp(const dba::Record& entite);
    bool controlerSaisie();
    bool controlerSelection();
    bool ecrireRequete();
    bool transmettre();
    void lireTemporaires();
    // Shows a data-access failure to the user; the control stays usable.
    static void signalerErreur(const dba::Error& erreur);

    std::unique_ptr<Ui::Ctr_RepDemat> ui_;
    orv::EntityPicker* picker_ = nullptr;
    QHash<QAbstractButton*, std::function<void()>> clics_;
    FabriqueEdition fabrique_;

    std::shared_ptr<dba::File> association_;
    std::shared_ptr<dba::File> responsable_;
    std::shared_ptr<dba::File> secteur_;
    std::shared_ptr<dba::File> periodesPaie_;
    std::shared_ptr<dba::File> archiveFact_;
    std::shared_ptr<dba::File> civilAide_;
    std::shared_ptr<dba::File> tempo_;

    dba::Record periodePaie_;
    dba::Record responsables_;
    dba::Record secteurs_;
    bool responsablesCharges_ = false;
    bool secteursCharges_ = false;
    dba::Record codeChoisi_;  // the responsible or sector record of the typed code
    dba::Record resultat_;
    dba::Record requete_;
    QString utilisateur_;
};

}  // namespace archivesenvoi
