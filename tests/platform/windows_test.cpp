#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "platform/fenetres.h"
#include "platform/help.h"
#include "platform/message_services.h"
#include "platform/print_catalogue.h"
#include "platform/print_preview.h"
#include "platform/printer.h"
#include "testkit.h"

namespace orv {
namespace {

template <typename T>
QList<T*> openWindows() {
    QList<T*> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) found.append(t);
    }
    return found;
}

// A window comes back with the size (and place) its user left it at; another user's windows
// keep theirs.
TEST(WindowMemory, SizesAndPlacesComeBackPerUser) {
    const QByteArray avant = qgetenv("XDG_CONFIG_HOME");
    QTemporaryDir utilisateur, autre;
    const struct {
        Memoire memoire;
        QRect laissee;
    } cas[] = {{Memoire::TaillePosition, {140, 90, 333, 222}}, {Memoire::Taille, {0, 0, 420, 310}}};
    for (const auto& c : cas) {
        const QString cle = QStringLiteral("essai/%1").arg(int(c.memoire));
        qputenv("XDG_CONFIG_HOME", utilisateur.path().toUtf8());
        {
            QWidget fenetre;
            memoriserGeometrie(&fenetre, cle, c.memoire);
            fenetre.setGeometry(c.laissee);
            fenetre.show();
            fenetre.close();
        }
        QWidget revenue;
        revenue.resize(200, 100);
        memoriserGeometrie(&revenue, cle, c.memoire);
        EXPECT_EQ(revenue.size(), c.laissee.size());
        if (c.memoire == Memoire::TaillePosition) {
            EXPECT_EQ(revenue.pos(), c.laissee.topLeft());
        }
        qputenv("XDG_CONFIG_HOME", autre.path().toUtf8());
        QWidget ailleurs;
        ailleurs.resize(200, 100);
        memoriserGeometrie(&ailleurs, cle, c.memoire);
        EXPECT_EQ(ailleurs.size(), QSize(200, 100));
    }
    qputenv("XDG_CONFIG_HOME", avant);
}

TEST(PreviewPrinter, ShowsTheFinishedDocumentInAWindow) {
    const int index = PrinterCatalogue::indexOf(PrinterCatalogue::previewPrinterName());
    ASSERT_GE(index, 0);
    Printer printer(PrinterCatalogue::entries().at(index));
    printer.setOrientation(PrinterOrientation::Landscape);
    printer.print(QStringLiteral("Première page"));
    printer.newPage();
    printer.newPage();  // an empty last page is kept
    EXPECT_TRUE(openWindows<PrintPreviewWindow>().isEmpty());
    printer.endDoc();
    const QList<PrintPreviewWindow*> previews = openWindows<PrintPreviewWindow>();
    ASSERT_EQ(previews.size(), 1);
    EXPECT_EQ(previews[0]->pageCount(), 3);
    EXPECT_EQ(previews[0]->windowTitle(), QStringLiteral("Aperçu avant impression"));
    previews[0]->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(openWindows<PrintPreviewWindow>().isEmpty());

    // A cancelled document shows nothing.
    printer.print(QStringLiteral("annulé"));
    printer.killDoc();
    EXPECT_TRUE(openWindows<PrintPreviewWindow>().isEmpty());
}

TEST(HelpWindow, ShowsAnInstalledPageAndClosesOnRequest) {
    const QString dir = test::tempPath(QStringLiteral("aide"));
    QDir().mkpath(dir);
    QFile page(dir + QStringLiteral("/Essai.htm"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html><body><h1>Les compteurs</h1><p>Texte d'aide.</p></body></html>");
    page.close();
    qputenv("ORVANELLE_HELP_DIR", dir.toUtf8());

    ScriptedMessageService messages;
    ScopedMessageService scope(&messages);
    EXPECT_EQ(showHelp(QStringLiteral("Absente.htm"), QStringLiteral("Aide")), nullptr);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.shown()[0].text.contains(QStringLiteral("Absente.htm")));
    EXPECT_EQ(showHelp(QStringLiteral("../aide/Essai.htm"), QStringLiteral("Aide")), nullptr);

    QWidget* window =
        showHelp(QStringLiteral("Essai.htm"), QStringLiteral("Les compteurs de facturation"));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Les compteurs de facturation"));
    auto* browser = window->findChild<QTextBrowser*>(QStringLiteral("Txt_Aide"));
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Texte d'aide.")));
    // The same window is reused for the next page.
    EXPECT_EQ(showHelp(QStringLiteral("Essai.htm"), QStringLiteral("Autre")), window);
    closeHelp();
    EXPECT_FALSE(window->isVisible());
    // Escape closes it too.
    QPointer<QWidget> rouverte = showHelp(QStringLiteral("Essai.htm"), QStringLiteral("Aide"));
    ASSERT_FALSE(rouverte.isNull());
    QApplication::setActiveWindow(rouverte);
    QTest::keyClick(rouverte->findChild<QTextBrowser*>(QStringLiteral("Txt_Aide")), Qt::Key_Escape);
    EXPECT_TRUE(rouverte.isNull() || !rouverte->isVisible());
    qunsetenv("ORVANELLE_HELP_DIR");
}

}  // namespace
}  // namespace orv
