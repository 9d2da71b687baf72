// Reading and writing the stored rights (files DROITSUTIL and DROITSGROUPE, layout in
// rights/rights.h), and resolving a user's rights from the user's own entries and groups.
// Used by the rights object and by the administration command line.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

#include "rights/rights.h"

namespace orv {
class Database;
class DynArray;
}  // namespace orv

namespace orv::rights {

inline constexpr const char* kUserFile = "DROITSUTIL";
inline constexpr const char* kGroupFile = "DROITSGROUPE";

enum class Holder { User, Group };

// What one user or group stores.
struct StoredRights {
    QStringList keys;                    // in stored order
    QMap<QString, int> levels;           // key -> level
    QStringList groups;                  // users only
    std::optional<QStringList> sectors;  // set list (empty = every sector), or not set

    bool operator==(const StoredRights&) const = default;
};

// A user's rights once the user's own entries and the groups are combined.
struct ResolvedRights {
    QMap<QString, int> levels;
    SectorSet sectors;
};

// The user whose rights administration can never be taken away.
inline constexpr const char* kAdministrator = "ADMINISTRATEUR";

// A stored record read, and the record that stores what a user or group holds.
StoredRights parseStored(const DynArray& record);
DynArray storedRecord(Holder holder, const StoredRights& stored);
// The file of a holder's records.
const char* fileOf(Holder holder);

// Creates the two files when they are missing; only administrators may change them.
void ensureFiles(Database& db);
// Makes the rights files that exist ones only administrators change (a database made before
// the server enforced it is brought to it so).
void guardFiles(Database& db);

// Whether a user administers the database: ADMINISTRATEUR, or level 2 on the key "DROITS"
// (groups included).
bool administers(Database& db, const QString& user);
// Makes the store's administrators follow the rights, for one user (every user when empty):
// on a server, the administrators' role is what lets a user change rights, users, files and
// indexes. Called after every change of stored rights.
void syncAdministrators(Database& db, const QString& user = {});

// Names are upper-cased; a missing file or record reads as nothing stored.
StoredRights read(Database& db, Holder holder, const QString& name);
// Level 0 to 2; anything else throws orv::DbError (InvalidArgument).
void grant(Database& db, Holder holder, const QString& name, const QString& key, int level);
// False when the key was not stored.
bool revoke(Database& db, Holder holder, const QString& name, const QString& key);
void setSectors(Database& db, Holder holder, const QString& name, const QStringList& codes);
// Stores a group without any right (nothing changes when it is stored already).
void createGroup(Database& db, const QString& group);
// Adds the group to the user's groups (once).
void addToGroup(Database& db, const QString& user, const QString& group);

ResolvedRights resolve(Database& db, const QString& user);

// Grants every known key at one level.
void grantAll(Database& db, Holder holder, const QString& name, int level);

// A rights key the system looks up and what its level opens, in French.
struct KnownKey {
    QString key;
    QString label;
};
// Every rights key the system looks up, in the order an administrator reads them.
const QList<KnownKey>& knownKeyList();
QStringList knownKeys();
// The French label of a known key (any case); empty for a key the system never looks up.
QString keyLabel(const QString& key);
bool isKnownKey(const QString& key);

}  // namespace orv::rights
