#include "platform/print_preview.h"

#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>

#include "platform/messages.h"
#include "platform/print_device.h"
#include "platform/private_files.h"
#include "ui_apercu.h"

namespace orv {

PrintPreviewWindow::PrintPreviewWindow(std::shared_ptr<const RecordedDocument> document,
                                       QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::Apercu>()), document_(std::move(document)) {
    ui_->setupUi(this);
    ui_->Pages->setOrientation(document_->setup.orientation == PrinterOrientation::Landscape
                                   ? QPageLayout::Landscape
                                   : QPageLayout::Portrait);
    connect(ui_->Pages, &QPrintPreviewWidget::paintRequested, this,
            &PrintPreviewWindow::paintPages);
    connect(ui_->Cmd_Imprimer, &QPushButton::clicked, this, &PrintPreviewWindow::printPages);
    connect(ui_->Cmd_EnregistrerPdf, &QPushButton::clicked, this, &PrintPreviewWindow::savePdf);
    connect(ui_->Cmd_ZoomPlus, &QPushButton::clicked, ui_->Pages, [this] { ui_->Pages->zoomIn(); });
    connect(ui_->Cmd_ZoomMoins, &QPushButton::clicked, ui_->Pages,
            [this] { ui_->Pages->zoomOut(); });
    ui_->Etq_Pages->setText(document_->pages == 1
                                ? QStringLiteral("1 page")
                                : QStringLiteral("%1 pages").arg(document_->pages));
    ui_->Pages->fitToWidth();
}

PrintPreviewWindow::~PrintPreviewWindow() = default;

int PrintPreviewWindow::pageCount() const { return document_->pages; }

void PrintPreviewWindow::paintPages(QPrinter* printer) {
    printer->setPageLayout(pageLayoutFor(document_->setup.pageSize, document_->setup.orientation));
    QPainter painter(printer);
    renderDocument(*document_, painter, *printer);
}

// The pages keep their paper and orientation on the printer chosen, within its own margins.
void PrintPreviewWindow::printPages() {
    const DocumentSetup& setup = document_->setup;
    QPrinter printer(QPrinter::HighResolution);
    applyPageLayout(printer, setup.pageSize, setup.orientation);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (const QString refusal = applyPageLayout(printer, setup.pageSize, setup.orientation);
        !refusal.isEmpty()) {
        MsgBox(refusal + QStringLiteral(" Rien n'a été imprimé."), MsgExclamation);
        return;
    }
    QPainter painter(&printer);
    renderDocument(*document_, painter, printer);
}

void PrintPreviewWindow::savePdf() {
    const QString path = choosePdfFile(document_->setup.title);
    if (path.isEmpty()) return;
    QSaveFile file(path);
    if (!openPrivate(file, QIODevice::WriteOnly)) {
        MsgBox(pdfWriteError(path, file.errorString()), MsgCritical);
        return;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(kTwipsPerInch);
        writer.setCreator(QStringLiteral("Orvanelle"));
        writer.setTitle(document_->setup.title);
        writer.setPageLayout(
            pageLayoutFor(document_->setup.pageSize, document_->setup.orientation));
        QPainter painter(&writer);
        renderDocument(*document_, painter, writer);
    }
    if (QString reason; !commitWritten(file, &reason))
        MsgBox(pdfWriteError(path, reason), MsgCritical);
}

void showPreview(std::shared_ptr<const RecordedDocument> document) {
    auto* window = new PrintPreviewWindow(std::move(document));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

}  // namespace orv
