// The entries of the embedded store's secondary indexes. An index is one table whose rows are
// chunks: (value, first position, the further positions packed), at most kChunkPositions
// positions per row, sorted. Reading the entries of a value then costs one row per chunk
// instead of one per record, and the table is a fraction of the size of one row per entry.
//
// Within a write transaction, the last chunk of each value written to stays in memory while
// positions are added at its end (a load or an index being filled adds them in file order):
// it is written once when full, or by flush(), which the storage calls before it commits and
// before it reads an index.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/sqlite_statement.h"

namespace orv::sqlite {

class PostingLists {
  public:
    static constexpr size_t kChunkPositions = 256;

    explicit PostingLists(StatementCache& statements) : statements_(statements) {}

    // The column list of a new index table, after its name in CREATE TABLE.
    static const char* tableColumns();

    // Adds position under value (nothing when it is there), or removes it (nothing when it is
    // not there). table is the quoted name of the index table.
    void insert(const std::string& table, std::string_view value, int64_t position);
    void erase(const std::string& table, std::string_view value, int64_t position);

    // A statement over the chunks whose value v is in [from, to) (to empty: no upper bound);
    // visitChunks reads it. Chunks come by value, then position. Call flush() first.
    std::unique_ptr<Statement> chunksIn(const std::string& table, std::string_view from,
                                        std::string_view to);
    // Visits the value and positions of each chunk the statement reads while visit returns
    // true.
    static void visitChunks(
        Statement& chunks,
        const std::function<bool(std::string_view, std::span<const int64_t>)>& visit);

    // Writes the chunks kept in memory.
    void flush();
    // Forgets them (the transaction is rolled back).
    void discard() { tails_.clear(); }
    // Forgets what names a table about to be dropped (writes its chunks first).
    void forget(const std::string& table);

    // The column list of index tables in the former layout, one row (value, rid) per entry.
    static const char* entryRowColumns();
    // Rewrites such a table into chunks. Runs inside the caller's transaction.
    void convertEntryRows(const std::string& table);

  private:
    struct Chunk {
        std::optional<int64_t> stored;  // its first position in the table, when it is there
        std::vector<int64_t> positions;
    };
    using TailKey = std::pair<std::string, std::string>;  // table, value

    // Which chunk of a value to read.
    enum class Which { AtOrBefore, First, Last };
    std::optional<Chunk> chunk(Which which, const std::string& table, std::string_view value,
                               int64_t position = 0);
    void write(const std::string& table, std::string_view value, const Chunk& chunk);
    void appendToTail(Chunk& tail, const std::string& table, std::string_view value,
                      int64_t position);
    void flushTail(const std::string& table, std::string_view value);

    StatementCache& statements_;
    std::map<TailKey, Chunk> tails_;
};

}  // namespace orv::sqlite
