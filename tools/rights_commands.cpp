// rights grant|revoke|list|sectors|keys, rights group add|grant|revoke|list|sectors, user group:
// the stored access rights of users and groups (files DROITSUTIL and DROITSGROUPE,
// rights/rights.h). A user, group or key that does not exist is refused, so that a typing
// mistake never becomes a right that silently does nothing. Also gives the demo users their
// rights.
#include <ostream>

#include "engine/database.h"
#include "rights/rights_store.h"
#include "tools/commands.h"
#include "tools/demo.h"

namespace orv::tools {

namespace {

using rights::Holder;

const QString kFullGroup = QStringLiteral("GESTION");
const QString kReadOnlyGroup = QStringLiteral("CONSULTATION");

int levelArgument(const QString& text) {
    bool ok = false;
    const int level = text.toInt(&ok);
    if (!ok || level < 0 || level > 2)
        throw UsageError("niveau d'accès invalide : " + text.toStdString() + " (0, 1 ou 2)");
    return level;
}

QString nameArgument(const QString& text) {
    const QString name = text.trimmed().toUpper();
    if (name.isEmpty()) throw UsageError("nom vide");
    return name;
}

bool userExists(Database& db, const QString& name) {
    for (const std::string& user : db.userNames())
        if (QString::fromStdString(user) == name) return true;
    return false;
}

bool groupExists(Database& db, const QString& name) {
    return db.hasFile(rights::kGroupFile) &&
           db.read(rights::kGroupFile, name.toStdString()).has_value();
}

// The user or group named, which must exist.
QString holderArgument(Holder holder, CommandContext& ctx, const QString& text) {
    const QString name = nameArgument(text);
    if (holder == Holder::User && !userExists(*ctx.database(), name))
        throw CommandFailure("utilisateur inconnu : " + name.toStdString() +
                             " (orvanelle-db user list donne les utilisateurs)");
    if (holder == Holder::Group && !groupExists(*ctx.database(), name))
        throw CommandFailure("groupe inconnu : " + name.toStdString() +
                             " (orvanelle-db rights group add " + name.toStdString() + " le crée)");
    return name;
}

// A key the program or a module looks up, in upper case.
QString keyArgument(const QString& text) {
    const QString key = text.trimmed().toUpper();
    if (!rights::isKnownKey(key))
        throw CommandFailure("clé de droits inconnue : " + key.toStdString() +
                             " (orvanelle-db rights keys donne les clés connues)");
    return key;
}

void printSectors(std::ostream& out, const std::optional<QStringList>& sectors) {
    out << "secteurs : ";
    if (!sectors)
        out << "non définis";
    else if (sectors->isEmpty())
        out << "tous";
    else
        out << sectors->join(' ').toStdString();
    out << '\n';
}

// The key "*" stands for every key the menu and the controls check, so that an administrator
// can be given everything in one command.
int grantFor(Holder holder, CommandContext& ctx, const QStringList& args) {
    requireArgumentCount(args, 3);
    const int level = levelArgument(args[2]);
    const QString name = holderArgument(holder, ctx, args[0]);
    if (args[1] == QLatin1String("*"))
        rights::grantAll(*ctx.database(), holder, name, level);
    else
        rights::grant(*ctx.database(), holder, name, keyArgument(args[1]), level);
    return kExitOk;
}

int revokeFor(Holder holder, CommandContext& ctx, const QStringList& args) {
    requireArgumentCount(args, 2);
    const QString name = holderArgument(holder, ctx, args[0]);
    // A key stored in older days may be taken away even when nothing looks it up any more.
    const QString key = args[1].trimmed().toUpper();
    if (!rights::read(*ctx.database(), holder, name).levels.contains(key)) keyArgument(key);
    if (!rights::revoke(*ctx.database(), holder, name, key))
        throw CommandFailure("clé " + key.toStdString() + " non attribuée à " + name.toStdString());
    return kExitOk;
}

int listFor(Holder holder, CommandContext& ctx, const QStringList& args) {
    requireArgumentCount(args, 1);
    const QString name = nameArgument(args[0]);
    Database& db = *ctx.database();
    const rights::StoredRights stored = rights::read(db, holder, name);
    for (const QString& key : stored.keys)
        ctx.out << key.toStdString() << ' ' << stored.levels.value(key) << '\n';
    printSectors(ctx.out, stored.sectors);
    if (holder == Holder::User) {
        ctx.out << "groupes : " << stored.groups.join(' ').toStdString() << '\n';
        // What the user finally gets, groups included.
        const rights::ResolvedRights resolved = rights::resolve(db, name);
        ctx.out << "droits effectifs :";
        for (auto it = resolved.levels.cbegin(); it != resolved.levels.cend(); ++it)
            ctx.out << ' ' << it.key().toStdString() << '=' << it.value();
        ctx.out << "\nsecteurs effectifs : "
                << (resolved.sectors.all ? std::string("tous")
                                         : resolved.sectors.codes.join(' ').toStdString())
                << '\n';
    }
    return kExitOk;
}

int sectorsFor(Holder holder, CommandContext& ctx, const QStringList& args) {
    if (args.isEmpty()) throw UsageError("argument manquant");
    rights::setSectors(*ctx.database(), holder, holderArgument(holder, ctx, args[0]), args.mid(1));
    return kExitOk;
}

// A new group, without any right yet.
int addGroup(CommandContext& ctx, const QStringList& args) {
    requireArgumentCount(args, 1);
    const QString name = nameArgument(args[0]);
    if (groupExists(*ctx.database(), name))
        throw CommandFailure("le groupe " + name.toStdString() + " existe déjà");
    rights::createGroup(*ctx.database(), name);
    return kExitOk;
}

int runFor(Holder holder, const QString& action, CommandContext& ctx, const QStringList& args) {
    if (action == QLatin1String("add") && holder == Holder::Group) return addGroup(ctx, args);
    if (action == QLatin1String("grant")) return grantFor(holder, ctx, args);
    if (action == QLatin1String("revoke")) return revokeFor(holder, ctx, args);
    if (action == QLatin1String("list")) return listFor(holder, ctx, args);
    if (action == QLatin1String("sectors")) return sectorsFor(holder, ctx, args);
    throw UsageError("action inconnue : " + action.toStdString());
}

int runRightsGrant(CommandContext& ctx) { return grantFor(Holder::User, ctx, ctx.args); }
int runRightsRevoke(CommandContext& ctx) { return revokeFor(Holder::User, ctx, ctx.args); }
int runRightsList(CommandContext& ctx) { return listFor(Holder::User, ctx, ctx.args); }
int runRightsSectors(CommandContext& ctx) { return sectorsFor(Holder::User, ctx, ctx.args); }

int runRightsGroup(CommandContext& ctx) {
    if (ctx.args.isEmpty())
        throw UsageError("action manquante : add, grant, revoke, list ou sectors");
    return runFor(Holder::Group, ctx.args[0], ctx, ctx.args.mid(1));
}

int runUserGroup(CommandContext& ctx) {
    requireArgumentCount(ctx.args, 2);
    rights::addToGroup(*ctx.database(), holderArgument(Holder::User, ctx, ctx.args[0]),
                       holderArgument(Holder::Group, ctx, ctx.args[1]));
    return kExitOk;
}

int runRightsKeys(CommandContext& ctx) {
    requireArgumentCount(ctx.args, 0);
    for (const rights::KnownKey& k : rights::knownKeyList())
        ctx.out << k.key.toStdString() << '\t' << k.label.toStdString() << '\n';
    return kExitOk;
}

// What a reception desk may not open: the rights administration, the menus "Paramètres" and
// "Droits utilisateurs", "Gestion des badgeuses", "Maintenance", and the leave tally module.
const QStringList kReceptionClosedKeys = {QStringLiteral("DROITS"),
                                          QStringLiteral("DROITSGROUPE"),
                                          QStringLiteral("DROITSUTIL"),
                                          QStringLiteral("CADRIUSPARAMS"),
                                          QStringLiteral("CADRIUSPARAMSRUB"),
                                          QStringLiteral("CADRIUSPARAMSARR"),
                                          QStringLiteral("CADRIUSDROITS"),
                                          QStringLiteral("CADRIUSDROITSGPE"),
                                          QStringLiteral("CADRIUSDROITSUTILS"),
                                          QStringLiteral("CADRIUSDOUCHETTE"),
                                          QStringLiteral("MAINTENANCE"),
                                          QStringLiteral("TELEMAINTENANCE"),
                                          QStringLiteral("DOSAIDANTABS")};

// The demo users' rights: the administrator has every key at level 2; full rights come from the
// group GESTION (every key at 2); partial rights from the group CONSULTATION (every key at 1),
// with the user's own level 0 on kReceptionClosedKeys, level 2 on "RELEVEDNT" and the sectors
// 001 and 002; no rights: nothing.
void giveDemoRights(Database& db, const DemoUser& user) {
    const QString name = QString::fromStdString(user.name);
    rights::ensureFiles(db);
    switch (user.profile) {
        case DemoProfile::Administrator:
            rights::grantAll(db, Holder::User, name, 2);
            break;
        case DemoProfile::FullRights:
            rights::grantAll(db, Holder::Group, kFullGroup, 2);
            rights::addToGroup(db, name, kFullGroup);
            break;
        case DemoProfile::PartialRights:
            rights::grantAll(db, Holder::Group, kReadOnlyGroup, 1);
            rights::addToGroup(db, name, kReadOnlyGroup);
            for (const QString& key : kReceptionClosedKeys)
                rights::grant(db, Holder::User, name, key, 0);
            rights::grant(db, Holder::User, name, QStringLiteral("RELEVEDNT"), 2);
            rights::setSectors(db, Holder::User, name,
                               {QStringLiteral("001"), QStringLiteral("002")});
            break;
        case DemoProfile::NoRights:
            break;
    }
}

[[maybe_unused]] const bool demoRightsRegistered = setDemoRightsHook(giveDemoRights);

}  // namespace

ORV_DB_COMMAND("rights grant", "UTILISATEUR CLE|* NIVEAU",
               "donne à un utilisateur le niveau d'accès 0, 1 ou 2 sur une clé de droits "
               "(* : sur toutes les clés)",
               runRightsGrant)
ORV_DB_COMMAND("rights revoke", "UTILISATEUR CLE", "retire une clé de droits à un utilisateur",
               runRightsRevoke)
ORV_DB_COMMAND("rights list", "UTILISATEUR",
               "liste les droits d'un utilisateur, puis ses droits effectifs (groupes compris)",
               runRightsList)
ORV_DB_COMMAND("rights sectors", "UTILISATEUR [CODE...]",
               "fixe les secteurs visibles d'un utilisateur (aucun code : tous les secteurs)",
               runRightsSectors)
ORV_DB_COMMAND("rights keys", "", "liste les clés de droits connues et ce qu'elles ouvrent",
               runRightsKeys)
ORV_DB_COMMAND("rights group", "add|grant|revoke|list|sectors GROUPE [CLE NIVEAU | CLE | CODE...]",
               "crée un groupe d'utilisateurs (add), ou les mêmes actions pour un groupe",
               runRightsGroup)
ORV_DB_COMMAND("user group", "UTILISATEUR GROUPE", "ajoute un utilisateur à un groupe",
               runUserGroup)

}  // namespace orv::tools
