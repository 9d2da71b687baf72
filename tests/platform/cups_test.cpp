// The system printer device and the printer dialog on the queues of a real CUPS server (the
// test server of scripts/cups-test.sh): the page layout each queue really gives, condensed
// pitch on the A4 matrix printer, and the dialog's choices.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QPrinterInfo>
#include <QWidget>

#include "platform/dialogs.h"
#include "platform/message_services.h"
#include "platform/print_catalogue.h"
#include "platform/print_job.h"
#include "testkit.h"

namespace orv {
namespace {

class CupsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const QString missing = test::useCupsServer(); !missing.isEmpty()) {
            if (qEnvironmentVariable("CI") == QLatin1String("true"))
                FAIL() << "no test CUPS server: " << qPrintable(missing);
            GTEST_SKIP() << "no test CUPS server: " << qPrintable(missing);
        }
        PrinterCatalogue::reload();
    }
    void TearDown() override {
        qputenv("ORVANELLE_SYSTEM_PRINTERS", "0");
        PrinterCatalogue::reload();
    }
    static PrinterEntry queue(const QString& name) {
        return PrinterCatalogue::entries().value(PrinterCatalogue::indexOf(name));
    }

    ScriptedMessageService messages;
    ScopedMessageService scope{&messages};
};

TEST_F(CupsTest, EachQueueGivesTheOrientationAskedWithMarginsItAccepts) {
    // Printable A4 in twips (20 per point): 10-point margins, or the driver's 12 points.
    struct Cas {
        const char* queue;
        PrinterOrientation orientation;
        double width, height;
    } const cases[] = {
        {"Laser", PrinterOrientation::Landscape, (842 - 24) * 20, (595 - 24) * 20},
        {"Laser", PrinterOrientation::Portrait, (595 - 24) * 20, (842 - 24) * 20},
        {"SansMarges", PrinterOrientation::Landscape, (842 - 20) * 20, (595 - 20) * 20},
        {"Matricielle", PrinterOrientation::Portrait, (595 - 24) * 20, (842 - 24) * 20},
    };
    for (const Cas& c : cases) {
        Printer printer(queue(QString::fromLatin1(c.queue)));
        ASSERT_EQ(printer.entry().kind, PrinterKind::System) << c.queue;
        printer.setOrientation(c.orientation);
        EXPECT_TRUE(printer.layoutRefusal().isEmpty()) << qPrintable(printer.layoutRefusal());
        EXPECT_NEAR(printer.scaleWidth(), c.width, 20) << c.queue;
        EXPECT_NEAR(printer.scaleHeight(), c.height, 20) << c.queue;
    }
}

TEST_F(CupsTest, TheA4MatrixPrinterPrintsTheWholeStatementCondensed) {
    QWidget control;
    PrintJob job(&control, QStringLiteral("L'impression"));
    ASSERT_TRUE(job.usePrinter(PrinterCatalogue::indexOf(QStringLiteral("Matricielle"))));
    Printer& p = job.printer();
    EXPECT_EQ(p.pageSize().id(), QPageSize::A4);  // its own paper
    const double statement = p.textWidth(QString(132, QLatin1Char('0')));
    EXPECT_GT(statement, p.scaleWidth());
    EXPECT_TRUE(job.fits(statement, QStringLiteral("le relevé")));
    EXPECT_LT(p.condensed(), 1);
    EXPECT_GE(p.condensed(), kCondensedAtMost);
    EXPECT_GE(p.scaleWidth(), statement);
    // Wider than 20 characters per inch allow: refused before anything prints.
    EXPECT_FALSE(job.fits(statement * 1.5, QStringLiteral("le relevé")));
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.shown()[0].text.contains(QStringLiteral("Matricielle")));
    EXPECT_FALSE(p.documentOpen());
}

TEST_F(CupsTest, TheDialogProposesTheDefaultPrinterThenTheLastOneOfTheReport) {
    const QString report = QStringLiteral("Relevé DNT");
    {
        FenetreChoixImprimante dialog(report, QString());
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("Lst_Imprimantes"));
        auto* papers = dialog.findChild<QComboBox*>(QStringLiteral("Cbo_Papier"));
        ASSERT_TRUE(list && papers);
        EXPECT_EQ(QPrinterInfo::defaultPrinterName(), QStringLiteral("Laser"));
        EXPECT_EQ(dialog.printerIndex(), PrinterCatalogue::indexOf(QStringLiteral("Laser")));
        EXPECT_EQ(list->currentItem()->text(), QStringLiteral("Laser — Laser du secrétariat"));
        // The driver's sizes, its own A4 selected.
        QStringList expected;
        for (const QPageSize& size :
             QPrinterInfo::printerInfo(QStringLiteral("Laser")).supportedPageSizes())
            expected << size.name();
        QStringList shown;
        for (int i = 0; i < papers->count(); ++i) shown << papers->itemText(i);
        EXPECT_EQ(shown, expected);
        EXPECT_TRUE(shown.contains(QPageSize(QPageSize::A3).name()));
        EXPECT_EQ(dialog.paper().id(), QPageSize::A4);
        if (const QString capture = qEnvironmentVariable("ORV_CAPTURE"); !capture.isEmpty()) {
            dialog.show();
            dialog.grab().save(capture);
        }
    }
    rememberPrinter(report, QStringLiteral("Matricielle"));
    FenetreChoixImprimante again(report, QStringLiteral("A5"));
    EXPECT_EQ(again.printerIndex(), PrinterCatalogue::indexOf(QStringLiteral("Matricielle")));
    EXPECT_EQ(again.paper().id(), QPageSize::A5);  // the caller's paper
    FenetreChoixImprimante other(QStringLiteral("Emploi du temps"), QString());
    EXPECT_EQ(other.printerIndex(), PrinterCatalogue::indexOf(QStringLiteral("Laser")));
}

}  // namespace
}  // namespace orv
