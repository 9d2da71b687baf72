// The libpq side of the server store: one connection, its statements and their results, and
// the engine's errors for what the server refuses. Results come back in binary form (bytea as
// the bytes themselves, integers in network order).
#pragma once

#include <libpq-fe.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "engine/errors.h"
#include "engine/pg_storage.h"
#include "engine/storage.h"

namespace orv::pg {

// The server's error codes the store tells apart.
constexpr const char* kRefusedState = "42501";
constexpr const char* kUserExistsState = "42710";
constexpr const char* kNoSuchUserState = "42704";
constexpr const char* kUniqueViolationState = "23505";
constexpr const char* kNotSupportedState = "0A000";

// One parameter of a statement: bytes sent as they are (bytea) or text.
struct Param {
    std::string_view value;
    bool binary = true;
};
inline Param text(std::string_view v) { return {v, false}; }

// What a failed statement means to a user; the server's own message names its internals.
DbError serverError(const char* sqlstate);

class Result {
  public:
    explicit Result(PGresult* r) : r_(r) {}
    ~Result() { PQclear(r_); }
    Result(Result&& o) noexcept : r_(o.r_) { o.r_ = nullptr; }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;

    int rows() const { return PQntuples(r_); }
    std::string_view bytes(int row, int col) const {
        return {PQgetvalue(r_, row, col), static_cast<size_t>(PQgetlength(r_, row, col))};
    }
    // A binary int8 or int4 column.
    int64_t integer(int row, int col) const;
    bool boolean(int row, int col) const { return *PQgetvalue(r_, row, col) != 0; }
    int64_t affected() const;

  private:
    PGresult* r_;
};

// A statement built piece by piece, its parameters numbered as they are bound.
struct Statement {
    std::string sql;
    std::deque<std::string> values;  // stable addresses for the views of params()
    std::vector<bool> binary;

    // Binds a value and returns its placeholder ("$3").
    std::string bind(std::string value, bool asBytes = true);
    std::vector<Param> params() const;
};

// A one-dimensional bytea[] in the server's binary array format.
std::string byteaArray(std::span<const std::string> items);
// A bit string of length bits in the server's binary format, the bits at these offsets set
// (offset 0: the leftmost bit).
std::string bitString(const std::vector<int16_t>& offsets, int bits);
// Calls visit(offset) for each bit set in a bit string in that format, leftmost first.
void visitBits(std::string_view bits, const std::function<void(int)>& visit);
// A one-dimensional array as the server reads it in text ("{1,2,3}").
template <class T>
std::string textArray(const std::vector<T>& items) {
    std::string out = "{";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += ',';
        if constexpr (std::is_same_v<T, bool>)
            out += items[i] ? 't' : 'f';
        else
            out += std::to_string(items[i]);
    }
    return out + '}';
}

// Rows in the server's binary COPY format, built whole before they are sent.
class CopyRows {
  public:
    CopyRows();
    void row(std::initializer_list<std::string_view> fields);
    // The four bytes of an int4 column, the eight of an int8 one.
    static std::string int4(int32_t v);
    static std::string int8(int64_t v);
    std::string finish();

  private:
    void put16(uint16_t v);
    void put32(uint32_t v);
    std::string data_;
};

// One libpq connection, made again once when it is found lost outside a transaction.
class Connection {
  public:
    explicit Connection(const PgTarget& t, const StorageOptions& options = {});
    ~Connection() { PQfinish(c_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    PGconn* raw() { return c_; }
    // The server's error code of the last statement that failed.
    const std::string& lastState() const { return lastState_; }

    Result exec(const std::string& sql, std::initializer_list<Param> params = {}) {
        return exec(sql, std::vector<Param>(params));
    }
    Result exec(const std::string& sql, const std::vector<Param>& params);
    // The same, the server parsing and planning the statement once for this connection: for
    // the short reads sent again and again (a record by key, a range of keys), whose planning
    // takes as long as their execution. The SQL must not embed values that change.
    Result execPrepared(const std::string& sql, const std::vector<Param>& params);
    // Sends data to a "COPY ... FROM STDIN" statement, inside a transaction (never sent
    // again on a lost connection).
    void copyIn(const std::string& sql, std::string_view data);
    // A statement without parameters nor rows (transaction control, DDL).
    void run(const std::string& sql);
    // Called after the connection was made again, before the statement that found it lost is
    // sent again: what the server forgot with the old connection (session locks) is taken back.
    // mayReconnect tells whether the caller is outside its transactions: inside one, a lost
    // connection fails every statement until the transaction ends.
    void onReconnect(std::function<bool()> mayReconnect, std::function<void()> f) {
        mayReconnect_ = std::move(mayReconnect);
        onReconnect_ = std::move(f);
    }
    std::string quote(std::string_view identifier);
    std::string literal(std::string_view value);

    static DbError connectionError(const PgTarget& t, const std::string& message);

  private:
    Result once(const std::function<PGresult*()>& send);
    bool reconnect();
    void ignoreNotices();
    Result checked(PGresult* raw);
    Result send(const std::string& sql, const std::vector<Param>& params, bool prepared);
    // The name of the statement prepared for sql on this connection, prepared first when
    // needed; null when too many are prepared already.
    const char* preparedName(const std::string& sql, int parameters);

    PGconn* c_ = nullptr;
    std::string lastState_;
    std::function<bool()> mayReconnect_;
    std::function<void()> onReconnect_;
    bool reconnecting_ = false;
    std::unordered_map<std::string, std::string> prepared_;  // SQL text -> statement name
};

}  // namespace orv::pg
