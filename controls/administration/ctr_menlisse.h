// Ctr_Menlisse, "Paramétrage général": the parameter records the program and the modules read,
// each value with a line saying what it changes: the current pay period (PERIODESPAIE "1"),
// the three chart colours of the absences (TPSPARAM "1", with colour pickers), the rules of
// each collective agreement (CONVENTIONCOL), the installation's federation and telegestion
// (COMPTEUR "999"), and the timetable check of the menu (TLGPARAM "HEURELIMITEVERIF"). A value
// that cannot be right is refused before anything is written. Only level 2 on the window's
// rights key changes anything; level 1 reads. "Enregistrer" writes the records that changed in
// one transaction, each read for update and compared with what was shown first.
#pragma once

#include <QMap>
#include <QString>
#include <array>
#include <memory>
#include <optional>

#include "client/dba.h"
#include "frame/module_control.h"

class QLineEdit;
class QPushButton;

namespace Ui {
class Ctr_Menlisse;
}

namespace administration {

// The checks of the values typed, also used by the tests: the message for a wrong value, or
// nothing.
std::optional<QString> erreurPeriodePaie(const QString& periode);
std::optional<QString> erreurHeure(const QString& heure);
// "#RRGGBB" (any case) as the stored value (red + 256 green + 65536 blue); nothing when the
// text is not a colour.
std::optional<qint64> valeurCouleur(const QString& texte);
// The stored value as "#RRGGBB"; the text as stored when it is not a number.
QString texteCouleur(const QString& stocke);

class Ctr_Menlisse : public orv::ModuleControl {
    Q_OBJECT
  public:
    static inline const QString kCleDroits = QStringLiteral("CADRIUSPARAMSARR");
    static inline const QString kQuestionEnregistrer =
        QStringLiteral("Voulez-vous enregistrer les modifications apportées à ces paramètres ?");
    static inline const QString kVerrouille = QStringLiteral(
        "Les paramètres de %1 sont en cours de modification par un autre utilisateur.\nRien "
        "n'a été enregistré : vos valeurs restent à l'écran. Enregistrez de nouveau dans "
        "quelques instants.");
    static inline const QString kModifie = QStringLiteral(
        "Les paramètres de %1 ont été modifiés par un autre utilisateur depuis leur "
        "affichage.\nRien n'a été enregistré : les valeurs à jour sont maintenant affichées.");

    explicit Ctr_Menlisse(QWidget* parent = nullptr);
    ~Ctr_Menlisse() override;

    // Event handlers.
    void Cmd_Couleur_Click(int categorie);
    void Cbo_Convention_Click();
    void Cac_Convention_Click();
    void Cmd_OK_Click();
    void Cmd_Annul_Click();
    void Cmd_Retour_Click();

  protected:
    void start() override;
    void releaseResources() override;

  private:
    // A parameter record: file, key, the record as read (empty when missing), and whether
    // its file exists (a database without the file has nothing to change there).
    struct Fiche {
        QString fichier;
        QString cle;
        dba::Record lu;
        bool present = true;
    };

    void charger();
    void afficher();
    void afficherConvention();
    void montrerCouleur(int categorie);
    // The records as the screen would store them, for those that exist or may be created.
    QList<std::pair<Fiche, dba::Record>> fichesVoulues() const;
    QList<std::pair<Fiche, dba::Record>> fichesModifiees() const;
    // The first wrong value on the screen: its message and its box; nothing when all are right.
    std::optional<std::pair<QString, QWidget*>> erreurEcran() const;
    void ecrire(const QList<std::pair<Fiche, dba::Record>>& fiches);
    const Fiche* fiche(const QString& fichier, const QString& cle) const;

    std::unique_ptr<Ui::Ctr_Menlisse> ui_;
    std::array<QLineEdit*, 3> couleurs_{};
    std::array<QPushButton*, 3> choixCouleurs_{};
    QList<Fiche> fiches_;                     // the single records, as read
    QMap<QString, dba::Record> conventions_;  // as edited, by key
    QString convention_;                      // the one shown
};

}  // namespace administration
