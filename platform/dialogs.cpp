#include "platform/dialogs.h"

#include <QApplication>
#include <QDialog>

#include "platform/printer.h"
#include "ui_choix_imprimante.h"
#include "ui_nombre_exemplaires.h"

namespace orv {

namespace {

const QList<QPageSize::PageSizeId> kPapers = {QPageSize::A4, QPageSize::A3, QPageSize::A5,
                                              QPageSize::Letter, QPageSize::Legal};

// The paper list, with `paper` selected ("A4" when empty or unknown).
void fillPapers(QComboBox* combo, const QString& paper) {
    for (QPageSize::PageSizeId id : kPapers) combo->addItem(QPageSize::name(id), int(id));
    const int wanted = combo->findText(paper.trimmed(), Qt::MatchFixedString);
    combo->setCurrentIndex(wanted >= 0 ? wanted : 0);
}

void fillPrinters(QListWidget* list) {
    for (const PrinterEntry& entry : PrinterCatalogue::entries()) list->addItem(entry.name);
    list->setCurrentRow(qMax(0, currentPrinterIndex()));
}

}  // namespace

QString QtDialogues::choixImprimante(const QString& paper) {
    QDialog dialog(QApplication::activeWindow());
    Ui::ChoixImprimante ui;
    ui.setupUi(&dialog);
    fillPrinters(ui.Lst_Imprimantes);
    fillPapers(ui.Cbo_Papier, paper);
    if (dialog.exec() != QDialog::Accepted || ui.Lst_Imprimantes->currentRow() < 0)
        return QStringLiteral("-1");
    const int index = ui.Lst_Imprimantes->currentRow();
    setCurrentPrinter(index);
    currentPrinter().setPageSize(
        QPageSize(QPageSize::PageSizeId(ui.Cbo_Papier->currentData().toInt())));
    return QString::number(index);
}

short QtDialogues::nombreExemplaires() {
    QDialog dialog(QApplication::activeWindow());
    Ui::NombreExemplaires ui;
    ui.setupUi(&dialog);
    if (dialog.exec() != QDialog::Accepted) return 0;
    return short(ui.Txt_Exemplaires->value());
}

QString ScriptedDialogues::choixImprimante(const QString& paper) {
    Q_UNUSED(paper);
    const bool byDefault = printers_.isEmpty();
    const int index = byDefault ? qMax(0, currentPrinterIndex()) : printers_.dequeue();
    if (index >= 0) setCurrentPrinter(index);
    if (observer_) {
        const QString shown =
            index >= 0 ? PrinterCatalogue::entries().value(index).name : QStringLiteral("cancel");
        observer_(QStringLiteral("printer"), shown, byDefault);
    }
    return QString::number(index);
}

short ScriptedDialogues::nombreExemplaires() {
    const bool byDefault = copies_.isEmpty();
    const int copies = byDefault ? 1 : copies_.dequeue();
    if (observer_) observer_(QStringLiteral("copies"), QString::number(copies), byDefault);
    return short(copies);
}

}  // namespace orv
