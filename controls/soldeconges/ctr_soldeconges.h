// Ctr_SoldeConges: read-only, the leave tally of one helper under one contract: what was
// acquired (paid, seniority and notice-period leave), the tally of the last computed pay period
// and, for that tally's reference period (N0) and the following one (N1), every leave taken
// with its dates, kind and days, and the totals consumed. The host sets the W_ members, then
// calls Init; nothing is written.
#pragma once

#include <QString>
#include <QVariant>
#include <memory>

#include "controls/soldeconges/mod_procedure.h"
#include "frame/module_control.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QScrollBar;

namespace Ui {
class Ctr_SoldeConges;
}

namespace soldeconges {

class Ctr_SoldeConges : public orv::ModuleControl {
    Q_OBJECT
    Q_PROPERTY(QString W_CodeAidant MEMBER W_CodeAidant)
    Q_PROPERTY(QString W_NomPrenom MEMBER W_NomPrenom)
    Q_PROPERTY(QString W_CodeEmployeur MEMBER W_CodeEmployeur)
    Q_PROPERTY(QString W_NomEmployeur MEMBER W_NomEmployeur)
    Q_PROPERTY(QString W_CodeContrat MEMBER W_CodeContrat)
    Q_PROPERTY(QString W_NumMotif MEMBER W_NumMotif)
    Q_PROPERTY(QString W_Source MEMBER W_Source)
    Q_PROPERTY(QVariant TabTemp MEMBER TabTemp)

  public:
    static inline const QString kCleDroits = QStringLiteral("DOSAIDANTABS");
    static inline const QString kJoursOuvres = QStringLiteral("Jours ouvrés");
    static inline const QString kJoursOuvrables = QStringLiteral("Jours ouvrables");
    // A period's scroll bar appears from this number of rows: each list shows one row less.
    static constexpr int kLignesVisibles = 9;

    explicit Ctr_SoldeConges(QWidget* parent = nullptr);
    ~Ctr_SoldeConges() override;

    QString W_CodeAidant;
    QString W_NomPrenom;
    QString W_CodeEmployeur;
    QString W_NomEmployeur;
    QString W_CodeContrat;
    QString W_NumMotif;
    QString W_Source;  // accepted, not used
    QVariant TabTemp;  // accepted, not used

    // Fills the four lists of one period with the helper's leaves in the reference period
    // currently set, and the totals of that period; then sets up both scroll bars.
    void Remplir_Absences(QListWidget* debut, QListWidget* fin, QListWidget* typeConge,
                          QListWidget* nbJours);

    // Event handlers.
    void cmd_Retour_Click();
    void Lst_Click(QListWidget* liste);
    void Bdv_AbsN0_Change();
    void Bdv_AbsN1_Change();

  protected:
    void start() override;
    void releaseResources() override;

  private:
    struct Periode {
        QListWidget* listes[4] = {};  // start, end, kind, days
        QScrollBar* barre = nullptr;
    };

    // The four lists of a period read as one table: they scroll together, show
    // kLignesVisibles - 1 rows each, and the scroll bar follows the selected row.
    void lierListes(const Periode& periode);
    void remplirEntete();
    // Steps after the contract is read; returns at once when attribute 63 is empty.
    void remplirSolde();
    void remplirN1(const dba::Record& contrat);
    void desactiverN1();
    void preparerBarres();
    void selectionnerLigne(const Periode& periode, int ligne);
    void Bdv_Change(const Periode& periode);
    const Periode* periodeDe(const QListWidget* liste) const;
    static QString date(const QString& jour);

    std::unique_ptr<Ui::Ctr_SoldeConges> ui_;
    Periode n0_;
    Periode n1_;
    Absences totaux_;
};

}  // namespace soldeconges
