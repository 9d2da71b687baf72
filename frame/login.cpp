#include "frame/login.h"

#include <QFileInfo>
#include <QLineEdit>

#include "client/uniobjects.h"
#include "platform/messages.h"

namespace orv {

int chooseDatabase(const IniServeurs& ini, const QString& typed, QString* refusal) {
    if (typed.trimmed().isEmpty()) {
        if (refusal) *refusal = kSelectionVide;
        return -1;
    }
    const int index = ini.find(typed);
    if (index < 0 && refusal) *refusal = kBaseIndisponible;
    return index;
}

void applyDatabase(uni::Session& session, const IniServeurs& ini, int index) {
    session.setHostName(ini.server());
    session.setAccountPath(ini.accountPath(index));
}

void applyDatabasePath(uni::Session& session, const QString& path) {
    session.setHostName(QStringLiteral("localhost"));
    session.setAccountPath(QFileInfo(path).absoluteFilePath());
}

LoginOutcome connectSession(uni::Session& session, const QString& user, const QString& password) {
    session.setDataBaseType(2);
    session.setUserName(user.toUpper());
    session.setPassword(password);
    session.Connect();
    using Refusal = LoginOutcome::Refusal;
    const QString where = QFileInfo(session.accountPath()).absoluteFilePath();
    switch (session.Error()) {
        case 0:
            return {};
        case uni::kDatabaseNotFound:
            return {Refusal::Database,
                    QStringLiteral("La base de données est introuvable : le fichier « %1 » "
                                   "n'existe pas.")
                        .arg(where)};
        case uni::kDatabaseUnreadable:
            return {Refusal::Database,
                    QStringLiteral("Le fichier « %1 » n'a pas pu être ouvert comme base de "
                                   "données : %2")
                        .arg(where, session.errorText())};
        default:
            return {Refusal::Password, kMotPasseIncorrect};
    }
}

int LoginOutcome::style() const {
    return refusal == Refusal::Password ? MsgExclamation : MsgCritical;
}

void showRefusal(const LoginOutcome& outcome, QLineEdit* password) {
    MsgBox(outcome.message, outcome.style());
    if (outcome.refusal == LoginOutcome::Refusal::Password) password->clear();
    password->setFocus();
}

}  // namespace orv
