#include "engine/pg_write_batch.h"

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
                          std::string_view key, bool present) {
    entries_[{file, field}][{std::string(value), std::string(key)}] = present;
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
    count_ = 0;
}

void WriteBatch::send() {
    auto records = std::move(records_);
    auto entries = std::move(entries_);
    discard();
    for (const auto& [id, p] : records) sendRecords(id, p);
    for (const auto& [index, changes] : entries) sendEntries(index, changes);
}

void WriteBatch::sendRecords(const std::string& id, const PendingRecords& p) {
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

void WriteBatch::sendEntries(const IndexName& index, const PendingEntries& changes) {
    const Result r =
        conn_.exec("SELECT x.id, x.file FROM " + tables_.indexes + " x JOIN " + tables_.files +
                       " f ON f.id = x.file WHERE f.name = $1 AND "
                       "x.field = $2",
                   {Param{index.first}, Param{index.second}});
    if (!r.rows()) throwMissingIndex(index.first, index.second);
    const std::string idx = std::to_string(r.integer(0, 0));
    const std::string fileId = std::to_string(r.integer(0, 1));
    std::vector<std::string> values[2], keys[2];
    for (const auto& [entry, present] : changes) {
        values[present].push_back(entry.first);
        keys[present].push_back(entry.second);
    }
    // Each key's position is looked up by the records' primary key: as a join, the
    // server would hash every record of the file for each batch.
    const std::string positioned =
        "(SELECT t.v, (SELECT r.seq FROM " + tables_.records +
        " r WHERE r.file = $4::int4 AND r.key = t.k) AS p FROM unnest($2::bytea[], "
        "$3::bytea[]) AS t(v, k)) s";
    auto change = [&](const std::string& sql, bool present) {
        if (keys[present].empty()) return;
        conn_.exec(sql, {text(idx), Param{byteaArray(values[present])},
                         Param{byteaArray(keys[present])}, text(fileId)});
    };
    change("DELETE FROM " + tables_.entries + " e USING " + positioned +
               " WHERE e.idx = $1::int4 AND e.value = s.v AND e.pos = s.p",
           false);
    const std::string insert = "INSERT INTO " + tables_.entries +
                               "(idx, value, pos) SELECT $1::int4, s.v, s.p FROM " + positioned +
                               " WHERE s.p IS NOT NULL";
    // The entries of an index made in this transaction are new: without the test of
    // each for a conflict, unless one is met.
    if (!freshIndexes_.count(index) || !unlessStored([&] { change(insert, true); }).empty()) {
        freshIndexes_.erase(index);
        change(insert + " ON CONFLICT DO NOTHING", true);
    }
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
