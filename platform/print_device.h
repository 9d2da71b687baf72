// What the printer model hands its devices: laid-out operations in twips, and the devices
// that render them (painter devices for Qt printers, PDF and the preview; JSON transcript).
#pragma once

#include <QRawFont>

#include <QColor>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QString>
#include <memory>
#include <vector>

#include "platform/printer.h"

class QPainter;
class QPagedPaintDevice;
class QPrinter;
class QSaveFile;

namespace orv {

struct PrintOp {
    enum Kind { Text, Line, Box, Fill };
    Kind kind = Text;
    int page = 1;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    QString text;
    PrintFont font;
    bool lineEnd = false;
    QColor color = Qt::black;
    int width = 1;  // device pixels
};

struct DocumentSetup {
    QString deviceName;
    PrinterOrientation orientation = PrinterOrientation::Portrait;
    bool colour = true;
    QPageSize pageSize{QPageSize::A4};
    QString title;  // the document's name: the print job's on a system printer, the PDF's title
    // Condensed pitch: every horizontal position and width is multiplied by this (1: none).
    double condensed = 1;
};

// The page layout asked of every device: the paper, the orientation and 10-point margins.
QPageLayout pageLayoutFor(const QPageSize& size, PrinterOrientation orientation);
// The printable area in twips of that layout.
QSizeF printableTwips(const QPageSize& size, PrinterOrientation orientation);

// The layout a device really prints with: for a system printer, the paper and orientation
// asked for with margins never below the printer's minimum, as the printer keeps them; for
// the other devices, pageLayoutFor(). `refusal` says, in French, what the printer would not
// take (a paper it does not have, the orientation); empty when it took everything.
struct DeviceLayout {
    QPageLayout layout;
    QString refusal;
    QSizeF printableTwips() const { return layout.paintRectPixels(kTwipsPerInch).size(); }
};
DeviceLayout deviceLayout(const PrinterEntry& entry, const QPageSize& size,
                          PrinterOrientation orientation);

// Asks a system printer for the paper and the orientation, then for margins of at least 10
// points that it accepts, each request checked on the layout the printer then holds. Returns
// what it refused, in French; empty when it took everything.
QString applyPageLayout(QPrinter& printer, const QPageSize& size, PrinterOrientation orientation);

// The message for a PDF file that could not be written, with the system's reason.
QString pdfWriteError(const QString& path, const QString& reason);
// Puts a written file in place; false, with the system's reason, when any of it could not be
// written (the file is then not there).
bool commitWritten(QSaveFile& file, QString* reason);

// The metrics of a print font in twips, measured once per font.
struct TwipMetrics {
    QFont font;
    std::shared_ptr<QFontMetricsF> metrics;
    double ascent = 0;
    double height = 0;
    // The advance of every character of a fixed-pitch font (0 for a proportional one): the
    // width of plain Latin text is then its length times this, without shaping it.
    double fixedAdvance = 0;
    QRawFont rawFont;  // the font's glyphs, for fixed-pitch fonts
};
// The width of `text` in twips in that font.
double textWidthIn(const TwipMetrics& metrics, const QString& text);
const TwipMetrics& twipMetrics(const PrintFont& font);

class PrintBackend {
  public:
    virtual ~PrintBackend() = default;
    // False when the device cannot print; `error` then says why (empty: the user cancelled).
    virtual bool begin(const DocumentSetup& setup, QString* error) = 0;
    virtual void draw(const PrintOp& op) = 0;
    virtual void newPage(int page) = 0;
    // False when what was printed did not reach the device (a file that could not be
    // written); `error` then says why.
    virtual bool end(QString* error) = 0;
    virtual void cancel() = 0;
};

std::unique_ptr<PrintBackend> makeBackend(const PrinterEntry& entry);

// A whole document kept in memory (the preview), replayable on any paged device.
struct RecordedDocument {
    DocumentSetup setup;
    std::vector<PrintOp> ops;
    int pages = 1;
};
// Draws the document on a device whose painter is active, page after page.
void renderDocument(const RecordedDocument& document, QPainter& painter, QPagedPaintDevice& device);

}  // namespace orv
