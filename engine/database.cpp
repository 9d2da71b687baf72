#include "engine/database.h"

#include <sodium.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "engine/index_value.h"
#include "engine/pg_storage.h"
#include "engine/query.h"
#include "engine/query_field.h"
#include "engine/storage_common.h"

namespace orv {

namespace {

std::string dictFileName(const std::string& file) { return "DICT " + file; }

bool isDictFile(const std::string& file) { return file.rfind("DICT ", 0) == 0; }

int64_t processStartTime() {
    std::ifstream stat("/proc/self/stat");
    std::string content((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    auto close = content.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream rest(content.substr(close + 2));
    std::string field;
    for (int i = 3; i <= 22 && rest >> field; ++i)
        if (i == 22) return std::stoll(field);
    return 0;
}

std::string newSessionId() {
    static std::atomic<uint64_t> counter{0};
    std::random_device rd;
    std::ostringstream id;
    id << std::hex << rd() << rd() << '-' << getpid() << '-' << ++counter;
    return id.str();
}

DbError lockedError(const std::string& file, const std::string& key) {
    return DbError(DbErrorCode::RecordLocked,
                   "L'enregistrement " + key + " du fichier " + file +
                       " est en cours de modification par un autre utilisateur.");
}

std::string localHost() {
    char buf[256] = {};
    gethostname(buf, sizeof buf - 1);
    return buf;
}

// Attribute numbers of a query request ("0 12"), separated by blanks.
std::vector<int> parseFieldList(std::string_view list) {
    std::vector<int> fields;
    size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && list[i] == ' ') ++i;
        size_t j = i;
        while (j < list.size() && list[j] != ' ') ++j;
        if (j > i) {
            int n = 0;
            auto [p, ec] = std::from_chars(list.data() + i, list.data() + j, n);
            if (ec != std::errc() || p != list.data() + j || n < 0)
                throw DbError(DbErrorCode::InvalidArgument,
                              "Numéro d'attribut invalide dans la requête : " +
                                  std::string(list.substr(i, j - i)));
            fields.push_back(n);
        }
        i = j;
    }
    if (fields.empty()) fields.push_back(0);
    return fields;
}

// One requested attribute as one value of the result: its own value marks become subvalue
// marks so that the result keeps one value per requested attribute.
std::string asSingleValue(std::string_view attribute) {
    std::string v(attribute);
    for (char& c : v)
        if (c == kValueMark) c = kSubvalueMark;
    return v;
}

// Runs work in one storage transaction (joining an open one), rolled back when it throws.
template <class Work>
auto inTransaction(Storage& storage, Work work) {
    storage.begin();
    try {
        auto result = work();
        storage.commit();
        return result;
    } catch (...) {
        storage.rollback();
        throw;
    }
}

// Whether two versions of a dictionary item give the same index: same type, attribute and
// conversion.
bool sameIndexedDefinition(const DynArray& a, const DynArray& b) {
    for (int attribute = 1; attribute <= 3; ++attribute)
        if (a.extract(attribute) != b.extract(attribute)) return false;
    return true;
}

// Why an item cannot be indexed, or empty when it can.
std::string unindexableReason(const DictItem& item) {
    if (item.conversion.find(';') != std::string::npos)
        return "il est traduit par un autre fichier (conversion « " + item.conversion +
               " »), ses valeurs changent avec ce fichier";
    return {};
}

bool isPlainName(const std::string& field) {
    return field != "@ID" && field != "@id" &&
           field.find_first_not_of("0123456789") != std::string::npos;
}

// The encoded index values of a record in a field, sorted and without repeats, with the mark of
// a field holding several different values.
std::vector<std::string> indexValues(const query::Field& field, std::string_view key,
                                     std::string_view record) {
    std::vector<std::string> values;
    std::optional<std::string> first;
    bool several = false;
    field.anyValue(key, record, [&](std::string_view v) {
        if (!first)
            first = std::string(v);
        else
            several |= *first != v;
        values.push_back(encodeIndexValue(v));
        return false;
    });
    if (several) values.emplace_back(kSeveralValues);
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Dictionaries

void Dictionary::add(DictItem item) {
    std::string name = item.name;
    items_[name] = std::move(item);
}

const DictItem* Dictionary::find(const std::string& name) const {
    auto it = items_.find(name);
    return it == items_.end() ? nullptr : &it->second;
}

DictItem parseDictItem(const std::string& name, const DynArray& record) {
    DictItem item;
    item.name = name;
    item.type = record.extractString(1);
    const std::string attr = record.extractString(2);
    int n = 0;
    auto [p, ec] = std::from_chars(attr.data(), attr.data() + attr.size(), n);
    if (ec != std::errc() || p != attr.data() + attr.size())
        throw DbError(
            DbErrorCode::InvalidArgument,
            "Élément de dictionnaire " + name + " : numéro d'attribut invalide « " + attr + " »");
    item.attribute = n;
    item.conversion = record.extractString(3);
    const int conversions = DynArray::dcount(item.conversion, kValueMark);
    if (conversions > kMaxDictConversions)
        throw DbError(DbErrorCode::InvalidArgument,
                      "Élément de dictionnaire " + name + " : " + std::to_string(conversions) +
                          " conversions, au plus " + std::to_string(kMaxDictConversions) +
                          " sont admises");
    item.heading = record.extractString(4);
    item.format = record.extractString(5);
    item.rightJustified =
        !item.format.empty() && (item.format.back() == 'R' || item.format.back() == 'r');
    item.multiValued = record.extractString(6) == "M";
    return item;
}

// ---------------------------------------------------------------------------------------------
// Database

std::shared_ptr<Database> Database::openEmbedded(const std::string& path,
                                                 const StorageOptions& options) {
    return std::make_shared<Database>(openSqliteStorage(path, options));
}

std::shared_ptr<Database> Database::openAccount(const std::string& server,
                                                const std::string& accountPath,
                                                const std::string& user,
                                                const std::string& password,
                                                const StorageOptions& options) {
    if (!isPgAccountPath(accountPath)) return openEmbedded(accountPath, options);
    PgTarget target = pgTargetOf(server, accountPath);
    target.user = user;
    target.password = password;
    return std::make_shared<Database>(openPostgresStorage(target, options));
}

Database::Database(std::unique_ptr<Storage> storage) : storage_(std::move(storage)) {
    if (sodium_init() < 0) throw DbError(DbErrorCode::Storage, "libsodium indisponible");
    convertFormerIndexes();
}

bool Database::hasFile(const std::string& file) { return storage_->hasFile(file); }

void Database::requireFile(const std::string& file) {
    if (!storage_->hasFile(file))
        throw DbError(DbErrorCode::FileNotFound, "Fichier inconnu : " + file);
}

void Database::createFile(const std::string& file) {
    inTransaction(*storage_, [&] {
        if (!storage_->hasFile(file)) storage_->createFile(file);
        if (!isDictFile(file) && !storage_->hasFile(dictFileName(file)))
            storage_->createFile(dictFileName(file));
        return true;
    });
}

std::optional<DynArray> Database::read(const std::string& file, const std::string& key) {
    auto text = storage_->read(file, key);
    if (!text) return std::nullopt;
    return DynArray(std::move(*text));
}

void Database::readEach(
    const std::string& file, const std::vector<std::string>& keys,
    const std::function<void(size_t index, std::optional<DynArray> record)>& visit) {
    storage_->readEach(file, keys, [&](size_t i, std::optional<std::string_view> text) {
        visit(i, text ? std::optional<DynArray>(DynArray(std::string(*text))) : std::nullopt);
    });
}

template <class Change>
auto Database::changeRecord(const std::string& file, const std::string& key,
                            const std::string& session, Change change) {
    try {
        auto result = inTransaction(*storage_, [&] {
            if (storage_->otherHolder(file, key, session)) throw lockedError(file, key);
            return change();
        });
        forgetDictionary(file);
        return result;
    } catch (...) {
        forgetDictionary(file);  // it may have been read back before the rollback
        throw;
    }
}

void Database::forgetDictionary(const std::string& file) {
    if (!isDictFile(file)) return;
    std::lock_guard g(dictMutex_);
    dictCache_.erase(file.substr(5));
}

void Database::write(const std::string& file, const std::string& key, const DynArray& record,
                     const std::string& session) {
    if (!isValidKey(key))
        throw DbError(DbErrorCode::InvalidArgument,
                      "Clé refusée dans le fichier " + file +
                          " : elle contient un séparateur d'attributs, de valeurs ou de "
                          "sous-valeurs");
    // An item that every selection on the file would refuse is refused now.
    if (isDictFile(file) && record.extract(1) == "D") parseDictItem(key, record);
    changeRecord(file, key, session, [&] {
        const std::vector<std::string> fields = indexedFields(file);
        std::optional<std::string> before;
        if (!fields.empty() || isDictFile(file)) before = storage_->read(file, key);
        storage_->write(file, key, record.text());
        if (!fields.empty()) updateIndexes(file, fields, key, before, record.text());
        // An item written again as it was (a load of a dump) leaves its index alone.
        if (isDictFile(file) && !(before && sameIndexedDefinition(DynArray(*before), record)))
            followIndexedItem(file, key);
        return true;
    });
}

bool Database::remove(const std::string& file, const std::string& key, const std::string& session) {
    return changeRecord(file, key, session, [&] {
        const std::vector<std::string> fields = indexedFields(file);
        // Entries name the record: they go while it is still there.
        if (!fields.empty())
            if (std::optional<std::string> before = storage_->read(file, key))
                updateIndexes(file, fields, key, before, std::nullopt);
        const bool removed = storage_->remove(file, key);
        if (isDictFile(file) && removed) followIndexedItem(file, key);
        return removed;
    });
}

// ---------------------------------------------------------------------------------------------
// Indexes

std::vector<std::string> Database::indexes(const std::string& file) {
    return storage_->indexes(file);
}

std::vector<std::string> Database::indexedFields(const std::string& file) {
    return isDictFile(file) ? std::vector<std::string>{} : storage_->indexes(file);
}

int64_t Database::createIndex(const std::string& file, const std::string& field) {
    requireFile(file);
    const DictItem* item = isPlainName(field) ? dictionary(file)->find(field) : nullptr;
    if (!item)
        throw DbError(DbErrorCode::UnknownField,
                      "Champ « " + field + " » inconnu dans le dictionnaire du fichier " + file);
    if (const std::string why = unindexableReason(*item); !why.empty())
        throw DbError(DbErrorCode::InvalidArgument, "Le champ " + field + " du fichier " + file +
                                                        " ne peut pas être indexé : " + why);
    return inTransaction(*storage_, [&] {
        storage_->createIndex(file, field);
        return fillIndex(file, field);
    });
}

void Database::dropIndex(const std::string& file, const std::string& field) {
    requireFile(file);
    if (!storage_->dropIndex(file, field)) throwMissingIndex(file, field);
}

int64_t Database::rebuildIndex(const std::string& file, const std::string& field) {
    requireFile(file);
    std::vector<std::string> fields = storage_->indexes(file);
    if (!field.empty()) {
        if (std::find(fields.begin(), fields.end(), field) == fields.end())
            throwMissingIndex(file, field);
        fields = {field};
    }
    return inTransaction(*storage_, [&] {
        int64_t entries = 0;
        for (const std::string& f : fields) {
            storage_->dropIndex(file, f);
            storage_->createIndex(file, f);
            entries += fillIndex(file, f);
        }
        return entries;
    });
}

void Database::convertFormerIndexes() {
    const IndexRange former = formerTextRange();
    for (const std::string& file : storage_->fileNames()) {
        if (isDictFile(file)) continue;
        for (const std::string& field : storage_->indexes(file)) {
            bool found = false;
            storage_->scanIndex(file, field, former.from, former.to,
                                [&](std::string_view, std::span<const int64_t>) {
                                    found = true;
                                    return false;
                                });
            if (!found) continue;
            try {
                rebuildIndex(file, field);
            } catch (const DbError& e) {
                throw DbError(e.code(), "L'index " + field + " du fichier " + file +
                                            " doit être refait dans l'ordre alphabétique "
                                            "français ; ouvrez la base une fois avec un compte "
                                            "qui administre ses index (" +
                                            e.what() + ")");
            }
        }
    }
}

int64_t Database::fillIndex(const std::string& file, const std::string& field) {
    const query::Field f = query::Field::resolve(*this, file, field, 0);
    int64_t entries = 0;
    storage_->scan(file, [&](std::string_view key, std::string_view record) {
        for (const std::string& value : indexValues(f, key, record)) {
            storage_->insertIndexEntry(file, field, value, key);
            ++entries;
        }
        return true;
    });
    return entries;
}

void Database::updateIndexes(const std::string& file, const std::vector<std::string>& fields,
                             const std::string& key, const std::optional<std::string>& before,
                             const std::optional<std::string>& after) {
    for (const std::string& field : fields) {
        const query::Field f = query::Field::resolve(*this, file, field, 0);
        const std::vector<std::string> old =
            before ? indexValues(f, key, *before) : std::vector<std::string>{};
        const std::vector<std::string> now =
            after ? indexValues(f, key, *after) : std::vector<std::string>{};
        std::vector<std::string> gone, added;
        std::set_difference(old.begin(), old.end(), now.begin(), now.end(),
                            std::back_inserter(gone));
        std::set_difference(now.begin(), now.end(), old.begin(), old.end(),
                            std::back_inserter(added));
        for (const std::string& v : gone) storage_->eraseIndexEntry(file, field, v, key);
        for (const std::string& v : added) storage_->insertIndexEntry(file, field, v, key);
    }
}

void Database::followIndexedItem(const std::string& dictFile, const std::string& item) {
    const std::string file = dictFile.substr(5);
    if (!storage_->hasFile(file)) return;
    const std::vector<std::string> fields = storage_->indexes(file);
    if (std::find(fields.begin(), fields.end(), item) == fields.end()) return;
    forgetDictionary(dictFile);
    storage_->dropIndex(file, item);
    // An item deleted, or changed into one that cannot be indexed, loses its index.
    const DictItem* changed = dictionary(file)->find(item);
    if (!changed || !unindexableReason(*changed).empty()) return;
    storage_->createIndex(file, item);
    fillIndex(file, item);
}

std::shared_ptr<const Dictionary> Database::dictionary(const std::string& file) {
    {
        std::lock_guard g(dictMutex_);
        auto it = dictCache_.find(file);
        if (it != dictCache_.end()) return it->second;
    }
    auto dict = std::make_shared<Dictionary>();
    const std::string dname = dictFileName(file);
    if (storage_->hasFile(dname)) {
        storage_->scan(dname, [&](std::string_view key, std::string_view rec) {
            DynArray r{std::string(rec)};
            if (r.extract(1) == "D") dict->add(parseDictItem(std::string(key), r));
            return true;
        });
    }
    std::lock_guard g(dictMutex_);
    dictCache_[file] = dict;
    return dict;
}

std::vector<std::string> Database::select(const std::string& statement) {
    return runSelection(*this, statement);
}

DynArray Database::query(const DynArray& request) {
    const std::string statement = request.extractString(1);
    const std::string file = request.extractString(2);
    const std::vector<int> fields = parseFieldList(request.extract(3));
    std::vector<std::string> keys = select(statement);
    std::string out;
    bool needRecord = false;
    for (int f : fields) needRecord |= f != 0;
    auto line = [&](size_t i, const std::optional<DynArray>& rec) {
        if (i) out += kAttributeMark;
        for (size_t j = 0; j < fields.size(); ++j) {
            if (j) out += kValueMark;
            if (fields[j] == 0)
                out += keys[i];
            else if (rec)
                out += asSingleValue(rec->extract(fields[j]));
        }
    };
    if (needRecord && !file.empty())
        readEach(file, keys, [&](size_t i, std::optional<DynArray> rec) { line(i, rec); });
    else
        for (size_t i = 0; i < keys.size(); ++i) line(i, std::nullopt);
    return DynArray(std::move(out));
}

void Database::registerRoutine(const std::string& name, Routine routine) {
    routines_[name] = std::move(routine);
}

const Routine* Database::findRoutine(const std::string& name) const {
    auto it = routines_.find(name);
    return it == routines_.end() ? nullptr : &it->second;
}

// ---------------------------------------------------------------------------------------------
// Users

void Database::setUserPassword(const std::string& user, const std::string& password,
                               UserChange change) {
    if (user.empty()) throw DbError(DbErrorCode::InvalidArgument, "Nom d'utilisateur vide");
    if (StoreUsers* users = storage_->storeUsers())
        return users->setPassword(user, password, change);
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.data(), password.size(),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw DbError(DbErrorCode::Storage, "Mémoire insuffisante pour le hachage du mot de passe");
    if (!storage_->hasFile(kUsersFile)) createFile(kUsersFile);
    DynArray rec;
    rec.replace(1, hash);
    // The check and the write in one transaction: of two additions of one user at once, the
    // second finds the first's.
    inTransaction(*storage_, [&] {
        const bool exists = storage_->read(kUsersFile, user).has_value();
        if (exists && change == UserChange::Create)
            throw DbError(DbErrorCode::UserExists, "L'utilisateur " + user + " existe déjà");
        if (!exists && change == UserChange::Change)
            throw DbError(DbErrorCode::InvalidArgument, "L'utilisateur " + user + " n'existe pas");
        write(kUsersFile, user, rec);
        return true;
    });
}

void Database::setAdministrator(const std::string& user, bool administrator) {
    if (StoreUsers* users = storage_->storeUsers()) users->setAdministrator(user, administrator);
}

bool Database::removeUser(const std::string& user) {
    if (StoreUsers* users = storage_->storeUsers()) return users->remove(user);
    return storage_->hasFile(kUsersFile) && remove(kUsersFile, user);
}

bool Database::checkPassword(const std::string& user, const std::string& password) {
    if (StoreUsers* users = storage_->storeUsers()) return users->check(user, password);
    if (!storage_->hasFile(kUsersFile)) return false;
    auto rec = read(kUsersFile, user);
    if (!rec) return false;
    const std::string hash = rec->extractString(1);
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

std::vector<std::string> Database::userNames() {
    if (StoreUsers* users = storage_->storeUsers()) return users->names();
    std::vector<std::string> names;
    if (!storage_->hasFile(kUsersFile)) return names;
    storage_->scanPrefix(kUsersFile, "", [&](std::string_view key, std::string_view) {
        names.emplace_back(key);
        return true;
    });
    return names;
}

// ---------------------------------------------------------------------------------------------
// Session

Session::Session(std::shared_ptr<Database> db, std::string user)
    : db_(std::move(db)), user_(std::move(user)) {
    owner_.session = newSessionId();
    owner_.pid = getpid();
    owner_.host = localHost();
    owner_.processStart = processStartTime();
}

Session::~Session() {
    try {
        releaseAll();
    } catch (...) {
        // The database may already be unreachable; its locks then die with this process.
    }
}

std::optional<DynArray> Session::readForUpdate(const std::string& file, const std::string& key) {
    db_->requireFile(file);
    if (auto holder = db_->storage().tryLock(file, key, owner_)) throw lockedError(file, key);
    return db_->read(file, key);
}

void Session::write(const std::string& file, const std::string& key, const DynArray& record) {
    db_->write(file, key, record, owner_.session);
    db_->storage().unlock(file, key, owner_.session);
}

void Session::release(const std::string& file, const std::string& key) {
    db_->storage().unlock(file, key, owner_.session);
}

void Session::releaseAll() { db_->storage().unlockAll(owner_.session); }

void Session::call(const std::string& routine, std::vector<std::string>& args) {
    const Routine* r = db_->findRoutine(routine);
    if (!r) throw DbError(DbErrorCode::UnknownRoutine, "Routine inconnue : " + routine);
    (*r)(*this, args);
}

}  // namespace orv
