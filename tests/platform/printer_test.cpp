#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <ctime>

#include "platform/message_services.h"
#include "platform/print_catalogue.h"
#include "platform/printer.h"
#include "platform/private_files.h"
#include "testkit.h"

namespace orv {
namespace {

PrinterEntry transcriptEntry(const QString& file, bool colour = true) {
    return {QStringLiteral("Essai"), PrinterKind::Transcript, test::tempPath(file), colour};
}

QList<QJsonObject> opsNamed(const QList<QJsonObject>& lines, const QString& op) {
    QList<QJsonObject> found;
    for (const QJsonObject& line : lines) {
        if (line.value(QStringLiteral("op")).toString() == op) found.append(line);
    }
    return found;
}

// pdfinfo's answer for a file, or an empty text when it cannot read it.
QString pdfInfo(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {path});
    process.waitForFinished(10000);
    return process.exitCode() == 0 ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

TEST(PrinterModel, ClassicFontsResolveToMetricCompatibleFamilies) {
    EXPECT_EQ(QFontInfo(resolvedPrintFont({QStringLiteral("Courier New"), 10})).family(),
              QStringLiteral("Liberation Mono"));
    EXPECT_EQ(QFontInfo(resolvedPrintFont({QStringLiteral("Arial"), 10})).family(),
              QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(resolvedPrintFont({QStringLiteral("Verdana"), 10})).family(),
              QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(QFontInfo(resolvedPrintFont({QStringLiteral("Trebuchet MS"), 10})).family(),
              QStringLiteral("DejaVu Sans"));
}

TEST(PrinterModel, CourierNewMeasuresLikeTheOriginal) {
    Printer printer(transcriptEntry(QStringLiteral("metrics.jsonl")));
    printer.setFontName(QStringLiteral("Courier New"));
    printer.setFontSize(10);
    EXPECT_NEAR(printer.textHeight(), 226.6, 0.5);
    EXPECT_NEAR(printer.textWidth(QStringLiteral("0123456789")), 1200, 0.5);
    // Accented characters are as wide as any other in a fixed-width font.
    EXPECT_NEAR(printer.textWidth(QStringLiteral("Éléonore")), 8 * 120, 0.5);
    printer.setFontSize(14);
    EXPECT_NEAR(printer.textHeight(), 317.2, 0.5);
    printer.setFontBold(true);
    EXPECT_NEAR(printer.textWidth(QStringLiteral("A")), 168, 0.5);
}

TEST(PrinterModel, PrintableAreaIsA4InTwipsLessTheMargins) {
    Printer printer(transcriptEntry(QStringLiteral("area.jsonl")));
    EXPECT_EQ(kTwipsPerCm, 567);
    EXPECT_EQ(printer.orientation(), PrinterOrientation::Portrait);
    EXPECT_NEAR(printer.scaleWidth(), 21.0 * 567 - 400, 8);
    EXPECT_NEAR(printer.scaleHeight(), 29.7 * 567 - 400, 8);
    printer.setOrientation(PrinterOrientation::Landscape);
    EXPECT_NEAR(printer.scaleWidth(), 16440, 3);
    EXPECT_NEAR(printer.scaleHeight(), 11500, 8);
}

TEST(PrinterModel, TranscriptGivesPositionsWithAndWithoutLineEnd) {
    const QString path = test::tempPath(QStringLiteral("positions.jsonl"));
    Printer printer(transcriptEntry(QStringLiteral("positions.jsonl")));
    printer.setOrientation(PrinterOrientation::Landscape);
    printer.print(QString());  // an empty line
    printer.print(QStringLiteral("Date : "), false);
    EXPECT_NEAR(printer.currentX(), 840, 0.5);
    printer.print(QStringLiteral("01/02/2024"));
    EXPECT_EQ(printer.currentX(), 0);
    EXPECT_NEAR(printer.currentY(), 2 * 226.6, 1);
    printer.setFontBold(true);
    printer.setCurrentX(567);
    printer.print(QStringLiteral("Titre"));
    printer.setDrawWidth(3);
    printer.line(0, 1000, 16329.6, 1000);
    printer.fillBox(0, 1417.5, 850.5, 1701, colorFromRgbValue(rgbValue(255, 128, 128)));
    printer.setDrawWidth(0);
    EXPECT_EQ(printer.drawWidth(), 1);
    printer.box(0, 1417.5, 850.5, 1701);
    EXPECT_EQ(printer.currentY(), 1701);
    printer.endDoc();

    const QList<QJsonObject> lines = test::readJsonLines(path);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first().value(QStringLiteral("op")).toString(), QStringLiteral("start"));
    EXPECT_EQ(lines.first().value(QStringLiteral("device")).toString(), QStringLiteral("Essai"));
    EXPECT_EQ(lines.first().value(QStringLiteral("orientation")).toString(),
              QStringLiteral("landscape"));
    EXPECT_TRUE(lines.first().value(QStringLiteral("colour")).toBool());
    EXPECT_EQ(lines.last().value(QStringLiteral("op")).toString(), QStringLiteral("end"));

    const QList<QJsonObject> texts = opsNamed(lines, QStringLiteral("text"));
    ASSERT_EQ(texts.size(), 3);  // the empty line draws nothing
    EXPECT_EQ(texts[0].value(QStringLiteral("text")).toString(), QStringLiteral("Date : "));
    EXPECT_NEAR(texts[0].value(QStringLiteral("y")).toDouble(), 226.6, 0.5);
    EXPECT_FALSE(texts[0].value(QStringLiteral("eol")).toBool());
    EXPECT_NEAR(texts[1].value(QStringLiteral("x")).toDouble(), 840, 0.5);
    EXPECT_EQ(texts[1].value(QStringLiteral("y")).toDouble(),
              texts[0].value(QStringLiteral("y")).toDouble());
    EXPECT_TRUE(texts[1].value(QStringLiteral("eol")).toBool());
    EXPECT_EQ(texts[2].value(QStringLiteral("x")).toDouble(), 567);
    EXPECT_TRUE(texts[2].value(QStringLiteral("bold")).toBool());
    EXPECT_EQ(texts[2].value(QStringLiteral("font")).toString(), QStringLiteral("Courier New"));
    EXPECT_EQ(texts[2].value(QStringLiteral("size")).toDouble(), 10);

    const QList<QJsonObject> rules = opsNamed(lines, QStringLiteral("line"));
    ASSERT_EQ(rules.size(), 1);
    EXPECT_EQ(rules[0].value(QStringLiteral("width")).toInt(), 3);
    EXPECT_EQ(rules[0].value(QStringLiteral("x2")).toDouble(), 16329.6);
    const QList<QJsonObject> fills = opsNamed(lines, QStringLiteral("fill"));
    ASSERT_EQ(fills.size(), 1);
    EXPECT_EQ(fills[0].value(QStringLiteral("colour")).toString(), QStringLiteral("#ff8080"));
    EXPECT_EQ(opsNamed(lines, QStringLiteral("box")).size(), 1);
}

// Each transcript line is exactly what QJsonDocument writes for its object, and every text comes
// back as printed: quotes, backslashes, control characters, accents, characters beyond 16 bits.
TEST(PrinterModel, TranscriptLinesAreCompactJsonAndKeepEveryText) {
    const QString path = test::tempPath(QStringLiteral("json.jsonl"));
    const QStringList texts = {QStringLiteral("« Prénom » \"cité\" \\ fin"),
                               QStringLiteral("tab\tretour\r\nsaut\x01\x1f"),
                               QStringLiteral("€ 😀 ÇÀ"), QStringLiteral("/ < > & '")};
    {
        Printer printer(transcriptEntry(QStringLiteral("json.jsonl")));
        printer.setCurrentX(12.25);
        for (const QString& text : texts) printer.print(text);
        printer.endDoc();
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList printed;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        if (raw.isEmpty()) continue;
        const QJsonObject object = QJsonDocument::fromJson(raw).object();
        EXPECT_EQ(raw, QJsonDocument(object).toJson(QJsonDocument::Compact));
        if (object.value(QStringLiteral("op")).toString() == QStringLiteral("text"))
            printed << object.value(QStringLiteral("text")).toString();
    }
    EXPECT_EQ(printed, texts);
}

TEST(PrinterModel, PagesAreNumberedAndEachDocumentStartsAtPageOne) {
    const QString path = test::tempPath(QStringLiteral("pages.jsonl"));
    Printer printer(transcriptEntry(QStringLiteral("pages.jsonl")));
    EXPECT_EQ(printer.page(), 1);
    printer.print(QStringLiteral("Page : ") + QString::number(printer.page()));
    printer.newPage();
    EXPECT_EQ(printer.page(), 2);
    EXPECT_EQ(printer.currentY(), 0);
    printer.print(QStringLiteral("Page : ") + QString::number(printer.page()));
    printer.endDoc();
    EXPECT_EQ(printer.page(), 1);
    printer.setOrientation(PrinterOrientation::Landscape);
    printer.print(QStringLiteral("Second document"));
    printer.endDoc();

    const QList<QJsonObject> lines = test::readJsonLines(path);
    // Both documents of the run are kept, one after the other.
    ASSERT_EQ(opsNamed(lines, QStringLiteral("start")).size(), 2);
    const QList<QJsonObject> texts = opsNamed(lines, QStringLiteral("text"));
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts[0].value(QStringLiteral("page")).toInt(), 1);
    EXPECT_EQ(texts[1].value(QStringLiteral("page")).toInt(), 2);
    EXPECT_EQ(texts[1].value(QStringLiteral("text")).toString(), QStringLiteral("Page : 2"));
    EXPECT_EQ(texts[2].value(QStringLiteral("page")).toInt(), 1);
    EXPECT_EQ(
        opsNamed(lines, QStringLiteral("newpage")).first().value(QStringLiteral("page")).toInt(),
        2);
    EXPECT_EQ(
        opsNamed(lines, QStringLiteral("start"))[1].value(QStringLiteral("orientation")).toString(),
        QStringLiteral("landscape"));
}

TEST(PrinterModel, TextBelowThePrintableAreaGoesToTheNextPage) {
    const QString path = test::tempPath(QStringLiteral("overflow.jsonl"));
    Printer printer(transcriptEntry(QStringLiteral("overflow.jsonl")));
    printer.setCurrentY(printer.scaleHeight() - 100);
    printer.print(QStringLiteral("Ligne de trop"));
    EXPECT_EQ(printer.page(), 2);
    printer.endDoc();
    const QList<QJsonObject> texts = opsNamed(test::readJsonLines(path), QStringLiteral("text"));
    ASSERT_EQ(texts.size(), 1);
    EXPECT_EQ(texts[0].value(QStringLiteral("page")).toInt(), 2);
    EXPECT_EQ(texts[0].value(QStringLiteral("y")).toDouble(), 0);
}

TEST(PrinterModel, OrientationIsFixedOnceADocumentHasStarted) {
    Printer printer(transcriptEntry(QStringLiteral("orientation.jsonl")));
    printer.print(QStringLiteral("x"));
    printer.setOrientation(PrinterOrientation::Landscape);
    EXPECT_EQ(printer.orientation(), PrinterOrientation::Portrait);
    printer.killDoc();
    printer.setOrientation(PrinterOrientation::Landscape);
    EXPECT_EQ(printer.orientation(), PrinterOrientation::Landscape);
}

TEST(PrinterModel, CancelledDocumentLeavesNoOutput) {
    const QString pdf = test::tempPath(QStringLiteral("annule.pdf"));
    Printer printer({QStringLiteral("PDF"), PrinterKind::Pdf, pdf, true});
    printer.print(QStringLiteral("Aucun aidant"));
    printer.newPage();
    printer.killDoc();
    EXPECT_FALSE(QFileInfo::exists(pdf));
    EXPECT_EQ(printer.page(), 1);
    EXPECT_FALSE(printer.documentOpen());

    const QString path = test::tempPath(QStringLiteral("annule.jsonl"));
    Printer transcript(transcriptEntry(QStringLiteral("annule.jsonl")));
    transcript.print(QStringLiteral("Aucun aidant"));
    transcript.killDoc();
    const QList<QJsonObject> lines = test::readJsonLines(path);
    EXPECT_EQ(lines.last().value(QStringLiteral("op")).toString(), QStringLiteral("cancel"));
    EXPECT_TRUE(opsNamed(lines, QStringLiteral("end")).isEmpty());
}

TEST(PrinterModel, UnwritableFileIsReportedAndNothingIsPrinted) {
    ScriptedMessageService messages;
    ScopedMessageService scope(&messages);
    Printer printer({QStringLiteral("PDF"), PrinterKind::Pdf,
                     QStringLiteral("/nonexistent-dir/sortie.pdf"), true});
    printer.print(QStringLiteral("a"));
    printer.print(QStringLiteral("b"));
    EXPECT_EQ(printer.endDoc(), DocumentEnd::Failed);
    ASSERT_EQ(messages.shown().size(), 1);  // once per document, not per line
    EXPECT_TRUE(messages.shown()[0].text.contains(QStringLiteral("/nonexistent-dir/sortie.pdf")));
    EXPECT_EQ(messages.shown()[0].icon, MsgCritical);
}

// Printed business data is the user's alone, whatever the umask; so are the folders made for
// it, and a transcript that was there before.
TEST(PrinterFiles, OutputsAreTheOwnersAlone) {
    const mode_t before = umask(022);
    const QString kept = test::tempPath(QStringLiteral("ancienne.jsonl"));
    QFile old(kept);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    ASSERT_TRUE(old.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    for (const PrinterEntry& entry :
         {PrinterEntry{QStringLiteral("PDF"), PrinterKind::Pdf,
                       test::tempPath(QStringLiteral("privee.pdf")), true},
          transcriptEntry(QStringLiteral("privee.jsonl")),
          transcriptEntry(QStringLiteral("ancienne.jsonl"))}) {
        Printer printer(entry);
        printer.print(QStringLiteral("Aidant"));
        printer.endDoc();
        EXPECT_EQ(test::modeOf(entry.path), 0600u) << qPrintable(entry.path);
    }
    const QString parent = test::tempPath(QStringLiteral("exports"));
    ASSERT_TRUE(makePrivateFolder(parent + QStringLiteral("/factures/2006")));
    for (const QString& folder : {parent, parent + QStringLiteral("/factures/2006")})
        EXPECT_EQ(test::modeOf(folder), 0700u) << qPrintable(folder);
    EXPECT_FALSE(makePrivateFolder(kept + QStringLiteral("/dessous")));
    umask(before);
}

TEST(PrinterPdf, WritesEveryPageInTheChosenOrientation) {
    const QString pdf = test::tempPath(QStringLiteral("trois.pdf"));
    Printer printer({QStringLiteral("PDF"), PrinterKind::Pdf, pdf, true});
    printer.setOrientation(PrinterOrientation::Landscape);
    for (int page = 1; page <= 3; ++page) {
        if (page > 1) printer.newPage();
        printer.print(QStringLiteral("Page : %1").arg(printer.page()));
        printer.fillBox(0, 1000, 2000, 1500, Qt::cyan);
    }
    EXPECT_FALSE(QFileInfo::exists(pdf));  // written only when the document ends
    printer.endDoc();
    const QString info = pdfInfo(pdf);
    ASSERT_FALSE(info.isEmpty()) << "pdfinfo cannot read " << qPrintable(pdf);
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))))
        << qPrintable(info);
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+842 x 595 pts"))))
        << qPrintable(info);
}

// A long statement: 10,000 rows of 129 characters with the page break test of the reports.
TEST(PrinterPdf, TenThousandRowsPrintQuickly) {
    const QString pdf = test::tempPath(QStringLiteral("long.pdf"));
    Printer printer({QStringLiteral("PDF"), PrinterKind::Pdf, pdf, true});
    printer.setOrientation(PrinterOrientation::Landscape);
    const QString row =
        QStringLiteral("00001 1234567890123456789012 DUPONT Jean") + QString(88, QLatin1Char('9'));
    // Processor time, so that other work on a busy machine does not count.
    const std::clock_t started = std::clock();
    for (int n = 0; n < 10000; ++n) {
        if (printer.currentY() + 240 >= 10800) printer.newPage();
        printer.print(row.left(57), false);
        printer.print(row.mid(57));
    }
    const int pages = printer.page();
    printer.endDoc();
    const double seconds = double(std::clock() - started) / CLOCKS_PER_SEC;
    EXPECT_LT(seconds, 3.0);
    EXPECT_GT(pages, 200);
    EXPECT_TRUE(pdfInfo(pdf).contains(QStringLiteral("Pages:           %1").arg(pages)));
}

TEST(PrinterCatalogue, ListsPdfPreviewAndConfiguredVirtualPrinters) {
    const QList<PrinterEntry>& entries = PrinterCatalogue::entries();
    ASSERT_EQ(entries.size(), 5);  // no installed printers here; the unreadable entry is left out
    EXPECT_EQ(entries[0].kind, PrinterKind::Pdf);
    EXPECT_EQ(entries[1].name, QStringLiteral("Aperçu avant impression"));
    EXPECT_EQ(PrinterCatalogue::indexOf(QStringLiteral("Matricielle MATRIC")), 2);
    EXPECT_EQ(PrinterCatalogue::indexOf(QStringLiteral("laser n&b")), 4);
    EXPECT_EQ(PrinterCatalogue::indexOf(QStringLiteral("Absente")), -1);
    EXPECT_EQ(entries[3].kind, PrinterKind::Pdf);
    EXPECT_TRUE(entries[3].path.endsWith(QStringLiteral("/l.pdf")));

    ASSERT_TRUE(setCurrentPrinter(2));
    EXPECT_EQ(currentPrinterIndex(), 2);
    EXPECT_TRUE(currentPrinter().deviceName().toUpper().contains(QStringLiteral("MATRIC")));
    EXPECT_EQ(currentPrinter().colorMode(), PrinterColorMode::Color);
    ASSERT_TRUE(setCurrentPrinter(4));
    EXPECT_EQ(currentPrinter().colorMode(), PrinterColorMode::Monochrome);
    EXPECT_FALSE(setCurrentPrinter(5));
    EXPECT_EQ(currentPrinterIndex(), 4);

    currentPrinter().print(QStringLiteral("gris"));
    currentPrinter().endDoc();
    const QList<QJsonObject> lines = test::readJsonLines(test::tempPath(QStringLiteral("g.jsonl")));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines[0].value(QStringLiteral("device")).toString(), QStringLiteral("Laser N&B"));
    EXPECT_FALSE(lines[0].value(QStringLiteral("colour")).toBool());
}

TEST(PrinterCatalogue, VirtualPrinterTextMayHoldColonsInPaths) {
    const QList<PrinterEntry> list = parseVirtualPrinters(
        QStringLiteral(" A=transcript:/tmp/a:b.jsonl ; B=pdf:/tmp/b.pdf:mono;C=fax:/x"));
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].name, QStringLiteral("A"));
    EXPECT_EQ(list[0].path, QStringLiteral("/tmp/a:b.jsonl"));
    EXPECT_TRUE(list[0].colour);
    EXPECT_EQ(list[1].kind, PrinterKind::Pdf);
    EXPECT_FALSE(list[1].colour);
}

}  // namespace
}  // namespace orv
