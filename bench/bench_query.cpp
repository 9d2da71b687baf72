// Selection speed on an invoice archive of about a million records, against the same records
// in an ordinary SQLite table (one column per attribute used) queried with one SQL SELECT.
//
//   orv_bench_query [--store pg:NAME] [--index] [DIRECTORY] [RECORDS]
//   orv_bench_query --demo DEMO_DATABASE [DIRECTORY]
//
// The generated databases are kept in DIRECTORY (default: the system temporary directory) and
// reused by later runs with the same record count. With --store pg:NAME the engine's records
// live in the PostgreSQL database NAME instead (created when missing; server, role and password
// from libpq's PGHOST, PGPORT, PGUSER and PGPASSWORD), measured against the same SQLite table.
// --index indexes the archive's entity, period and mode (kept in the database) before measuring.
// With --demo, the invoices of a demo database (`orvanelle-db demo --scale 100`: about a
// million; a path or pg:NAME) are measured instead, the baseline table being filled from them;
// the demo's own indexes are then compared with the same table without indexes and with the
// equivalent SQL indexes; on a demo copied to a server (pg:NAME), also with the same invoices in a
// plain table of that server (schema orv_bench: the same three indexes, the names in ICU's
// French order), queried through libpq in the same run. Then, for an embedded demo, with the
// cost of indexes is measured: the time and space to create each index of the invoices, and the
// rate of a load (records written in one transaction, as `orvanelle-db load` does) with and without
// indexes declared.
#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/collation.h"
#include "engine/database.h"
#include "engine/dynarray.h"
#include "engine/pg_storage.h"
#include "engine/storage.h"

namespace {

using Clock = std::chrono::steady_clock;
using Keys = std::vector<std::string>;

const char* const kNames[] = {
    "MARTIN",   "BERNARD", "DUBOIS",  "THOMAS",   "ROBERT",   "RICHARD",  "PETIT",  "DURAND",
    "LEROY",    "MOREAU",  "SIMON",   "LAURENT",  "LEFEBVRE", "MICHEL",   "GARCIA", "DAVID",
    "BERTRAND", "ROUX",    "VINCENT", "FOURNIER", "MOREL",    "GIRARD",   "ANDRÉ",  "LEFÈVRE",
    "MERCIER",  "DUPONT",  "LAMBERT", "BONNET",   "FRANÇOIS", "MARTINEZ", "ZZAOUI", "ÉTIENNE",
    "ABADIE",   "MARCHAL", "MARS",    "MASSON",   "NOËL",     "CARON",    "ZIMMER", "BARBIER"};
const char* const kFirstNames[] = {"Jean",   "Marie",  "Pierre", "Anne",   "Louis", "Jeanne",
                                   "Paul",   "Hélène", "André",  "Simone", "René",  "Zoé",
                                   "Michel", "Odette", "Lucien", "Yvette"};
const char* const kTowns[] = {"AMIENS", "ABBEVILLE", "PÉRONNE", "ALBERT", "DOULLENS",
                              "CORBIE", "HAM",       "RUE",     "ROYE",   "MONTDIDIER"};
const char kModes[] = {'P', 'M', 'I'};

constexpr int kEntities = 40;
constexpr int kPeriods = 25;  // 200401 .. 200601

template <size_t N>
const char* pick(const char* const (&list)[N], uint64_t r) {
    return list[r % N];
}

// Deterministic pseudo-random numbers (splitmix64).
uint64_t mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::string pad(uint64_t n, int width) {
    std::string s = std::to_string(n);
    return std::string(width > static_cast<int>(s.size()) ? width - s.size() : 0, '0') + s;
}

std::string period(int index) {
    const int year = 2004 + index / 12;
    const int month = index % 12 + 1;
    return std::to_string(year) + pad(month, 2);
}

// One archived invoice: the attributes a selection reads, and a few others to give records a
// realistic size.
struct Invoice {
    std::string key, entity, period, mode, resp, sect, name, first, number, adrName, adrTown, town,
        amount;
};

Invoice makeInvoice(int64_t i, int perPeriod) {
    const uint64_t r = mix(static_cast<uint64_t>(i));
    Invoice v;
    const int entity = static_cast<int>(i % kEntities) + 1;
    const int p = static_cast<int>(i / kEntities % kPeriods);
    const int64_t serial = i / (kEntities * kPeriods);
    v.entity = pad(entity, 3);
    v.period = period(p);
    v.number = pad(static_cast<uint64_t>(p * perPeriod + serial + 1), 10);
    v.key = v.entity + v.period + v.number;
    v.mode = std::string(1, kModes[r % 3]);
    v.resp = (r >> 8) % 10 == 0 ? "" : pad((r >> 12) % 30 + 1, 3);
    v.sect = pad((r >> 20) % 12 + 1, 3);
    v.name = pick(kNames, r >> 24);
    v.first = pick(kFirstNames, r >> 32);
    v.adrName = (r >> 36) % 4 == 0 ? std::string("UDAF ") + pick(kTowns, r >> 40) : v.name;
    v.adrTown = pick(kTowns, r >> 44);
    v.town = pick(kTowns, r >> 48);
    v.amount = std::to_string((r >> 52) % 90000 + 1000);
    return v;
}

orv::DynArray record(const Invoice& v) {
    orv::DynArray rec;
    rec.replace(1, v.entity);
    rec.replace(2, v.period);
    rec.replace(3, v.mode);
    rec.replace(4, "FACTURE");
    rec.replace(5, v.resp);
    rec.replace(6, v.sect);
    rec.replace(7, "12 RUE DES LILAS");
    rec.replace(8, v.name);
    rec.replace(9, v.first);
    rec.replace(10, v.number);
    rec.replace(11, v.adrName);
    rec.replace(12, "80000");
    rec.replace(13, "");
    rec.replace(14, v.adrTown);
    rec.replace(15, v.town);
    rec.replace(16, std::string("AIDE MÉNAGÈRE") + orv::kValueMark + "TOILETTE");
    rec.replace(17, v.amount);
    return rec;
}

void dictItem(orv::Database& db, const std::string& name, int attribute, const char* format) {
    orv::DynArray item;
    item.replace(1, "D");
    item.replace(2, std::to_string(attribute));
    item.replace(4, name);
    item.replace(5, format);
    item.replace(6, "S");
    db.write("DICT ARCHIVEFACT", name, item);
}

void check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "SQLite (%s) : %s\n", what, sqlite3_errmsg(db));
        std::exit(1);
    }
}

std::string_view textOf(sqlite3_value* v) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p ? std::string_view(p, sqlite3_value_bytes(v)) : std::string_view();
}

// french_key(text): the key of the engine's French order for left-justified sort keys.
// Ordering by french_key(x), x compares as the engine does, and SQLite computes the key once
// per selected row, as the engine does.
void frenchKey(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const std::string key = orv::collation::key(textOf(argv[0]));
    sqlite3_result_blob(ctx, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

// The collation FR: the engine's French order for the comparisons of a condition.
int frenchCompare(void*, int na, const void* a, int nb, const void* b) {
    return orv::collation::compare(std::string_view(static_cast<const char*>(a), na),
                                   std::string_view(static_cast<const char*>(b), nb));
}

class Baseline {
  public:
    explicit Baseline(const std::string& path) {
        check(sqlite3_open(path.c_str(), &db_), db_, "open");
        check(sqlite3_create_function_v2(db_, "french_key", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                         nullptr, frenchKey, nullptr, nullptr, nullptr),
              db_, "french_key");
        check(sqlite3_create_collation_v2(db_, "FR", SQLITE_UTF8, nullptr, frenchCompare, nullptr),
              db_, "FR");
        // The same connection settings as the engine, so that the comparison is like for like.
        for (const std::string& pragma : orv::sqliteConnectionPragmas()) exec(pragma.c_str());
        exec(
            "CREATE TABLE IF NOT EXISTS archivefact(key TEXT PRIMARY KEY, assoc TEXT, periode "
            "TEXT, activite TEXT, coderesp TEXT, codesect TEXT, nomaide TEXT, prenomaide TEXT, "
            "numfact TEXT, comadr TEXT, nomadr TEXT, libcom TEXT)");
    }
    ~Baseline() { sqlite3_close(db_); }

    // The SQL indexes equivalent to the demo's: one per field the engine indexes.
    void createIndexes() {
        exec("CREATE INDEX IF NOT EXISTS archivefact_assoc ON archivefact(assoc)");
        exec("CREATE INDEX IF NOT EXISTS archivefact_periode ON archivefact(periode)");
        exec("CREATE INDEX IF NOT EXISTS archivefact_activite ON archivefact(activite)");
        exec("ANALYZE");
    }

    int64_t count() {
        int64_t n = 0;
        query("SELECT count(*) FROM archivefact", {},
              [&](sqlite3_stmt* s) { n = sqlite3_column_int64(s, 0); });
        return n;
    }
    void exec(const char* sql) {
        check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), db_, sql);
    }

    void insert(const Invoice& v) {
        if (!insert_)
            check(sqlite3_prepare_v2(db_, "INSERT INTO archivefact VALUES(?,?,?,?,?,?,?,?,?,?,?,?)",
                                     -1, &insert_, nullptr),
                  db_, "prepare insert");
        const std::string* cols[] = {&v.key,    &v.entity,  &v.period,  &v.mode,
                                     &v.resp,   &v.sect,    &v.name,    &v.first,
                                     &v.number, &v.adrTown, &v.adrName, &v.town};
        for (int c = 0; c < 12; ++c)
            sqlite3_bind_text(insert_, c + 1, cols[c]->data(), static_cast<int>(cols[c]->size()),
                              SQLITE_STATIC);
        check(sqlite3_step(insert_), db_, "insert");
        sqlite3_reset(insert_);
    }
    void finishInserts() {
        sqlite3_finalize(insert_);
        insert_ = nullptr;
    }

    Keys keys(const char* sql, const std::vector<std::string>& params) {
        Keys out;
        query(sql, params, [&](sqlite3_stmt* s) {
            out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)),
                             sqlite3_column_bytes(s, 0));
        });
        return out;
    }

  private:
    void query(const char* sql, const std::vector<std::string>& params,
               const std::function<void(sqlite3_stmt*)>& row) {
        sqlite3_stmt* s = nullptr;
        check(sqlite3_prepare_v2(db_, sql, -1, &s, nullptr), db_, sql);
        for (size_t i = 0; i < params.size(); ++i)
            sqlite3_bind_text(s, static_cast<int>(i + 1), params[i].data(),
                              static_cast<int>(params[i].size()), SQLITE_STATIC);
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW) row(s);
        check(rc, db_, sql);
        sqlite3_finalize(s);
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
};

Invoice fromRecord(std::string_view key, std::string_view text);

// The same invoices in a plain table of the server that holds the engine's records: one column
// per attribute used, an index on each field the engine indexes, the names in ICU's French
// order, the keys in byte order as the engine's.
class PgBaseline {
  public:
    explicit PgBaseline(const std::string& database) {
        const char* keys[] = {"dbname", nullptr};
        const char* values[] = {database.c_str(), nullptr};
        c_ = PQconnectdbParams(keys, values, 1);
        if (PQstatus(c_) != CONNECTION_OK) fail("connexion");
    }
    ~PgBaseline() { PQfinish(c_); }
    PgBaseline(const PgBaseline&) = delete;
    PgBaseline& operator=(const PgBaseline&) = delete;

    // Fills the table from the engine's invoices when it does not hold as many.
    void fillFrom(orv::Database& db, int64_t records) {
        exec("CREATE SCHEMA IF NOT EXISTS orv_bench");
        exec(
            "CREATE TABLE IF NOT EXISTS orv_bench.archivefact(key text COLLATE \"C\" PRIMARY "
            "KEY, assoc text, periode text, activite text, coderesp text, codesect text, nomaide "
            "text COLLATE \"fr-x-icu\", prenomaide text COLLATE \"fr-x-icu\", numfact text, "
            "comadr text, nomadr text, libcom text)");
        if (keys("SELECT count(*)::text FROM orv_bench.archivefact", {}).front() ==
            std::to_string(records))
            return;
        std::printf("Copie des factures dans la table PostgreSQL de référence...\n");
        std::fflush(stdout);
        exec("TRUNCATE orv_bench.archivefact");
        std::string rows;
        db.storage().scan("ARCHIVEFACT", [&](std::string_view key, std::string_view rec) {
            const Invoice v = fromRecord(key, rec);
            const std::string* cols[] = {&v.key,    &v.entity,  &v.period,  &v.mode,
                                         &v.resp,   &v.sect,    &v.name,    &v.first,
                                         &v.number, &v.adrTown, &v.adrName, &v.town};
            for (int c = 0; c < 12; ++c) {
                if (c) rows += '\t';
                for (char ch : *cols[c]) {
                    if (ch == '\\' || ch == '\t' || ch == '\n') rows += '\\';
                    rows += ch;
                }
            }
            rows += '\n';
            return true;
        });
        PGresult* r = PQexec(c_, "COPY orv_bench.archivefact FROM STDIN");
        PQclear(r);
        if (PQputCopyData(c_, rows.data(), static_cast<int>(rows.size())) != 1 ||
            PQputCopyEnd(c_, nullptr) != 1)
            fail("COPY");
        r = PQgetResult(c_);
        if (PQresultStatus(r) != PGRES_COMMAND_OK) fail("COPY");
        PQclear(r);
        while ((r = PQgetResult(c_))) PQclear(r);
        for (const char* column : {"assoc", "periode", "activite"})
            exec((std::string("CREATE INDEX ON orv_bench.archivefact(") + column + ")").c_str());
        exec("VACUUM ANALYZE orv_bench.archivefact");
    }

    Keys keys(const char* sql, const std::vector<std::string>& params) {
        std::vector<const char*> values;
        for (const std::string& p : params) values.push_back(p.c_str());
        PGresult* r = PQexecParams(c_, sql, static_cast<int>(values.size()), nullptr, values.data(),
                                   nullptr, nullptr, 0);
        if (PQresultStatus(r) != PGRES_TUPLES_OK) fail(sql);
        Keys out;
        for (int i = 0; i < PQntuples(r); ++i) out.emplace_back(PQgetvalue(r, i, 0));
        PQclear(r);
        return out;
    }

  private:
    void exec(const char* sql) {
        PGresult* r = PQexec(c_, sql);
        if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
            fail(sql);
        PQclear(r);
    }
    [[noreturn]] void fail(const char* what) {
        std::fprintf(stderr, "PostgreSQL (%s) : %s\n", what, PQerrorMessage(c_));
        std::exit(1);
    }
    PGconn* c_ = nullptr;
};

void generate(orv::Database& db, Baseline& base, int64_t records) {
    std::printf("Génération de %lld factures...\n", static_cast<long long>(records));
    std::fflush(stdout);
    const int perPeriod = static_cast<int>(records / (kEntities * kPeriods)) + 1;
    db.storage().clear("ARCHIVEFACT");
    base.exec("DELETE FROM archivefact");
    db.storage().begin();
    base.exec("BEGIN");
    for (int64_t i = 0; i < records; ++i) {
        const Invoice v = makeInvoice(i, perPeriod);
        db.write("ARCHIVEFACT", v.key, record(v));
        base.insert(v);
    }
    base.finishInserts();
    base.exec("COMMIT");
    db.storage().commit();
}

// Best time of several runs, in milliseconds, and the keys of the last one.
double timeBest(int runs, const std::function<Keys()>& run, Keys& keys) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        keys = run();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        best = std::min(best, ms);
    }
    return best;
}

// Best times of two runs taken in turn, so that both meet the same load of the machine: a
// statement of a millisecond or less varies from run to run by as much as it takes.
std::pair<double, double> timeBestInTurn(int runs, const std::function<Keys()>& ours,
                                         const std::function<Keys()>& theirs, Keys& ourKeys,
                                         Keys& theirKeys) {
    double oursMs = 1e300, theirsMs = 1e300;
    for (int i = 0; i < runs; ++i) {
        oursMs = std::min(oursMs, timeBest(1, ours, ourKeys));
        theirsMs = std::min(theirsMs, timeBest(1, theirs, theirKeys));
    }
    return {oursMs, theirsMs};
}

bool compare(const char* label, const Keys& ours, const Keys& theirs, double ms, double baseMs) {
    const bool same = ours == theirs;
    std::printf("%-40s %8.2f ms   SQL %8.2f ms   ratio %5.2f   %zu clés   %s\n", label, ms, baseMs,
                ms / baseMs, ours.size(), same ? "identiques" : "DIFFÉRENTES");
    return same;
}

// Runs of the key range on each side: the best of many, a run taking a millisecond or less.
constexpr int kPrefixRuns = 25;
constexpr int kArchiveRuns = 5;

// What one run measures: a key range and the invoice archive statement over a period range.
struct Workload {
    std::string prefix, prefixEnd;  // (a): keys from prefix up to prefixEnd excluded
    std::string firstPeriod, lastPeriod;
};

// The baseline row of a stored invoice, by the attributes the archive dictionary names.
Invoice fromRecord(std::string_view key, std::string_view text) {
    const orv::DynArray r{std::string(text)};
    Invoice v;
    v.key = key;
    v.entity = r.extractString(1);
    v.period = r.extractString(2);
    v.mode = r.extractString(3);
    v.resp = r.extractString(5);
    v.sect = r.extractString(6);
    v.name = r.extractString(8);
    v.first = r.extractString(9);
    v.number = r.extractString(10);
    v.adrName = r.extractString(11);
    v.adrTown = r.extractString(14);
    v.town = r.extractString(15);
    return v;
}

void copyToBaseline(orv::Database& db, Baseline& base) {
    std::printf("Copie des factures dans la table de référence...\n");
    std::fflush(stdout);
    base.exec("DELETE FROM archivefact");
    base.exec("BEGIN");
    db.storage().scan("ARCHIVEFACT", [&](std::string_view key, std::string_view rec) {
        base.insert(fromRecord(key, rec));
        return true;
    });
    base.finishInserts();
    base.exec("COMMIT");
}

std::string sqlText(Baseline& base, const char* sql) {
    const Keys rows = base.keys(sql, {});
    return rows.empty() ? std::string() : rows.front();
}

// The three months ending with the last period billed by entity 012.
Workload demoWorkload(Baseline& base) {
    const std::string last =
        sqlText(base, "SELECT max(periode) FROM archivefact WHERE assoc = '012'");
    int year = std::stoi(last.substr(0, 4)), month = std::stoi(last.substr(4, 2)) - 2;
    if (month < 1) {
        month += 12;
        --year;
    }
    return {"012PA0000010", "012PA0000011", std::to_string(year) + pad(month, 2), last};
}

// The key range and the archive statement on the server's plain table, against the engine's
// times and keys.
// One comparison of the engine with a baseline, both timed in turn, and its target: at most
// `target` times the baseline (no target when it is 0).
struct Comparison {
    bool same = false;
    double ms = 0, baseMs = 0;
};
Comparison compareInTurn(const char* label, int runs, const std::function<Keys()>& ours,
                         const std::function<Keys()>& theirs, double target, const char* missed) {
    Keys ourKeys, theirKeys;
    Comparison c;
    std::tie(c.ms, c.baseMs) = timeBestInTurn(runs, ours, theirs, ourKeys, theirKeys);
    c.same = compare(label, ourKeys, theirKeys, c.ms, c.baseMs);
    if (target > 0 && c.ms > target * c.baseMs) std::printf("    objectif manqué : %s\n", missed);
    return c;
}

// The key range and the archive statement on the server's plain table.
bool measurePlain(PgBaseline& plain, const Workload& w, const std::function<Keys()>& prefix,
                  const std::function<Keys()>& archive) {
    const char* missed = "au plus 1,5 fois PostgreSQL";
    bool ok = compareInTurn(
                  "(a) préfixe de clé, PostgreSQL", kPrefixRuns, prefix,
                  [&] {
                      return plain.keys(
                          "SELECT key FROM orv_bench.archivefact WHERE key >= $1 "
                          "AND key < $2 ORDER BY key",
                          {w.prefix, w.prefixEnd});
                  },
                  1.5, missed)
                  .same;
    ok &= compareInTurn(
              "(b) archive, PostgreSQL avec les mêmes index", kArchiveRuns, archive,
              [&] {
                  return plain.keys(
                      "SELECT key FROM orv_bench.archivefact WHERE assoc = '012' AND periode >= "
                      "$1 AND periode <= $2 AND activite = 'P' AND coderesp <> '' AND nomaide >= "
                      "'A' AND nomaide < $3 ORDER BY nomaide, prenomaide, key",
                      {w.firstPeriod, w.lastPeriod, orv::collation::pastPrefix("ZZ")});
              },
              1.5, missed)
              .same;
    return ok;
}

bool measure(orv::Database& db, Baseline& base, const Workload& w, PgBaseline* plain = nullptr) {
    const std::string Q = "\"";

    // (a) A key range.
    const std::string prefixStatement = "SSELECT ARCHIVEFACT AVEC @ID = " + Q + w.prefix + "]" + Q;
    const auto prefix = [&] { return db.select(prefixStatement); };
    const Comparison a = compareInTurn(
        "(a) préfixe de clé", kPrefixRuns, prefix,
        [&] {
            return base.keys(
                "SELECT key FROM archivefact WHERE key >= ?1 AND key < ?2 ORDER BY key",
                {w.prefix, w.prefixEnd});
        },
        plain ? 0 : 1.0, "au plus la référence SQL");
    bool ok = a.same;
    if (a.ms >= 0.5) std::printf("    objectif manqué : moins de 0,5 ms\n");

    // (b) The invoice archive selection with default bounds, alphabetical order.
    const std::string archiveStatement =
        "SSELECT ARCHIVEFACT AVEC AssocArcFact = " + Q + "012" + Q +
        " AND AVEC PeriodeArcFact >= " + Q + w.firstPeriod + Q +
        " AND AVEC PeriodeArcFact <= " + Q + w.lastPeriod + Q + " AND AVEC ActiviteArcFact = " + Q +
        "P" + Q + " AND AVEC CodeRespArcFact <> " + Q + Q + " AND AVEC NomAideArcFact >= " + Q +
        "A]" + Q + " AND AVEC NomAideArcFact <= " + Q + "ZZ]" + Q +
        " PAR NomAideArcFact PAR PrenomAideArcFact PAR @ID";
    const auto archive = [&] { return db.select(archiveStatement); };
    // The same SELECT on the table read whole (NOT INDEXED), then with its indexes.
    auto archiveSql = [&](const char* from) {
        const std::string sql =
            std::string("SELECT key FROM ") + from +
            " WHERE assoc = '012' AND periode >= ?1 AND periode <= ?2 AND activite = 'P' AND "
            "coderesp <> '' AND nomaide COLLATE FR >= 'A' AND nomaide COLLATE FR < ?3 ORDER BY "
            "french_key(nomaide), nomaide, french_key(prenomaide), prenomaide, key";
        return base.keys(sql.c_str(),
                         {w.firstPeriod, w.lastPeriod, orv::collation::pastPrefix("ZZ")});
    };
    const bool indexed = !db.indexes("ARCHIVEFACT").empty();
    ok &= compareInTurn(
              indexed ? "(b) archive, SQL sans index" : "(b) archive des factures", kArchiveRuns,
              archive, [&] { return archiveSql("archivefact NOT INDEXED"); }, indexed ? 0 : 2.0,
              "au plus 2 fois la référence SQL")
              .same;
    if (!indexed) return ok;
    base.createIndexes();
    ok &= compareInTurn(
              "(b) archive, SQL avec les mêmes index", kArchiveRuns, archive,
              [&] { return archiveSql("archivefact"); }, plain ? 0 : 1.0,
              "au plus la référence SQL indexée")
              .same;
    if (plain) ok &= measurePlain(*plain, w, prefix, archive);
    return ok;
}

void printSettings() {
    std::printf("Réglages SQLite des deux côtés :");
    for (const std::string& pragma : orv::sqliteConnectionPragmas())
        std::printf(" %s;", pragma.c_str());
    std::printf("\n");
}

// Pages of the database file in use (not free), read on a connection of its own.
int64_t usedBytes(const std::string& path) {
    sqlite3* c = nullptr;
    check(sqlite3_open_v2(path.c_str(), &c, SQLITE_OPEN_READONLY, nullptr), c, "open");
    int64_t pages = 0, free = 0, size = 0;
    for (auto [pragma, out] :
         {std::pair{"PRAGMA page_count", &pages}, std::pair{"PRAGMA freelist_count", &free},
          std::pair{"PRAGMA page_size", &size}}) {
        sqlite3_stmt* s = nullptr;
        check(sqlite3_prepare_v2(c, pragma, -1, &s, nullptr), c, pragma);
        if (sqlite3_step(s) == SQLITE_ROW) *out = sqlite3_column_int64(s, 0);
        sqlite3_finalize(s);
    }
    sqlite3_close(c);
    return (pages - free) * size;
}

double secondsOf(const std::function<void()>& work) {
    const auto t0 = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Each index of the invoices dropped, then created again: its time and the space it takes.
void measureIndexCreation(orv::Database& db, const std::string& path) {
    const int64_t records = db.storage().count("ARCHIVEFACT");
    for (const std::string& field : db.indexes("ARCHIVEFACT")) {
        db.dropIndex("ARCHIVEFACT", field);
        const int64_t before = usedBytes(path);
        int64_t entries = 0;
        const double s = secondsOf([&] { entries = db.createIndex("ARCHIVEFACT", field); });
        const int64_t growth = usedBytes(path) - before;
        std::printf(
            "index create ARCHIVEFACT %-16s %6.2f s   %lld entrées   +%.1f Mo (%.0f o par "
            "facture)\n",
            field.c_str(), s, static_cast<long long>(entries), growth / 1e6,
            static_cast<double>(growth) / static_cast<double>(records));
    }
}

// Writes the demo's invoices into a new database in one transaction, as a load does, with the
// given invoice indexes declared beforehand; returns records per second.
double loadRate(orv::Database& demo, const std::filesystem::path& path,
                const std::vector<std::string>& indexed) {
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path.string() + suffix);
    auto db = orv::Database::openEmbedded(path.string());
    db->createFile("ARCHIVEFACT");
    demo.storage().scan("DICT ARCHIVEFACT", [&](std::string_view key, std::string_view rec) {
        db->write("DICT ARCHIVEFACT", std::string(key), orv::DynArray(std::string(rec)));
        return true;
    });
    for (const std::string& field : indexed) db->createIndex("ARCHIVEFACT", field);
    int64_t records = 0;
    const double s = secondsOf([&] {
        db->storage().begin();
        demo.storage().scan("ARCHIVEFACT", [&](std::string_view key, std::string_view rec) {
            db->write("ARCHIVEFACT", std::string(key), orv::DynArray(std::string(rec)));
            ++records;
            return true;
        });
        db->storage().commit();
    });
    db.reset();
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path.string() + suffix);
    return static_cast<double>(records) / s;
}

void measureLoad(orv::Database& demo, const std::filesystem::path& dir) {
    const std::filesystem::path path = dir / "orv_bench_query_load.db";
    const std::vector<std::string> indexed = demo.indexes("ARCHIVEFACT");
    const double without = loadRate(demo, path, {});
    const double with = loadRate(demo, path, indexed);
    // An index whose values are nearly all different: each entry starts a value of its own.
    const double distinct = loadRate(demo, path, {"NumFactArcFact"});
    std::printf(
        "chargement des factures : %.0f enr./s sans index, %.0f enr./s avec %zu index "
        "(%.2f fois), %.0f enr./s avec l'index des numéros de facture (%.2f fois)\n",
        without, with, indexed.size(), with / without, distinct, distinct / without);
}

// The engine database of an account path: an embedded file, or pg:NAME reached through libpq's
// environment (created with its schema when create is set).
std::shared_ptr<orv::Database> openStore(const std::string& account, bool create) {
    if (create && orv::isPgAccountPath(account))
        orv::initPostgresDatabase(orv::pgTargetOf("", account));
    return orv::Database::openAccount("", account, "", "", {.create = create});
}

int runOnDemo(const std::string& demoPath, const std::filesystem::path& dir) {
    if (!orv::isPgAccountPath(demoPath) && !std::filesystem::exists(demoPath)) {
        std::fprintf(stderr, "Base de démonstration introuvable : %s\n", demoPath.c_str());
        return 2;
    }
    auto db = openStore(demoPath, false);
    std::printf("Base : %s\n", demoPath.c_str());
    Baseline base((dir / "orv_bench_query_demo_sql.db").string());
    printSettings();
    const int64_t records = db->storage().count("ARCHIVEFACT");
    std::printf("%lld factures dans la base de démonstration\n", static_cast<long long>(records));
    if (base.count() != records) copyToBaseline(*db, base);
    std::unique_ptr<PgBaseline> plain;
    if (orv::isPgAccountPath(demoPath)) {
        plain = std::make_unique<PgBaseline>(orv::pgTargetOf("", demoPath).database);
        plain->fillFrom(*db, records);
    }
    const bool same = measure(*db, base, demoWorkload(base), plain.get());
    // The cost of indexes is measured on an embedded file (its pages tell the growth).
    if (!db->indexes("ARCHIVEFACT").empty() && !orv::isPgAccountPath(demoPath)) {
        measureIndexCreation(*db, demoPath);
        measureLoad(*db, dir);
    }
    return same ? 0 : 1;
}

void printUsage(std::FILE* out) {
    std::fprintf(out,
                 "Usage : orv_bench_query [--store pg:NOM] [--index] [DOSSIER] "
                 "[ENREGISTREMENTS]\n"
                 "        orv_bench_query --demo BASE_DE_DEMONSTRATION [DOSSIER]\n");
}

// A positive whole number, or -1.
int64_t recordCount(const std::string& text) {
    int64_t n = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, n);
    return error == std::errc() && stop == end && n > 0 ? n : -1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string store;
    if (args.size() >= 2 && args[0] == "--store" && orv::isPgAccountPath(args[1])) {
        store = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    const bool index = !args.empty() && args[0] == "--index";
    if (index) args.erase(args.begin());
    if (std::find_if(args.begin(), args.end(), [](const std::string& a) {
            return a == "-h" || a == "--help";
        }) != args.end()) {
        printUsage(stdout);
        return 0;
    }
    const bool demo = !args.empty() && args[0] == "--demo";
    const std::size_t maxArgs = demo ? 3 : 2;
    const bool unknownOption = std::any_of(args.begin() + (demo ? 1 : 0), args.end(),
                                           [](const std::string& a) { return a.starts_with('-'); });
    const int64_t records = !demo && args.size() > 1 ? recordCount(args[1]) : 1000000;
    if (unknownOption || args.size() > maxArgs || (demo && args.size() < 2) || records < 0) {
        printUsage(stderr);
        return 2;
    }
    if (demo)
        return runOnDemo(args[1], args.size() > 2 ? std::filesystem::path(args[2])
                                                  : std::filesystem::temp_directory_path());
    const std::filesystem::path dir =
        !args.empty() ? std::filesystem::path(args[0]) : std::filesystem::temp_directory_path();
    if (store.empty()) store = (dir / "orv_bench_query.db").string();
    auto db = openStore(store, true);
    Baseline base((dir / "orv_bench_query_sql.db").string());
    std::printf("Base : %s\n", store.c_str());
    printSettings();

    if (!db->hasFile("ARCHIVEFACT")) db->createFile("ARCHIVEFACT");
    dictItem(*db, "AssocArcFact", 1, "3L");
    dictItem(*db, "PeriodeArcFact", 2, "6L");
    dictItem(*db, "ActiviteArcFact", 3, "1L");
    dictItem(*db, "CodeRespArcFact", 5, "3L");
    dictItem(*db, "NomAideArcFact", 8, "30L");
    dictItem(*db, "PrenomAideArcFact", 9, "20L");
    if (db->storage().count("ARCHIVEFACT") != records || base.count() != records) {
        const auto t0 = Clock::now();
        generate(*db, base, records);
        std::printf("  %.1f s\n", std::chrono::duration<double>(Clock::now() - t0).count());
    }
    if (index) {
        for (const char* field : {"AssocArcFact", "PeriodeArcFact", "ActiviteArcFact"}) {
            const auto existing = db->indexes("ARCHIVEFACT");
            if (std::find(existing.begin(), existing.end(), field) != existing.end()) continue;
            const auto t0 = Clock::now();
            const int64_t entries = db->createIndex("ARCHIVEFACT", field);
            std::printf("Index %s : %lld entrées, %.1f s\n", field, static_cast<long long>(entries),
                        std::chrono::duration<double>(Clock::now() - t0).count());
        }
    }
    return measure(*db, base, {"012200502", "012200503", "200501", "200503"}) ? 0 : 1;
}
