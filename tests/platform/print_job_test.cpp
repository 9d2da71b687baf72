// The print job every report goes through: its outcomes, what it restores, the matrix paper,
// the width check and the blocks kept with their page heading.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QWidget>
#include <stdexcept>

#include "client/dba.h"
#include "platform/dialogs.h"
#include "platform/message_services.h"
#include "platform/print_catalogue.h"
#include "platform/print_job.h"
#include "testkit.h"

namespace orv {
namespace {

// A 64 KiB file system, full: a PDF can be started there (its file created), not written.
class FullFileSystem {
  public:
    FullFileSystem() : dir_(test::tempPath(QStringLiteral("plein"))) {
        QDir().mkpath(dir_);
        mounted_ =
            QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=64k"), QStringLiteral("tmpfs"), dir_}) == 0;
        QFile filler(dir_ + QStringLiteral("/remplissage"));
        if (!mounted_ || !filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return;
        const QByteArray block(1024, 'x');
        while (filler.write(block) == block.size()) {
        }
    }
    ~FullFileSystem() {
        if (mounted_) QProcess::execute(QStringLiteral("umount"), {dir_});
    }
    bool mounted() const { return mounted_; }
    QString path(const QString& name) const { return dir_ + QLatin1Char('/') + name; }

  private:
    QString dir_;
    bool mounted_ = false;
};

class PrintJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        qputenv("ORVANELLE_PRINTERS",
                QStringLiteral("Matricielle MATRIC=transcript:%1;Laser N&B=transcript:%2")
                    .arg(test::tempPath(QStringLiteral("job_m.jsonl")),
                         test::tempPath(QStringLiteral("job_l.jsonl")))
                    .toUtf8());
        PrinterCatalogue::reload();
        OutilsCommuns::installDialogues(&dialogs);
        control.show();
    }
    void TearDown() override { OutilsCommuns::installDialogues(nullptr); }

    // Queues the answers of the printer and copies dialogs.
    void answers(const QString& printerName, int copies = 1) {
        dialogs.queuePrinter(PrinterCatalogue::indexOf(printerName));
        dialogs.queueCopies(copies);
    }
    static QString transcript(const QString& printerName) {
        return PrinterCatalogue::entries().value(PrinterCatalogue::indexOf(printerName)).path;
    }
    QStringList ops(const QString& printerName) const {
        QStringList names;
        for (const QJsonObject& op : test::readJsonLines(transcript(printerName)))
            names << op.value(QStringLiteral("op")).toString();
        return names;
    }

    ScriptedDialogues dialogs;
    ScriptedMessageService messages;
    ScopedMessageService scope{&messages};
    QWidget control;
};

TEST_F(PrintJobTest, AFailureInsideTheJobCancelsTheDocumentAndGivesTheControlBack) {
    const QString laser = QStringLiteral("Laser N&B");
    answers(laser);
    PrintJob job(&control, QStringLiteral("L'impression de l'essai"));
    ASSERT_TRUE(job.choosePrinter());
    ASSERT_TRUE(job.chooseCopies());
    const auto outcome = job.run(2, [&](int) {
        job.printer().print(QStringLiteral("première ligne"));
        throw dba::Error(dba::kRecordLocked, QStringLiteral("fiche verrouillée"));
    });
    EXPECT_EQ(outcome, PrintJob::Outcome::Failed);
    EXPECT_FALSE(job.printer().documentOpen());
    EXPECT_FALSE(ops(laser).contains(QStringLiteral("end")));
    EXPECT_TRUE(control.isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].icon, MsgCritical);
    EXPECT_TRUE(messages.shown()[0].text.startsWith(QStringLiteral("L'impression de l'essai")));
    EXPECT_TRUE(messages.shown()[0].text.contains(QString::number(dba::kRecordLocked)));
}

TEST_F(PrintJobTest, CopiesShareOneDocumentAndRemarksComeOnceAfterPrinting) {
    const QString laser = QStringLiteral("Laser N&B");
    answers(laser, 2);
    PrintJob job(&control, QStringLiteral("L'impression"));
    ASSERT_TRUE(job.choosePrinter());
    job.setOrientation(PrinterOrientation::Landscape);
    ASSERT_TRUE(job.chooseCopies());
    int pagesSeen = 0;
    const auto outcome = job.run(1, [&](int) {
        pagesSeen = job.printer().page();
        job.printer().print(QStringLiteral("ligne"));
        job.addRemarks({QStringLiteral("une remarque")});
        EXPECT_FALSE(control.isEnabled());
    });
    EXPECT_EQ(outcome, PrintJob::Outcome::Printed);
    EXPECT_EQ(pagesSeen, 2);  // the second copy runs on the document's second page
    EXPECT_EQ(ops(laser).count(QStringLiteral("end")), 1);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.shown()[0].text.endsWith(QStringLiteral("\nune remarque")));
}

TEST_F(PrintJobTest, CancelledDialogsPrintNothingAndTheJobRestoresThePrinter) {
    struct Cas {
        int printer;  // -1: cancelled
        int copies;
        bool chosen;
        bool copiesChosen;
    };
    for (const Cas& c : {Cas{-1, 1, false, false}, Cas{0, 0, true, false}}) {
        dialogs.queuePrinter(c.printer);
        PrintJob job(&control, QStringLiteral("L'impression"));
        EXPECT_EQ(job.choosePrinter(), c.chosen);
        if (!c.chosen) continue;
        dialogs.queueCopies(c.copies);
        EXPECT_EQ(job.chooseCopies(), c.copiesChosen);
    }
    EXPECT_TRUE(messages.shown().isEmpty());

    // Orientation and paper are the job's own: the printer gets its own back afterwards.
    const QString matrix = QStringLiteral("Matricielle MATRIC");
    answers(matrix);
    const PrinterOrientation before = currentPrinter().orientation();
    {
        PrintJob job(&control, QStringLiteral("L'impression"));
        ASSERT_TRUE(job.choosePrinter());
        EXPECT_TRUE(job.matrix());
        EXPECT_EQ(job.printer().pageSize().name(), continuousFormPaper().name());
        job.setOrientation(PrinterOrientation::Landscape);
    }
    EXPECT_EQ(currentPrinter().orientation(), before);
    EXPECT_NE(currentPrinter().pageSize().name(), continuousFormPaper().name());
}

TEST_F(PrintJobTest, TheContinuousFormHolds130CharactersAndAFullMatrixPage) {
    answers(QStringLiteral("Matricielle MATRIC"));
    PrintJob job(&control, QStringLiteral("L'impression"));
    ASSERT_TRUE(job.choosePrinter());
    Printer& p = job.printer();
    p.setFontName(QStringLiteral("Courier New"));
    p.setFontSize(10);
    EXPECT_EQ(p.orientation(), PrinterOrientation::Portrait);
    EXPECT_GE(p.scaleWidth(), p.textWidth(QString(132, QLatin1Char('0'))));
    EXPECT_GE(p.scaleHeight(), 15600);
    EXPECT_TRUE(job.fits(p.textWidth(QString(132, QLatin1Char('0'))), QStringLiteral("x")));
    EXPECT_FALSE(job.fits(p.scaleWidth() + 1, QStringLiteral("le relevé")));
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.shown()[0].text.contains(QStringLiteral("le relevé")));
    EXPECT_FALSE(p.documentOpen());  // nothing printed
}

TEST_F(PrintJobTest, ThePdfPrinterProposesTheDocumentsFolderAndTheReportsName) {
    QString proposed;
    const QString chosen = test::tempPath(QStringLiteral("releve-choisi"));
    setPdfFileChooser([&](const QString& path) {
        proposed = path;
        return chosen;  // typed without ".pdf"
    });
    PrintJob job(&control, QStringLiteral("L'impression du relevé"));
    job.setDocument(QStringLiteral("Relevé DNT"), QStringLiteral("007 01 4T2003"));
    ASSERT_TRUE(job.usePrinter(PrinterCatalogue::indexOf(PrinterCatalogue::pdfPrinterName())));
    EXPECT_EQ(job.run(1, [&](int) { job.printer().print(QStringLiteral("ligne")); }),
              PrintJob::Outcome::Printed);
    setPdfFileChooser(nullptr);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(QFileInfo(proposed).absolutePath(),
              QDir(documents).exists() ? documents : QDir::homePath());
    EXPECT_EQ(QFileInfo(proposed).fileName(), QStringLiteral("Relevé DNT 007 01 4T2003.pdf"));
    EXPECT_TRUE(QFileInfo::exists(chosen + QStringLiteral(".pdf")));
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(PrintJobTest, APdfThatCannotBeWrittenIsACriticalFailureAndLeavesNoFile) {
    const FullFileSystem full;
    if (!full.mounted()) {
        if (qEnvironmentVariable("CI") == QLatin1String("true")) FAIL() << "no tmpfs mount";
        GTEST_SKIP() << "mount -t tmpfs is not permitted here";
    }
    for (const QString& pdf :
         {full.path(QStringLiteral("releve.pdf")), test::tempPath(QStringLiteral("parti/r.pdf"))}) {
        messages.clear();
        qputenv("ORVANELLE_PDF_OUTPUT", pdf.toUtf8());
        PrintJob job(&control, QStringLiteral("L'impression du relevé"));
        ASSERT_TRUE(job.usePrinter(PrinterCatalogue::indexOf(PrinterCatalogue::pdfPrinterName())));
        const auto outcome = job.run(1, [&](int) {
            for (int i = 0; i < 200; ++i)
                job.printer().print(QString(120, QLatin1Char('0' + i % 10)));
        });
        qunsetenv("ORVANELLE_PDF_OUTPUT");
        EXPECT_EQ(outcome, PrintJob::Outcome::Failed) << qPrintable(pdf);
        EXPECT_FALSE(QFileInfo::exists(pdf));
        ASSERT_EQ(messages.shown().size(), 1) << qPrintable(pdf);
        EXPECT_EQ(messages.shown()[0].icon, MsgCritical);
        EXPECT_EQ(messages.shown()[0].title, QStringLiteral("Message ORVANELLE"));
        EXPECT_TRUE(messages.shown()[0].text.contains(pdf));
    }
}

TEST_F(PrintJobTest, ABlockThatDoesNotFitStartsANewPageThroughTheReportsBreak) {
    Printer printer(PrinterEntry{QStringLiteral("Essai"), PrinterKind::Transcript,
                                 test::tempPath(QStringLiteral("blocs.jsonl"))});
    int breaks = 0;
    PageBreaker breaker(printer, 1000, [&] {
        ++breaks;
        printer.newPage();
        printer.print(QStringLiteral("En-tête"));
    });
    printer.setCurrentY(500);
    EXPECT_FALSE(breaker.keepTogether(400));
    EXPECT_TRUE(breaker.keepTogether(500));
    EXPECT_EQ(breaks, 1);
    EXPECT_EQ(printer.page(), 2);
    printer.killDoc();
}

}  // namespace
}  // namespace orv
