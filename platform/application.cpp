#include "platform/application.h"

#include <QKeyEvent>
#include <QPushButton>

#include "client/dba.h"
#include "platform/busy.h"
#include "platform/fenetres.h"
#include "platform/help.h"
#include "platform/messages.h"

namespace orv {

QString escapedErrorText(const std::exception& error) {
    if (const auto* e = dynamic_cast<const dba::Error*>(&error))
        return QStringLiteral("Erreur %1 : %2").arg(e->number()).arg(e->message());
    return QStringLiteral("Erreur : %1").arg(QString::fromUtf8(error.what()));
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    installQtFrench(*this);
    installProgramIcon();
}

namespace {

// Enter or Return on a push button presses it, in a dialog or not (Qt does so only for the
// dialogs' default buttons).
bool pressesButton(QObject* receiver, const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    auto* button = qobject_cast<QPushButton*>(receiver);
    if (!button || !button->isEnabled()) return false;
    button->click();
    return true;
}

}  // namespace

bool Application::notify(QObject* receiver, QEvent* event) {
    // F1 in any window shows the user guide.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        receiver->isWidgetType()) {
        showGuide();
        return true;
    }
    try {
        if (pressesButton(receiver, event)) return true;
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        // A handler that failed half-way may have left the hourglass up.
        restoreCursor();
        MsgBox(escapedErrorText(e), MsgCritical);
    }
    return false;
}

}  // namespace orv
