#include "engine/sqlite_postings.h"

#include <algorithm>

#include "engine/position_list.h"

namespace orv::sqlite {

namespace {

// Past this many chunks held in memory (a load of values that are nearly all different), they
// are written out rather than kept.
constexpr size_t kMaxTails = 4096;

}  // namespace

const char* PostingLists::tableColumns() {
    return "(value BLOB NOT NULL, first INTEGER NOT NULL, rest BLOB NOT NULL, "
           "PRIMARY KEY(value, first)) WITHOUT ROWID";
}

const char* PostingLists::entryRowColumns() {
    return "(value BLOB NOT NULL, rid INTEGER NOT NULL, PRIMARY KEY(value, rid)) WITHOUT ROWID";
}

std::optional<PostingLists::Chunk> PostingLists::chunk(Which which, const std::string& table,
                                                       std::string_view value, int64_t position) {
    const char* where = which == Which::AtOrBefore
                            ? " WHERE value = ?1 AND first <= ?2 ORDER BY first DESC LIMIT 1"
                        : which == Which::First ? " WHERE value = ?1 ORDER BY first LIMIT 1"
                                                : " WHERE value = ?1 ORDER BY first DESC LIMIT 1";
    Statement& s = statements_.prepared("SELECT first, rest FROM " + table + where);
    s.bindBlob(1, value);
    if (which == Which::AtOrBefore) s.bind(2, position);
    std::optional<Chunk> found;
    if (s.step()) found = Chunk{s.integer(0), unpackPositions(s.integer(0), s.bytes(1))};
    s.reset();
    return found;
}

// Stores a chunk under its first position, removing the row it was read from when that
// position changed or the chunk is empty.
void PostingLists::write(const std::string& table, std::string_view value, const Chunk& chunk) {
    if (chunk.stored && (chunk.positions.empty() || *chunk.stored != chunk.positions.front()))
        statements_.prepared("DELETE FROM " + table + " WHERE value = ?1 AND first = ?2")
            .bindBlob(1, value)
            .bind(2, *chunk.stored)
            .run();
    if (chunk.positions.empty()) return;
    statements_
        .prepared("INSERT OR REPLACE INTO " + table + "(value, first, rest) VALUES(?1, ?2, ?3)")
        .bindBlob(1, value)
        .bind(2, chunk.positions.front())
        .bindBlob(3, packPositions(chunk.positions))
        .run();
}

void PostingLists::appendToTail(Chunk& tail, const std::string& table, std::string_view value,
                                int64_t position) {
    if (tail.positions.size() >= kChunkPositions) {
        write(table, value, tail);
        tail = Chunk{};
    }
    tail.positions.push_back(position);
}

void PostingLists::insert(const std::string& table, std::string_view value, int64_t position) {
    const TailKey key{table, std::string(value)};
    if (auto it = tails_.find(key); it != tails_.end()) {
        if (position > it->second.positions.back()) {
            appendToTail(it->second, table, value, position);
            return;
        }
        flushTail(table, value);
    }
    std::optional<Chunk> last = chunk(Which::Last, table, value);
    // A new value, or past the end of its last chunk: that chunk stays in memory while it grows.
    if (!last || position > last->positions.back()) {
        if (tails_.size() >= kMaxTails) flush();
        Chunk& tail = tails_[key] = last ? std::move(*last) : Chunk{};
        appendToTail(tail, table, value, position);
        return;
    }
    std::optional<Chunk> found = position >= last->positions.front()
                                     ? std::move(last)
                                     : chunk(Which::AtOrBefore, table, value, position);
    if (!found) found = chunk(Which::First, table, value);  // before the value's first position
    std::vector<int64_t>& p = found->positions;
    const auto at = std::lower_bound(p.begin(), p.end(), position);
    if (at != p.end() && *at == position) return;
    p.insert(at, position);
    if (p.size() <= kChunkPositions) {
        write(table, value, *found);
        return;
    }
    // A full chunk splits in two halves, each with room for later insertions.
    const auto half = p.begin() + static_cast<std::ptrdiff_t>(p.size() / 2);
    Chunk upper{std::nullopt, std::vector<int64_t>(half, p.end())};
    p.erase(half, p.end());
    write(table, value, *found);
    write(table, value, upper);
}

void PostingLists::erase(const std::string& table, std::string_view value, int64_t position) {
    flushTail(table, value);
    std::optional<Chunk> found = chunk(Which::AtOrBefore, table, value, position);
    if (!found) return;
    std::vector<int64_t>& p = found->positions;
    const auto at = std::lower_bound(p.begin(), p.end(), position);
    if (at == p.end() || *at != position) return;
    p.erase(at);
    write(table, value, *found);
}

void PostingLists::flushTail(const std::string& table, std::string_view value) {
    const auto it = tails_.find({table, std::string(value)});
    if (it == tails_.end()) return;
    write(table, value, it->second);
    tails_.erase(it);
}

void PostingLists::flush() {
    for (const auto& [key, chunk] : tails_) write(key.first, key.second, chunk);
    tails_.clear();
}

void PostingLists::forget(const std::string& table) {
    for (auto it = tails_.begin(); it != tails_.end();) {
        if (it->first.first == table) {
            write(table, it->first.second, it->second);
            it = tails_.erase(it);
        } else {
            ++it;
        }
    }
    statements_.forget(table);
}

std::unique_ptr<Statement> PostingLists::chunksIn(const std::string& table, std::string_view from,
                                                  std::string_view to) {
    auto s = std::make_unique<Statement>(
        statements_.db(),
        "SELECT value, first, rest FROM " + table +
            (to.empty() ? " WHERE value >= ?1" : " WHERE value >= ?1 AND value < ?2") +
            " ORDER BY value, first");
    s->bindBlob(1, from);
    if (!to.empty()) s->bindBlob(2, to);
    return s;
}

void PostingLists::visitChunks(
    Statement& chunks,
    const std::function<bool(std::string_view, std::span<const int64_t>)>& visit) {
    std::vector<int64_t> positions;
    positions.reserve(kChunkPositions);
    while (chunks.step()) {
        positions.clear();
        visitPositions(chunks.integer(1), chunks.bytes(2), [&](int64_t position) {
            positions.push_back(position);
            return true;
        });
        if (!visit(chunks.bytes(0), positions)) return;
    }
}

void PostingLists::convertEntryRows(const std::string& table) {
    const std::string name = table.substr(1, table.size() - 2);
    const std::string fresh = "\"" + name + ".chunks\"";
    Statement(statements_.db(), "CREATE TABLE " + fresh + tableColumns()).run();
    {
        Statement entries(statements_.db(),
                          "SELECT value, rid FROM " + table + " ORDER BY value, rid");
        std::string value;
        Chunk run;
        auto put = [&] {
            if (!run.positions.empty()) write(fresh, value, run);
            run.positions.clear();
        };
        while (entries.step()) {
            const std::string_view v = entries.bytes(0);
            if (v != value || run.positions.size() == kChunkPositions) {
                put();
                value.assign(v);
            }
            run.positions.push_back(entries.integer(1));
        }
        put();
    }
    forget(fresh);
    Statement(statements_.db(), "DROP TABLE " + table).run();
    Statement(statements_.db(), "ALTER TABLE " + fresh + " RENAME TO " + table).run();
}

}  // namespace orv::sqlite
