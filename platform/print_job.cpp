#include "platform/print_job.h"

#include <QPrinterInfo>
#include <QProgressDialog>
#include <QSet>
#include <QWidget>
#include <cmath>
#include <exception>

#include "client/dba.h"
#include "client/outils_communs.h"
#include "platform/busy.h"
#include "platform/dialogs.h"
#include "platform/messages.h"

namespace orv {

namespace {

// Stops the body from inside progress() when the user cancels.
struct JobCancelled {};

// Every few rows only: each update of a modal progress dialog runs the message pump.
constexpr int kProgressStep = 25;
constexpr double kTwipsPerCmF = kTwipsPerCm;

// The paper a system matrix printer says it holds; none when it says nothing.
std::optional<QPageSize> ownPaper(const PrinterEntry& entry) {
    if (entry.kind != PrinterKind::System) return std::nullopt;
    const QPageSize size = QPrinterInfo::printerInfo(entry.name).defaultPageSize();
    if (!size.isValid()) return std::nullopt;
    return size;
}

}  // namespace

bool isMatrixPrinter(const QString& deviceName) {
    return deviceName.toUpper().contains(QStringLiteral("MATRIC"));
}

QPageSize continuousFormPaper() {
    return QPageSize(QSizeF(381, 305), QPageSize::Millimeter,
                     QStringLiteral("Listing 132 colonnes (15 x 12 pouces)"));
}

PageBreaker::PageBreaker(Printer& printer, double limit, std::function<void()> newPage)
    : printer_(printer), limit_(limit), newPage_(std::move(newPage)) {}

bool PageBreaker::keepTogether(double height) {
    if (printer_.currentY() + height < limit_) return false;
    newPage_();
    return true;
}

PrintJob::PrintJob(QWidget* control, QString what)
    : control_(control),
      what_(std::move(what)),
      progressLabel_(QStringLiteral("Impression en cours...")),
      remarksHeading_(QStringLiteral("L'impression est terminée, avec ces remarques :")) {}

PrintJob::~PrintJob() {
    Printer& p = printer();
    if (p.documentOpen()) p.killDoc();
    if (savedOrientation_) p.setOrientation(*savedOrientation_);
    if (savedPaper_) p.setPageSize(*savedPaper_);
    p.setCondensed(1);
    p.setDocumentName(QString());
}

void PrintJob::setDocument(const QString& report, const QString& subject) {
    report_ = report;
    documentName_ = subject.isEmpty() ? report : report + QLatin1Char(' ') + subject;
    printer().setDocumentName(documentName_);
}

Printer& PrintJob::printer() const { return currentPrinter(); }

bool PrintJob::choosePrinter(const QString& paper) {
    bool number = false;
    setPrinterChoiceReport(report_);
    const int index = OutilsCommuns::ChoixImprimante(paper).toInt(&number);
    setPrinterChoiceReport(QString());
    pumpMessages();
    return number && usePrinter(index);
}

bool PrintJob::usePrinter(int index) {
    if (index < 0 || !setCurrentPrinter(index)) return false;
    Printer& p = printer();
    p.setDocumentName(documentName_);
    if (isMatrixPrinter(p.deviceName())) {
        // A matrix printer runs continuous paper: its own when it tells, else the usual form.
        savedPaper_ = p.pageSize();
        p.setPageSize(ownPaper(p.entry()).value_or(continuousFormPaper()));
    }
    return true;
}

void PrintJob::setOrientation(PrinterOrientation orientation) {
    Printer& p = printer();
    if (!savedOrientation_) savedOrientation_ = p.orientation();
    p.setOrientation(orientation);
}

bool PrintJob::chooseCopies() {
    copies_ = OutilsCommuns::NombreExemplaires();
    return copies_ >= 1;
}

bool PrintJob::fits(double width, const QString& what) {
    Printer& p = printer();
    if (const QString refusal = p.layoutRefusal(); !refusal.isEmpty()) {
        MsgBox(QStringLiteral("Impossible d'imprimer %1 : %2 Rien n'a été imprimé.")
                   .arg(what, refusal),
               MsgExclamation);
        return false;
    }
    if (matrix() && p.entry().kind == PrinterKind::System) condenseFor(width);
    const double available = p.scaleWidth();
    if (width <= available) return true;
    MsgBox(QStringLiteral("Impossible d'imprimer %1 sur l'imprimante « %2 » : il faut %3 cm de "
                          "largeur et la page n'en offre que %4. Choisissez un papier plus "
                          "large ou une autre imprimante ; rien n'a été imprimé.")
               .arg(what, p.deviceName())
               .arg(width / kTwipsPerCmF, 0, 'f', 1)
               .arg(available / kTwipsPerCmF, 0, 'f', 1),
           MsgExclamation);
    return false;
}

// An installed matrix printer prints a listing wider than its own paper the way such printers
// do: in a narrower pitch, every line narrowed to the page's width, as long as the pitch stays
// within what the printer can print (20 characters per inch). Vertical spacing stays. (Virtual
// and PDF matrix printers run the 132-column continuous form, wide enough as it is.)
void PrintJob::condenseFor(double width) {
    Printer& p = printer();
    p.setCondensed(1);
    const double available = p.scaleWidth();
    if (width <= available) return;
    const double factor = std::floor(available / width * 1000) / 1000;
    if (factor >= kCondensedAtMost) p.setCondensed(factor);
}

PrintJob::Outcome PrintJob::run(int unitsPerCopy, const std::function<void(int copy)>& body) {
    Printer& p = printer();
    unitsPerCopy_ = qMax(1, unitsPerCopy);
    progressDialog_ = std::make_unique<QProgressDialog>(progressLabel_, QStringLiteral("Annuler"),
                                                        0, unitsPerCopy_ * copies_,
                                                        control_ ? control_->window() : nullptr);
    progressDialog_->setWindowTitle(kTitreMessage);
    progressDialog_->setWindowModality(Qt::WindowModal);

    bool cancelled = false;
    std::exception_ptr failure;
    {
        const BusyScope busy(control_);
        try {
            for (copy_ = 0; copy_ < copies_; ++copy_) {
                if (copy_ != 0) p.newPage();
                body(copy_);
            }
        } catch (const JobCancelled&) {
            cancelled = true;
        } catch (...) {
            failure = std::current_exception();
        }
        progressDialog_.reset();
    }
    DocumentEnd end = DocumentEnd::Declined;
    if (cancelled || failure)
        p.killDoc();
    else
        end = p.endDoc();
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& e) {
            showFailure(e);
        }
        return Outcome::Failed;
    }
    if (cancelled || end == DocumentEnd::Declined) return Outcome::Cancelled;
    // The printer has said why the document did not reach its device.
    if (end == DocumentEnd::Failed) return Outcome::Failed;
    showRemarks();
    return Outcome::Printed;
}

void PrintJob::progress(int doneInCopy) {
    if (!progressDialog_) return;
    if (doneInCopy % kProgressStep != 0 && doneInCopy != unitsPerCopy_) return;
    progressDialog_->setValue(copy_ * unitsPerCopy_ + doneInCopy);
    if (progressDialog_->wasCanceled()) throw JobCancelled{};
}

void PrintJob::abandon() { throw JobCancelled{}; }

void PrintJob::addRemarks(const QStringList& remarks) {
    for (const QString& r : remarks)
        if (!remarks_.contains(r)) remarks_.append(r);
}

void PrintJob::showRemarks() const {
    if (remarks_.isEmpty()) return;
    constexpr int kShownAtMost = 15;
    QStringList lines = remarks_.mid(0, kShownAtMost);
    if (remarks_.size() > kShownAtMost)
        lines << QStringLiteral("... et %1 autre(s) remarque(s).")
                     .arg(remarks_.size() - kShownAtMost);
    MsgBox(remarksHeading_ + QLatin1Char('\n') + lines.join(QLatin1Char('\n')), MsgExclamation);
}

void PrintJob::showFailure(const std::exception& error) const {
    QString text = what_ + QStringLiteral(" a échoué : ") + QString::fromUtf8(error.what());
    if (const auto* e = dynamic_cast<const dba::Error*>(&error))
        text += QStringLiteral(" (erreur %1)").arg(e->number());
    MsgBox(text, MsgCritical);
}

}  // namespace orv
