// Administration of a database's users, groups and rights through the client, as the users'
// and groups' windows do it. Every change is one transaction of the logged-in session, so that
// what the server lets that user do (its grants on the rights records and the login roles)
// decides, and a change is whole or not made. The rights record a change rewrites is read for
// update first: while another administrator writes it, the change is refused as "en cours de
// modification"; when it differs from the record shown, it is refused too, and nothing that
// another administrator stored meanwhile is lost. A change that would leave a database that had
// an administrator without any is refused and undone.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>

#include "rights/rights_store.h"

namespace dba {
class Database;
}

namespace orv::rights {

// A change refused for a reason the user can act on (French); nothing was changed.
class Refusal : public std::runtime_error {
  public:
    explicit Refusal(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// The user whose rights keys "DROITS", "DROITSGROUPE" and "DROITSUTIL" the menu forces to 2.
inline const QString kAdministratorUser = QStringLiteral("ADMINISTRATEUR");
const QStringList& forcedAdministratorKeys();

// An administrator can open the users' window and change users there: level 2 on its key and
// its submenu not at level 0.
inline const QString kUsersWindowKey = QStringLiteral("CADRIUSDROITSUTILS");
inline const QString kRightsMenuKey = QStringLiteral("CADRIUSDROITS");

// The rules every way of creating users shares (the windows and orvanelle-db): what is wrong
// with a name or a password, in French, or nothing.
std::optional<QString> userNameProblem(const QString& name);
std::optional<QString> passwordProblem(const QString& password);

struct UserRow {
    QString name;
    QStringList groups;
};

class Administration {
  public:
    static inline const QString kLocked = QStringLiteral(
        "La fiche de droits de « %1 » est en cours de modification par un autre utilisateur.\n"
        "Rien n'a été enregistré : recommencez dans quelques instants.");
    static inline const QString kChanged = QStringLiteral(
        "Les droits de « %1 » ont été modifiés par un autre utilisateur depuis leur "
        "affichage.\nRien n'a été enregistré : les valeurs à jour sont maintenant affichées.");
    static inline const QString kLastAdministrator = QStringLiteral(
        "Cette modification laisserait la base sans administrateur (un utilisateur ayant le "
        "niveau 2 sur « Gestion des utilisateurs ») : elle n'a pas été faite.");

    explicit Administration(dba::Database& db) : db_(db) {}

    // The database's users by name, with the groups each belongs to.
    QList<UserRow> users();
    bool userExists(const QString& name);
    // The groups stored, by name.
    QStringList groups();
    StoredRights stored(Holder holder, const QString& name);
    ResolvedRights resolved(const QString& user);
    // The users who can administer users, by name.
    QStringList administrators();

    // Each change below throws Refusal, or a dba::Error of the data access.
    void addUser(const QString& name, const QString& password, const QString& confirmation,
                 const QString& group);
    void changePassword(const QString& name, const QString& password, const QString& confirmation);
    void removeUser(const QString& name);
    // The user's groups become `group` alone (none when empty); `shown` is the user's record
    // as the window read it.
    void setGroup(const QString& name, const QString& group, const StoredRights& shown);
    void createGroup(const QString& name);
    // Stores what the window shows for a user or group: keys and levels, and sectors; `shown`
    // is the record as the window read it. The user's groups are kept.
    void saveRights(Holder holder, const QString& name, const StoredRights& shown,
                    const StoredRights& wanted);

  private:
    // Runs a change of one holder's record in one transaction: reads it for update (refused
    // when another user holds it), lets `change` work on it, writes what it returns (nothing
    // when it returns nullopt: the record is removed), then checks that an administrator is
    // left. `shown`, when given, must equal the stored record.
    template <class Change>
    void change(Holder holder, const QString& name, const std::optional<StoredRights>& shown,
                Change change);

    dba::Database& db_;
};

}  // namespace orv::rights
