#include "rights/rights_store.h"

#include <algorithm>

#include "client/marks.h"
#include "engine/database.h"

namespace orv::rights {

namespace {

// Attributes of a DROITSUTIL or DROITSGROUPE record.
constexpr int kKeys = 1;
constexpr int kLevels = 2;
constexpr int kGroups = 3;
constexpr int kSectors = 4;
constexpr int kSectorsSet = 5;

std::string storedName(const QString& name) { return name.trimmed().toUpper().toStdString(); }

QStringList values(const DynArray& rec, int attribute) {
    QStringList list;
    const int n = rec.count(attribute);
    for (int v = 1; v <= n; ++v) list << toQString(rec.extract(attribute, v));
    return list;
}

void putValues(DynArray& rec, int attribute, const QStringList& list) {
    std::string joined;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i) joined += kValueMark;
        joined += fromQString(list[i]);
    }
    rec.replace(attribute, joined);
}

DynArray readRecord(Database& db, Holder holder, const QString& name) {
    if (!db.hasFile(fileOf(holder))) return {};
    return db.read(fileOf(holder), storedName(name)).value_or(DynArray());
}

}  // namespace

const char* fileOf(Holder holder) { return holder == Holder::User ? kUserFile : kGroupFile; }

StoredRights parseStored(const DynArray& rec) {
    StoredRights stored;
    const QStringList keys = values(rec, kKeys);
    const QStringList levels = values(rec, kLevels);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (keys[i].isEmpty()) continue;
        stored.keys << keys[i];
        stored.levels[keys[i]] = i < levels.size() ? levels[i].toInt() : 0;
    }
    stored.groups = values(rec, kGroups);
    stored.groups.removeAll(QString());
    if (toQString(rec.extract(kSectorsSet)) == QLatin1String("1")) {
        QStringList sectors = values(rec, kSectors);
        sectors.removeAll(QString());
        stored.sectors = sectors;
    }
    return stored;
}

DynArray storedRecord(Holder holder, const StoredRights& stored) {
    DynArray rec;
    QStringList levels;
    for (const QString& key : stored.keys) levels << QString::number(stored.levels.value(key));
    putValues(rec, kKeys, stored.keys);
    putValues(rec, kLevels, levels);
    if (holder == Holder::User) putValues(rec, kGroups, stored.groups);
    if (stored.sectors) {
        putValues(rec, kSectors, *stored.sectors);
        rec.replace(kSectorsSet, "1");
    }
    return rec;
}

namespace {

void writeStored(Database& db, Holder holder, const QString& name, const StoredRights& stored) {
    ensureFiles(db);
    db.write(fileOf(holder), storedName(name), storedRecord(holder, stored));
    // A group's rights reach all its members.
    if (holder == Holder::User)
        syncAdministrators(db, name);
    else
        syncAdministrators(db);
}

void requireName(const QString& name) {
    if (name.trimmed().isEmpty())
        throw DbError(DbErrorCode::InvalidArgument, "Nom d'utilisateur ou de groupe vide");
}

// Combines the sector lists of the groups that set one: their union, or every sector when one
// of them sets an empty list. Nothing set by any group: every sector.
SectorSet groupSectors(const QList<StoredRights>& groups) {
    SectorSet set;
    bool anySet = false;
    bool every = false;
    for (const StoredRights& g : groups) {
        if (!g.sectors) continue;
        anySet = true;
        if (g.sectors->isEmpty()) every = true;
        for (const QString& code : *g.sectors)
            if (!set.codes.contains(code)) set.codes << code;
    }
    set.all = !anySet || every;
    if (set.all) set.codes.clear();
    return set;
}

}  // namespace

void ensureFiles(Database& db) {
    for (const char* file : {kUserFile, kGroupFile})
        if (!db.hasFile(file)) db.createFile(file);
    guardFiles(db);
}

void guardFiles(Database& db) {
    for (const char* file : {kUserFile, kGroupFile})
        if (db.hasFile(file)) db.storage().guardFile(file);
}

bool administers(Database& db, const QString& user) {
    return storedName(user) == kAdministrator ||
           resolve(db, user).levels.value(QStringLiteral("DROITS")) == 2;
}

void syncAdministrators(Database& db, const QString& user) {
    if (!db.storage().storeUsers()) return;
    for (const std::string& name : db.userNames())
        if (user.isEmpty() || name == storedName(user))
            db.setAdministrator(name, administers(db, QString::fromStdString(name)));
}

StoredRights read(Database& db, Holder holder, const QString& name) {
    return parseStored(readRecord(db, holder, name));
}

void grant(Database& db, Holder holder, const QString& name, const QString& key, int level) {
    requireName(name);
    if (key.trimmed().isEmpty()) throw DbError(DbErrorCode::InvalidArgument, "Clé de droits vide");
    if (level < 0 || level > 2)
        throw DbError(DbErrorCode::InvalidArgument, "Niveau d'accès hors de 0 à 2");
    StoredRights stored = read(db, holder, name);
    const QString k = key.trimmed().toUpper();
    if (!stored.levels.contains(k)) stored.keys << k;
    stored.levels[k] = level;
    writeStored(db, holder, name, stored);
}

bool revoke(Database& db, Holder holder, const QString& name, const QString& key) {
    StoredRights stored = read(db, holder, name);
    const QString k = key.trimmed().toUpper();
    if (!stored.levels.contains(k)) return false;
    stored.keys.removeAll(k);
    stored.levels.remove(k);
    writeStored(db, holder, name, stored);
    return true;
}

void setSectors(Database& db, Holder holder, const QString& name, const QStringList& codes) {
    requireName(name);
    StoredRights stored = read(db, holder, name);
    QStringList unique;
    for (const QString& c : codes)
        if (!c.trimmed().isEmpty() && !unique.contains(c.trimmed())) unique << c.trimmed();
    stored.sectors = unique;
    writeStored(db, holder, name, stored);
}

void createGroup(Database& db, const QString& group) {
    requireName(group);
    writeStored(db, Holder::Group, group, read(db, Holder::Group, group));
}

void addToGroup(Database& db, const QString& user, const QString& group) {
    requireName(user);
    requireName(group);
    StoredRights stored = read(db, Holder::User, user);
    const QString g = group.trimmed().toUpper();
    if (!stored.groups.contains(g)) stored.groups << g;
    writeStored(db, Holder::User, user, stored);
}

ResolvedRights resolve(Database& db, const QString& user) {
    const StoredRights own = read(db, Holder::User, user);
    QList<StoredRights> groups;
    for (const QString& g : own.groups) groups << read(db, Holder::Group, g);

    ResolvedRights resolved;
    for (const StoredRights& g : groups)
        for (auto it = g.levels.cbegin(); it != g.levels.cend(); ++it)
            resolved.levels[it.key()] = std::max(resolved.levels.value(it.key(), 0), it.value());
    // The user's own entries win over the groups', even when lower.
    for (auto it = own.levels.cbegin(); it != own.levels.cend(); ++it)
        resolved.levels[it.key()] = it.value();

    if (own.sectors)
        resolved.sectors = SectorSet{own.sectors->isEmpty(), *own.sectors};
    else
        resolved.sectors = groupSectors(groups);
    return resolved;
}

// Every rights key the program and the modules look up, with what its level opens, in the
// order an administrator reads them: the rights administration, the modules, then the menu's
// entries by submenu.
const QList<KnownKey>& knownKeyList() {
    static const QList<KnownKey> keys{
        {QStringLiteral("DROITS"), QStringLiteral("Administration des droits")},
        {QStringLiteral("DROITSGROUPE"), QStringLiteral("Droits des groupes d'utilisateurs")},
        {QStringLiteral("DROITSUTIL"), QStringLiteral("Droits des utilisateurs")},
        {QStringLiteral("RIENDEFINI"), QStringLiteral("Choix des rapports d'importation")},
        {QStringLiteral("CADRIUSCODE"), QStringLiteral("Génération du code des aidants")},
        {QStringLiteral("COMPTEURFACT"), QStringLiteral("Compteurs de facturation")},
        {QStringLiteral("ABSENCESAIDANT"),
         QStringLiteral("Absences des aidants (secteurs visibles)")},
        {QStringLiteral("RELEVEDNT"), QStringLiteral("Relevé trimestriel des déclarations")},
        {QStringLiteral("DOSAIDANTABS"), QStringLiteral("Solde des congés des aidants")},
        // The keys the container checks for the two modules that have none of their own.
        {QStringLiteral("ARCHIVESENVOI"), QStringLiteral("Envoi des factures électroniques")},
        {QStringLiteral("HORAIREAIDANTS"), QStringLiteral("Emplois du temps")},
        {QStringLiteral("MONITEURS"), QStringLiteral("Menu « Moniteurs »")},
        {QStringLiteral("CADRIUSMONITEUR"), QStringLiteral("Suivi des anomalies")},
        {QStringLiteral("CADRIUSTLGVERIFPLG"), QStringLiteral("Contrôle d'effectivité")},
        {QStringLiteral("CADRIUSHISTOPOINTAGE"), QStringLiteral("Historique des pointages")},
        {QStringLiteral("ETATS"), QStringLiteral("Menu « Etats »")},
        {QStringLiteral("CADRIUSFEUILLEPRES"), QStringLiteral("Edition des feuilles de présence")},
        {QStringLiteral("CADRIUSEDITIONCARTES"), QStringLiteral("Edition cartes")},
        {QStringLiteral("CADRIUSEXTRACTIONS"), QStringLiteral("Extractions")},
        {QStringLiteral("CADRIUSCOMPPLGTLG"), QStringLiteral("Comparaison plannings/télégestion")},
        {QStringLiteral("CADRIUSRAPPORT"), QStringLiteral("Rapports d'importation")},
        {QStringLiteral("CADRIUSBADGEUSES"), QStringLiteral("Menu « Badgeuses »")},
        {QStringLiteral("CADRIUSDOUCHETTE"), QStringLiteral("Gestion des badgeuses")},
        {QStringLiteral("CADRIUSCODESBARRES"), QStringLiteral("Menu « Codes barres »")},
        {QStringLiteral("CADRIUSCODESBARRESAIDES"), QStringLiteral("Codes barres des aidés")},
        {QStringLiteral("CADRIUSCODESBARRESCOURSES"), QStringLiteral("Codes barres des courses")},
        {QStringLiteral("CADRIUSPARAMS"), QStringLiteral("Menu « Paramètres »")},
        {QStringLiteral("CADRIUSPARAMSRUB"),
         QStringLiteral("Paramétrages des rubriques de saisies")},
        {QStringLiteral("CADRIUSPARAMSARR"), QStringLiteral("Paramétrage général")},
        {QStringLiteral("CADRIUSDROITS"), QStringLiteral("Menu « Droits utilisateurs »")},
        {QStringLiteral("CADRIUSDROITSGPE"), QStringLiteral("Gestion des groupes d'utilisateurs")},
        {QStringLiteral("CADRIUSDROITSUTILS"), QStringLiteral("Gestion des utilisateurs")},
        {QStringLiteral("INFOVERSION"), QStringLiteral("Menu « ? »")},
        {QStringLiteral("DOCUMENTATION"), QStringLiteral("Amélioration logiciel")},
        {QStringLiteral("MAINTENANCE"), QStringLiteral("Menu « Maintenance »")},
        {QStringLiteral("SUPPORT"), QStringLiteral("Support Orvanelle")},
        {QStringLiteral("TELEMAINTENANCE"), QStringLiteral("Télémaintenance")},
        {QStringLiteral("APROPOS"), QStringLiteral("A propos d'Orvanelle")}};
    return keys;
}

QStringList knownKeys() {
    QStringList keys;
    for (const KnownKey& k : knownKeyList()) keys << k.key;
    return keys;
}

QString keyLabel(const QString& key) {
    const QString k = key.trimmed().toUpper();
    for (const KnownKey& known : knownKeyList())
        if (known.key == k) return known.label;
    return {};
}

bool isKnownKey(const QString& key) { return !keyLabel(key).isEmpty(); }

void grantAll(Database& db, Holder holder, const QString& name, int level) {
    requireName(name);
    if (level < 0 || level > 2)
        throw DbError(DbErrorCode::InvalidArgument, "Niveau d'accès hors de 0 à 2");
    StoredRights stored = read(db, holder, name);
    for (const QString& key : knownKeys()) {
        if (!stored.levels.contains(key)) stored.keys << key;
        stored.levels[key] = level;
    }
    writeStored(db, holder, name, stored);
}

}  // namespace orv::rights
