// Server storage on PostgreSQL. All files of a database share three tables of one schema:
// the catalogue of files, the records (file, key, sequence number, record) and the update
// locks. Keys and records are bytea: they hold the marks 0xFE, 0xFD and 0xFC, which no text
// encoding of the server accepts, and bytea compares byte by byte, which is the key order the
// embedded store gives. Fixed tables mean that creating a file needs no DDL, so users get rights
// on data only, never on the schema.
//
// Rights are enforced by the server itself, so that a user's own password opens no more from
// any other client than it does from ours: a database has a users' group role (its login roles)
// and an administrators' group role. Users read the catalogue and write the records of business
// files only (row-level security on the records, by the access class of their file); the
// engine's own files (ORV.*) they cannot even read; dictionaries and the files marked guarded
// (the rights) they read only. The catalogue, the index definitions and the roles belong to the
// administrators; the few things a user must do on roles (change its own password) and what an
// administrator does on them go through SECURITY DEFINER functions of the schema's owner, which
// check who asks.
//
// Update locks are session advisory locks on a 64-bit hash of schema, file and key: the server
// frees them itself when the holder's connection ends, however it ends. A row of the lock table
// names the holder (session, process, workstation) for messages.
#include "engine/pg_storage.h"

#include <unistd.h>

#include <algorithm>
#include <functional>
#include <map>
#include <mutex>
#include <set>

#include "engine/dynarray.h"
#include "engine/errors.h"
#include "engine/pg_connection.h"
#include "engine/pg_write_batch.h"
#include "engine/storage_common.h"

namespace orv {

using namespace pg;

namespace {

// 64-bit FNV-1a: the same on every workstation, unlike std::hash.
uint64_t lockHash(const std::string& schema, const std::string& file, const std::string& key) {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&](std::string_view s) {
        for (unsigned char c : s) {
            h ^= c;
            h *= 1099511628211ull;
        }
        h ^= 0xFF;  // a separator no text holds alone
        h *= 1099511628211ull;
    };
    mix(schema);
    mix(file);
    mix(key);
    return h;
}

std::string groupRoleOf(const PgTarget& t) { return "orv_users:" + t.database + "." + t.schema; }
std::string adminRoleOf(const PgTarget& t) { return "orv_admins:" + t.database + "." + t.schema; }

// Access classes of files, kept in the catalogue for the row-level security of the records.
enum FileAccess { kBusinessFile = 0, kGuardedFile = 1, kEngineFile = 2 };
int accessOf(std::string_view file) {
    if (file.substr(0, 4) == "ORV.") return kEngineFile;
    if (file.substr(0, 5) == "DICT ") return kGuardedFile;
    return kBusinessFile;
}

// The version of the rights and tables the schema carries; a schema made before them is brought
// to them when its owner (whoever ran "orvanelle-db init") opens it. 2: records and index
// entries without foreign keys (the engine deletes what depends on a file or an index itself).
// 3: index entries as chunks of positions (orv_index_chunks) instead of a row per entry
// (orv_index_entries).
constexpr int kPrivilegesVersion = 3;

// The index entries' table: a row per index, value and chunk of positions (see
// pg_write_batch.h); its primary key is the tree the range reads of selections walk.
void createChunkTable(Connection& c, const std::string& s) {
    c.run("CREATE TABLE IF NOT EXISTS " + s +
          ".orv_index_chunks(idx integer NOT NULL, value bytea NOT NULL, chunk bigint NOT NULL, "
          "bits " +
          chunkBitsType() + " NOT NULL, PRIMARY KEY(idx, value, chunk))");
}

// The entries of a schema older than the chunks, a row per (index, value, position), are
// rewritten as chunks, inside the caller's transaction.
void convertEntryRows(Connection& c, const std::string& s) {
    createChunkTable(c, s);
    if (c.exec("SELECT to_regclass($1) IS NULL", {text(s + ".orv_index_entries")}).boolean(0, 0))
        return;
    const std::string chunk = "pos >> " + std::to_string(kChunkBits);
    c.run("INSERT INTO " + s + ".orv_index_chunks SELECT idx, value, " + chunk + ", bit_or(" +
          bitOfSql("pos & " + std::to_string(kChunkSpan - 1)) + ") FROM " + s +
          ".orv_index_entries GROUP BY idx, value, " + chunk);
    c.run("DROP TABLE " + s + ".orv_index_entries");
}

void createRoleFunctions(Connection& c, const PgTarget& t);

// The grants, the row-level security of the records and the role functions of a schema, made
// or made again (each statement holds whatever state the schema is in). Run by the schema's
// owner inside a transaction.
void grantSchemaRights(Connection& c, const PgTarget& t) {
    // One at a time: two first openings of one schema would both create its roles.
    c.exec("SELECT pg_advisory_xact_lock($1::int8)",
           {text(std::to_string(static_cast<int64_t>(lockHash(t.schema, "", "privileges"))))});
    const std::string s = c.quote(t.schema);
    const std::string users = c.quote(groupRoleOf(t));
    const std::string admins = c.quote(adminRoleOf(t));
    const std::string records = s + ".orv_records";
    for (const std::string& role : {groupRoleOf(t), adminRoleOf(t)})
        if (!c.exec("SELECT 1 FROM pg_roles WHERE rolname = $1", {text(role)}).rows())
            c.run("CREATE ROLE " + c.quote(role) + " NOLOGIN");
    c.run("ALTER TABLE " + s +
          ".orv_files ADD COLUMN IF NOT EXISTS access smallint NOT NULL "
          "DEFAULT 0");
    const Result files = c.exec("SELECT id, name FROM " + s + ".orv_files WHERE access = 0");
    for (int i = 0; i < files.rows(); ++i)
        if (const int access = accessOf(files.bytes(i, 1)); access != kBusinessFile)
            c.exec("UPDATE " + s + ".orv_files SET access = $2::int2 WHERE id = $1::int4",
                   {text(std::to_string(files.integer(i, 0))), text(std::to_string(access))});
    c.run("CREATE TABLE IF NOT EXISTS " + s +
          ".orv_settings(name text PRIMARY KEY, value text NOT NULL)");
    // The server checked them on every record and entry written, for what only the
    // removal of a file or an index needs.
    c.run("ALTER TABLE " + records + " DROP CONSTRAINT IF EXISTS orv_records_file_fkey");
    convertEntryRows(c, s);

    c.run("REVOKE ALL ON SCHEMA " + s + " FROM PUBLIC");
    c.run("REVOKE ALL ON ALL TABLES IN SCHEMA " + s + " FROM PUBLIC, " + users);
    c.run("REVOKE ALL ON ALL SEQUENCES IN SCHEMA " + s + " FROM PUBLIC, " + users);
    c.run("GRANT USAGE ON SCHEMA " + s + " TO " + users + ", " + admins);
    c.run("GRANT SELECT ON ALL TABLES IN SCHEMA " + s + " TO " + users);
    // What writing a record changes: the record, its index entries and its update lock.
    c.run("GRANT INSERT, UPDATE, DELETE ON " + records + ", " + s + ".orv_index_chunks, " + s +
          ".orv_locks TO " + users);
    c.run("GRANT USAGE ON SEQUENCE " + s + ".orv_records_seq_seq TO " + users);
    c.run("GRANT SELECT, INSERT, UPDATE, DELETE, TRUNCATE ON ALL TABLES IN SCHEMA " + s + " TO " +
          admins);
    c.run("GRANT USAGE, SELECT ON ALL SEQUENCES IN SCHEMA " + s + " TO " + admins);

    c.run("ALTER TABLE " + records + " ENABLE ROW LEVEL SECURITY");
    const std::string ofClass = "file IN (SELECT id FROM " + s + ".orv_files WHERE access ";
    const struct {
        const char* name;
        const char* command;
        std::string rule;
    } policies[] = {
        {"orv_read", "SELECT", "USING (" + ofClass + "< 2))"},
        {"orv_add", "INSERT", "WITH CHECK (" + ofClass + "= 0))"},
        {"orv_change", "UPDATE", "USING (" + ofClass + "= 0)) WITH CHECK (" + ofClass + "= 0))"},
        {"orv_remove", "DELETE", "USING (" + ofClass + "= 0))"},
    };
    for (const auto& p : policies) {
        c.run(std::string("DROP POLICY IF EXISTS ") + p.name + " ON " + records);
        c.run(std::string("CREATE POLICY ") + p.name + " ON " + records + " FOR " + p.command +
              " TO " + users + " " + p.rule);
    }
    c.run("DROP POLICY IF EXISTS orv_administer ON " + records);
    c.run("CREATE POLICY orv_administer ON " + records + " TO " + admins +
          " USING (true) WITH CHECK (true)");
    createRoleFunctions(c, t);
    c.exec("INSERT INTO " + s +
               ".orv_settings VALUES('privileges', $1) ON CONFLICT(name) DO UPDATE SET value = "
               "excluded.value",
           {text(std::to_string(kPrivilegesVersion))});
}

// The role functions. Each runs as the schema's owner and first checks who asks (the session's
// login role): an administrator (a member of the administrators' role, or the owner), or, for a
// change of password, the user itself. They touch only login roles of the database's users.
void createRoleFunctions(Connection& c, const PgTarget& t) {
    const std::string s = c.quote(t.schema);
    const std::string users = c.literal(groupRoleOf(t));
    const std::string admins = c.literal(adminRoleOf(t));
    const std::string memberOf =
        "EXISTS (SELECT 1 FROM pg_auth_members a JOIN pg_roles m ON m.oid = a.member JOIN "
        "pg_roles g ON g.oid = a.roleid WHERE g.rolname = ";
    const std::string header =
        " LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $f$ BEGIN ";
    const std::string refuseUnlessAdministrator =
        "IF NOT " + s + ".orv_administers() THEN RAISE EXCEPTION 'refused' USING ERRCODE = '" +
        kRefusedState + "'; END IF; ";
    const std::string requireUser = "IF NOT " + s +
                                    ".orv_is_user(who) THEN RAISE EXCEPTION 'unknown user' "
                                    "USING ERRCODE = '" +
                                    kNoSuchUserState + "'; END IF; ";
    c.run("CREATE OR REPLACE FUNCTION " + s +
          ".orv_is_user(who text) RETURNS boolean LANGUAGE sql STABLE AS $f$ SELECT " + memberOf +
          users + " AND m.rolname = who AND m.rolcanlogin AND NOT m.rolsuper) $f$");
    c.run("CREATE OR REPLACE FUNCTION " + s +
          ".orv_administers() RETURNS boolean LANGUAGE sql STABLE AS $f$ SELECT " + memberOf +
          admins +
          " AND m.rolname = session_user) OR EXISTS (SELECT 1 FROM pg_roles r WHERE r.rolname = "
          "session_user AND (r.rolsuper OR r.oid = (SELECT nspowner FROM pg_namespace WHERE "
          "nspname = " +
          c.literal(t.schema) + "))) $f$");
    c.run("CREATE OR REPLACE FUNCTION " + s +
          ".orv_set_password(who text, verifier text, creating boolean) RETURNS void" + header +
          "IF NOT (" + s +
          ".orv_administers() OR (who = session_user AND NOT creating)) THEN RAISE EXCEPTION "
          "'refused' USING ERRCODE = '" +
          kRefusedState +
          "'; END IF; "
          "IF creating THEN "
          "IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = who) THEN RAISE EXCEPTION "
          "'exists' USING ERRCODE = '" +
          kUserExistsState +
          "'; END IF; "
          "BEGIN EXECUTE format('CREATE ROLE %I LOGIN PASSWORD %L IN ROLE %I', who, verifier, " +
          users +
          "); EXCEPTION WHEN unique_violation OR duplicate_object THEN RAISE EXCEPTION "
          "'exists' USING ERRCODE = '" +
          kUserExistsState + "'; END; ELSE " + requireUser +
          "EXECUTE format('ALTER ROLE %I PASSWORD %L', who, verifier); END IF; END $f$");
    c.run("CREATE OR REPLACE FUNCTION " + s + ".orv_drop_user(who text) RETURNS boolean" + header +
          refuseUnlessAdministrator + "IF NOT " + s +
          ".orv_is_user(who) THEN RETURN false; END IF; "
          "EXECUTE format('DROP ROLE %I', who); RETURN true; END $f$");
    c.run("CREATE OR REPLACE FUNCTION " + s +
          ".orv_set_administrator(who text, yes boolean) RETURNS void" + header +
          refuseUnlessAdministrator + requireUser +
          "IF yes THEN EXECUTE format('GRANT %I TO %I', " + admins +
          ", who); ELSE EXECUTE format('REVOKE %I FROM %I', " + admins + ", who); END IF; END $f$");
    const std::string usersRole = c.quote(groupRoleOf(t));
    const std::string adminsRole = c.quote(adminRoleOf(t));
    c.run("REVOKE ALL ON ALL FUNCTIONS IN SCHEMA " + s + " FROM PUBLIC");
    c.run("GRANT EXECUTE ON FUNCTION " + s + ".orv_is_user(text), " + s + ".orv_administers(), " +
          s + ".orv_set_password(text, text, boolean) TO " + usersRole + ", " + adminsRole);
    c.run("GRANT EXECUTE ON FUNCTION " + s + ".orv_drop_user(text), " + s +
          ".orv_set_administrator(text, boolean) TO " + adminsRole);
}

class PgStorage : public RecordScanStorage, public StoreUsers {
  public:
    PgStorage(const PgTarget& target, const StorageOptions& options)
        : target_(target), conn_(target, options), host_(hostName()) {
        schema_ = conn_.quote(target_.schema);
        tables_.files = schema_ + ".orv_files";
        tables_.records = schema_ + ".orv_records";
        tables_.locks = schema_ + ".orv_locks";
        tables_.indexes = schema_ + ".orv_indexes";
        tables_.entries = schema_ + ".orv_index_chunks";
        if (options.create) createSchema(conn_, target_);
        if (!conn_
                 .exec("SELECT 1 FROM pg_tables WHERE schemaname = $1 AND tablename = "
                       "'orv_records'",
                       {text(target_.schema)})
                 .rows())
            throw DbError(
                DbErrorCode::FileNotFound,
                "La base pg:" + target_.database + " n'est pas initialisée (orvanelle-db init)");
        conn_.onReconnect([this] { return depth_ == 0; }, [this] { retakeLocks(); });
        if (ownsStaleSchema()) {
            Tx tx(*this);
            grantSchemaRights(conn_, target_);  // waits for another opening doing the same
            tx.commit();
        }
        if (conn_.exec("SELECT to_regclass($1) IS NULL", {text(tables_.entries)}).boolean(0, 0))
            throw DbError(DbErrorCode::Storage,
                          "La base pg:" + target_.database +
                              " doit être convertie : ouvrez-la une fois avec le compte qui l'a "
                              "créée (orvanelle-db init)");
        loadCatalogue();
    }
    // The server frees the advisory locks with the connection; the rows naming them go too.
    ~PgStorage() override {
        try {
            while (!held_.empty()) release(held_.begin());
        } catch (...) {
            // The server is gone: nothing of this connection is left on it either.
        }
    }

    // The tables, their indexes and the rights of the users' group role.
    static void createSchema(Connection& c, const PgTarget& t) {
        const std::string s = c.quote(t.schema);
        c.run("CREATE SCHEMA IF NOT EXISTS " + s);
        c.run("CREATE TABLE IF NOT EXISTS " + s +
              ".orv_files(id serial PRIMARY KEY, name bytea NOT NULL UNIQUE, "
              "folded bytea NOT NULL UNIQUE)");
        // Records and index entries name their file and index without a foreign key, which
        // the server would check for each one written: removing a file or an index removes
        // them first.
        c.run("CREATE TABLE IF NOT EXISTS " + s +
              ".orv_records(file integer NOT NULL, key bytea NOT NULL, seq bigserial NOT NULL, "
              "rec bytea NOT NULL, PRIMARY KEY(file, key))");
        c.run("CREATE INDEX IF NOT EXISTS orv_records_seq ON " + s + ".orv_records(file, seq)");
        // Secondary indexes: one row per index, the entries of all of them in one table. A
        // record's position is its sequence number, kept while the record exists.
        c.run("CREATE TABLE IF NOT EXISTS " + s +
              ".orv_indexes(id serial PRIMARY KEY, file integer NOT NULL REFERENCES " + s +
              ".orv_files(id) ON DELETE CASCADE, field bytea NOT NULL, UNIQUE(file, field))");
        createChunkTable(c, s);
        c.run("CREATE TABLE IF NOT EXISTS " + s +
              ".orv_locks(file bytea NOT NULL, key bytea NOT NULL, session text NOT NULL, "
              "pid bigint NOT NULL, host text NOT NULL, started bigint NOT NULL, "
              "PRIMARY KEY(file, key))");
    }

    StoreUsers* storeUsers() override { return this; }

    void guardFile(const std::string& file) override {
        std::lock_guard g(mutex_);
        const std::string id = idOf(file);
        const Result r =
            conn_.exec("SELECT access FROM " + tables_.files + " WHERE id = $1", {text(id)});
        if (r.rows() && r.integer(0, 0) != kBusinessFile) return;
        conn_.exec("UPDATE " + tables_.files + " SET access = $2::int2 WHERE id = $1",
                   {text(id), text(std::to_string(kGuardedFile))});
    }

    std::vector<std::string> fileNames() override {
        std::lock_guard g(mutex_);
        loadCatalogue();
        std::vector<std::string> names;
        for (const auto& [name, id] : ids_) names.push_back(name);
        return names;
    }
    bool hasFile(const std::string& file) override {
        std::lock_guard g(mutex_);
        return ids_.count(file) || (loadCatalogue(), ids_.count(file));
    }
    void createFile(const std::string& file) override {
        std::lock_guard g(mutex_);
        if (!isValidFileName(file))
            throw DbError(DbErrorCode::InvalidArgument, invalidFileNameMessage(file));
        Tx tx(*this);
        const Result existing = conn_.exec(
            "SELECT name FROM " + tables_.files + " WHERE folded = $1", {Param{foldCase(file)}});
        if (existing.rows())
            throw DbError(DbErrorCode::FileExists,
                          fileExistsMessage(std::string(existing.bytes(0, 0)), file));
        const std::string folded = foldCase(file);
        insertOnce(
            "INSERT INTO " + tables_.files + "(name, folded, access) VALUES($1, $2, $3::int2)",
            {Param{file}, Param{folded}, text(std::to_string(accessOf(file)))},
            fileExistsMessage(file, file));
        tx.commit();
        loadCatalogue();
    }
    void dropFile(const std::string& file) override {
        std::lock_guard g(mutex_);
        flush();
        indexCache_.clear();
        const std::string id = idOf(file);
        Tx tx(*this);
        conn_.exec("DELETE FROM " + tables_.entries + " WHERE idx IN (SELECT id FROM " +
                       tables_.indexes + " WHERE file = $1)",
                   {text(id)});
        conn_.exec("DELETE FROM " + tables_.records + " WHERE file = $1", {text(id)});
        conn_.exec("DELETE FROM " + tables_.files + " WHERE id = $1", {text(id)});
        conn_.exec("DELETE FROM " + tables_.locks + " WHERE file = $1", {Param{file}});
        tx.commit();
        ids_.erase(file);
    }

    std::optional<std::string> read(const std::string& file, const std::string& key) override {
        std::lock_guard g(mutex_);
        if (const std::string* pending = pendingRecord(file, key)) return *pending;
        const Result r = conn_.execPrepared(
            "SELECT rec FROM " + tables_.records + " WHERE file = $1 AND key = $2",
            {text(idOf(file)), Param{key}});
        if (!r.rows()) return std::nullopt;
        return std::string(r.bytes(0, 0));
    }
    // The keys travel by the thousand as one array; the server joins them to the records on
    // their key's index and returns the position of each key with its record.
    void readEach(const std::string& file, const std::vector<std::string>& keys,
                  const KeyedRecordVisitor& visit) override {
        constexpr size_t kKeysAStatement = 2048;
        for (size_t first = 0; first < keys.size(); first += kKeysAStatement) {
            const size_t end = std::min(keys.size(), first + kKeysAStatement);
            std::unique_lock g(mutex_);
            flush(false);
            const Result r = conn_.execPrepared(
                "SELECT k.i, r.rec FROM unnest($2::bytea[]) WITH ORDINALITY AS k(key, i) JOIN " +
                    tables_.records + " r ON r.file = $1 AND r.key = k.key ORDER BY k.i",
                {text(idOf(file)), Param{byteaArray(std::span(keys).subspan(first, end - first))}});
            g.unlock();
            int row = 0;
            for (size_t i = first; i < end; ++i) {
                const bool found =
                    row < r.rows() && static_cast<size_t>(r.integer(row, 0)) == i - first + 1;
                visit(i, found ? std::optional<std::string_view>(r.bytes(row++, 1)) : std::nullopt);
            }
        }
    }
    void write(const std::string& file, const std::string& key,
               const std::string& record) override {
        std::lock_guard g(mutex_);
        if (depth_ > 0) return buffer(idOf(file), key, record);
        conn_.exec("INSERT INTO " + tables_.records +
                       "(file, key, rec) VALUES($1, $2, $3) "
                       "ON CONFLICT(file, key) DO UPDATE SET rec = excluded.rec",
                   {text(idOf(file)), Param{key}, Param{record}});
    }
    bool remove(const std::string& file, const std::string& key) override {
        std::lock_guard g(mutex_);
        flush();
        return conn_
                   .exec("DELETE FROM " + tables_.records + " WHERE file = $1 AND key = $2",
                         {text(idOf(file)), Param{key}})
                   .affected() > 0;
    }
    void clear(const std::string& file) override {
        std::lock_guard g(mutex_);
        flush();
        const std::string id = idOf(file);
        Tx tx(*this);
        conn_.exec("DELETE FROM " + tables_.records + " WHERE file = $1", {text(id)});
        conn_.exec("DELETE FROM " + tables_.entries + " e USING " + tables_.indexes +
                       " i WHERE e.idx = i.id AND i.file = $1",
                   {text(id)});
        tx.commit();
    }
    int64_t count(const std::string& file) override {
        std::lock_guard g(mutex_);
        flush(false);
        return conn_
            .exec("SELECT count(*) FROM " + tables_.records + " WHERE file = $1",
                  {text(idOf(file))})
            .integer(0, 0);
    }

    // Reads in batches (keyset paging on the sequence or the key), so that a large file never
    // sits whole in memory and a visitor that stops early stops the reading; the visitor may
    // read other records between batches. The texts the filter requires are tested by the
    // server, so that the records that cannot pass are never sent.
    void scanRecords(const std::string& file, const std::optional<std::string>& prefix,
                     const ScanFilter& filter, const RowVisitor& visit) override {
        readPaged(file, prefix, filter, visit, "rec");
    }
    // The keys alone: the records are not sent.
    void scanKeys(const std::string& file, const std::string& prefix,
                  const KeyVisitor& visit) override {
        readPaged(
            file, prefix, {}, [&](Row& row) { return visit(row.key()); }, "''::bytea");
    }

  private:
    // The rows of scanRecords, the record being the column given.
    void readPaged(const std::string& file, const std::optional<std::string>& prefix,
                   const ScanFilter& filter, const RowVisitor& visit, const std::string& record) {
        std::unique_lock g(mutex_);
        const std::string id = idOf(file);
        g.unlock();
        const std::string upper = prefix ? prefixUpperBound(*prefix) : std::string();
        std::string last;
        bool first = true;
        // Keys alone are small: a first page of them answers most key ranges in one statement.
        int batch = record == "rec" ? 256 : 4096;
        for (;;) {
            Statement q;
            q.sql = "SELECT " + record + (prefix ? ", key FROM " : ", key, seq FROM ") +
                    tables_.records + " WHERE file = " + q.bind(id, false);
            if (!prefix)
                q.sql += " AND seq > " + q.bind(first ? "0" : last, false) + "::int8";
            else if (first)
                q.sql += " AND key >= " + q.bind(*prefix);
            else
                q.sql += " AND key > " + q.bind(last);
            if (prefix && !upper.empty()) q.sql += " AND key < " + q.bind(upper);
            if (filter.required.kind != Required::Kind::All)
                q.sql += " AND " + requiredSql(filter.required, q);
            q.sql += prefix ? " ORDER BY key" : " ORDER BY seq";
            q.sql += " LIMIT " + q.bind(std::to_string(batch), false) + "::int4";
            g.lock();
            flush(false);
            if (first && !prefix) analyzeAfterManyWrites();
            Result r = conn_.execPrepared(q.sql, q.params());
            g.unlock();
            const int n = r.rows();
            for (int i = 0; i < n; ++i) {
                BatchRow row(r, i);
                if (filter.keep && !filter.keep(row.record())) continue;
                if (!visitRow(file, row, prefix ? -1 : r.integer(i, 2), visit)) return;
            }
            if (n < batch) return;
            last = prefix ? std::string(r.bytes(n - 1, 1)) : std::to_string(r.integer(n - 1, 2));
            first = false;
            batch = std::min(batch * 4, 16384);
        }
    }

    // Records sent by the thousand in this transaction (a copy, a load) are not in the server's
    // statistics of the table: it would then read all the rest of the file, and sort it, for
    // each page of a scan in file order. Their owner has them counted first (no one else may),
    // unless another transaction is counting them (it would hold this one until it ends).
    void analyzeAfterManyWrites() {
        countRecordsSent();
        if (depth_ == 0 || !ownsSchema_ || recordsSent_ < kAnalyzeAfterRecords) return;
        recordsSent_ = 0;
        conn_.run("ANALYZE (SKIP_LOCKED) " + tables_.records);
    }
    void countRecordsSent() {
        const size_t sent = batch_.takeRecordsSent();
        recordsSent_ += sent;
        transactionRecords_ += sent;
    }

    // Visits a row of a scan, its position known to the entry changes the visitor makes.
    bool visitRow(const std::string& file, Row& row, int64_t position, const RowVisitor& visit) {
        std::unique_lock g(mutex_);
        const Visiting outer = visiting_;
        visiting_ = {&file, row.key(), position};
        g.unlock();
        bool more = false;
        try {
            more = visit(row);
        } catch (...) {
            g.lock();
            visiting_ = outer;
            throw;
        }
        g.lock();
        visiting_ = outer;
        return more;
    }

  public:
    // The records at these positions in one statement, in file order; the positions travel as
    // one array.
    void readRecords(const std::string& file, const std::vector<int64_t>& positions,
                     const RowVisitor& visit) override {
        std::unique_lock g(mutex_);
        flush(false);
        const std::string id = idOf(file);
        std::string array = "{";
        for (size_t i = 0; i < positions.size(); ++i) {
            if (i) array += ',';
            array += std::to_string(positions[i]);
        }
        array += '}';
        Result r = conn_.exec("SELECT rec, key FROM " + tables_.records +
                                  " WHERE file = $1 AND seq = ANY($2::int8[]) ORDER BY seq",
                              {text(id), text(array)});
        g.unlock();
        for (int i = 0; i < r.rows(); ++i) {
            BatchRow row(r, i);
            if (!visit(row)) return;
        }
    }

    // One statement: the bit strings of the first condition's values OR-ed chunk by chunk, AND-ed
    // with those of each further condition in the same chunks, the bits set turned into
    // positions, the records fetched by an index scan of (file, seq) on those positions. The
    // array of positions, of a size the planner cannot know, keeps it from choosing to scan
    // all the records of the file for a few thousand positions. Sorted here into file order.
    bool readIndexed(const std::string& file, const std::vector<IndexCondition>& conditions,
                     const RowVisitor& visit) override {
        std::unique_lock g(mutex_);
        flush();
        const std::string id = idOf(file);
        const Result found =
            conn_.exec("SELECT field, id FROM " + tables_.indexes + " WHERE file = $1", {text(id)});
        std::map<std::string, std::string, std::less<>> ids;
        for (int i = 0; i < found.rows(); ++i)
            ids.emplace(found.bytes(i, 0), std::to_string(found.integer(i, 1)));
        Statement q;
        const std::string fileId = q.bind(id, false) + "::int4";
        std::string with, join = "c0", bits = "c0.b";
        for (size_t i = 0; i < conditions.size(); ++i) {
            const auto it = ids.find(conditions[i].field);
            if (it == ids.end()) throwMissingIndex(file, conditions[i].field);
            const std::string c = "c" + std::to_string(i);
            with += (i ? ", " : "WITH ") + c +
                    " AS MATERIALIZED (SELECT chunk, bit_or(bits) AS b FROM " + tables_.entries +
                    " WHERE idx = " + q.bind(it->second, false) + "::int4 AND " +
                    inRanges(q, "value", conditions[i].ranges) +
                    (i ? " AND chunk IN (SELECT chunk FROM c0)" : "") + " GROUP BY chunk)";
            if (i == 0) continue;
            join += " JOIN " + c + " USING (chunk)";
            bits += " & " + c + ".b";
        }
        q.sql = with + ", j AS MATERIALIZED (SELECT chunk, " + bits + " AS b FROM " + join +
                "), p AS (SELECT (j.chunk << " + std::to_string(kChunkBits) +
                ") + i AS pos FROM j, generate_series(0, " + std::to_string(kChunkSpan - 1) +
                ") i WHERE get_bit(j.b, i) = 1) SELECT rec, key, seq FROM " + tables_.records +
                " WHERE file = " + fileId + " AND seq = ANY(ARRAY(SELECT pos FROM p))";
        Result r = conn_.exec(q.sql, q.params());
        g.unlock();
        std::vector<std::pair<int64_t, int>> order;
        for (int i = 0; i < r.rows(); ++i) order.emplace_back(r.integer(i, 2), i);
        std::sort(order.begin(), order.end());
        for (const auto& [position, i] : order) {
            BatchRow row(r, i);
            if (!visit(row)) break;
        }
        return true;
    }

    std::vector<std::string> indexes(const std::string& file) override {
        std::lock_guard g(mutex_);
        if (depth_ > 0)
            if (auto it = indexCache_.find(file); it != indexCache_.end()) return it->second;
        const Result r =
            conn_.exec("SELECT i.field FROM " + tables_.indexes + " i JOIN " + tables_.files +
                           " f ON f.id = i.file WHERE f.name = $1 ORDER BY i.field",
                       {Param{file}});
        std::vector<std::string> fields;
        for (int i = 0; i < r.rows(); ++i) fields.emplace_back(r.bytes(i, 0));
        if (depth_ > 0) indexCache_[file] = fields;
        return fields;
    }
    void createIndex(const std::string& file, const std::string& field) override {
        std::lock_guard g(mutex_);
        flush();
        indexCache_.clear();
        const std::string id = idOf(file);
        Tx tx(*this);
        if (conn_
                .exec("SELECT 1 FROM " + tables_.indexes + " WHERE file = $1 AND field = $2",
                      {text(id), Param{field}})
                .rows())
            throw DbError(DbErrorCode::FileExists,
                          "L'index " + field + " du fichier " + file + " existe déjà");
        insertOnce("INSERT INTO " + tables_.indexes + "(file, field) VALUES($1, $2)",
                   {text(id), Param{field}},
                   "L'index " + field + " du fichier " + file + " existe déjà");
        batch_.indexCreated(file, field);
        tx.commit();
    }
    bool dropIndex(const std::string& file, const std::string& field) override {
        std::lock_guard g(mutex_);
        flush();
        indexCache_.clear();
        Tx tx(*this);
        const Result dropped =
            conn_.exec("DELETE FROM " + tables_.indexes + " i USING " + tables_.files +
                           " f WHERE f.id = i.file AND f.name = $1 AND "
                           "i.field = $2 RETURNING i.id",
                       {Param{file}, Param{field}});
        if (dropped.rows())
            conn_.exec("DELETE FROM " + tables_.entries + " WHERE idx = $1::int4",
                       {text(std::to_string(dropped.integer(0, 0)))});
        tx.commit();
        return dropped.rows() > 0;
    }
    void insertIndexEntry(const std::string& file, const std::string& field, std::string_view value,
                          std::string_view key) override {
        std::lock_guard g(mutex_);
        changeEntry(file, field, value, key, true);
    }
    void eraseIndexEntry(const std::string& file, const std::string& field, std::string_view value,
                         std::string_view key) override {
        std::lock_guard g(mutex_);
        changeEntry(file, field, value, key, false);
    }
    // Reads in batches that grow, as scanRecords: a planner that stops after a few entries
    // (an index that selects too much) does not have the whole range sent.
    void scanIndex(const std::string& file, const std::string& field, std::string_view from,
                   std::string_view to, const EntryVisitor& visit) override {
        std::unique_lock g(mutex_);
        flush();
        const Result found =
            conn_.exec("SELECT x.id FROM " + tables_.indexes + " x JOIN " + tables_.files +
                           " f ON f.id = x.file WHERE f.name = $1 AND "
                           "x.field = $2",
                       {Param{file}, Param{field}});
        if (!found.rows()) throwMissingIndex(file, field);
        const std::string idx = std::to_string(found.integer(0, 0));
        g.unlock();
        std::string lastValue, lastChunk;
        bool first = true;
        int batch = 16;  // chunk rows, each up to kChunkSpan positions
        std::vector<int64_t> positions;
        for (;;) {
            Statement q;
            const std::string id = q.bind(idx, false) + "::int4";
            q.sql = "SELECT value, chunk, bits FROM " + tables_.entries + " WHERE idx = " + id +
                    " AND value >= " + q.bind(std::string(from));
            if (!to.empty()) q.sql += " AND value < " + q.bind(std::string(to));
            if (!first)
                q.sql += " AND (idx, value, chunk) > (" + id + ", " + q.bind(lastValue) + ", " +
                         q.bind(lastChunk, false) + "::int8)";
            q.sql +=
                " ORDER BY value, chunk LIMIT " + q.bind(std::to_string(batch), false) + "::int4";
            g.lock();
            Result r = conn_.execPrepared(q.sql, q.params());
            g.unlock();
            const int n = r.rows();
            for (int i = 0; i < n; ++i) {
                const int64_t base = r.integer(i, 1) << kChunkBits;
                positions.clear();
                visitBits(r.bytes(i, 2), [&](int o) { positions.push_back(base + o); });
                if (!positions.empty() && !visit(r.bytes(i, 0), positions)) return;
            }
            if (n < batch) return;
            lastValue = r.bytes(n - 1, 0);
            lastChunk = std::to_string(r.integer(n - 1, 1));
            first = false;
            batch = std::min(batch * 4, 1024);
        }
    }

    // Rows written by the thousand are not marked visible to every transaction until the
    // server vacuums them: until then a read of keys alone visits each row besides its entry
    // in the key's index. Only after a transaction of many records (committed durably, its
    // count kept until the next one begins), and only by the owner of the tables: a load of a
    // few records does not vacuum a table of millions.
    void afterBulkWrite() override {
        std::lock_guard g(mutex_);
        if (depth_ > 0 || !ownsSchema_ || transactionRecords_ < kAnalyzeAfterRecords) return;
        transactionRecords_ = 0;
        conn_.run("VACUUM (ANALYZE, SKIP_LOCKED) " + tables_.records + ", " + tables_.entries);
    }

    void begin() override {
        std::lock_guard g(mutex_);
        if (depth_ == 0) startTransaction();
        ++depth_;
    }
    void commit() override {
        std::lock_guard g(mutex_);
        if (depth_ > 0 && --depth_ == 0) finishTransaction();
    }
    void rollback() override {
        std::lock_guard g(mutex_);
        if (depth_ > 0) {
            depth_ = 0;
            discardPending();
            conn_.run("ROLLBACK");
        }
    }

    std::optional<LockOwner> otherHolder(const std::string& file, const std::string& key,
                                         const std::string& session) override {
        std::lock_guard g(mutex_);
        if (auto it = held_.find({file, key}); it != held_.end())
            return it->second.session == session ? std::nullopt
                                                 : std::optional<LockOwner>(it->second);
        // Every holder writes its row right after taking the lock: without a row there is no
        // holder, and the look-up of the rows spares most writes the scan of pg_locks.
        std::optional<LockOwner> holder =
            depth_ > 0 ? batchHolder(file, key) : recordedHolder(file, key);
        if (!holder) return std::nullopt;
        const uint64_t h = lockHash(target_.schema, file, key);
        const Result r = conn_.exec(
            "SELECT 1 FROM pg_locks WHERE locktype = 'advisory' AND database = "
            "(SELECT oid FROM pg_database WHERE datname = current_database()) AND classid = "
            "$1::oid AND objid = $2::oid AND objsubid = 1 AND granted AND pid <> "
            "pg_backend_pid()",
            {text(std::to_string(h >> 32)), text(std::to_string(h & 0xFFFFFFFFu))});
        if (!r.rows()) return std::nullopt;  // the row of a holder whose connection ended
        return holder;
    }
    std::optional<LockOwner> tryLock(const std::string& file, const std::string& key,
                                     const LockOwner& owner) override {
        std::lock_guard g(mutex_);
        if (auto it = held_.find({file, key}); it != held_.end())
            return it->second.session == owner.session ? std::nullopt
                                                       : std::optional<LockOwner>(it->second);
        const std::string h =
            std::to_string(static_cast<int64_t>(lockHash(target_.schema, file, key)));
        if (!conn_.exec("SELECT pg_try_advisory_lock($1::int8)", {text(h)}).boolean(0, 0)) {
            // A holder that has not written its row yet is known only as another session.
            return recordedHolder(file, key).value_or(LockOwner{"?", 0, "?", 0});
        }
        lockRows_.clear();
        try {
            recordHolder(file, key, owner);
        } catch (...) {
            releaseAdvisory(h);
            throw;
        }
        held_[{file, key}] = owner;
        return std::nullopt;
    }
    void unlock(const std::string& file, const std::string& key,
                const std::string& session) override {
        std::lock_guard g(mutex_);
        auto it = held_.find({file, key});
        if (it == held_.end() || it->second.session != session) return;
        release(it);
    }
    void unlockAll(const std::string& session) override {
        std::lock_guard g(mutex_);
        for (auto it = held_.begin(); it != held_.end();) {
            if (it->second.session == session)
                it = release(it);
            else
                ++it;
        }
    }

    // --- Users: login roles of the server, members of the database's group role ---------------

    void setPassword(const std::string& user, const std::string& password,
                     UserChange change) override {
        std::lock_guard g(mutex_);
        if (user.empty()) throw DbError(DbErrorCode::InvalidArgument, "Nom d'utilisateur vide");
        // Only the SCRAM verifier travels and lands in the server's logs, never the password.
        char* verifier =
            PQencryptPasswordConn(conn_.raw(), password.c_str(), user.c_str(), "scram-sha-256");
        if (!verifier)
            throw DbError(DbErrorCode::Storage, "Chiffrement du mot de passe impossible");
        const std::string scram(verifier);
        PQfreemem(verifier);
        bool creating = change == UserChange::Create;
        if (change == UserChange::CreateOrChange) {
            const bool exists =
                conn_.exec("SELECT 1 FROM pg_roles WHERE rolname = $1", {text(user)}).rows() > 0;
            if (exists && !isMember(user))
                throw DbError(
                    DbErrorCode::InvalidArgument,
                    "Le rôle " + user + " du serveur n'est pas un utilisateur de cette base");
            creating = !exists;
        }
        userCall("SELECT " + schema_ + ".orv_set_password($1, $2, $3::boolean)", user,
                 {text(user), text(scram), text(creating ? "true" : "false")});
    }
    bool remove(const std::string& user) override {
        std::lock_guard g(mutex_);
        return userCall("SELECT " + schema_ + ".orv_drop_user($1)", user, {text(user)})
            .boolean(0, 0);
    }
    void setAdministrator(const std::string& user, bool administrator) override {
        std::lock_guard g(mutex_);
        userCall("SELECT " + schema_ + ".orv_set_administrator($1, $2::boolean)", user,
                 {text(user), text(administrator ? "true" : "false")});
    }
    bool check(const std::string& user, const std::string& password) override {
        PgTarget t = target_;
        t.user = user;
        t.password = password;
        try {
            Connection probe(t);
            return true;
        } catch (const DbError& e) {
            if (e.code() == DbErrorCode::Authentication) return false;
            throw;
        }
    }
    std::vector<std::string> names() override {
        std::lock_guard g(mutex_);
        const Result r = conn_.exec(
            "SELECT m.rolname::text FROM pg_auth_members a JOIN pg_roles m ON m.oid = a.member "
            "JOIN pg_roles g ON g.oid = a.roleid WHERE g.rolname = $1 AND m.rolcanlogin",
            {text(groupRoleOf(target_))});
        std::vector<std::string> out;
        for (int i = 0; i < r.rows(); ++i) out.emplace_back(r.bytes(i, 0));
        std::sort(out.begin(), out.end());
        return out;
    }

  private:
    class Tx {
      public:
        explicit Tx(PgStorage& s) : s_(s) {
            if (s_.depth_ == 0) s_.startTransaction();
            ++s_.depth_;
        }
        void commit() {
            done_ = true;
            if (--s_.depth_ == 0) s_.finishTransaction();
        }
        ~Tx() {
            if (!done_) {
                s_.depth_ = 0;
                s_.discardPending();
                PQclear(PQexec(s_.conn_.raw(), "ROLLBACK"));
            }
        }

      private:
        PgStorage& s_;
        bool done_ = false;
    };

    class BatchRow : public Row {
      public:
        BatchRow(const Result& r, int i) : r_(r), i_(i) {}
        std::string_view record() override { return r_.bytes(i_, 0); }
        std::string_view key() override { return r_.bytes(i_, 1); }

      private:
        const Result& r_;
        int i_;
    };

    // "column lies in one of the ranges".
    static std::string inRanges(Statement& q, const std::string& column,
                                const std::vector<IndexRange>& ranges) {
        std::string sql = "(";
        for (size_t i = 0; i < ranges.size(); ++i) {
            sql += (i ? " OR (" : "(") + column + " >= " + q.bind(ranges[i].from);
            if (!ranges[i].to.empty()) sql += " AND " + column + " < " + q.bind(ranges[i].to);
            sql += ")";
        }
        return sql + ")";
    }
    // "rec holds TEXT" for every text of the tree, joined as the tree joins them.
    static std::string requiredSql(const Required& r, Statement& q) {
        switch (r.kind) {
            case Required::Kind::All:
                return "true";
            case Required::Kind::Contains:
                return "position(" + q.bind(r.text) + "::bytea in rec) > 0";
            case Required::Kind::And:
            case Required::Kind::Or:
                break;
        }
        std::string sql = "(";
        for (size_t i = 0; i < r.children.size(); ++i) {
            if (i) sql += r.kind == Required::Kind::And ? " AND " : " OR ";
            sql += requiredSql(r.children[i], q);
        }
        return sql + ")";
    }

    // The holder named by the lock table, alive or not.
    std::optional<LockOwner> recordedHolder(const std::string& file, const std::string& key) {
        const Result r = conn_.exec("SELECT session, pid, host, started FROM " + tables_.locks +
                                        " WHERE file = $1 AND key = $2",
                                    {Param{file}, Param{key}});
        if (!r.rows()) return std::nullopt;
        return LockOwner{std::string(r.bytes(0, 0)), r.integer(0, 1), std::string(r.bytes(0, 2)),
                         r.integer(0, 3)};
    }

    // Inside a transaction the lock rows of a file are read once for a batch of writes (one
    // statement, usually answering nothing) rather than once per record written; they are read
    // again after each batch sent and whenever this connection takes or frees a lock. A lock
    // another workstation takes meanwhile is seen from the next batch on, as a lock taken just
    // after the look-up of one record is seen from the next write.
    std::optional<LockOwner> batchHolder(const std::string& file, const std::string& key) {
        auto rows = lockRows_.find(file);
        if (rows == lockRows_.end()) {
            const Result r = conn_.exec("SELECT key, session, pid, host, started FROM " +
                                            tables_.locks + " WHERE file = $1",
                                        {Param{file}});
            rows = lockRows_.emplace(file, std::map<std::string, LockOwner, std::less<>>()).first;
            for (int i = 0; i < r.rows(); ++i)
                rows->second.emplace(std::string(r.bytes(i, 0)),
                                     LockOwner{std::string(r.bytes(i, 1)), r.integer(i, 2),
                                               std::string(r.bytes(i, 3)), r.integer(i, 4)});
        }
        const auto found = rows->second.find(key);
        if (found == rows->second.end()) return std::nullopt;
        return found->second;
    }

    using Held = std::map<std::pair<std::string, std::string>, LockOwner>;
    Held::iterator release(Held::iterator it) {
        const auto& [file, key] = it->first;
        lockRows_.clear();
        conn_.exec("DELETE FROM " + tables_.locks + " WHERE file = $1 AND key = $2",
                   {Param{file}, Param{key}});
        releaseAdvisory(std::to_string(static_cast<int64_t>(lockHash(target_.schema, file, key))));
        return held_.erase(it);
    }
    // The server freed this connection's locks when it was lost: each is taken again, unless
    // another session took it meanwhile (the next write of that record then fails as locked).
    void retakeLocks() {
        for (auto it = held_.begin(); it != held_.end();) {
            const auto& [file, key] = it->first;
            const std::string h =
                std::to_string(static_cast<int64_t>(lockHash(target_.schema, file, key)));
            if (conn_.exec("SELECT pg_try_advisory_lock($1::int8)", {text(h)}).boolean(0, 0)) {
                recordHolder(file, key, it->second);
                ++it;
            } else {
                it = held_.erase(it);
            }
        }
    }
    void recordHolder(const std::string& file, const std::string& key, const LockOwner& owner) {
        // A row left by a holder whose connection ended is replaced.
        conn_.exec("INSERT INTO " + tables_.locks +
                       "(file, key, session, pid, host, started) VALUES($1, $2, $3, $4, $5, "
                       "$6) ON CONFLICT(file, key) DO UPDATE SET session = excluded.session, "
                       "pid = excluded.pid, host = excluded.host, started = excluded.started",
                   {Param{file}, Param{key}, text(owner.session), text(std::to_string(owner.pid)),
                    text(owner.host), text(std::to_string(owner.processStart))});
    }
    void releaseAdvisory(const std::string& h) {
        conn_.exec("SELECT pg_advisory_unlock($1::int8)", {text(h)});
    }

    void startTransaction() {
        indexCache_.clear();
        batch_.startTransaction();
        lockRows_.clear();
        transactionRecords_ = 0;
        conn_.run("BEGIN");
    }
    // Sends what waits, then commits; on failure the whole transaction is rolled back.
    void finishTransaction() {
        try {
            flush();
            commitDurablyWhenMany();
            conn_.run("COMMIT");
        } catch (...) {
            discardPending();
            PQclear(PQexec(conn_.raw(), "ROLLBACK"));
            throw;
        }
    }
    // A transaction of many records (a copy, a load) is committed durably whatever the
    // server's setting: a copy reported done is never lost to a crash of the server, and its
    // rows can be vacuumed at once (a server marks rows visible to every transaction only once
    // their commit is on disk).
    void commitDurablyWhenMany() {
        countRecordsSent();
        if (transactionRecords_ >= kAnalyzeAfterRecords)
            conn_.run("SET LOCAL synchronous_commit = on");
    }
    void discardPending() {
        lockRows_.clear();
        batch_.discard();
        indexCache_.clear();
    }
    const std::string* pendingRecord(const std::string& file, const std::string& key) {
        return batch_.empty() ? nullptr : batch_.record(idOf(file), key);
    }
    void buffer(const std::string& id, const std::string& key, const std::string& record) {
        if (batch_.addRecord(id, key, record)) flush(false);
    }
    // An entry change waits in the transaction's batch; outside a transaction it is sent at
    // once. The position of the record is known when a scan of this store is visiting it (an
    // index being filled).
    void changeEntry(const std::string& file, const std::string& field, std::string_view value,
                     std::string_view key, bool present) {
        const int64_t position = visiting_.file && *visiting_.file == file && visiting_.key == key
                                     ? visiting_.position
                                     : -1;
        if (depth_ > 0) {
            if (batch_.addEntry(file, field, value, key, position, present)) flush(false);
            return;
        }
        Tx tx(*this);
        batch_.addEntry(file, field, value, key, position, present);
        tx.commit();
    }
    // Sends what waits; unless final, the entries of an index made in this transaction that
    // may still grow stay (a scan of records, the entries sent so far suffice).
    void flush(bool final = true) {
        if (batch_.empty()) return;
        lockRows_.clear();
        batch_.send(final);
    }

    bool isMember(const std::string& user) {
        return conn_
                   .exec(
                       "SELECT 1 FROM pg_auth_members a JOIN pg_roles m ON m.oid = a.member "
                       "JOIN pg_roles g ON g.oid = a.roleid WHERE g.rolname = $1 AND "
                       "m.rolname = $2",
                       {text(groupRoleOf(target_)), text(user)})
                   .rows() > 0;
    }
    // Inserts a row that another workstation may have inserted since this one looked: its
    // unique key then refuses it, with the engine's message.
    void insertOnce(const std::string& sql, const std::vector<Param>& params,
                    const std::string& existsMessage) {
        try {
            conn_.exec(sql, params);
        } catch (const DbError&) {
            if (conn_.lastState() == kUniqueViolationState)
                throw DbError(DbErrorCode::FileExists, existsMessage);
            throw;
        }
    }

    // Calls a role function on behalf of `user`, its refusals told in the engine's words.
    Result userCall(const std::string& sql, const std::string& user,
                    const std::vector<Param>& params) {
        try {
            return conn_.exec(sql, params);
        } catch (const DbError& e) {
            const std::string& state = conn_.lastState();
            if (state == kUserExistsState)
                throw DbError(DbErrorCode::UserExists, "L'utilisateur " + user + " existe déjà");
            if (state == kNoSuchUserState)
                throw DbError(DbErrorCode::InvalidArgument,
                              "L'utilisateur " + user + " n'existe pas");
            if (state == kRefusedState)
                throw DbError(DbErrorCode::Authentication,
                              "Seul un administrateur de la base gère les utilisateurs");
            throw;
        }
    }

    // Whether the connecting role owns a schema whose rights are older than this program's;
    // remembers whether it owns the schema at all.
    bool ownsStaleSchema() {
        const Result r = conn_.exec(
            "SELECT n.nspowner = (SELECT oid FROM pg_roles WHERE rolname = current_user), "
            "to_regclass($2) IS NULL FROM pg_namespace n WHERE n.nspname = $1",
            {text(target_.schema), text(schema_ + ".orv_settings")});
        ownsSchema_ = r.rows() && r.boolean(0, 0);
        if (!ownsSchema_) return false;
        if (r.boolean(0, 1)) return true;
        const Result v =
            conn_.exec("SELECT value FROM " + schema_ + ".orv_settings WHERE name = 'privileges'");
        return !v.rows() || std::stoi(std::string(v.bytes(0, 0))) < kPrivilegesVersion;
    }

    std::string idOf(const std::string& file) {
        auto it = ids_.find(file);
        if (it == ids_.end()) {
            loadCatalogue();  // another workstation may have created it
            it = ids_.find(file);
            if (it == ids_.end())
                throw DbError(DbErrorCode::FileNotFound, "Fichier inconnu : " + file);
        }
        return it->second;
    }
    void loadCatalogue() {
        const Result r = conn_.exec("SELECT name, id FROM " + tables_.files);
        ids_.clear();
        for (int i = 0; i < r.rows(); ++i)
            ids_[std::string(r.bytes(i, 0))] = std::to_string(r.integer(i, 1));
    }

    // The row a scan of this store is visiting: its file, key and position (-1: unknown).
    struct Visiting {
        const std::string* file = nullptr;
        std::string_view key;
        int64_t position = -1;
    };

    PgTarget target_;
    Connection conn_;
    Visiting visiting_;
    static constexpr size_t kAnalyzeAfterRecords = 10000;
    size_t recordsSent_ = 0;         // since the records were last counted by the server
    size_t transactionRecords_ = 0;  // sent in the current transaction
    bool ownsSchema_ = false;
    std::string host_;
    std::string schema_;
    Tables tables_;
    WriteBatch batch_{conn_, tables_};
    std::recursive_mutex mutex_;
    int depth_ = 0;
    std::map<std::string, std::string> ids_;  // file name -> id, as text for parameters
    Held held_;
    // The lock rows of files written in the current batch, by file name.
    std::map<std::string, std::map<std::string, LockOwner, std::less<>>> lockRows_;
    // The indexes of each file as read in the current transaction.
    std::map<std::string, std::vector<std::string>> indexCache_;
};

}  // namespace

bool isPgAccountPath(std::string_view accountPath) {
    return accountPath.substr(0, kPgAccountPrefix.size()) == kPgAccountPrefix;
}

PgTarget pgTargetOf(std::string_view server, std::string_view accountPath) {
    PgTarget t;
    t.database = std::string(accountPath.substr(kPgAccountPrefix.size()));
    const size_t colon = server.rfind(':');
    if (colon != std::string_view::npos && server.find(':') == colon) {
        t.host = std::string(server.substr(0, colon));
        t.port = std::string(server.substr(colon + 1));
    } else {
        t.host = std::string(server);
    }
    return t;
}

std::unique_ptr<Storage> openPostgresStorage(const PgTarget& target,
                                             const StorageOptions& options) {
    return std::make_unique<PgStorage>(target, options);
}

void initPostgresDatabase(const PgTarget& target) {
    {
        PgTarget server = target;
        server.database = "postgres";
        Connection c(server);
        if (!c.exec("SELECT 1 FROM pg_database WHERE datname = $1", {text(target.database)}).rows())
            c.run("CREATE DATABASE " + c.quote(target.database) + " TEMPLATE template0");
    }
    Connection c(target);
    c.run("BEGIN");
    PgStorage::createSchema(c, target);
    grantSchemaRights(c, target);
    c.run("COMMIT");
}

namespace {

void dropGroupAndMembers(Connection& c, const PgTarget& target) {
    const std::string group = groupRoleOf(target);
    const Result members = c.exec(
        "SELECT m.rolname::text FROM pg_auth_members a JOIN pg_roles m ON m.oid = a.member "
        "JOIN pg_roles g ON g.oid = a.roleid WHERE g.rolname = $1",
        {text(group)});
    for (int i = 0; i < members.rows(); ++i)
        c.run("DROP ROLE IF EXISTS " + c.quote(members.bytes(i, 0)));
    c.run("DROP ROLE IF EXISTS " + c.quote(group));
    c.run("DROP ROLE IF EXISTS " + c.quote(adminRoleOf(target)));
}

}  // namespace

void dropPostgresSchema(const PgTarget& target) {
    Connection c(target);
    c.run("DROP SCHEMA IF EXISTS " + c.quote(target.schema) + " CASCADE");
    dropGroupAndMembers(c, target);
}

void dropPostgresDatabase(const PgTarget& target) {
    PgTarget server = target;
    server.database = "postgres";
    Connection c(server);
    c.run("DROP DATABASE IF EXISTS " + c.quote(target.database) + " WITH (FORCE)");
    dropGroupAndMembers(c, target);
}

}  // namespace orv
