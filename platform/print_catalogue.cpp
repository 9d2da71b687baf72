#include "platform/print_catalogue.h"

#include <QDir>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cstdio>

namespace orv {

namespace {

std::function<QString(const QString&)> g_pdfChooser;

bool readVirtualPrinter(const QString& item, PrinterEntry* entry) {
    const int equals = item.indexOf(QLatin1Char('='));
    if (equals <= 0) return false;
    entry->name = item.left(equals).trimmed();
    QString target = item.mid(equals + 1).trimmed();
    entry->colour = true;
    if (target.endsWith(QLatin1String(":mono"), Qt::CaseInsensitive)) {
        entry->colour = false;
        target.chop(5);
    } else if (target.endsWith(QLatin1String(":colour"), Qt::CaseInsensitive)) {
        target.chop(7);
    }
    const QString kind = target.section(QLatin1Char(':'), 0, 0).trimmed().toLower();
    entry->path = target.section(QLatin1Char(':'), 1);
    if (kind == QLatin1String("transcript"))
        entry->kind = PrinterKind::Transcript;
    else if (kind == QLatin1String("pdf"))
        entry->kind = PrinterKind::Pdf;
    else
        return false;
    return !entry->name.isEmpty() && !entry->path.isEmpty();
}

QList<PrinterEntry> systemPrinters() {
    QList<PrinterEntry> list;
    if (qEnvironmentVariable("ORVANELLE_SYSTEM_PRINTERS") == QLatin1String("0")) return list;
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
        PrinterEntry entry;
        entry.name = info.printerName();
        entry.kind = PrinterKind::System;
        entry.colour = info.defaultColorMode() == QPrinter::Color;
        list.append(entry);
    }
    return list;
}

QList<PrinterEntry> buildCatalogue() {
    QList<PrinterEntry> list = systemPrinters();
    list.append({PrinterCatalogue::pdfPrinterName(), PrinterKind::Pdf, QString(), true});
    list.append({PrinterCatalogue::previewPrinterName(), PrinterKind::Preview, QString(), true});
    list.append(parseVirtualPrinters(qEnvironmentVariable("ORVANELLE_PRINTERS")));
    return list;
}

QList<PrinterEntry>& catalogue() {
    static QList<PrinterEntry> list = buildCatalogue();
    return list;
}

}  // namespace

QList<PrinterEntry> parseVirtualPrinters(const QString& text) {
    QList<PrinterEntry> list;
    for (const QString& item : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (item.trimmed().isEmpty()) continue;
        PrinterEntry entry;
        if (readVirtualPrinter(item, &entry))
            list.append(entry);
        else
            std::fprintf(stderr, "ORVANELLE_PRINTERS : imprimante illisible « %s »\n",
                         qPrintable(item));
    }
    return list;
}

const QList<PrinterEntry>& PrinterCatalogue::entries() { return catalogue(); }

void PrinterCatalogue::reload() { catalogue() = buildCatalogue(); }

int PrinterCatalogue::indexOf(const QString& name) {
    const QList<PrinterEntry>& list = entries();
    for (int i = 0; i < list.size(); ++i) {
        if (list[i].name == name) return i;
    }
    for (int i = 0; i < list.size(); ++i) {
        if (list[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

QString PrinterCatalogue::pdfPrinterName() { return QStringLiteral("Fichier PDF"); }

QString PrinterCatalogue::previewPrinterName() { return QStringLiteral("Aperçu avant impression"); }

int PrinterCatalogue::defaultIndex() {
    const QList<PrinterEntry>& list = entries();
    if (list.isEmpty() || list.first().kind != PrinterKind::System) return -1;
    const QString name = QPrinterInfo::defaultPrinterName();
    for (int i = 0; i < list.size() && list[i].kind == PrinterKind::System; ++i)
        if (list[i].name == name) return i;
    return -1;
}

void setPdfFileChooser(std::function<QString(const QString&)> chooser) {
    g_pdfChooser = std::move(chooser);
}

QString proposedPdfPath(const QString& title) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    static const QRegularExpression forbidden(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]"));
    QString name = title.simplified();
    name.replace(forbidden, QStringLiteral("-"));
    if (name.isEmpty()) name = QStringLiteral("Document");
    return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

QString choosePdfFile(const QString& title) {
    const QString configured = qEnvironmentVariable("ORVANELLE_PDF_OUTPUT");
    if (!configured.isEmpty() || !g_pdfChooser) return configured;
    QString chosen = g_pdfChooser(proposedPdfPath(title));
    if (!chosen.isEmpty() && !chosen.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        chosen += QStringLiteral(".pdf");
    return chosen;
}

}  // namespace orv
