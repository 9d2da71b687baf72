#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPushButton>

#include "platform/busy.h"
#include "platform/message_services.h"

namespace orv {

namespace {

MessageService* g_installed = nullptr;

MessageService& defaultService() {
    static QtMessageService service;
    return service;
}

// The buttons of each button set, the default (first) one first.
QList<MsgAnswer> buttonsOf(int buttons) {
    switch (buttons) {
        case MsgOkCancel:
            return {MsgAnswer::Ok, MsgAnswer::Cancel};
        case MsgYesNoCancel:
            return {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel};
        case MsgYesNo:
            return {MsgAnswer::Yes, MsgAnswer::No};
        default:
            return {MsgAnswer::Ok};
    }
}

QString frenchCaption(MsgAnswer answer) {
    switch (answer) {
        case MsgAnswer::Yes:
            return QStringLiteral("Oui");
        case MsgAnswer::No:
            return QStringLiteral("Non");
        case MsgAnswer::Cancel:
            return QStringLiteral("Annuler");
        case MsgAnswer::Ok:
            break;
    }
    return QStringLiteral("OK");
}

QMessageBox::Icon qtIcon(int icon) {
    switch (icon) {
        case MsgCritical:
            return QMessageBox::Critical;
        case MsgQuestion:
            return QMessageBox::Question;
        case MsgExclamation:
            return QMessageBox::Warning;
        case MsgInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QMessageBox::ButtonRole roleOf(MsgAnswer answer) {
    switch (answer) {
        case MsgAnswer::Yes:
            return QMessageBox::YesRole;
        case MsgAnswer::No:
            return QMessageBox::NoRole;
        case MsgAnswer::Cancel:
            return QMessageBox::RejectRole;
        case MsgAnswer::Ok:
            break;
    }
    return QMessageBox::AcceptRole;
}

}  // namespace

MessageService& MessageService::current() { return g_installed ? *g_installed : defaultService(); }

void MessageService::install(MessageService* service) { g_installed = service; }

int msgIcon(int style) { return style & 0x70; }

int msgButtons(int style) { return style & 0x7; }

MsgAnswer msgDefaultAnswer(int style) { return buttonsOf(msgButtons(style)).first(); }

bool msgAnswerAllowed(int style, MsgAnswer answer) {
    return buttonsOf(msgButtons(style)).contains(answer);
}

QString msgAnswerName(MsgAnswer answer) {
    switch (answer) {
        case MsgAnswer::Yes:
            return QStringLiteral("Yes");
        case MsgAnswer::No:
            return QStringLiteral("No");
        case MsgAnswer::Cancel:
            return QStringLiteral("Cancel");
        case MsgAnswer::Ok:
            break;
    }
    return QStringLiteral("OK");
}

bool msgAnswerFromName(const QString& name, MsgAnswer* answer) {
    for (MsgAnswer a : {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel, MsgAnswer::Ok}) {
        if (name.compare(msgAnswerName(a), Qt::CaseInsensitive) == 0 ||
            name.compare(frenchCaption(a), Qt::CaseInsensitive) == 0) {
            *answer = a;
            return true;
        }
    }
    return false;
}

MsgAnswer QtMessageService::show(const QString& text, int style, const QString& title) {
    QMessageBox box(qtIcon(msgIcon(style)), title, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("MsgBox"));
    QList<QPair<QAbstractButton*, MsgAnswer>> buttons;
    for (MsgAnswer answer : buttonsOf(msgButtons(style))) {
        QPushButton* button = box.addButton(frenchCaption(answer), roleOf(answer));
        buttons.append({button, answer});
    }
    box.setDefaultButton(static_cast<QPushButton*>(buttons.first().first));
    // The close box answers Cancel when there is one, else the only button.
    box.setEscapeButton(buttons.size() == 1 ? buttons.first().first : buttons.last().first);
    box.exec();
    for (const auto& [button, answer] : buttons) {
        if (box.clickedButton() == button) return answer;
    }
    return buttons.last().second;
}

MsgAnswer ScriptedMessageService::show(const QString& text, int style, const QString& title) {
    ShownMessage shown;
    shown.text = text;
    shown.title = title;
    shown.icon = msgIcon(style);
    shown.buttons = msgButtons(style);
    if (answers_.isEmpty()) {
        shown.answer = msgDefaultAnswer(style);
        shown.byDefault = true;
    } else {
        shown.answer = answers_.dequeue();
        if (!msgAnswerAllowed(style, shown.answer)) {
            shown.answer = msgDefaultAnswer(style);
            shown.refused = true;
        }
    }
    shown_.append(shown);
    if (observer_) observer_(shown);
    return shown.answer;
}

void ScriptedMessageService::clear() {
    answers_.clear();
    shown_.clear();
}

ScopedMessageService::ScopedMessageService(MessageService* service) : previous_(g_installed) {
    MessageService::install(service);
}

ScopedMessageService::~ScopedMessageService() { MessageService::install(previous_); }

// The pointer is set, not stacked, as the screen's pointer was: 11 twice then 0 once restores it.
void showHourglass() {
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void restoreCursor() {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

void pumpMessages() { QCoreApplication::processEvents(); }

BusyScope::BusyScope(QWidget* widget, Focus focus) : widget_(widget) {
    if (focus == KeepFocus) {
        QWidget* current = QApplication::focusWidget();
        if (current && widget && widget->isAncestorOf(current)) focus_ = current;
    }
    showHourglass();
    if (widget_) widget_->setEnabled(false);
}

BusyScope::~BusyScope() {
    pumpMessages();
    if (widget_) widget_->setEnabled(true);
    restoreCursor();
    if (focus_ && focus_->isEnabled()) focus_->setFocus();
}

}  // namespace orv
