// The SQLite statements of the embedded storage: a prepared statement that throws the storage's
// errors, and the French error a result code of SQLite stands for.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "engine/errors.h"

namespace orv::sqlite {

// SQLite's own messages are English and name its internals: users get a French message chosen
// from the result code instead.
DbError sqliteError(int rc);

class Statement {
  public:
    Statement(sqlite3* db, const std::string& sql) {
        const int rc =
            sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr);
        if (rc != SQLITE_OK) throw sqliteError(rc);
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int i, std::string_view text) {
        // An empty view may have no data: SQLite would take a null pointer for NULL.
        sqlite3_bind_text(stmt_, i, text.data() ? text.data() : "", static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    Statement& bind(int i, int64_t v) {
        sqlite3_bind_int64(stmt_, i, v);
        return *this;
    }
    // True while a row is available.
    bool step() {
        int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw sqliteError(rc);
    }
    void run() {
        step();
        reset();
    }
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    std::string_view text(int col) {
        auto p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
        return p ? std::string_view(p, sqlite3_column_bytes(stmt_, col)) : std::string_view();
    }
    // The stored bytes of a column, as they are: unlike text(), no terminating NUL is added,
    // which would make SQLite copy every value that lies in a page into a buffer of its own.
    std::string_view bytes(int col) {
        auto p = static_cast<const char*>(sqlite3_column_blob(stmt_, col));
        return p ? std::string_view(p, sqlite3_column_bytes(stmt_, col)) : std::string_view();
    }
    Statement& bindBlob(int i, std::string_view bytes) {
        sqlite3_bind_blob(stmt_, i, bytes.data() ? bytes.data() : "",
                          static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        return *this;
    }
    int64_t integer(int col) { return sqlite3_column_int64(stmt_, col); }
    // Passes a pointer that only an SQL function asking for the same type name can read.
    Statement& bindPointer(int i, void* p, const char* type) {
        sqlite3_bind_pointer(stmt_, i, p, type, nullptr);
        return *this;
    }

  private:
    sqlite3_stmt* stmt_ = nullptr;
};

// Prepared statements kept by their text for the life of a connection.
class StatementCache {
  public:
    explicit StatementCache(sqlite3* db) : db_(db) {}
    sqlite3* db() const { return db_; }
    // The statement of this text, reset, prepared on first use.
    Statement& prepared(const std::string& sql);
    // Forgets the statements that name a table about to be dropped or renamed.
    void forget(std::string_view table);

    // Gives a lent statement back to the cache (reset), or finalizes it when the cache holds
    // one of its text again or forgot its tables meanwhile.
    struct GiveBack {
        StatementCache* cache = nullptr;
        std::string sql;
        uint64_t generation = 0;
        void operator()(Statement* s) const;
    };
    using Lent = std::unique_ptr<Statement, GiveBack>;
    // A statement of this text for a read whose visitor may run other statements meanwhile, the
    // same text included: the one kept when it is free, else a new one. Preparing costs about as
    // much as returning a few dozen rows, which a short read does not return.
    Lent lent(const std::string& sql);

  private:
    sqlite3* db_;
    std::map<std::string, std::unique_ptr<Statement>, std::less<>> statements_;
    // Statements lent and given back; taken out while lent. A statement may be given back on
    // unwinding, without the caller's lock: this map has a lock of its own.
    std::mutex lentMutex_;
    std::map<std::string, std::unique_ptr<Statement>, std::less<>> free_;
    uint64_t generation_ = 0;  // counts forget()
};

}  // namespace orv::sqlite
