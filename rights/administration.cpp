#include "rights/administration.h"

#include "client/dba.h"
#include "client/marks.h"
#include "client/transaction.h"
#include "engine/database.h"

namespace orv::rights {

namespace {

QString upper(const QString& name) { return name.trimmed().toUpper(); }

// Characters a name may not hold: the record marks and control characters (they would split
// or hide the name), and the comma that separates the user from the password on the program's
// command line.
bool hasForbiddenCharacter(const QString& name) {
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control || c == QLatin1Char(',') ||
            (c.unicode() >= kSubvalueMarkChar && c.unicode() <= kAttributeMarkChar))
            return true;
    return false;
}

bool isLockedError(const DbError& e) { return e.code() == DbErrorCode::RecordLocked; }

}  // namespace

const QStringList& forcedAdministratorKeys() {
    static const QStringList keys{QStringLiteral("DROITS"), QStringLiteral("DROITSGROUPE"),
                                  QStringLiteral("DROITSUTIL")};
    return keys;
}

std::optional<QString> userNameProblem(const QString& name) {
    if (name.trimmed().isEmpty()) return QStringLiteral("Le nom est vide.");
    if (hasForbiddenCharacter(name))
        return QStringLiteral(
                   "Le nom « %1 » contient une virgule ou un caractère non imprimable : "
                   "choisissez-en "
                   "un autre.")
            .arg(name.trimmed());
    return std::nullopt;
}

std::optional<QString> passwordProblem(const QString& password) {
    if (password.trimmed().isEmpty())
        return QStringLiteral("Le mot de passe ne peut pas être vide ni fait d'espaces.");
    return std::nullopt;
}

QList<UserRow> Administration::users() {
    return dba::translated([&] {
        Database& engine = db_.session().database();
        QList<UserRow> rows;
        for (const std::string& user : engine.userNames()) {
            const QString name = QString::fromStdString(user);
            rows << UserRow{name, read(engine, Holder::User, name).groups};
        }
        return rows;
    });
}

bool Administration::userExists(const QString& name) {
    const QString wanted = upper(name);
    for (const UserRow& row : users())
        if (row.name == wanted) return true;
    return false;
}

QStringList Administration::groups() {
    return dba::translated([&] {
        Database& engine = db_.session().database();
        QStringList names;
        if (!engine.hasFile(kGroupFile)) return names;
        engine.storage().scanKeys(kGroupFile, "", [&](std::string_view key) {
            names << QString::fromUtf8(key.data(), qsizetype(key.size()));
            return true;
        });
        return names;
    });
}

StoredRights Administration::stored(Holder holder, const QString& name) {
    return dba::translated([&] { return read(db_.session().database(), holder, upper(name)); });
}

ResolvedRights Administration::resolved(const QString& user) {
    return dba::translated([&] { return resolve(db_.session().database(), upper(user)); });
}

QStringList Administration::administrators() {
    QStringList names;
    for (const UserRow& row : users()) {
        const ResolvedRights r = resolved(row.name);
        if (r.levels.value(kUsersWindowKey) == 2 && r.levels.value(kRightsMenuKey) != 0)
            names << row.name;
    }
    return names;
}

template <class Change>
void Administration::change(Holder holder, const QString& name,
                            const std::optional<StoredRights>& shown, Change work) {
    Session& session = db_.session();
    Database& engine = session.database();
    const std::string file = fileOf(holder);
    const std::string key = name.toStdString();
    const bool hadAdministrator = !administrators().isEmpty();
    dba::translated([&] { ensureFiles(engine); });
    try {
        dba::Transaction(db_, [&] {
            std::optional<DynArray> current;
            try {
                current = session.readForUpdate(file, key);
            } catch (const DbError& e) {
                if (isLockedError(e)) throw Refusal(kLocked.arg(name));
                throw;
            }
            StoredRights record = current ? parseStored(*current) : StoredRights{};
            if (shown && *shown != record) throw Refusal(kChanged.arg(name));
            if (work(record, current.has_value())) {
                session.write(file, key, storedRecord(holder, record));
            } else {
                if (current) engine.remove(file, key, session.id());
                session.release(file, key);
            }
            if (hadAdministrator && administrators().isEmpty()) throw Refusal(kLastAdministrator);
            // The server's administrators' role follows the rights.
            syncAdministrators(engine, holder == Holder::User ? name : QString());
        });
    } catch (...) {
        try {
            session.release(file, key);
        } catch (const DbError&) {
            // The lock went with the connection.
        }
        throw;
    }
}

void Administration::addUser(const QString& name, const QString& password,
                             const QString& confirmation, const QString& group) {
    const QString user = upper(name);
    if (const auto problem = userNameProblem(user)) throw Refusal(*problem);
    if (const auto problem = passwordProblem(password)) throw Refusal(*problem);
    if (password != confirmation)
        throw Refusal(QStringLiteral("Les deux mots de passe saisis ne sont pas identiques."));
    const QString g = upper(group);
    if (!g.isEmpty() && !groups().contains(g))
        throw Refusal(QStringLiteral("Le groupe « %1 » n'existe pas.").arg(g));
    change(Holder::User, user, std::nullopt, [&](StoredRights& record, bool) {
        if (userExists(user))
            throw Refusal(QStringLiteral("L'utilisateur « %1 » existe déjà.").arg(user));
        db_.session().database().setUserPassword(user.toStdString(), password.toStdString());
        // Rights left by a user of that name removed in other ways are not inherited.
        record = StoredRights{};
        if (!g.isEmpty()) record.groups << g;
        return true;
    });
}

void Administration::changePassword(const QString& name, const QString& password,
                                    const QString& confirmation) {
    const QString user = upper(name);
    if (const auto problem = passwordProblem(password)) throw Refusal(*problem);
    if (password != confirmation)
        throw Refusal(QStringLiteral("Les deux mots de passe saisis ne sont pas identiques."));
    if (!userExists(user))
        throw Refusal(QStringLiteral("L'utilisateur « %1 » n'existe pas.").arg(user));
    change(Holder::User, user, std::nullopt, [&](StoredRights&, bool) {
        db_.session().database().setUserPassword(user.toStdString(), password.toStdString());
        return true;
    });
}

void Administration::removeUser(const QString& name) {
    const QString user = upper(name);
    if (administrators() == QStringList{user}) throw Refusal(kLastAdministrator);
    if (user == upper(QString::fromStdString(db_.session().user())))
        throw Refusal(QStringLiteral(
            "Vous ne pouvez pas supprimer l'utilisateur avec lequel vous êtes connecté."));
    change(Holder::User, user, std::nullopt, [&](StoredRights&, bool) {
        if (!db_.session().database().removeUser(user.toStdString()))
            throw Refusal(QStringLiteral("L'utilisateur « %1 » n'existe pas.").arg(user));
        return false;
    });
}

void Administration::setGroup(const QString& name, const QString& group,
                              const StoredRights& shown) {
    const QString user = upper(name);
    const QString g = upper(group);
    if (!g.isEmpty() && !groups().contains(g))
        throw Refusal(QStringLiteral("Le groupe « %1 » n'existe pas.").arg(g));
    if (!userExists(user))
        throw Refusal(QStringLiteral("L'utilisateur « %1 » n'existe pas.").arg(user));
    change(Holder::User, user, shown, [&](StoredRights& record, bool) {
        record.groups = g.isEmpty() ? QStringList() : QStringList{g};
        return true;
    });
}

void Administration::createGroup(const QString& name) {
    const QString group = upper(name);
    if (const auto problem = userNameProblem(group)) throw Refusal(*problem);
    change(Holder::Group, group, std::nullopt, [&](StoredRights&, bool exists) {
        if (exists) throw Refusal(QStringLiteral("Le groupe « %1 » existe déjà.").arg(group));
        return true;
    });
}

void Administration::saveRights(Holder holder, const QString& name, const StoredRights& shown,
                                const StoredRights& wanted) {
    const QString holderName = upper(name);
    StoredRights kept = wanted;
    for (const QString& key : kept.keys) {
        const int level = kept.levels.value(key);
        if (level < 0 || level > 2)
            throw Refusal(
                QStringLiteral("Niveau %1 de la clé %2 hors de 0 à 2.").arg(level).arg(key));
        if (!isKnownKey(key) && !shown.levels.contains(key))
            throw Refusal(QStringLiteral("Clé de droits inconnue : %1.").arg(key));
    }
    // The menu gives these keys level 2 to ADMINISTRATEUR whatever is stored: what is stored
    // says so too.
    if (holder == Holder::User && holderName == kAdministratorUser)
        for (const QString& key : forcedAdministratorKeys()) {
            if (!kept.levels.contains(key)) kept.keys << key;
            kept.levels[key] = 2;
        }
    change(holder, holderName, shown, [&](StoredRights& record, bool) {
        record.keys = kept.keys;
        record.levels = kept.levels;
        record.sectors = kept.sectors;
        return true;
    });
}

}  // namespace orv::rights
