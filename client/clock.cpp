#include "client/clock.h"

#include <QtGlobal>

namespace orv {

QDate today() {
    const QByteArray fixed = qgetenv("ORVANELLE_TODAY");
    if (!fixed.isEmpty()) {
        const QDate d = QDate::fromString(QString::fromLatin1(fixed), Qt::ISODate);
        if (d.isValid()) return d;
    }
    return QDate::currentDate();
}

}  // namespace orv
