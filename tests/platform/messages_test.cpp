#include <gtest/gtest.h>

#include <QApplication>

#include "platform/busy.h"
#include "platform/dialogs.h"
#include "platform/message_services.h"
#include "platform/print_catalogue.h"
#include "platform/printer.h"

namespace orv {
namespace {

TEST(MessageStyles, SplitIntoIconAndButtons) {
    EXPECT_EQ(msgIcon(35), MsgQuestion);
    EXPECT_EQ(msgButtons(35), MsgYesNoCancel);
    EXPECT_EQ(msgIcon(48), MsgExclamation);
    EXPECT_EQ(msgButtons(48), MsgOk);
    EXPECT_EQ(msgDefaultAnswer(35), MsgAnswer::Yes);
    EXPECT_EQ(msgDefaultAnswer(MsgOkCancel | MsgCritical), MsgAnswer::Ok);
    EXPECT_FALSE(msgAnswerAllowed(MsgExclamation, MsgAnswer::Cancel));
    MsgAnswer answer;
    ASSERT_TRUE(msgAnswerFromName(QStringLiteral("annuler"), &answer));
    EXPECT_EQ(answer, MsgAnswer::Cancel);
    EXPECT_FALSE(msgAnswerFromName(QStringLiteral("Peut-être"), &answer));
}

TEST(ScriptedMessages, AnswerFromTheQueueThenTakeTheDefaultButton) {
    ScriptedMessageService service;
    ScopedMessageService scope(&service);
    service.queueAnswer(MsgAnswer::No);
    service.queueAnswer(MsgAnswer::Cancel);
    EXPECT_EQ(MsgBox(QStringLiteral("Enregistrer les modifications ?"), 35), MsgAnswer::No);
    // Cancel is not a button of an OK box: its default is taken and the refusal recorded.
    EXPECT_EQ(MsgBox(QStringLiteral("Cette entité juridique n'existe pas."), MsgExclamation),
              MsgAnswer::Ok);
    EXPECT_EQ(MsgBox(QStringLiteral("Quitter ?"), MsgYesNo, QStringLiteral("Autre titre")),
              MsgAnswer::Yes);

    const QList<ShownMessage>& shown = service.shown();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0].title, QStringLiteral("Message ORVANELLE"));
    EXPECT_EQ(shown[0].icon, MsgQuestion);
    EXPECT_EQ(shown[0].buttons, MsgYesNoCancel);
    EXPECT_FALSE(shown[0].byDefault);
    EXPECT_TRUE(shown[1].refused);
    EXPECT_EQ(shown[1].icon, MsgExclamation);
    EXPECT_TRUE(shown[2].byDefault);
    EXPECT_EQ(shown[2].title, QStringLiteral("Autre titre"));
}

TEST(ScriptedMessages, ScopeRestoresThePreviousService) {
    ScriptedMessageService outer;
    ScopedMessageService outerScope(&outer);
    {
        ScriptedMessageService inner;
        ScopedMessageService innerScope(&inner);
        MsgBox(QStringLiteral("dedans"), MsgInformation);
        EXPECT_EQ(inner.shown().size(), 1);
    }
    MsgBox(QStringLiteral("dehors"), MsgInformation);
    ASSERT_EQ(outer.shown().size(), 1);
    EXPECT_EQ(outer.shown()[0].text, QStringLiteral("dehors"));
}

TEST(ScriptedDialogs, PrinterChoiceSetsTheCurrentPrinter) {
    ScriptedDialogues dialogs;
    QStringList seen;
    dialogs.setObserver([&seen](const QString& dialog, const QString& answer, bool byDefault) {
        seen << QStringLiteral("%1=%2%3").arg(dialog, answer, byDefault ? "*" : "");
    });
    OutilsCommuns::installDialogues(&dialogs);
    const int matric = PrinterCatalogue::indexOf(QStringLiteral("Matricielle MATRIC"));
    dialogs.queuePrinter(matric);
    dialogs.queuePrinter(-1);
    dialogs.queueCopies(2);
    EXPECT_EQ(OutilsCommuns::ChoixImprimante(QStringLiteral("A4")), QString::number(matric));
    EXPECT_EQ(currentPrinter().deviceName(), QStringLiteral("Matricielle MATRIC"));
    EXPECT_EQ(OutilsCommuns::ChoixImprimante(QString()), QStringLiteral("-1"));
    EXPECT_EQ(currentPrinterIndex(), matric);  // a cancelled choice changes nothing
    EXPECT_EQ(OutilsCommuns::NombreExemplaires(), 2);
    EXPECT_EQ(OutilsCommuns::NombreExemplaires(), 1);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("printer=Matricielle MATRIC"),
                                 QStringLiteral("printer=cancel"), QStringLiteral("copies=2"),
                                 QStringLiteral("copies=1*")}));
    OutilsCommuns::installDialogues(nullptr);
}

TEST(Hourglass, IsSetOnceAndRestoredOnce) {
    showHourglass();
    showHourglass();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    restoreCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace orv
