// The multivalue database engine: files of records, dictionaries, selections, update locks,
// server routines and users, over one storage back end.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/dynarray.h"
#include "engine/errors.h"
#include "engine/storage.h"

namespace orv {

class Session;

// One item of a dictionary file "DICT <FILE>" in the classic layout: 1 type (D),
// 2 attribute number (0 = key), 3 conversion, 4 heading, 5 format (10L, 5R), 6 S or M.
// More conversions than any real item chains: an item beyond it is refused when written or read.
inline constexpr int kMaxDictConversions = 100;

struct DictItem {
    std::string name;
    std::string type = "D";
    int attribute = 0;
    std::string conversion;  // "", "Tstart,len" or "Tfile;X;;n"
    std::string heading;
    std::string format;
    bool rightJustified = false;
    bool multiValued = false;
};

class Dictionary {
  public:
    void add(DictItem item);
    const DictItem* find(const std::string& name) const;
    bool empty() const { return items_.empty(); }

  private:
    std::map<std::string, DictItem> items_;
};

DictItem parseDictItem(const std::string& name, const DynArray& record);

// A server routine: receives the session it runs for and its arguments, which it may change
// (output arguments). It throws DbError on failure.
using Routine = std::function<void(Session&, std::vector<std::string>& args)>;

class Database : public std::enable_shared_from_this<Database> {
  public:
    // Opens an embedded database file (created when missing unless the options say otherwise).
    static std::shared_ptr<Database> openEmbedded(const std::string& path,
                                                  const StorageOptions& options = {});
    // Opens the database an account path names: "pg:NAME" is the PostgreSQL database NAME on
    // `server` ("HOST" or "HOST:PORT"), reached as `user` with `password`; any other path is
    // an embedded database file (server, user and password are not used to open it).
    static std::shared_ptr<Database> openAccount(const std::string& server,
                                                 const std::string& accountPath,
                                                 const std::string& user,
                                                 const std::string& password,
                                                 const StorageOptions& options = {});
    explicit Database(std::unique_ptr<Storage> storage);

    Storage& storage() { return *storage_; }

    // Files
    bool hasFile(const std::string& file);
    void requireFile(const std::string& file);  // throws FileNotFound naming the file
    void createFile(const std::string& file);   // also creates its empty dictionary
    std::optional<DynArray> read(const std::string& file, const std::string& key);
    // The records of many keys read together, visited in the order of keys (nullopt for a key
    // without a record): far fewer round trips to a server than one read a key.
    void readEach(const std::string& file, const std::vector<std::string>& keys,
                  const std::function<void(size_t index, std::optional<DynArray> record)>& visit);
    // Writes or removes a record on behalf of a session (empty: a caller that holds no lock).
    // Throws RecordLocked when another live session holds the record's update lock,
    // InvalidArgument for a key holding a mark or an unusable dictionary item.
    void write(const std::string& file, const std::string& key, const DynArray& record,
               const std::string& session = {});
    bool remove(const std::string& file, const std::string& key, const std::string& session = {});

    // Dictionary of a file (the items of "DICT <file>"), cached until a dictionary is written.
    std::shared_ptr<const Dictionary> dictionary(const std::string& file);

    // Secondary indexes, named after the dictionary item they index. An index holds every value
    // of the item in every record (converted, each value of a multivalued field) and is kept in
    // the same transaction as each write and delete. Items translated through another file
    // cannot be indexed (their values change with that file).
    std::vector<std::string> indexes(const std::string& file);
    // Declares the index and fills it from the records. Throws FileNotFound, UnknownField (no
    // such item), InvalidArgument (a translated item) or FileExists (indexed already).
    // Returns the number of entries.
    int64_t createIndex(const std::string& file, const std::string& field);
    // Throws FileNotFound when the file has no such index.
    void dropIndex(const std::string& file, const std::string& field);
    // Empties and refills an index (every index of the file when field is empty); returns the
    // number of entries of the rebuilt indexes.
    int64_t rebuildIndex(const std::string& file, const std::string& field = {});

    // Selection: the keys selected by a statement, in selection order.
    std::vector<std::string> select(const std::string& statement);
    // Query request: 1 statement, 2 file name, 3 attribute numbers separated by spaces.
    // Result: one attribute per selected record, one value per requested attribute.
    DynArray query(const DynArray& request);

    // Server routines and commands, registered by name (the routines/ layer registers the
    // suite's own when a program opens a database).
    void registerRoutine(const std::string& name, Routine routine);
    const Routine* findRoutine(const std::string& name) const;

    // Users: passwords are stored as Argon2id hashes, or are the login roles of a server store
    // (which then checks a password by connecting with it).
    void setUserPassword(const std::string& user, const std::string& password,
                         UserChange change = UserChange::CreateOrChange);
    // Makes the user an administrator of the database or not (a server store's roles; an
    // embedded database leaves administration to the rights alone).
    void setAdministrator(const std::string& user, bool administrator);
    bool removeUser(const std::string& user);
    bool checkPassword(const std::string& user, const std::string& password);
    std::vector<std::string> userNames();

    static constexpr const char* kUsersFile = "ORV.UTILISATEURS";

  private:
    // Runs a change of one record inside a transaction, after checking its lock.
    template <class Change>
    auto changeRecord(const std::string& file, const std::string& key, const std::string& session,
                      Change change);
    void forgetDictionary(const std::string& file);
    // The entries of a record in the given indexes of its file, changed from `before` to
    // `after` (nullopt: no record).
    void updateIndexes(const std::string& file, const std::vector<std::string>& fields,
                       const std::string& key, const std::optional<std::string>& before,
                       const std::optional<std::string>& after);
    // The indexes whose entries a write of the file changes (dictionaries have none).
    std::vector<std::string> indexedFields(const std::string& file);
    // Indexes written before texts were kept in French order (their text entries are the
    // bytes) are filled again, once, when the database is opened.
    void convertFormerIndexes();
    // Fills an empty index from the records of its file; returns the number of entries.
    int64_t fillIndex(const std::string& file, const std::string& field);
    // An indexed item was written or deleted: its index follows it.
    void followIndexedItem(const std::string& dictFile, const std::string& item);

    std::unique_ptr<Storage> storage_;
    std::mutex dictMutex_;
    std::map<std::string, std::shared_ptr<const Dictionary>> dictCache_;
    std::map<std::string, Routine> routines_;
};

// A user's connection to a database: owns the update locks it takes, and releases them when
// it ends.
class Session {
  public:
    Session(std::shared_ptr<Database> db, std::string user);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Database& database() { return *db_; }
    const std::string& user() const { return user_; }
    const std::string& id() const { return owner_.session; }

    // Reads a record and takes its update lock. The record may not exist yet (nullopt): the
    // lock is still taken, so that the caller may create it. Throws RecordLocked when another
    // session holds the lock.
    std::optional<DynArray> readForUpdate(const std::string& file, const std::string& key);
    // Writes a record and releases its update lock.
    void write(const std::string& file, const std::string& key, const DynArray& record);
    void release(const std::string& file, const std::string& key);
    void releaseAll();

    // Calls a registered routine; throws UnknownRoutine naming it.
    void call(const std::string& routine, std::vector<std::string>& args);

  private:
    std::shared_ptr<Database> db_;
    std::string user_;
    LockOwner owner_;
};

}  // namespace orv
