#include "platform/print_device.h"

#include <QFile>
#include <QFontInfo>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QSet>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

#include "platform/print_preview.h"
#include "platform/private_files.h"

namespace orv {

namespace {

// Line widths are in device pixels; a PDF has none, so it takes a 600 dpi laser printer's.
constexpr double kPdfPixelDpi = 600;

// Orders print fonts for the metrics cache without formatting a key for every look-up.
struct FontOrder {
    bool operator()(const PrintFont& a, const PrintFont& b) const {
        return std::tie(a.name, a.size, a.bold, a.underline) <
               std::tie(b.name, b.size, b.bold, b.underline);
    }
};

// One JSON object on one line, its members in the order they are added (callers add them in
// alphabetical order, as QJsonDocument writes them, so that transcripts keep their form). The
// buffer is kept from line to line: a transcript of thousands of lines allocates nothing per
// line, where building a QJsonObject and a document for each cost a third of the printout.
class JsonLine {
  public:
    JsonLine& text(const char* key, QStringView value) {
        name(key);
        buffer_ += '"';
        qsizetype start = 0;
        for (qsizetype i = 0; i < value.size(); ++i) {
            const char16_t c = value[i].unicode();
            if (c >= 0x20 && c != u'"' && c != u'\\') continue;
            utf8(value.sliced(start, i - start));
            escape(c);
            start = i + 1;
        }
        utf8(value.sliced(start));
        buffer_ += '"';
        return *this;
    }
    JsonLine& number(const char* key, double value) {
        name(key);
        char digits[32];
        // Whole numbers as integers, others in their shortest exact form, as QJsonDocument.
        const auto result =
            std::abs(value) < 9007199254740992.0 && value == std::trunc(value)
                ? std::to_chars(digits, digits + sizeof digits, static_cast<long long>(value))
                : std::to_chars(digits, digits + sizeof digits, value);
        buffer_.append(digits, result.ptr - digits);
        return *this;
    }
    JsonLine& flag(const char* key, bool value) {
        name(key);
        buffer_ += value ? "true" : "false";
        return *this;
    }
    void writeTo(QIODevice& out) {
        buffer_ += "}\n";
        out.write(buffer_);
        buffer_.resize(0);  // keeps the capacity
    }

  private:
    void name(const char* key) {
        buffer_ += buffer_.isEmpty() ? "{\"" : ",\"";
        buffer_ += key;
        buffer_ += "\":";
    }
    void utf8(QStringView part) {
        for (const QChar c : part) {
            if (c.unicode() >= 0x80) {
                buffer_ += part.toUtf8();
                return;
            }
        }
        for (const QChar c : part) buffer_ += char(c.unicode());
    }
    void escape(char16_t c) {
        switch (c) {
            case u'"':
                buffer_ += "\\\"";
                return;
            case u'\\':
                buffer_ += "\\\\";
                return;
            case u'\b':
                buffer_ += "\\b";
                return;
            case u'\f':
                buffer_ += "\\f";
                return;
            case u'\n':
                buffer_ += "\\n";
                return;
            case u'\r':
                buffer_ += "\\r";
                return;
            case u'\t':
                buffer_ += "\\t";
                return;
            default: {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\u%04x", unsigned(c));
                buffer_ += hex;
            }
        }
    }

    QByteArray buffer_;
};

QString colourName(const QColor& color) { return color.name(QColor::HexRgb); }

QColor forDevice(const QColor& color, bool colour) {
    if (colour) return color;
    const int grey = qGray(color.rgb());
    return QColor(grey, grey, grey);
}

// Characters every fixed-pitch print font draws itself at its one advance: printable Latin-1
// and Latin Extended-A (French letters, Œ and Ÿ included). Anything else (combining marks,
// symbols a fallback font may draw) is measured by the font.
bool plainLatin(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x17F ||
            (c.unicode() >= 0x7F && c.unicode() < 0xA0))
            return false;
    return true;
}

// Draws operations in twips on a painter whose device may have any resolution.
class OpPainter {
  public:
    // `condensed` narrows every horizontal position and width (condensed pitch).
    void start(QPainter& painter, const QPaintDevice& device, double pixelDpi, bool colour,
               double condensed = 1) {
        painter.scale(condensed * device.logicalDpiX() / double(kTwipsPerInch),
                      device.logicalDpiY() / double(kTwipsPerInch));
        painter.setRenderHint(QPainter::Antialiasing);
        pixelTwips_ = kTwipsPerInch / pixelDpi;
        colour_ = colour;
    }

    void draw(QPainter& painter, const PrintOp& op) {
        if (op.kind == PrintOp::Text) return drawText(painter, op);
        const QColor color = forDevice(op.color, colour_);
        const QRectF rect = QRectF(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2)).normalized();
        if (op.kind == PrintOp::Fill) {
            painter.fillRect(rect, color);
            return;
        }
        QPen pen(color, op.width * pixelTwips_);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        if (op.kind == PrintOp::Line)
            painter.drawLine(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2));
        else
            painter.drawRect(rect);
    }

  private:
    void drawText(QPainter& painter, const PrintOp& op) {
        const TwipMetrics& m = twipMetrics(op.font);
        painter.setPen(Qt::black);
        const QPointF origin(op.x1, op.y1 + m.ascent);
        if (drawFixedPitch(painter, m, op, origin)) return;
        painter.setFont(m.font);
        painter.drawText(origin, op.text);
    }

    // Plain Latin text in a fixed-pitch font is drawn as a run of glyphs one advance apart:
    // the same place as shaped text, without shaping every line again.
    static bool drawFixedPitch(QPainter& painter, const TwipMetrics& m, const PrintOp& op,
                               const QPointF& origin) {
        if (m.fixedAdvance <= 0 || !m.rawFont.isValid() || !plainLatin(op.text)) return false;
        const QList<quint32> glyphs = m.rawFont.glyphIndexesForString(op.text);
        if (glyphs.size() != op.text.size() || glyphs.contains(0)) return false;
        QList<QPointF> positions(glyphs.size());
        for (qsizetype i = 0; i < positions.size(); ++i)
            positions[i] = QPointF(double(i) * m.fixedAdvance, 0);
        QGlyphRun run;
        run.setRawFont(m.rawFont);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        run.setUnderline(op.font.underline);
        painter.drawGlyphRun(origin, run);
        return true;
    }

    double pixelTwips_ = 1;
    bool colour_ = true;
};

// The painter devices: Qt printers and PDF files, drawn as the document goes.
class PainterBackend : public PrintBackend {
  public:
    void draw(const PrintOp& op) override { opPainter_.draw(painter_, op); }
    void newPage(int) override { device()->newPage(); }

  protected:
    virtual QPagedPaintDevice* device() = 0;
    bool startPainting(double pixelDpi, const DocumentSetup& setup, QString* error) {
        if (!painter_.begin(device())) {
            *error = QStringLiteral("L'impression n'a pas pu commencer.");
            return false;
        }
        opPainter_.start(painter_, *device(), pixelDpi, setup.colour, setup.condensed);
        return true;
    }
    QPainter painter_;
    OpPainter opPainter_;
};

class PdfBackend : public PainterBackend {
  public:
    explicit PdfBackend(QString path) : path_(std::move(path)) {}

    bool begin(const DocumentSetup& setup, QString* error) override {
        if (path_.isEmpty()) path_ = choosePdfFile(setup.title);
        if (path_.isEmpty()) return false;  // the user chose no file
        file_ = std::make_unique<QSaveFile>(path_);
        if (!openPrivate(*file_, QIODevice::WriteOnly)) {
            *error = pdfWriteError(path_, file_->errorString());
            return false;
        }
        writer_ = std::make_unique<QPdfWriter>(file_.get());
        writer_->setResolution(kTwipsPerInch);
        writer_->setCreator(QStringLiteral("Orvanelle"));
        writer_->setTitle(setup.title.isEmpty() ? setup.deviceName : setup.title);
        writer_->setPageLayout(pageLayoutFor(setup.pageSize, setup.orientation));
        return startPainting(kPdfPixelDpi, setup, error);
    }
    bool end(QString* error) override {
        painter_.end();
        writer_.reset();
        QString reason;
        if (commitWritten(*file_, &reason)) return true;
        *error = pdfWriteError(path_, reason);
        return false;
    }
    void cancel() override {
        painter_.end();
        writer_.reset();
        file_->cancelWriting();
        file_->commit();  // discards the temporary file
    }

  protected:
    QPagedPaintDevice* device() override { return writer_.get(); }

  private:
    QString path_;
    std::unique_ptr<QSaveFile> file_;
    std::unique_ptr<QPdfWriter> writer_;
};

QString orientationName(PrinterOrientation orientation) {
    return orientation == PrinterOrientation::Landscape ? QStringLiteral("paysage")
                                                        : QStringLiteral("portrait");
}

// Margins of at least 10 points, never below the printer's minimum (points, rounded up).
QMarginsF marginsWithin(const QMarginsF& minimum) {
    const auto side = [](double min) { return qMax(10.0, std::ceil(min * 100) / 100); };
    return QMarginsF(side(minimum.left()), side(minimum.top()), side(minimum.right()),
                     side(minimum.bottom()));
}

}  // namespace

QString applyPageLayout(QPrinter& printer, const QPageSize& size, PrinterOrientation orientation) {
    const QString name = printer.printerName();
    const auto wanted = orientation == PrinterOrientation::Landscape ? QPageLayout::Landscape
                                                                     : QPageLayout::Portrait;
    if (!printer.setPageSize(size) || !printer.pageLayout().pageSize().isEquivalentTo(size))
        return QStringLiteral("L'imprimante « %1 » n'a pas de papier « %2 ».")
            .arg(name, size.name());
    if (!printer.setPageOrientation(wanted) || printer.pageLayout().orientation() != wanted)
        return QStringLiteral("L'imprimante « %1 » n'accepte pas l'orientation %2.")
            .arg(name, orientationName(orientation));
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Point);
    if (!printer.setPageMargins(marginsWithin(layout.minimumMargins()), QPageLayout::Point))
        return QStringLiteral("L'imprimante « %1 » n'accepte pas les marges demandées.").arg(name);
    return QString();
}

namespace {

class SystemBackend : public PainterBackend {
  public:
    explicit SystemBackend(QString name) : name_(std::move(name)) {}

    bool begin(const DocumentSetup& setup, QString* error) override {
        printer_ =
            std::make_unique<QPrinter>(QPrinterInfo::printerInfo(name_), QPrinter::HighResolution);
        printer_->setDocName(setup.title.isEmpty() ? QStringLiteral("Orvanelle") : setup.title);
        printer_->setColorMode(setup.colour ? QPrinter::Color : QPrinter::GrayScale);
        if (const QString refusal = applyPageLayout(*printer_, setup.pageSize, setup.orientation);
            !refusal.isEmpty()) {
            *error = refusal + QStringLiteral(" Rien n'a été imprimé.");
            return false;
        }
        return startPainting(printer_->resolution(), setup, error);
    }
    bool end(QString* error) override {
        if (painter_.end() && printer_->printerState() != QPrinter::Error) return true;
        *error =
            QStringLiteral("Le document n'a pas pu être remis à l'imprimante « %1 ».").arg(name_);
        return false;
    }
    void cancel() override {
        printer_->abort();
        painter_.end();
    }

  protected:
    QPagedPaintDevice* device() override { return printer_.get(); }

  private:
    QString name_;
    std::unique_ptr<QPrinter> printer_;
};

// JSON lines, one per operation. A file is emptied the first time the program writes it and
// receives the following documents after the first.
class TranscriptBackend : public PrintBackend {
  public:
    explicit TranscriptBackend(QString path) : path_(std::move(path)) {}

    bool begin(const DocumentSetup& setup, QString* error) override {
        static QSet<QString> written;
        file_.setFileName(path_);
        const bool first = !written.contains(path_);
        if (!openPrivate(
                file_, QIODevice::WriteOnly | (first ? QIODevice::Truncate : QIODevice::Append))) {
            *error = QStringLiteral("Impossible d'écrire le fichier « %1 ».").arg(path_);
            return false;
        }
        written.insert(path_);
        line_.flag("colour", setup.colour)
            .text("device", setup.deviceName)
            .text("op", u"start")
            .text("orientation",
                  setup.orientation == PrinterOrientation::Landscape ? u"landscape" : u"portrait")
            .writeTo(file_);
        return true;
    }
    void draw(const PrintOp& op) override {
        if (op.kind == PrintOp::Text) {
            line_.flag("bold", op.font.bold)
                .flag("eol", op.lineEnd)
                .text("font", op.font.name)
                .text("op", u"text")
                .number("page", op.page)
                .number("size", op.font.size)
                .text("text", op.text)
                .flag("underline", op.font.underline)
                .number("x", op.x1)
                .number("y", op.y1)
                .writeTo(file_);
            return;
        }
        static const char16_t* const names[] = {u"text", u"line", u"box", u"fill"};
        line_.text("colour", colourName(op.color))
            .text("op", names[op.kind])
            .number("page", op.page)
            .number("width", op.width)
            .number("x1", op.x1)
            .number("x2", op.x2)
            .number("y1", op.y1)
            .number("y2", op.y2)
            .writeTo(file_);
    }
    void newPage(int page) override {
        line_.text("op", u"newpage").number("page", page).writeTo(file_);
    }
    bool end(QString* error) override {
        if (finish(u"end")) return true;
        *error = QStringLiteral("Impossible d'écrire le fichier « %1 ».").arg(path_);
        return false;
    }
    void cancel() override { finish(u"cancel"); }

  private:
    bool finish(QStringView op) {
        line_.text("op", op).writeTo(file_);
        const bool written = file_.flush() && file_.error() == QFileDevice::NoError;
        file_.close();
        return written;
    }
    JsonLine line_;
    QString path_;
    QFile file_;
};

// Keeps the pages and shows them in a preview window when the document ends.
class PreviewBackend : public PrintBackend {
  public:
    bool begin(const DocumentSetup& setup, QString*) override {
        document_ = std::make_shared<RecordedDocument>();
        document_->setup = setup;
        return true;
    }
    void draw(const PrintOp& op) override { document_->ops.push_back(op); }
    void newPage(int page) override { document_->pages = page; }
    bool end(QString*) override {
        showPreview(document_);
        return true;
    }
    void cancel() override { document_.reset(); }

  private:
    std::shared_ptr<RecordedDocument> document_;
};

}  // namespace

QPageLayout pageLayoutFor(const QPageSize& size, PrinterOrientation orientation) {
    return QPageLayout(size,
                       orientation == PrinterOrientation::Landscape ? QPageLayout::Landscape
                                                                    : QPageLayout::Portrait,
                       QMarginsF(10, 10, 10, 10), QPageLayout::Point);
}

QSizeF printableTwips(const QPageSize& size, PrinterOrientation orientation) {
    return pageLayoutFor(size, orientation).paintRectPixels(kTwipsPerInch).size();
}

// The last bytes are flushed and checked before the commit: Qt's commit() does not see a
// failure of that final flush (a full disk) and would put an empty or truncated file in place.
bool commitWritten(QSaveFile& file, QString* reason) {
    if (file.flush() && file.error() == QFileDevice::NoError && file.commit()) return true;
    *reason = file.errorString();
    file.cancelWriting();
    file.commit();  // discards the temporary file
    return false;
}

QString pdfWriteError(const QString& path, const QString& reason) {
    return QStringLiteral(
               "Le fichier PDF « %1 » n'a pas pu être écrit (%2) : le document "
               "n'est pas enregistré.")
        .arg(path, reason);
}

DeviceLayout deviceLayout(const PrinterEntry& entry, const QPageSize& size,
                          PrinterOrientation orientation) {
    if (entry.kind != PrinterKind::System) return {pageLayoutFor(size, orientation), QString()};
    const QPrinterInfo info = QPrinterInfo::printerInfo(entry.name);
    if (info.isNull())
        return {pageLayoutFor(size, orientation),
                QStringLiteral("L'imprimante « %1 » n'est plus installée.").arg(entry.name)};
    QPrinter printer(info, QPrinter::HighResolution);
    const QString refusal = applyPageLayout(printer, size, orientation);
    return {printer.pageLayout(), refusal};
}

namespace {

double fixedAdvanceOf(const QFont& font, const QFontMetricsF& metrics) {
    if (!QFontInfo(font).fixedPitch()) return 0;
    const double advance = metrics.horizontalAdvance(QLatin1Char('0'));
    for (const QChar c : QStringLiteral("Wiéœ ."))
        if (metrics.horizontalAdvance(c) != advance) return 0;
    return advance;
}

}  // namespace

double textWidthIn(const TwipMetrics& metrics, const QString& text) {
    if (metrics.fixedAdvance > 0 && plainLatin(text)) return metrics.fixedAdvance * text.size();
    return metrics.metrics->horizontalAdvance(text);
}

const TwipMetrics& twipMetrics(const PrintFont& font) {
    // Node-based: printers keep a pointer to their font's entry. A report changes font often
    // but among few: the last one found is tried first.
    static std::map<PrintFont, TwipMetrics, FontOrder> cache;
    static std::map<PrintFont, TwipMetrics, FontOrder>::iterator last = cache.end();
    if (last != cache.end() && last->first == font) return last->second;
    auto it = cache.find(font);
    if (it == cache.end()) {
        TwipMetrics m;
        m.font = resolvedPrintFont(font);
        m.metrics = std::make_shared<QFontMetricsF>(m.font);
        m.ascent = m.metrics->ascent();
        m.height = m.metrics->height();
        m.fixedAdvance = fixedAdvanceOf(m.font, *m.metrics);
        if (m.fixedAdvance > 0) m.rawFont = QRawFont::fromFont(m.font);
        it = cache.emplace(font, m).first;
    }
    last = it;
    return it->second;
}

std::unique_ptr<PrintBackend> makeBackend(const PrinterEntry& entry) {
    switch (entry.kind) {
        case PrinterKind::System:
            return std::make_unique<SystemBackend>(entry.name);
        case PrinterKind::Pdf:
            return std::make_unique<PdfBackend>(entry.path);
        case PrinterKind::Preview:
            return std::make_unique<PreviewBackend>();
        case PrinterKind::Transcript:
            return std::make_unique<TranscriptBackend>(entry.path);
    }
    return nullptr;
}

void renderDocument(const RecordedDocument& document, QPainter& painter,
                    QPagedPaintDevice& device) {
    OpPainter opPainter;
    const double dpi = device.logicalDpiX() >= kTwipsPerInch ? kPdfPixelDpi : device.logicalDpiX();
    opPainter.start(painter, device, dpi, document.setup.colour, document.setup.condensed);
    int page = 1;
    for (const PrintOp& op : document.ops) {
        for (; page < op.page; ++page) device.newPage();
        opPainter.draw(painter, op);
    }
    for (; page < document.pages; ++page) device.newPage();
}

}  // namespace orv
