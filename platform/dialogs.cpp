#include "platform/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QPrinterInfo>
#include <QSettings>

#include "platform/printer.h"
#include "ui_choix_imprimante.h"
#include "ui_nombre_exemplaires.h"

namespace orv {

namespace {

const QList<QPageSize::PageSizeId> kPapers = {QPageSize::A4, QPageSize::A3, QPageSize::A5,
                                              QPageSize::Letter, QPageSize::Legal};

QString g_report;

QString printersFile() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/orvanelle/imprimantes.ini");
}

// One key per report, under [imprimante]: a report's name holds no key separator.
QString settingsKey(QString report) {
    report.replace(QLatin1Char('/'), QLatin1Char('-')).replace(QLatin1Char('\\'), QLatin1Char('-'));
    return QStringLiteral("imprimante/") + report;
}

// The standard paper a name designates ("A4", "a3", "Letter"); invalid when none.
QPageSize paperNamed(const QString& name) {
    const QString wanted = name.trimmed();
    if (wanted.isEmpty()) return QPageSize();
    for (int id = 0; id <= int(QPageSize::LastPageSize); ++id) {
        const auto size = QPageSize::PageSizeId(id);
        if (QPageSize::key(size).compare(wanted, Qt::CaseInsensitive) == 0 ||
            QPageSize::name(size).compare(wanted, Qt::CaseInsensitive) == 0)
            return QPageSize(size);
    }
    return QPageSize();
}

int indexOfPaper(const QList<QPageSize>& papers, const QPageSize& size) {
    for (int i = 0; i < papers.size(); ++i)
        if (size.isValid() && papers[i].isEquivalentTo(size)) return i;
    return -1;
}

// An installed printer's name with what the system says of it.
QString printerText(const PrinterEntry& entry) {
    if (entry.kind != PrinterKind::System) return entry.name;
    const QString description = QPrinterInfo::printerInfo(entry.name).description();
    if (description.isEmpty() || description == entry.name) return entry.name;
    return entry.name + QStringLiteral(" — ") + description;
}

int preselectedPrinter(const QString& report) {
    if (const int last = PrinterCatalogue::indexOf(rememberedPrinter(report)); last >= 0)
        return last;
    if (const int system = PrinterCatalogue::defaultIndex(); system >= 0) return system;
    return qMax(0, currentPrinterIndex());
}

}  // namespace

void setPrinterChoiceReport(const QString& report) { g_report = report; }

QString rememberedPrinter(const QString& report) {
    if (report.isEmpty()) return QString();
    return QSettings(printersFile(), QSettings::IniFormat).value(settingsKey(report)).toString();
}

void rememberPrinter(const QString& report, const QString& printer) {
    if (report.isEmpty()) return;
    QSettings(printersFile(), QSettings::IniFormat).setValue(settingsKey(report), printer);
}

FenetreChoixImprimante::FenetreChoixImprimante(const QString& report, const QString& paper,
                                               QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ChoixImprimante>()), paperAsked_(paper) {
    ui_->setupUi(this);
    for (const PrinterEntry& entry : PrinterCatalogue::entries())
        ui_->Lst_Imprimantes->addItem(printerText(entry));
    connect(ui_->Lst_Imprimantes, &QListWidget::currentRowChanged, this,
            [this](int row) { Lst_Imprimantes_currentRowChanged(row); });
    ui_->Lst_Imprimantes->setCurrentRow(preselectedPrinter(report));
}

FenetreChoixImprimante::~FenetreChoixImprimante() = default;

int FenetreChoixImprimante::printerIndex() const { return ui_->Lst_Imprimantes->currentRow(); }

QPageSize FenetreChoixImprimante::paper() const {
    return papers_.value(ui_->Cbo_Papier->currentIndex(), QPageSize(QPageSize::A4));
}

// The papers of the printer just selected: an installed printer's own sizes, the usual ones
// for the others; the caller's paper is always among them.
void FenetreChoixImprimante::Lst_Imprimantes_currentRowChanged(int row) {
    const PrinterEntry entry = PrinterCatalogue::entries().value(row);
    QPageSize own;
    papers_.clear();
    if (entry.kind == PrinterKind::System) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(entry.name);
        papers_ = info.supportedPageSizes();
        own = info.defaultPageSize();
    }
    if (papers_.isEmpty())
        for (QPageSize::PageSizeId id : kPapers) papers_.append(QPageSize(id));
    const QPageSize asked = paperNamed(paperAsked_);
    if (asked.isValid() && indexOfPaper(papers_, asked) < 0) papers_.append(asked);
    ui_->Cbo_Papier->clear();
    for (const QPageSize& size : papers_) ui_->Cbo_Papier->addItem(size.name());
    int selected = indexOfPaper(papers_, asked);
    if (selected < 0) selected = indexOfPaper(papers_, own);
    if (selected < 0) selected = qMax(0, indexOfPaper(papers_, QPageSize(QPageSize::A4)));
    ui_->Cbo_Papier->setCurrentIndex(selected);
}

QString QtDialogues::choixImprimante(const QString& paper) {
    FenetreChoixImprimante dialog(g_report, paper, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted || dialog.printerIndex() < 0)
        return QStringLiteral("-1");
    const int index = dialog.printerIndex();
    setCurrentPrinter(index);
    currentPrinter().setPageSize(dialog.paper());
    rememberPrinter(g_report, PrinterCatalogue::entries().at(index).name);
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
