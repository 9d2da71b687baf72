#include "controls/administration/commun.h"

#include <QLabel>
#include <QWidget>

#include "platform/messages.h"
#include "rights/administration.h"

namespace administration {

bool executer(const std::function<void()>& changement) {
    try {
        changement();
        return true;
    } catch (const orv::rights::Refusal& refus) {
        orv::MsgBox(refus.message(), orv::MsgExclamation);
        return false;
    }
}

void appliquerAcces(orv::AccessLevel niveau, QLabel* avis, const QList<QWidget*>& modifiants,
                    const QList<QWidget*>& lecture) {
    const bool complet = niveau == orv::AccessLevel::Full;
    for (QWidget* w : modifiants) w->setEnabled(complet);
    if (niveau == orv::AccessLevel::None)
        for (QWidget* w : lecture) w->setEnabled(false);
    avis->setVisible(!complet);
    avis->setText(niveau == orv::AccessLevel::None
                      ? QStringLiteral("Vos droits ne donnent pas accès à cette fenêtre.")
                      : QStringLiteral("Consultation seulement : vos droits ne permettent pas "
                                       "de modifier ce qui est affiché."));
}

QString libelleNiveau(int niveau) {
    switch (niveau) {
        case 0:
            return QStringLiteral("0 - Aucun accès");
        case 1:
            return QStringLiteral("1 - Consultation");
        default:
            return QStringLiteral("2 - Accès complet");
    }
}

}  // namespace administration
