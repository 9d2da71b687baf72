#include "platform/printer.h"

#include <QCoreApplication>
#include <QFontMetricsF>

#include "platform/messages.h"
#include "platform/print_device.h"

namespace orv {

namespace {

Printer* g_current = nullptr;
int g_currentIndex = 0;

}  // namespace

QColor colorFromRgbValue(qint64 value) {
    return QColor(int(value & 0xff), int((value >> 8) & 0xff), int((value >> 16) & 0xff));
}

qint64 rgbValue(int red, int green, int blue) {
    return qint64(red & 0xff) | (qint64(green & 0xff) << 8) | (qint64(blue & 0xff) << 16);
}

void installFontSubstitutes() {
    static bool done = false;
    if (done) return;
    done = true;
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("Courier"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                              QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("Trebuchet MS"), QStringLiteral("DejaVu Sans"));
}

QFont resolvedPrintFont(const PrintFont& font) {
    installFontSubstitutes();
    QFont f(font.name);
    // One pixel is one twip: 20 twips per point.
    f.setPixelSize(qMax(1, qRound(font.size * 20)));
    f.setBold(font.bold);
    f.setUnderline(font.underline);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

Printer::Printer() { updateMetrics(); }

Printer::Printer(PrinterEntry entry) : entry_(std::move(entry)) { updateMetrics(); }

// A document left open is ended, so that nothing printed is lost; a preview can no longer be
// shown once the application is gone.
Printer::~Printer() {
    if (!backend_) return;
    if (entry_.kind == PrinterKind::Preview && !QCoreApplication::instance())
        killDoc();
    else
        endDoc();
}

void Printer::setEntry(const PrinterEntry& entry) {
    if (documentOpen()) endDoc();
    entry_ = entry;
    forgetLayout();
}

PrinterColorMode Printer::colorMode() const {
    return entry_.colour ? PrinterColorMode::Color : PrinterColorMode::Monochrome;
}

void Printer::setOrientation(PrinterOrientation orientation) {
    if (documentOpen()) {
        qWarning("Orientation changed while a document is being printed: ignored");
        return;
    }
    orientation_ = orientation;
    forgetLayout();
}

void Printer::setPageSize(const QPageSize& size) {
    if (documentOpen()) return;
    pageSize_ = size;
    forgetLayout();
}

void Printer::setCondensed(double factor) {
    if (!documentOpen() && factor > 0 && factor <= 1) condensed_ = factor;
}

void Printer::setDocumentName(const QString& name) {
    if (!documentOpen()) documentName_ = name;
}

// Asking a system printer for its layout costs a round trip to its server: once per change.
void Printer::knowLayout() const {
    if (layoutKnown_) return;
    const DeviceLayout layout = deviceLayout(entry_, pageSize_, orientation_);
    printable_ = layout.printableTwips();
    refusal_ = layout.refusal;
    layoutKnown_ = true;
}

double Printer::scaleWidth() const {
    knowLayout();
    return printable_.width() / condensed_;
}

double Printer::scaleHeight() const {
    knowLayout();
    return printable_.height();
}

QString Printer::layoutRefusal() const {
    knowLayout();
    return refusal_;
}

void Printer::setFontName(const QString& name) {
    font_.name = name;
    updateMetrics();
}

void Printer::setFontSize(double points) {
    if (points <= 0) return;
    font_.size = points;
    updateMetrics();
}

void Printer::setFontBold(bool bold) {
    font_.bold = bold;
    updateMetrics();
}

void Printer::setFontUnderline(bool underline) {
    font_.underline = underline;
    updateMetrics();
}

void Printer::updateMetrics() {
    const TwipMetrics& m = twipMetrics(font_);
    ascent_ = m.ascent;
    lineHeight_ = m.height;
    twip_ = &m;
}

double Printer::textWidth(const QString& text) const { return textWidthIn(*twip_, text); }

double Printer::textHeight(const QString&) const { return lineHeight_; }

void Printer::print(const QString& text, bool lineEnd) {
    if (!beginOutput()) return;
    // Text that would run past the bottom of the page goes to the top of the next one.
    if (y_ > 0 && y_ + lineHeight_ > scaleHeight()) newPage();
    // A line end goes back to the margin: only text that stays on its line is measured.
    const double width = lineEnd ? 0 : textWidth(text);
    if (!text.isEmpty()) {
        PrintOp op;
        op.kind = PrintOp::Text;
        op.x1 = x_;
        op.y1 = y_;
        op.text = text;
        op.font = font_;
        op.lineEnd = lineEnd;
        emitOp(op);
    }
    if (lineEnd) {
        x_ = 0;
        y_ += lineHeight_;
    } else {
        x_ += width;
    }
}

namespace {

PrintOp graphic(PrintOp::Kind kind, double x1, double y1, double x2, double y2, const QColor& color,
                int width) {
    PrintOp op;
    op.kind = kind;
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.color = color;
    op.width = width;
    return op;
}

}  // namespace

// Like the original's line operation, each form leaves the print position at the second corner.
void Printer::line(double x1, double y1, double x2, double y2, const QColor& color) {
    PrintOp op = graphic(PrintOp::Line, x1, y1, x2, y2, color, drawWidth_);
    if (beginOutput()) emitOp(op);
    x_ = x2;
    y_ = y2;
}

void Printer::box(double x1, double y1, double x2, double y2, const QColor& color) {
    PrintOp op = graphic(PrintOp::Box, x1, y1, x2, y2, color, drawWidth_);
    if (beginOutput()) emitOp(op);
    x_ = x2;
    y_ = y2;
}

void Printer::fillBox(double x1, double y1, double x2, double y2, const QColor& color) {
    PrintOp op = graphic(PrintOp::Fill, x1, y1, x2, y2, color, drawWidth_);
    if (beginOutput()) emitOp(op);
    x_ = x2;
    y_ = y2;
}

void Printer::newPage() {
    const bool printing = beginOutput();
    ++page_;
    if (printing) backend_->newPage(page_);
    x_ = 0;
    y_ = 0;
}

DocumentEnd Printer::endDoc() {
    DocumentEnd result = DocumentEnd::Sent;
    if (failed_) result = failureShown_ ? DocumentEnd::Failed : DocumentEnd::Declined;
    QString error;
    if (backend_ && !backend_->end(&error)) {
        MsgBox(error, MsgCritical);
        result = DocumentEnd::Failed;
    }
    resetDocument();
    return result;
}

void Printer::killDoc() {
    if (backend_) backend_->cancel();
    resetDocument();
}

void Printer::resetDocument() {
    backend_.reset();
    failed_ = false;
    failureShown_ = false;
    page_ = 1;
    x_ = 0;
    y_ = 0;
}

// Starts the document on the device at the first output. A device that cannot start (a file
// that cannot be written, or no file chosen) drops the document's output until its end.
bool Printer::beginOutput() {
    if (backend_) return true;
    if (failed_) return false;
    auto backend = makeBackend(entry_);
    const DocumentSetup setup{entry_.name, orientation_,  entry_.colour,
                              pageSize_,   documentName_, condensed_};
    QString error;
    if (!backend || !backend->begin(setup, &error)) {
        failed_ = true;
        failureShown_ = !error.isEmpty();
        if (failureShown_) MsgBox(error, MsgCritical);
        return false;
    }
    backend_ = std::move(backend);
    return true;
}

void Printer::emitOp(PrintOp& op) {
    op.page = page_;
    backend_->draw(op);
}

Printer& currentPrinter() {
    if (!g_current) {
        static Printer printer(PrinterCatalogue::entries().value(0));
        g_current = &printer;
        g_currentIndex = 0;
    }
    return *g_current;
}

int currentPrinterIndex() { return g_currentIndex; }

bool setCurrentPrinter(int index) {
    if (index < 0 || index >= PrinterCatalogue::entries().size()) return false;
    currentPrinter().setEntry(PrinterCatalogue::entries().at(index));
    g_currentIndex = index;
    return true;
}

}  // namespace orv
