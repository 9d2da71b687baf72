#include "platform/application.h"

#include "client/dba.h"
#include "platform/busy.h"
#include "platform/messages.h"

namespace orv {

QString escapedErrorText(const std::exception& error) {
    if (const auto* e = dynamic_cast<const dba::Error*>(&error))
        return QStringLiteral("Erreur %1 : %2").arg(e->number()).arg(e->message());
    return QStringLiteral("Erreur : %1").arg(QString::fromUtf8(error.what()));
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        // A handler that failed half-way may have left the hourglass up.
        restoreCursor();
        MsgBox(escapedErrorText(e), MsgCritical);
    }
    return false;
}

}  // namespace orv
