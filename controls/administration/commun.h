// What the administration windows share: a change asked by the user, shown refused when it is
// refused; the state of a window whose user may only read; the caption of an access level.
#pragma once

#include <QList>
#include <QString>
#include <functional>

#include "rights/rights.h"

class QLabel;
class QWidget;

namespace administration {

// Runs a change. A refusal (rights::Refusal) is shown in a message box with the exclamation
// icon and gives false; data-access errors go on to the host.
bool executer(const std::function<void()>& changement);

// Level 2 leaves everything as it is. Level 1 disables the widgets that change something and
// shows why in `avis`; level 0 disables `lecture` too (nothing is shown to read).
void appliquerAcces(orv::AccessLevel niveau, QLabel* avis, const QList<QWidget*>& modifiants,
                    const QList<QWidget*>& lecture);

// "0 - Aucun accès", "1 - Consultation", "2 - Accès complet".
QString libelleNiveau(int niveau);

}  // namespace administration
