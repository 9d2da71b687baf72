// The printer-choice and copies dialogs of the utility object: Qt dialogs in use, scripted
// answers in automation and tests.
#pragma once

#include <QQueue>
#include <QString>
#include <functional>

#include "client/outils_communs.h"

namespace orv {

class QtDialogues : public OutilsDialogues {
  public:
    // Lists the printer catalogue (the current printer selected) and a paper size ("A4"
    // when `paper` is empty); the chosen printer becomes the current printer. Returns its
    // index as text, "-1" when the user cancels.
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
