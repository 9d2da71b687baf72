// The printer catalogue: the installed printers (CUPS), then a PDF printer and the print
// preview, always listed, then the virtual printers configured by ORVANELLE_PRINTERS:
//
//   ORVANELLE_PRINTERS="Matricielle MATRIC=transcript:/tmp/m.jsonl;Laser=pdf:/tmp/l.pdf;
//                       Laser N&B=transcript:/tmp/g.jsonl:mono"
//
// entries separated by ";", each NAME=KIND:PATH with KIND transcript (JSON lines) or pdf, and
// an optional ":mono" for a monochrome printer. ORVANELLE_SYSTEM_PRINTERS=0 leaves the
// installed printers out (tests and automation, so that indexes do not depend on the machine).
// The PDF printer asks for its file in interactive use; ORVANELLE_PDF_OUTPUT names it instead.
#pragma once

#include <QList>
#include <QString>
#include <functional>

namespace orv {

enum class PrinterKind { System, Pdf, Preview, Transcript };

struct PrinterEntry {
    QString name;  // the device name
    PrinterKind kind = PrinterKind::Pdf;
    QString path;  // output file of the PDF and transcript printers; empty = ask
    bool colour = true;
};

// Reads the ORVANELLE_PRINTERS text; entries that cannot be read are reported on stderr.
QList<PrinterEntry> parseVirtualPrinters(const QString& text);

class PrinterCatalogue {
  public:
    static const QList<PrinterEntry>& entries();
    // Reads the installed printers and the configuration again.
    static void reload();
    // Index of the entry with that device name (exact, else ignoring case); -1 when none.
    static int indexOf(const QString& name);
    // Index of the system's default printer; -1 when it has none (or it is left out).
    static int defaultIndex();
    static QString pdfPrinterName();
    static QString previewPrinterName();
};

// Where the PDF printer without a configured file writes: ORVANELLE_PDF_OUTPUT when set, else
// the chooser (a file dialog in interactive use, installed by installPlatform), which is
// proposed the user's documents folder and a file name made of `title` (the report and its
// subject). ".pdf" is added to an answer without it; an empty answer cancels printing.
void setPdfFileChooser(std::function<QString(const QString& proposed)> chooser);
QString choosePdfFile(const QString& title = QString());
// The path proposed for a document titled `title`: the documents folder (the home folder when
// there is none), the title without the characters a file name cannot hold, and ".pdf".
QString proposedPdfPath(const QString& title);

}  // namespace orv
