// Storage back end of the engine: named files of records addressed by key. The engine sees
// only this interface, so that an embedded store and a server store can stand behind it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// Who holds an update lock: the session, and the process it lives in, so that a lock left by
// a process that died can be recognised and taken over.
struct LockOwner {
    std::string session;
    int64_t pid = 0;
    std::string host;
    int64_t processStart = 0;  // start time of the process, guards against reused pids
};

// What a change of password may do: create a new user only (UserExists when there is one
// already), change an existing one's only (InvalidArgument when there is none), or either.
enum class UserChange { Create, Change, CreateOrChange };

// Users that a store authenticates itself (a database server's login roles), in place of the
// engine's users file.
class StoreUsers {
  public:
    virtual ~StoreUsers() = default;
    virtual void setPassword(const std::string& user, const std::string& password,
                             UserChange change) = 0;
    virtual bool remove(const std::string& user) = 0;
    // Whether the user administers the database (its users, rights, files and indexes).
    virtual void setAdministrator(const std::string& user, bool administrator) = 0;
    virtual bool check(const std::string& user, const std::string& password) = 0;
    // In key (byte) order.
    virtual std::vector<std::string> names() = 0;
};

class Storage {
  public:
    virtual ~Storage() = default;

    // The store's own users, when it authenticates them itself; null: the engine keeps them.
    virtual StoreUsers* storeUsers() { return nullptr; }

    // Makes a file one that only the database's administrators change (users still read it):
    // the rights. A server store enforces it for every client; an embedded file has no users
    // of its own to enforce it against. Dictionaries are always guarded, the engine's own
    // files (ORV.*) hidden from users altogether.
    virtual void guardFile(const std::string& /*file*/) {}

    virtual std::vector<std::string> fileNames() = 0;
    virtual bool hasFile(const std::string& file) = 0;
    virtual void createFile(const std::string& file) = 0;
    virtual void dropFile(const std::string& file) = 0;

    virtual std::optional<std::string> read(const std::string& file, const std::string& key) = 0;
    // Reads the records stored under keys and visits them in the order of keys, with the
    // index of each key (a key without a record is visited with nullopt). By default one read
    // a key; a store reads them together (one read transaction, a few statements to a server).
    // The visitor must not write.
    using KeyedRecordVisitor =
        std::function<void(size_t index, std::optional<std::string_view> record)>;
    virtual void readEach(const std::string& file, const std::vector<std::string>& keys,
                          const KeyedRecordVisitor& visit);
    virtual void write(const std::string& file, const std::string& key,
                       const std::string& record) = 0;
    virtual bool remove(const std::string& file, const std::string& key) = 0;
    virtual void clear(const std::string& file) = 0;
    virtual int64_t count(const std::string& file) = 0;

    // Visits the records of a file in file order (the order they were first written). The
    // visitor returns false to stop.
    using Visitor = std::function<bool(std::string_view key, std::string_view record)>;
    virtual void scan(const std::string& file, const Visitor& visit) = 0;
    // Visits, in key order, the records whose key begins with prefix.
    virtual void scanPrefix(const std::string& file, const std::string& prefix,
                            const Visitor& visit) = 0;

    // Visits, in key order, the keys that begin with prefix, without reading their records
    // (by default through scanPrefix).
    using KeyVisitor = std::function<bool(std::string_view key)>;
    virtual void scanKeys(const std::string& file, const std::string& prefix,
                          const KeyVisitor& visit);

    // One row of scanRecords: the record is at hand, the key is read only when asked for, so
    // that a scan that rejects most records does not read their keys.
    class Row {
      public:
        virtual std::string_view record() = 0;
        virtual std::string_view key() = 0;

      protected:
        ~Row() = default;
    };
    using RowVisitor = std::function<bool(Row& row)>;
    // A test on a record alone. A storage may run it inside its own scan, so that the records
    // it rejects never reach the visitor (SQLite then steps over them without returning).
    using RecordFilter = std::function<bool(std::string_view record)>;
    // Texts a record must hold, joined by AND and OR: a test a server can run on its side, so
    // that it does not send the records that cannot pass. It is never stricter than the
    // filter it comes with; an empty tree (All) holds for every record.
    struct Required {
        enum class Kind { All, Contains, And, Or };
        Kind kind = Kind::All;
        std::string text;  // Contains: the bytes the record holds somewhere
        std::vector<Required> children;
    };
    // The test of a scan: keep decides; a store may apply required first.
    struct ScanFilter {
        ScanFilter() = default;
        ScanFilter(RecordFilter k) : keep(std::move(k)) {}  // NOLINT: a plain filter converts
        ScanFilter(RecordFilter k, Required r) : keep(std::move(k)), required(std::move(r)) {}
        RecordFilter keep;
        Required required;
    };
    // Visits the records of a file that pass filter.keep (every record when it is empty): all
    // of them in file order (as scan) when there is no prefix, otherwise those whose key begins
    // with it in key order (as scanPrefix). The visitor returns false to stop; an exception
    // thrown by keep comes out of scanRecords.
    virtual void scanRecords(const std::string& file, const std::optional<std::string>& prefix,
                             const ScanFilter& filter, const RowVisitor& visit);

    // Secondary indexes. An index belongs to a file and is named after the dictionary item it
    // indexes; the storage keeps its definition and its entries in the same database as the
    // records, and writes them inside the caller's transaction. An entry is a pair (value,
    // record): value is an encoded value given by the engine, compared byte by byte (unsigned);
    // the record is the one stored under a key, which the storage refers to by its position.
    // The engine decides which entries a record has; the storage only keeps them. Dropping or
    // clearing a file drops or empties its indexes.
    //
    // A position is a number the storage gives each record when it is first written: positions
    // increase in file order (the order of scan) and stay the same while the record exists,
    // overwrites included.
    //
    // The indexed fields of a file, in byte order of their names (none for an unknown file).
    virtual std::vector<std::string> indexes(const std::string& file) = 0;
    // Declares an empty index. Throws FileNotFound for an unknown file, FileExists when the
    // index exists already.
    virtual void createIndex(const std::string& file, const std::string& field) = 0;
    // Drops an index and its entries; false when there was none.
    virtual bool dropIndex(const std::string& file, const std::string& field) = 0;
    // Adds the entry (value, record stored under key), nothing when it is there already, or
    // removes it, nothing when it is not there. The record must be stored when either is
    // called (the engine adds entries after writing a record and removes them before deleting
    // it). Throws FileNotFound when the index does not exist.
    virtual void insertIndexEntry(const std::string& file, const std::string& field,
                                  std::string_view value, std::string_view key) = 0;
    virtual void eraseIndexEntry(const std::string& file, const std::string& field,
                                 std::string_view value, std::string_view key) = 0;
    // Visits the entries whose value v is in [from, to) (no upper bound when to is empty), in
    // order of value (byte by byte), then position: a run of positions of one value at a time
    // (the positions of a value may come in several runs). The visitor returns false to stop.
    using EntryVisitor =
        std::function<bool(std::string_view value, std::span<const int64_t> positions)>;
    virtual void scanIndex(const std::string& file, const std::string& field, std::string_view from,
                           std::string_view to, const EntryVisitor& visit) = 0;
    // About how many index entries cost as much to read as one record: the planner reads a
    // further index to narrow an intersection only while it holds at most this many entries
    // per record already selected.
    virtual size_t entriesWorthOneRecord() const { return 4; }
    // Visits the records at the given positions that still exist, in file order, whatever the
    // order of positions. The visitor returns false to stop, and must not write.
    virtual void readRecords(const std::string& file, const std::vector<int64_t>& positions,
                             const RowVisitor& visit) = 0;

    // One condition of an indexed selection: a record meets it when one of its entries in the
    // index of field lies in one of the ranges [from, to) (no upper bound when to is empty).
    struct IndexRange {
        std::string from, to;
    };
    struct IndexCondition {
        std::string field;
        std::vector<IndexRange> ranges;
    };
    // Visits, in file order, the records that meet every condition (at least one), as
    // readRecords does; false, and nothing visited, when the storage leaves the intersection
    // to the engine (scanIndex and readRecords then serve it). The first condition is likely
    // the one that selects the fewest records. The visitor must not write.
    virtual bool readIndexed(const std::string& /*file*/,
                             const std::vector<IndexCondition>& /*conditions*/,
                             const RowVisitor& /*visit*/) {
        return false;
    }

    // Called outside any transaction after a copy or a load was committed: when it wrote many
    // records, the store brings what it keeps about them (its statistics, which rows every
    // transaction sees) up to date at once, rather than when its own upkeep comes round.
    virtual void afterBulkWrite() {}

    // Groups writes; nested calls join the outer transaction.
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;

    // The live holder of a key's update lock when it is not `session` (an empty session: the
    // caller holds nothing). A lock left by a dead process is removed and not reported.
    virtual std::optional<LockOwner> otherHolder(const std::string& file, const std::string& key,
                                                 const std::string& session) = 0;
    // Update locks. tryLock succeeds when the key is free, already held by the same session, or
    // held by a dead process (the stale lock is taken over); otherwise it returns the holder.
    virtual std::optional<LockOwner> tryLock(const std::string& file, const std::string& key,
                                             const LockOwner& owner) = 0;
    virtual void unlock(const std::string& file, const std::string& key,
                        const std::string& session) = 0;
    virtual void unlockAll(const std::string& session) = 0;
};

struct StorageOptions {
    // Create the file when it is missing (readable and writable by its owner only); otherwise
    // a missing file is an error.
    bool create = true;
    // How long an operation waits for another one that holds the database before it fails
    // with DbErrorCode::Busy.
    std::chrono::milliseconds busyTimeout{30000};
};

// Opens an embedded database file.
std::unique_ptr<Storage> openSqliteStorage(const std::string& path,
                                           const StorageOptions& options = {});

// Whether a name can be a file name: not empty, no control character, no mark.
bool isValidFileName(std::string_view name);
// Whether a key can be stored: no mark (it would split the record lists of selections).
bool isValidKey(std::string_view key);

// The PRAGMA statements every embedded connection runs when it opens, in order, so that a
// comparison with plain SQLite can use the same connection settings.
const std::vector<std::string>& sqliteConnectionPragmas();

}  // namespace orv
