#include "platform/print_device.h"

#include <QFile>
#include <QFontInfo>
#include <QGlyphRun>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QSet>
#include <map>

#include "platform/print_preview.h"

namespace orv {

namespace {

// Line widths are in device pixels; a PDF has none, so it takes a 600 dpi laser printer's.
constexpr double kPdfPixelDpi = 600;

QString fontKey(const PrintFont& font) {
    return QStringLiteral("%1|%2|%3|%4")
        .arg(font.name)
        .arg(font.size)
        .arg(int(font.bold))
        .arg(int(font.underline));
}

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
    void start(QPainter& painter, const QPaintDevice& device, double pixelDpi, bool colour) {
        painter.scale(device.logicalDpiX() / double(kTwipsPerInch),
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
    bool startPainting(double pixelDpi, bool colour, QString* error) {
        if (!painter_.begin(device())) {
            *error = QStringLiteral("L'impression n'a pas pu commencer.");
            return false;
        }
        opPainter_.start(painter_, *device(), pixelDpi, colour);
        return true;
    }
    QPainter painter_;
    OpPainter opPainter_;
};

class PdfBackend : public PainterBackend {
  public:
    explicit PdfBackend(QString path) : path_(std::move(path)) {}

    bool begin(const DocumentSetup& setup, QString* error) override {
        if (path_.isEmpty()) path_ = choosePdfFile();
        if (path_.isEmpty()) return false;  // the user chose no file
        file_ = std::make_unique<QSaveFile>(path_);
        if (!file_->open(QIODevice::WriteOnly)) {
            *error = QStringLiteral("Impossible d'écrire le fichier « %1 ».").arg(path_);
            return false;
        }
        writer_ = std::make_unique<QPdfWriter>(file_.get());
        writer_->setResolution(kTwipsPerInch);
        writer_->setCreator(QStringLiteral("Orvanelle"));
        writer_->setTitle(setup.deviceName);
        writer_->setPageLayout(pageLayoutFor(setup.pageSize, setup.orientation));
        return startPainting(kPdfPixelDpi, setup.colour, error);
    }
    void end() override {
        painter_.end();
        writer_.reset();
        if (!file_->commit())
            qWarning("Impossible d'écrire le fichier %s", qPrintable(file_->fileName()));
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

class SystemBackend : public PainterBackend {
  public:
    explicit SystemBackend(QString name) : name_(std::move(name)) {}

    bool begin(const DocumentSetup& setup, QString* error) override {
        printer_ =
            std::make_unique<QPrinter>(QPrinterInfo::printerInfo(name_), QPrinter::HighResolution);
        printer_->setDocName(QStringLiteral("Orvanelle"));
        printer_->setColorMode(setup.colour ? QPrinter::Color : QPrinter::GrayScale);
        printer_->setPageLayout(pageLayoutFor(setup.pageSize, setup.orientation));
        return startPainting(printer_->resolution(), setup.colour, error);
    }
    void end() override { painter_.end(); }
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
        if (!file_.open(QIODevice::WriteOnly | (first ? QIODevice::Truncate : QIODevice::Append))) {
            *error = QStringLiteral("Impossible d'écrire le fichier « %1 ».").arg(path_);
            return false;
        }
        written.insert(path_);
        write({{QStringLiteral("op"), QStringLiteral("start")},
               {QStringLiteral("device"), setup.deviceName},
               {QStringLiteral("orientation"), setup.orientation == PrinterOrientation::Landscape
                                                   ? QStringLiteral("landscape")
                                                   : QStringLiteral("portrait")},
               {QStringLiteral("colour"), setup.colour}});
        return true;
    }
    void draw(const PrintOp& op) override {
        if (op.kind == PrintOp::Text) {
            write({{QStringLiteral("op"), QStringLiteral("text")},
                   {QStringLiteral("page"), op.page},
                   {QStringLiteral("x"), op.x1},
                   {QStringLiteral("y"), op.y1},
                   {QStringLiteral("font"), op.font.name},
                   {QStringLiteral("size"), op.font.size},
                   {QStringLiteral("bold"), op.font.bold},
                   {QStringLiteral("underline"), op.font.underline},
                   {QStringLiteral("text"), op.text},
                   {QStringLiteral("eol"), op.lineEnd}});
            return;
        }
        static const char* const names[] = {"text", "line", "box", "fill"};
        write({{QStringLiteral("op"), QString::fromLatin1(names[op.kind])},
               {QStringLiteral("page"), op.page},
               {QStringLiteral("x1"), op.x1},
               {QStringLiteral("y1"), op.y1},
               {QStringLiteral("x2"), op.x2},
               {QStringLiteral("y2"), op.y2},
               {QStringLiteral("colour"), colourName(op.color)},
               {QStringLiteral("width"), op.width}});
    }
    void newPage(int page) override {
        write({{QStringLiteral("op"), QStringLiteral("newpage")}, {QStringLiteral("page"), page}});
    }
    void end() override { finish(QStringLiteral("end")); }
    void cancel() override { finish(QStringLiteral("cancel")); }

  private:
    void write(const QJsonObject& object) {
        file_.write(QJsonDocument(object).toJson(QJsonDocument::Compact));
        file_.write("\n", 1);
    }
    void finish(const QString& op) {
        write({{QStringLiteral("op"), op}});
        file_.close();
    }
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
    void end() override { showPreview(document_); }
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
    // Node-based: printers keep a pointer to their font's entry.
    static std::map<QString, TwipMetrics> cache;
    const QString key = fontKey(font);
    auto it = cache.find(key);
    if (it == cache.end()) {
        TwipMetrics m;
        m.font = resolvedPrintFont(font);
        m.metrics = std::make_shared<QFontMetricsF>(m.font);
        m.ascent = m.metrics->ascent();
        m.height = m.metrics->height();
        m.fixedAdvance = fixedAdvanceOf(m.font, *m.metrics);
        if (m.fixedAdvance > 0) m.rawFont = QRawFont::fromFont(m.font);
        it = cache.emplace(key, m).first;
    }
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
    opPainter.start(painter, device, dpi, document.setup.colour);
    int page = 1;
    for (const PrintOp& op : document.ops) {
        for (; page < op.page; ++page) device.newPage();
        opPainter.draw(painter, op);
    }
    for (; page < document.pages; ++page) device.newPage();
}

}  // namespace orv
