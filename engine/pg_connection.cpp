#include "engine/pg_connection.h"

#include <endian.h>

#include <cstring>

namespace orv::pg {

DbError serverError(const char* sqlstate) {
    const std::string state = sqlstate ? sqlstate : "";
    if (state == "40001" || state == "40P01" || state == "55P03" || state == "57014")
        return DbError(DbErrorCode::Busy, "La base est occupée par une autre opération");
    if (state == "42501")
        return DbError(DbErrorCode::Storage,
                       "Droits insuffisants sur la base du serveur pour cette opération");
    if (state == "42P01" || state == "3F000")
        return DbError(DbErrorCode::FileNotFound,
                       "La base du serveur n'est pas initialisée (orvanelle-db init)");
    if (state == "54000") return DbError(DbErrorCode::Storage, "Enregistrement trop grand");
    if (state.rfind("08", 0) == 0 || state.rfind("57P", 0) == 0 || state.empty())
        return DbError(DbErrorCode::Storage,
                       "La connexion au serveur de base de données est perdue");
    // Never the server's own text: it names its internals, in English.
    return DbError(DbErrorCode::Storage,
                   "Erreur du serveur de base de données (code " + state + ")");
}

int64_t Result::integer(int row, int col) const {
    const char* p = PQgetvalue(r_, row, col);
    if (PQgetlength(r_, row, col) == 4) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return static_cast<int32_t>(be32toh(v));
    }
    uint64_t v;
    std::memcpy(&v, p, 8);
    return static_cast<int64_t>(be64toh(v));
}

int64_t Result::affected() const {
    const char* n = PQcmdTuples(r_);
    return *n ? std::stoll(n) : 0;
}

std::string Statement::bind(std::string value, bool asBytes) {
    values.push_back(std::move(value));
    binary.push_back(asBytes);
    return "$" + std::to_string(values.size());
}

std::vector<Param> Statement::params() const {
    std::vector<Param> out;
    for (size_t i = 0; i < values.size(); ++i) out.push_back({values[i], binary[i]});
    return out;
}

namespace {

void put32(std::string& out, uint32_t v) {
    v = htobe32(v);
    out.append(reinterpret_cast<const char*>(&v), 4);
}

uint32_t get32(std::string_view in, size_t at) {
    uint32_t v;
    std::memcpy(&v, in.data() + at, 4);
    return be32toh(v);
}

// The header of a one-dimensional array without NULL of count items of type oid.
std::string arrayHeader(uint32_t oid, size_t count) {
    std::string out;
    put32(out, 1);  // dimensions
    put32(out, 0);  // no NULL
    put32(out, oid);
    put32(out, static_cast<uint32_t>(count));
    put32(out, 1);  // lower bound
    return out;
}

}  // namespace

std::string byteaArray(std::span<const std::string> items) {
    constexpr uint32_t kByteaOid = 17;
    std::string out = arrayHeader(kByteaOid, items.size());
    for (const std::string& item : items) {
        put32(out, static_cast<uint32_t>(item.size()));
        out += item;
    }
    return out;
}

std::string bitString(const std::vector<int16_t>& offsets, int bits) {
    std::string out;
    put32(out, static_cast<uint32_t>(bits));
    std::string bytes((bits + 7) / 8, '\0');
    for (const int16_t o : offsets) bytes[o / 8] |= static_cast<char>(0x80 >> (o % 8));
    return out + bytes;
}

void visitBits(std::string_view bits, const std::function<void(int)>& visit) {
    if (bits.size() < 4) return;
    const int length = static_cast<int>(get32(bits, 0));
    for (int i = 0; i < length && 4 + static_cast<size_t>(i / 8) < bits.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bits[4 + i / 8]);
        if (byte == 0) {
            i += 7 - i % 8;  // the rest of an empty byte
            continue;
        }
        if (byte & (0x80 >> (i % 8))) visit(i);
    }
}

CopyRows::CopyRows() {
    data_.append("PGCOPY\n\377\r\n\0", 11);
    put32(0);  // flags
    put32(0);  // no header extension
}

void CopyRows::row(std::initializer_list<std::string_view> fields) {
    put16(static_cast<uint16_t>(fields.size()));
    for (std::string_view f : fields) {
        put32(static_cast<uint32_t>(f.size()));
        data_.append(f);
    }
}

std::string CopyRows::int4(int32_t v) {
    const uint32_t big = htobe32(static_cast<uint32_t>(v));
    return std::string(reinterpret_cast<const char*>(&big), 4);
}

std::string CopyRows::int8(int64_t v) {
    const uint64_t big = htobe64(static_cast<uint64_t>(v));
    return std::string(reinterpret_cast<const char*>(&big), 8);
}

std::string CopyRows::finish() {
    put16(0xFFFF);
    return std::move(data_);
}

void CopyRows::put16(uint16_t v) {
    v = htobe16(v);
    data_.append(reinterpret_cast<const char*>(&v), 2);
}

void CopyRows::put32(uint32_t v) {
    v = htobe32(v);
    data_.append(reinterpret_cast<const char*>(&v), 4);
}

Connection::Connection(const PgTarget& t, const StorageOptions& options) {
    // The server's side of the keep-alives: a workstation that vanishes without closing
    // its connection (power cut, cable pulled) is noticed within about 40 seconds idle, or
    // when 40 seconds of sent data go unacknowledged, and its locks are then freed.
    const std::string timeout = "-c client_min_messages=warning -c lock_timeout=" +
                                std::to_string(options.busyTimeout.count()) +
                                " -c tcp_keepalives_idle=20 -c tcp_keepalives_interval=5"
                                " -c tcp_keepalives_count=4 -c tcp_user_timeout=40000";
    // libpq reads the values during the call: each must outlive it (no temporaries).
    std::vector<const char*> keys, values;
    auto add = [&](const char* k, const char* v) {
        if (!*v) return;
        keys.push_back(k);
        values.push_back(v);
    };
    add("host", t.host.c_str());
    add("port", t.port.c_str());
    add("dbname", t.database.c_str());
    add("user", t.user.c_str());
    add("password", t.password.c_str());
    add("options", timeout.c_str());
    add("application_name", "orvanelle");
    add("connect_timeout", "10");
    // The workstation's side: a server that vanishes is noticed as soon, not in hours.
    add("keepalives", "1");
    add("keepalives_idle", "20");
    add("keepalives_interval", "5");
    add("keepalives_count", "4");
    add("tcp_user_timeout", "40000");
    keys.push_back(nullptr);
    values.push_back(nullptr);
    c_ = PQconnectdbParams(keys.data(), values.data(), 0);
    if (PQstatus(c_) != CONNECTION_OK) {
        const std::string message = c_ ? PQerrorMessage(c_) : "";
        PQfinish(c_);
        c_ = nullptr;
        throw connectionError(t, message);
    }
    ignoreNotices();
}

Result Connection::exec(const std::string& sql, const std::vector<Param>& params) {
    return send(sql, params, false);
}

Result Connection::execPrepared(const std::string& sql, const std::vector<Param>& params) {
    return send(sql, params, true);
}

Result Connection::send(const std::string& sql, const std::vector<Param>& params, bool prepared) {
    std::vector<const char*> values;
    std::vector<std::string> texts;  // text parameters need their terminating NUL
    std::vector<int> lengths, formats;
    texts.reserve(params.size());
    for (const Param& p : params) {
        if (p.binary) {
            values.push_back(p.value.data() ? p.value.data() : "");
        } else {
            texts.emplace_back(p.value);
            values.push_back(texts.back().c_str());
        }
        lengths.push_back(static_cast<int>(p.value.size()));
        formats.push_back(p.binary ? 1 : 0);
    }
    const int n = static_cast<int>(values.size());
    return once([&] {
        // Prepared inside once: a connection made again has forgotten its statements.
        if (const char* name = prepared ? preparedName(sql, n) : nullptr)
            return PQexecPrepared(c_, name, n, values.data(), lengths.data(), formats.data(), 1);
        return PQexecParams(c_, sql.c_str(), n, nullptr, values.data(), lengths.data(),
                            formats.data(), 1);
    });
}

const char* Connection::preparedName(const std::string& sql, int parameters) {
    constexpr size_t kMaxPrepared = 64;
    if (auto it = prepared_.find(sql); it != prepared_.end()) return it->second.c_str();
    if (prepared_.size() >= kMaxPrepared) return nullptr;
    const std::string name = "orv_" + std::to_string(prepared_.size() + 1);
    PGresult* r = PQprepare(c_, name.c_str(), sql.c_str(), parameters, nullptr);
    // A failure (an aborted transaction, a lost connection) is met again by the statement
    // itself, sent unprepared, which reports it.
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    PQclear(r);
    if (!ok) return nullptr;
    return prepared_.emplace(sql, name).first->second.c_str();
}

void Connection::copyIn(const std::string& sql, std::string_view data) {
    PGresult* start = PQexec(c_, sql.c_str());
    if (PQresultStatus(start) != PGRES_COPY_IN) {
        checked(start);
        return;
    }
    PQclear(start);
    if (PQputCopyData(c_, data.data(), static_cast<int>(data.size())) == 1)
        PQputCopyEnd(c_, nullptr);
    else
        PQputCopyEnd(c_, "not sent");
    PGresult* end = PQgetResult(c_);
    while (PGresult* more = PQgetResult(c_)) PQclear(more);
    checked(end);
}

void Connection::run(const std::string& sql) {
    once([&] { return PQexec(c_, sql.c_str()); });
}

namespace {

// A text escaped by libpq for this connection's encoding; libpq's copy is freed at once.
std::string escaped(PGconn* c, std::string_view text, char* (*escape)(PGconn*, const char*, size_t),
                    const char* refusal) {
    char* q = escape(c, text.data(), text.size());
    if (!q) throw DbError(DbErrorCode::InvalidArgument, refusal);
    std::string out(q);
    PQfreemem(q);
    return out;
}

}  // namespace

std::string Connection::quote(std::string_view identifier) {
    return escaped(c_, identifier, PQescapeIdentifier, "Nom refusé par le serveur");
}

std::string Connection::literal(std::string_view value) {
    return escaped(c_, value, PQescapeLiteral, "Texte refusé par le serveur");
}

DbError Connection::connectionError(const PgTarget& t, const std::string& message) {
    const std::string where = "pg:" + t.database + (t.host.empty() ? "" : " sur " + t.host);
    if (message.find("authentication failed") != std::string::npos ||
        message.find("password") != std::string::npos ||
        message.find("role \"") != std::string::npos)
        return DbError(DbErrorCode::Authentication,
                       "Utilisateur ou mot de passe refusé par le serveur (" + where + ")");
    if (message.find("does not exist") != std::string::npos)
        return DbError(DbErrorCode::FileNotFound, "La base " + where + " n'existe pas");
    return DbError(DbErrorCode::Storage, "Serveur de base de données injoignable (" + where + ")");
}

// Sends a statement. When the connection is found lost outside a transaction, it is made
// again once and the statement sent again: nothing of it had been done. Inside a
// transaction the statement fails, and with it the transaction, which the server rolled
// back when the connection went.
Result Connection::once(const std::function<PGresult*()>& send) {
    const bool mayRetry = PQtransactionStatus(c_) == PQTRANS_IDLE && !reconnecting_;
    if (PQstatus(c_) == CONNECTION_BAD && !reconnecting_) {
        if (!reconnect()) return checked(nullptr);
    } else {
        PGresult* r = send();
        if (PQstatus(c_) != CONNECTION_BAD || !mayRetry) return checked(r);
        PQclear(r);
        if (!reconnect()) return checked(nullptr);
    }
    return checked(send());
}

bool Connection::reconnect() {
    if (mayReconnect_ && !mayReconnect_()) return false;
    PQreset(c_);
    prepared_.clear();
    if (PQstatus(c_) != CONNECTION_OK) return false;
    ignoreNotices();
    reconnecting_ = true;
    try {
        if (onReconnect_) onReconnect_();
    } catch (...) {
        reconnecting_ = false;
        throw;
    }
    reconnecting_ = false;
    return true;
}

// The server's notices (a shutdown's warning) are for its log, not for users.
void Connection::ignoreNotices() {
    PQsetNoticeProcessor(
        c_, [](void*, const char*) {}, nullptr);
}

Result Connection::checked(PGresult* raw) {
    const ExecStatusType status = PQresultStatus(raw);
    if (raw && (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)) return Result(raw);
    const char* state = raw ? PQresultErrorField(raw, PG_DIAG_SQLSTATE) : nullptr;
    const std::string stateText = state ? state : "";
    lastState_ = stateText;
    PQclear(raw);
    throw serverError(stateText.empty() ? nullptr : stateText.c_str());
}

}  // namespace orv::pg
