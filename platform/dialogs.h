// The printer-choice and copies dialogs of the utility object: Qt dialogs in use, scripted
// answers in automation and tests.
#pragma once

#include <QDialog>
#include <QPageSize>
#include <QQueue>
#include <QString>
#include <functional>
#include <memory>

#include "client/outils_communs.h"

namespace Ui {
class ChoixImprimante;
}

namespace orv {

// The report the next printer choice is for (the print job names it around the dialog): the
// dialog proposes the printer last chosen for that report.
void setPrinterChoiceReport(const QString& report);
// The printer last chosen for a report, remembered per user (in
// $XDG_CONFIG_HOME/orvanelle/imprimantes.ini, default ~/.config); empty when none.
QString rememberedPrinter(const QString& report);
void rememberPrinter(const QString& report, const QString& printer);

// The printer-choice window: every printer of the catalogue with what the system says of it;
// preselected, the printer last chosen for the report, else the system's default printer, else
// the current one; the paper list of the selected printer (the sizes an installed printer
// supports, plus the paper the caller names), with the caller's paper selected, else the
// printer's own.
class FenetreChoixImprimante : public QDialog {
  public:
    FenetreChoixImprimante(const QString& report, const QString& paper, QWidget* parent = nullptr);
    ~FenetreChoixImprimante() override;
    // The selected printer's index in the catalogue; -1 when none.
    int printerIndex() const;
    QPageSize paper() const;

  private:
    void Lst_Imprimantes_currentRowChanged(int row);

    std::unique_ptr<Ui::ChoixImprimante> ui_;
    QString paperAsked_;
    QList<QPageSize> papers_;  // the entries of Cbo_Papier
};

class QtDialogues : public OutilsDialogues {
  public:
    // The printer-choice window; the chosen printer becomes the current printer with the
    // chosen paper, and is remembered for the report. Returns its index as text, "-1" when
    // the user cancels.
    QString choixImprimante(const QString& paper) override;
    // 1 to 99 copies, 1 proposed; 0 when the user cancels.
    short nombreExemplaires() override;
};

class ScriptedDialogues : public OutilsDialogues {
  public:
    // Queued answers: a printer index of the catalogue (-1 = cancel), a number of copies.
    void queuePrinter(int index) { printers_.enqueue(index); }
    void queueCopies(int copies) { copies_.enqueue(copies); }

    // With no queued answer the printer dialog keeps the current printer and the copies
    // dialog answers 1; the observer is told so.
    QString choixImprimante(const QString& paper) override;
    short nombreExemplaires() override;

    // Called for each dialog: "printer" or "copies", the answer shown as text, whether it was
    // the default one.
    void setObserver(std::function<void(const QString&, const QString&, bool)> observer) {
        observer_ = std::move(observer);
    }

  private:
    QQueue<int> printers_;
    QQueue<int> copies_;
    std::function<void(const QString&, const QString&, bool)> observer_;
};

}  // namespace orv
