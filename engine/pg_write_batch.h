// The writes of a server transaction, sent in batches. Inside a transaction, record writes and
// index entry changes wait in memory and go to the server a few thousand at a time, in one
// statement per file or index, before any statement that could see them and at the latest at
// commit: a load or a copy then costs a round trip per batch rather than per record. A read of
// a waiting record is answered from memory.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/pg_connection.h"

namespace orv::pg {

// The store's tables, each named with its quoted schema.
struct Tables {
    std::string files, records, locks, indexes, entries;
};

class WriteBatch {
  public:
    static constexpr size_t kBatchSize = 4096;

    WriteBatch(Connection& conn, const Tables& tables) : conn_(conn), tables_(tables) {}

    // A new transaction: what the former one learnt about its files and indexes is forgotten.
    void startTransaction();
    // Keeps a record write (file by id) or an entry change (index by file and field name);
    // true when the batch is full and should be sent.
    bool addRecord(const std::string& fileId, const std::string& key, const std::string& record);
    bool addEntry(const std::string& file, const std::string& field, std::string_view value,
                  std::string_view key, bool present);
    // The record waiting under key, or null.
    const std::string* record(const std::string& fileId, const std::string& key) const;
    bool empty() const { return count_ == 0; }
    // Sends what waits: the records first, then the index entries.
    void send();
    // Forgets what waits (the transaction is rolled back).
    void discard();
    // An index made in the current transaction: its entries go without the conflict test of
    // each until one is met.
    void indexCreated(const std::string& file, const std::string& field) {
        freshIndexes_.insert({file, field});
    }

  private:
    struct PendingRecords {
        std::vector<std::string> keys, records;  // in the order first written: file order
        std::map<std::string, size_t> position;
    };
    // (value, key) -> whether the entry must exist
    using PendingEntries = std::map<std::pair<std::string, std::string>, bool>;
    using IndexName = std::pair<std::string, std::string>;  // file, field

    void sendRecords(const std::string& id, const PendingRecords& p);
    bool copyRecords(const std::string& id, const PendingRecords& p);
    void sendEntries(const IndexName& index, const PendingEntries& changes);
    std::string unlessStored(const std::function<void()>& add);

    Connection& conn_;
    const Tables& tables_;
    std::map<std::string, PendingRecords> records_;  // by file id
    std::map<IndexName, PendingEntries> entries_;
    size_t count_ = 0;
    // The files of the current transaction whose records a COPY met; whether the server
    // refuses this connection COPY into the records.
    std::set<std::string> overwrittenFiles_;
    bool copyRefused_ = false;
    // The indexes made in the current transaction whose entries met none stored.
    std::set<IndexName> freshIndexes_;
};

}  // namespace orv::pg
