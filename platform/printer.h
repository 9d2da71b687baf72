// The printer model: the original's printer object in twips (567 per cm, 1440 per inch), with
// the current print position, the font, text and graphics output, pages and documents. One
// model for every device of the printer catalogue; the device only renders what the model lays
// out, so a transcript gives the same positions as a PDF or a real printer.
//
// A document starts with the first output and ends with endDoc() (sent to the device) or
// killDoc() (nothing reaches the device). Positions start at (0, 0), the top-left corner of
// the printable area. print() with a line end goes back to x = 0 and down by the font's line
// height; without one it moves right by the text's width. Text that would run past the bottom
// of the printable area starts a new page first, so that nothing printed is lost.
#pragma once

#include <QColor>
#include <QFont>
#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <memory>

#include "platform/print_catalogue.h"

class QFontMetricsF;

namespace orv {

inline constexpr int kTwipsPerCm = 567;
inline constexpr int kTwipsPerInch = 1440;

enum class PrinterColorMode { Monochrome = 1, Color = 2 };
enum class PrinterOrientation { Portrait = 1, Landscape = 2 };

// A colour given as the classic RGB value (red + 256 * green + 65536 * blue).
QColor colorFromRgbValue(qint64 value);
qint64 rgbValue(int red, int green, int blue);

struct PrintFont {
    QString name = QStringLiteral("Courier New");
    double size = 10;  // points
    bool bold = false;
    bool underline = false;
    bool operator==(const PrintFont&) const = default;
};

// The font a print font is drawn with, sized in twips (one pixel = one twip); the family
// substitutes of the classic fonts ("Courier New" -> Liberation Mono) apply.
QFont resolvedPrintFont(const PrintFont& font);
// Installs the substitutes of the classic fonts (done once by installPlatform and the model).
void installFontSubstitutes();

class PrintBackend;
struct TwipMetrics;
struct PrintOp;

// How a document ended: sent to the device; failed (a message said why); or never started
// because the user chose no file.
enum class DocumentEnd { Sent, Failed, Declined };

class Printer {
  public:
    Printer();
    explicit Printer(PrinterEntry entry);
    ~Printer();
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    // Which device prints; an open document is ended first.
    void setEntry(const PrinterEntry& entry);
    const PrinterEntry& entry() const { return entry_; }
    QString deviceName() const { return entry_.name; }
    PrinterColorMode colorMode() const;

    // Settable before the first output of a document; ignored while one is open.
    PrinterOrientation orientation() const { return orientation_; }
    void setOrientation(PrinterOrientation orientation);
    QPageSize pageSize() const { return pageSize_; }
    void setPageSize(const QPageSize& size);
    // Condensed pitch: the device narrows every horizontal position and width by `factor`
    // (below 1), so that the page holds 1 / factor times as much across; 1 prints as laid out.
    double condensed() const { return condensed_; }
    void setCondensed(double factor);
    // The document's name: the print job's name on a system printer, the PDF's title and the
    // file name the PDF printer proposes.
    void setDocumentName(const QString& name);
    // The printable area in twips, of the page layout the device really prints with (for a
    // system printer, its own minimum margins), widened by the condensed pitch.
    double scaleWidth() const;
    double scaleHeight() const;
    // What the device refuses of the paper and orientation asked for (French); empty when it
    // takes them.
    QString layoutRefusal() const;

    double currentX() const { return x_; }
    double currentY() const { return y_; }
    void setCurrentX(double x) { x_ = x; }
    void setCurrentY(double y) { y_ = y; }

    const PrintFont& font() const { return font_; }
    void setFontName(const QString& name);
    void setFontSize(double points);
    void setFontBold(bool bold);
    void setFontUnderline(bool underline);

    // Line width in device pixels (at least 1).
    int drawWidth() const { return drawWidth_; }
    void setDrawWidth(int width) { drawWidth_ = qMax(1, width); }

    void print(const QString& text = QString(), bool lineEnd = true);
    double textWidth(const QString& text) const;
    // The font's line height (the height of one line of text, whatever the text).
    double textHeight(const QString& text = QString()) const;

    void line(double x1, double y1, double x2, double y2, const QColor& color = Qt::black);
    void box(double x1, double y1, double x2, double y2, const QColor& color = Qt::black);
    void fillBox(double x1, double y1, double x2, double y2, const QColor& color = Qt::black);

    void newPage();
    // A failure to start or to finish the document on its device is shown in a critical box,
    // once per document, and the answer is Failed.
    DocumentEnd endDoc();
    void killDoc();
    int page() const { return page_; }
    bool documentOpen() const { return backend_ != nullptr || failed_; }

  private:
    bool beginOutput();
    void emitOp(PrintOp& op);
    void resetDocument();
    void updateMetrics();
    void knowLayout() const;
    void forgetLayout() { layoutKnown_ = false; }

    PrinterEntry entry_;
    PrinterOrientation orientation_ = PrinterOrientation::Portrait;
    QPageSize pageSize_{QPageSize::A4};
    double condensed_ = 1;
    QString documentName_;
    mutable bool layoutKnown_ = false;  // the two below match the entry, paper and orientation
    mutable QSizeF printable_;
    mutable QString refusal_;
    PrintFont font_;
    double ascent_ = 0;
    double lineHeight_ = 0;
    const TwipMetrics* twip_ = nullptr;  // cached for the process, per font
    double x_ = 0;
    double y_ = 0;
    int drawWidth_ = 1;
    int page_ = 1;
    std::unique_ptr<PrintBackend> backend_;
    bool failed_ = false;        // the device could not start: output is dropped until the end
    bool failureShown_ = false;  // ... and a message said why (else the user chose no file)
};

// The current printer, which the reports use; the first catalogue entry until one is chosen.
Printer& currentPrinter();
int currentPrinterIndex();
// Makes catalogue entry `index` the current printer; false when there is no such entry.
bool setCurrentPrinter(int index);

}  // namespace orv
