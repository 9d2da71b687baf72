// The writes of a server transaction, sent in batches. Inside a transaction, record writes and
// index entry changes wait in memory and go to the server a few thousand at a time, in one
// statement per file or index, before any statement that could see them and at the latest at
// commit: a load or a copy then costs a round trip per batch rather than per record. A read of
// a waiting record is answered from memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/pg_connection.h"

namespace orv::pg {

// Index entries on the server: one row per value and chunk of positions, a chunk being the
// positions p that share p >> kChunkBits. The row holds a bit string of kChunkSpan bits, bit
// p & (kChunkSpan - 1) set for each position of the chunk that has the value: a value of many
// records costs a bit per position instead of a row and a tree entry per record, a change
// touches one small row, and the server intersects conditions chunk by chunk with "&".
constexpr int kChunkBits = 10;
constexpr int64_t kChunkSpan = int64_t{1} << kChunkBits;
// SQL: the type of the bit strings, the bit string of one offset (an integer expression), of
// none.
inline std::string chunkBitsType() { return "bit(" + std::to_string(kChunkSpan) + ")"; }
inline std::string bitOfSql(const std::string& offset) {
    return "(B'1'::" + chunkBitsType() + " >> (" + offset + ")::int4)";
}
inline std::string noBitsSql() { return "B'0'::" + chunkBitsType(); }

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
    // position: the record's when the caller knows it, otherwise -1 (it is looked up by key).
    bool addEntry(const std::string& file, const std::string& field, std::string_view value,
                  std::string_view key, int64_t position, bool present);
    // The record waiting under key, or null.
    const std::string* record(const std::string& fileId, const std::string& key) const;
    bool empty() const { return count_ == 0; }
    // Sends what waits: the records first, then the index entries. Unless final, the entries
    // of an index made in this transaction that may still grow (the last chunk of each value)
    // stay: nothing reads that index before a final send.
    void send(bool final = true);
    // Forgets what waits (the transaction is rolled back).
    void discard();
    // How many records were sent since the last call (a scan then knows when the server's
    // statistics of the records may be far behind).
    size_t takeRecordsSent() { return std::exchange(recordsSent_, 0); }
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
    struct EntryChange {
        int64_t position = -1;  // -1: looked up by key
        bool present = true;    // whether the entry must exist
    };
    using PendingEntries =
        std::map<std::pair<std::string, std::string>, EntryChange>;                  // value, key
    using IndexName = std::pair<std::string, std::string>;                           // file, field
    using Chunks = std::map<std::pair<std::string, int64_t>, std::vector<int16_t>>;  // value, chunk
    // The entries of known position added to an index made in this transaction, sent by COPY
    // as whole chunk rows; lastChunk: the chunk of the last position added.
    struct FreshEntries {
        Chunks chunks;
        int64_t lastChunk = -1;
    };
    struct IndexIds {
        std::string idx, file;
    };

    void sendRecords(const std::string& id, const PendingRecords& p);
    bool copyRecords(const std::string& id, const PendingRecords& p);
    IndexIds idsOf(const IndexName& index);
    void sendEntries(const IndexIds& ids, const PendingEntries& changes);
    void sendFresh(const IndexName& index, const IndexIds& ids, bool all);
    bool copyChunks(const IndexIds& ids, const Chunks& chunks);
    std::string unlessStored(const std::function<void()>& add);

    Connection& conn_;
    const Tables& tables_;
    std::map<std::string, PendingRecords> records_;  // by file id
    std::map<IndexName, PendingEntries> entries_;
    std::map<IndexName, FreshEntries> fresh_;
    size_t count_ = 0;
    size_t recordsSent_ = 0;
    // The files of the current transaction whose records a COPY met; whether the server
    // refuses this connection COPY into the records.
    std::set<std::string> overwrittenFiles_;
    bool copyRefused_ = false;
    // The indexes made in the current transaction whose entries met none stored: entries of
    // known position added to them go to fresh_.
    std::set<IndexName> freshIndexes_;
};

}  // namespace orv::pg
