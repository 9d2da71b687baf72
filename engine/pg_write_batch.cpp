#include "engine/pg_write_batch.h"

#include <algorithm>

#include "engine/storage_common.h"

namespace orv::pg {

void WriteBatch::startTransaction() {
    freshIndexes_.clear();
    overwrittenFiles_.clear();
}

bool WriteBatch::addRecord(const std::string& fileId, const std::string& key,
                           const std::string& record) {
    PendingRecords& p = records_[fileId];
    if (auto it = p.position.find(key); it != p.position.end()) {
        p.records[it->second] = record;
    } else {
        p.position.emplace(key, p.keys.size());
        p.keys.push_back(key);
        p.records.push_back(record);
    }
    return ++count_ >= kBatchSize;
}

bool WriteBatch::addEntry(const std::string& file, const std::string& field, std::string_view value,
                          std::string_view key, int64_t position, bool present) {
    const IndexName index{file, field};
    if (present && position >= 0 && freshIndexes_.count(index)) {
        FreshEntries& fresh = fresh_[index];
        fresh.lastChunk = std::max(fresh.lastChunk, position >> kChunkBits);
        fresh.chunks[{std::string(value), position >> kChunkBits}].push_back(
            static_cast<int16_t>(position & (kChunkSpan - 1)));
    } else {
        entries_[index][{std::string(value), std::string(key)}] = {position, present};
    }
    return ++count_ >= kBatchSize;
}

const std::string* WriteBatch::record(const std::string& fileId, const std::string& key) const {
    if (records_.empty()) return nullptr;
    auto f = records_.find(fileId);
    if (f == records_.end()) return nullptr;
    auto k = f->second.position.find(key);
    return k == f->second.position.end() ? nullptr : &f->second.records[k->second];
}

void WriteBatch::discard() {
    records_.clear();
    entries_.clear();
    fresh_.clear();
    count_ = 0;
}

void WriteBatch::send(bool final) {
    auto records = std::move(records_);
    auto entries = std::move(entries_);
    records_.clear();
    entries_.clear();
    count_ = 0;
    for (const auto& [id, p] : records) sendRecords(id, p);
    std::set<IndexName> indexes;
    for (const auto& [index, changes] : entries) indexes.insert(index);
    for (const auto& [index, fresh] : fresh_) indexes.insert(index);
    // In a fixed order (index, value, chunk), so that two workstations writing the same rows
    // wait for each other rather than each hold what the other needs.
    for (const IndexName& index : indexes) {
        const IndexIds ids = idsOf(index);
        const auto changes = entries.find(index);
        // Changes by key come after the index's fresh entries, which they may undo.
        sendFresh(index, ids, final || changes != entries.end());
        if (changes != entries.end()) sendEntries(ids, changes->second);
    }
}

void WriteBatch::sendRecords(const std::string& id, const PendingRecords& p) {
    recordsSent_ += p.keys.size();
    if (copyRecords(id, p)) return;
    conn_.exec("INSERT INTO " + tables_.records +
                   "(file, key, rec) SELECT $1::int4, k, r FROM unnest($2::bytea[], "
                   "$3::bytea[]) WITH ORDINALITY AS t(k, r, n) ORDER BY n "
                   "ON CONFLICT(file, key) DO UPDATE SET rec = excluded.rec",
               {text(id), Param{byteaArray(p.keys)}, Param{byteaArray(p.records)}});
}

// New records (a copy, a load into a file that does not hold them yet) go through COPY,
// which spares the server the work of an INSERT per row. A batch that meets a record
// already stored is undone to its savepoint and sent as an INSERT that overwrites, as are
// the file's later batches of the transaction; so is every batch of a role that the
// records' row-level security applies to (the server refuses it COPY).
bool WriteBatch::copyRecords(const std::string& id, const PendingRecords& p) {
    if (copyRefused_ || overwrittenFiles_.count(id)) return false;
    CopyRows rows;
    const std::string file = CopyRows::int4(std::stoi(id));
    for (size_t i = 0; i < p.keys.size(); ++i) rows.row({file, p.keys[i], p.records[i]});
    const std::string state = unlessStored([&] {
        conn_.copyIn("COPY " + tables_.records + "(file, key, rec) FROM STDIN (FORMAT binary)",
                     rows.finish());
    });
    if (state == kNotSupportedState) copyRefused_ = true;
    if (state == kUniqueViolationState) overwrittenFiles_.insert(id);
    return state.empty();
}

WriteBatch::IndexIds WriteBatch::idsOf(const IndexName& index) {
    const Result r =
        conn_.exec("SELECT x.id, x.file FROM " + tables_.indexes + " x JOIN " + tables_.files +
                       " f ON f.id = x.file WHERE f.name = $1 AND x.field = $2",
                   {Param{index.first}, Param{index.second}});
    if (!r.rows()) throwMissingIndex(index.first, index.second);
    return {std::to_string(r.integer(0, 0)), std::to_string(r.integer(0, 1))};
}

// One statement merges each chunk row's added bits and takes out its removed ones (a row that
// ends empty is then deleted). A position not given is looked up by the records' primary key:
// as a join, the server would hash every record of the file for each batch.
void WriteBatch::sendEntries(const IndexIds& ids, const PendingEntries& changes) {
    std::vector<std::string> values, keys;
    std::vector<int64_t> positions;
    std::vector<bool> present;
    for (const auto& [entry, change] : changes) {
        values.push_back(entry.first);
        keys.push_back(entry.second);
        positions.push_back(change.position);
        present.push_back(change.present);
    }
    const std::string bit = bitOfSql("p & " + std::to_string(kChunkSpan - 1));
    const std::string none = noBitsSql();
    const Result emptied = conn_.exec(
        "WITH t AS (SELECT t.v, coalesce(nullif(t.p, -1), (SELECT r.seq FROM " + tables_.records +
            " r WHERE r.file = $4::int4 AND r.key = t.k)) AS p, t.a FROM unnest($2::bytea[], "
            "$3::bytea[], $5::int8[], $6::bool[]) AS t(v, k, p, a)), "
            "c AS (SELECT v, p >> " +
            std::to_string(kChunkBits) + " AS chunk, coalesce(bit_or(" + bit +
            ") FILTER (WHERE a), " + none + ") AS adds, coalesce(bit_or(" + bit +
            ") FILTER (WHERE NOT a), " + none +
            ") AS drops FROM t WHERE p IS NOT NULL GROUP BY 1, 2), up AS (INSERT INTO " +
            tables_.entries +
            " AS e(idx, value, chunk, bits) SELECT $1::int4, v, chunk, adds FROM c ORDER BY v, "
            "chunk ON CONFLICT (idx, value, chunk) DO UPDATE SET bits = (e.bits | excluded.bits) & "
            "~(SELECT c.drops FROM c WHERE c.v = excluded.value AND c.chunk = excluded.chunk) "
            "RETURNING value, chunk, bits) SELECT value, chunk FROM up WHERE bits = " +
            none,
        {text(ids.idx), Param{byteaArray(values)}, Param{byteaArray(keys)}, text(ids.file),
         text(textArray(positions)), text(textArray(present))});
    if (!emptied.rows()) return;
    std::vector<std::string> emptyValues;
    std::vector<int64_t> emptyChunks;
    for (int i = 0; i < emptied.rows(); ++i) {
        emptyValues.emplace_back(emptied.bytes(i, 0));
        emptyChunks.push_back(emptied.integer(i, 1));
    }
    conn_.exec("DELETE FROM " + tables_.entries +
                   " WHERE idx = $1::int4 AND (value, chunk) IN (SELECT * FROM "
                   "unnest($2::bytea[], $3::int8[])) AND bits = " +
                   none,
               {text(ids.idx), Param{byteaArray(emptyValues)}, text(textArray(emptyChunks))});
}

// The entries of an index made in this transaction go through COPY, as whole chunk rows: the
// chunks before the last position added (positions come in file order: those are complete),
// or all of them. A chunk row met already stored (a chunk sent earlier that grew since) makes
// the batch undone to its savepoint and merged by key changes instead, as are the index's later
// entries in the transaction.
void WriteBatch::sendFresh(const IndexName& index, const IndexIds& ids, bool all) {
    const auto found = fresh_.find(index);
    if (found == fresh_.end()) return;
    FreshEntries& fresh = found->second;
    Chunks ready;
    for (auto it = fresh.chunks.begin(); it != fresh.chunks.end();) {
        if (all || it->first.second < fresh.lastChunk) {
            ready.insert(fresh.chunks.extract(it++));
        } else {
            ++it;
        }
    }
    if (fresh.chunks.empty()) fresh_.erase(found);
    if (ready.empty() || copyChunks(ids, ready)) return;
    freshIndexes_.erase(index);
    PendingEntries changes;
    for (const auto& [row, offsets] : ready)
        for (const int16_t offset : offsets)
            changes[{row.first, std::to_string((row.second << kChunkBits) + offset)}] = {
                (row.second << kChunkBits) + offset, true};
    sendEntries(ids, changes);
}

bool WriteBatch::copyChunks(const IndexIds& ids, const Chunks& chunks) {
    CopyRows rows;
    const std::string idx = CopyRows::int4(std::stoi(ids.idx));
    for (const auto& [row, offsets] : chunks)
        rows.row({idx, row.first, CopyRows::int8(row.second),
                  bitString(offsets, static_cast<int>(kChunkSpan))});
    return unlessStored([&] {
               conn_.copyIn("COPY " + tables_.entries +
                                "(idx, value, chunk, bits) FROM STDIN (FORMAT binary)",
                            rows.finish());
           })
        .empty();
}

// Runs statements that add rows, inside a savepoint: when they meet a row stored already
// (or the server refuses COPY) they are undone and the error code is returned; empty when
// they were done.
std::string WriteBatch::unlessStored(const std::function<void()>& add) {
    conn_.run("SAVEPOINT orv_batch");
    try {
        add();
    } catch (const DbError&) {
        const std::string state = conn_.lastState();
        if (state != kUniqueViolationState && state != kNotSupportedState) throw;
        conn_.run("ROLLBACK TO SAVEPOINT orv_batch");
        return state;
    }
    conn_.run("RELEASE SAVEPOINT orv_batch");
    return {};
}

}  // namespace orv::pg
