// A print job: what every report shares around its own layout. In order:
//   choosePrinter()   the utility object's printer choice (with a paper name or none); the
//                     chosen printer becomes current; matrix printers keep their own paper,
//                     virtual and PDF matrix printers take a 132-column continuous form;
//   setOrientation()  for this job only: the printer's own orientation comes back afterwards
//                     (matrix printers keep theirs when the report says so);
//   chooseCopies()    the copies dialog;
//   fits()            says so, before anything is printed, when the printer refuses the paper
//                     or the orientation, or when a line cannot fit the page; on a matrix
//                     printer a line too wide for the page is printed in condensed pitch;
//   run()             every copy in one document with running page numbers, the control
//                     disabled under the hourglass, a progress dialog over the host window
//                     with a cancel button; the document is ended, or cancelled, whatever
//                     happens; a failure is shown in one critical box; the data remarks
//                     gathered while printing are shown in one box afterwards.
// PageBreaker keeps a report's blocks of lines together: a block that does not fit starts a
// new page through the report's own page break, so no text lands on a page without the
// report's page heading.
#pragma once

#include <QPageSize>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "platform/printer.h"

class QProgressDialog;
class QWidget;

namespace orv {

// A matrix printer: its device name, upper-cased, contains "MATRIC".
bool isMatrixPrinter(const QString& deviceName);
// The narrowest condensed pitch of a matrix printer, against the reports' Courier New 10 (12
// characters per inch): 20 characters per inch.
inline constexpr double kCondensedAtMost = 12.0 / 20.0;
// The paper of virtual and PDF matrix printers: 132-column continuous form, 15 x 12 inches
// (381 x 305 mm), portrait, wide enough for 130 characters of Courier New 10 and tall enough for
// a 15,600-twip page.
QPageSize continuousFormPaper();

class PageBreaker {
  public:
    // `limit`: the lowest position (twips) a block may reach; `newPage`: the report's page break
    // (closes the page, starts a new one and prints the page heading).
    PageBreaker(Printer& printer, double limit, std::function<void()> newPage);
    // Breaks the page first when a block of `height` twips would reach the limit; true when it
    // did.
    bool keepTogether(double height);
    double limit() const { return limit_; }

  private:
    Printer& printer_;
    double limit_;
    std::function<void()> newPage_;
};

class PrintJob {
  public:
    enum class Outcome { Printed, Cancelled, Failed };

    // `control`: disabled while printing; the progress dialog stands over its window. `what`:
    // the job in the failure message ("L'impression du relevé").
    PrintJob(QWidget* control, QString what);
    // The report ("Relevé DNT") and its subject ("007 01 4T2003"): together the document's
    // name (the print job's, the PDF's); the report alone is what the printer dialog
    // remembers the last printer for.
    void setDocument(const QString& report, const QString& subject);
    ~PrintJob();
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    // False when the user cancelled (or answered something that is not a printer).
    bool choosePrinter(const QString& paper = QString());
    // The printer at `index` of the printer list (counted from 0), without asking; false when
    // there is no such printer.
    bool usePrinter(int index);
    Printer& printer() const;
    bool matrix() const { return isMatrixPrinter(printer().deviceName()); }
    void setOrientation(PrinterOrientation orientation);
    // False when the user cancelled (no copy).
    bool chooseCopies();
    int copies() const { return copies_; }
    // False, with an exclamation box naming `what`, when the printer refuses the job's paper
    // or orientation, or when `width` twips do not fit the page's printable width; nothing
    // has been printed then. An installed matrix printer whose page is too narrow prints
    // condensed: its lines narrowed to the page's width, down to 20 characters per inch.
    bool fits(double width, const QString& what);

    void setProgressLabel(const QString& label) { progressLabel_ = label; }
    void setRemarksHeading(const QString& heading) { remarksHeading_ = heading; }

    // Prints `copies()` copies: body(copy) for each, a new page between them. `unitsPerCopy`
    // is what body reports through progress().
    Outcome run(int unitsPerCopy, const std::function<void(int copy)>& body);
    // Called by the body after each unit of work (a row): moves the progress dialog and
    // stops the job when the user cancelled it.
    void progress(int doneInCopy);
    // Called by the body: stops the job as a cancel does (nothing reaches the printer).
    [[noreturn]] void abandon();
    // Data remarks to show after printing; each is kept once, in the order met.
    void addRemarks(const QStringList& remarks);
    const QStringList& remarks() const { return remarks_; }

  private:
    void showRemarks() const;
    void showFailure(const std::exception& error) const;
    void condenseFor(double width);

    QPointer<QWidget> control_;
    QString what_;
    QString report_;
    QString documentName_;
    QString progressLabel_;
    QString remarksHeading_;
    std::optional<PrinterOrientation> savedOrientation_;
    std::optional<QPageSize> savedPaper_;
    int copies_ = 1;
    int unitsPerCopy_ = 0;
    int copy_ = 0;
    std::unique_ptr<QProgressDialog> progressDialog_;
    QStringList remarks_;
};

}  // namespace orv
