#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "platform/input.h"

namespace orv {
namespace {

// A window with a code box of three characters, an amount box and another box.
struct CodeWindow {
    QWidget window;
    QLineEdit* code = new QLineEdit(&window);
    QLineEdit* amount = new QLineEdit(&window);
    QLineEdit* other = new QLineEdit(&window);
    QStringList changes;

    CodeWindow() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(code);
        layout->addWidget(amount);
        layout->addWidget(other);
        code->setMaxLength(3);
        installCodeBox(code);
        installAmountBox(amount);
        QObject::connect(code, &QLineEdit::textChanged,
                         [this](const QString& text) { changes << text; });
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
    }
};

TEST(CodeBox, OnlyDigitsAndBackspaceReachTheBox) {
    CodeWindow w;
    QTest::keyClicks(w.code, QStringLiteral("1a-b.2 "));
    QKeyEvent accent(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QStringLiteral("é"));
    QApplication::sendEvent(w.code, &accent);
    EXPECT_EQ(w.code->text(), QStringLiteral("12"));
    QTest::keyClick(w.code, Qt::Key_Backspace);
    EXPECT_EQ(w.code->text(), QStringLiteral("1"));
    // Keys that type nothing (arrows, Delete) are not filtered.
    QTest::keyClick(w.code, Qt::Key_Left);
    QTest::keyClick(w.code, Qt::Key_Delete);
    EXPECT_EQ(w.code->text(), QString());
}

TEST(CodeBox, EnterPadsWithZerosAndIsSwallowed) {
    CodeWindow w;
    int returns = 0;
    QObject::connect(w.code, &QLineEdit::returnPressed, [&returns] { ++returns; });
    QTest::keyClicks(w.code, QStringLiteral("7"));
    QTest::keyClick(w.code, Qt::Key_Return);
    EXPECT_EQ(w.code->text(), QStringLiteral("007"));
    EXPECT_EQ(returns, 0);
    EXPECT_EQ(w.changes.last(), QStringLiteral("007"));
    // A full code is left alone and fires no change.
    const int changes = w.changes.size();
    QTest::keyClick(w.code, Qt::Key_Enter);
    EXPECT_EQ(w.changes.size(), changes);
    // Enter on an empty box gives "000", as the original's padding did.
    w.code->clear();
    QTest::keyClick(w.code, Qt::Key_Return);
    EXPECT_EQ(w.code->text(), QStringLiteral("000"));
}

TEST(CodeBox, LeavingPadsAShortCodeButNotAnEmptyOne) {
    CodeWindow w;
    w.code->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(w.code->hasFocus());
    QTest::keyClicks(w.code, QStringLiteral("12"));
    w.other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(w.code->text(), QStringLiteral("012"));

    w.code->clear();
    w.code->setFocus(Qt::MouseFocusReason);
    w.other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(w.code->text(), QString());
}

TEST(LostFocus, FocusLostToAnotherWindowOrPopupDoesNotCount) {
    QLineEdit box;
    int lost = 0;
    onLostFocus(&box, [&lost] { ++lost; });
    QFocusEvent toWindow(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&box, &toWindow);
    QFocusEvent toPopup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(&box, &toPopup);
    EXPECT_EQ(lost, 0);
    QFocusEvent toBox(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&box, &toBox);
    EXPECT_EQ(lost, 1);
}

TEST(LostFocus, FocusTakenByDisablingTheWindowDoesNotCount) {
    CodeWindow w;
    int lost = 0;
    onLostFocus(w.other, [&lost] { ++lost; });
    w.other->setFocus();
    ASSERT_TRUE(w.other->hasFocus());
    w.window.setEnabled(false);
    EXPECT_FALSE(w.other->hasFocus());
    EXPECT_EQ(lost, 0);
    w.window.setEnabled(true);
    w.other->setFocus();
    w.code->setFocus();
    EXPECT_EQ(lost, 1);
}

TEST(AmountBox, PointBecomesCommaAndOnlyOneCommaIsKept) {
    CodeWindow w;
    QTest::keyClicks(w.amount, QStringLiteral("12.5,3x-"));
    EXPECT_EQ(w.amount->text(), QStringLiteral("12,53"));
    // A comma replacing the selected one is allowed.
    w.amount->setSelection(2, 1);
    QTest::keyClicks(w.amount, QStringLiteral("."));
    EXPECT_EQ(w.amount->text(), QStringLiteral("12,53"));
    w.amount->end(false);
    QTest::keyClick(w.amount, Qt::Key_Backspace);
    EXPECT_EQ(w.amount->text(), QStringLiteral("12,5"));
}

TEST(KeyPress, HandlersRunInOrderAndMayReplaceTheKey) {
    QLineEdit box;
    QList<int> seen;
    onKeyPress(&box, [&seen](int& key) {
        seen << key;
        if (key == 'a') key = 'A';
    });
    onKeyPress(&box, [&seen](int& key) {
        seen << key;
        if (key == 'x') key = 0;
    });
    QTest::keyClicks(&box, QStringLiteral("ax"));
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_EQ(box.text(), QStringLiteral("A"));
    EXPECT_EQ(seen, (QList<int>{'a', 'A', 'x', 'x', 27, 27}));
}

TEST(PadLeft, FillsToTheLengthCountingCharacters) {
    EXPECT_EQ(padLeft(QStringLiteral("7"), 3), QStringLiteral("007"));
    EXPECT_EQ(padLeft(QStringLiteral("é"), 3, QLatin1Char(' ')), QStringLiteral("  é"));
    EXPECT_EQ(padLeft(QStringLiteral("1234"), 3), QStringLiteral("1234"));
}

}  // namespace
}  // namespace orv
