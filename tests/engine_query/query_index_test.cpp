// Secondary indexes: the encoding of values against the language's comparisons, the entries
// kept by writes and deletes, rebuild and drop, the planner's reads, and a load killed midway.
#include <gtest/gtest.h>

#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <set>
#include <tuple>

#include "engine/index_value.h"
#include "engine/pg_connection.h"
#include "engine/pg_write_batch.h"
#include "engine/query_value.h"
#include "tests/engine_query/query_fixture.h"

namespace orv::testing {
namespace {

using query::Op;
using query::Pattern;

bool inRanges(const IndexRanges& ranges, const std::string& v) {
    for (const IndexRange& r : ranges)
        if (r.from <= v && v < r.to) return true;
    return false;
}

// Numbers, codes, names and the edges between them.
const std::vector<std::string> kValues = {
    "",           "0",        "00",     "0.0",    "007",    "7",          "7.0",          "+3",
    "-1",         "-1.5",     "-0.5",   ".5",     "9",      "10",         "12.50",        "200",
    "201",        "2005",     "20050",  "200412", "200501", "0000000200", "00000002005",  "1A",
    "1e5",        "-",        ".",      "A",      "AB",     "ABC",        "MAR",          "MARTIN",
    "Z",          "ZZ",       "ZZAOUI", "a",      "É",      "ÉVRARD",     "E\u0301VRARD", "evrard",
    "de LA TOUR", "D'ARTOIS", "DE",     "Œ",      "oe",     "ZZ\u0301"};

TEST(IndexValue, EveryMatchingValueLiesInTheRangesOfItsTest) {
    const Op ops[] = {Op::Equal,   Op::NotEqual,  Op::Less,
                      Op::Greater, Op::LessEqual, Op::GreaterEqual};
    for (const std::string& written : kValues)
        for (const std::string& form : {written, written + "]", "[" + written, "[" + written + "]"})
            for (Op op : ops) {
                const Pattern p = Pattern::parse(form);
                if (!query::opAcceptsPattern(op, p)) continue;
                const std::optional<IndexRanges> ranges = indexRanges(op, p);
                for (const std::string& v : kValues) {
                    if (ranges && query::matches(v, op, p)) {
                        EXPECT_TRUE(inRanges(*ranges, encodeIndexValue(v)))
                            << "« " << v << " » " << query::opText(op) << " « " << form << " »";
                    }
                }
            }
}

TEST(IndexValue, NumbersEncodeInValueOrder) {
    for (const std::string& a : kValues)
        for (const std::string& b : kValues) {
            if (!query::isNumber(a) || !query::isNumber(b)) continue;
            const int byValue = query::compareNumbers(a, b);
            const int byBytes = encodeIndexValue(a).compare(encodeIndexValue(b));
            EXPECT_EQ(byValue, (byBytes > 0) - (byBytes < 0)) << a << " / " << b;
        }
}

class IndexTest : public QueryTest {
  protected:
    void SetUp() override {
        QueryTest::SetUp();
        if (!db_) return;
        dict("F", "Nom", 1);
        dict("F", "Codes", 2);
        dict("F", "Debut", 0, "T1,3");
        for (const char* field : {"Nom", "Codes", "Debut"})
            if (!hasIndex("F", field)) db_->createIndex("F", field);
    }
    bool hasIndex(const std::string& file, const std::string& field) {
        const auto all = db_->indexes(file);
        return std::find(all.begin(), all.end(), field) != all.end();
    }
    using Entries = std::set<std::tuple<std::string, std::string, std::string>>;
    // Every entry of the file's indexes: field, encoded value, key of the record.
    static Entries entries(Database& db, const std::string& file = "F") {
        std::vector<std::tuple<std::string, std::string, int64_t>> found;
        std::vector<int64_t> positions;
        for (const std::string& field : db.indexes(file))
            db.storage().scanIndex(file, field, "", {},
                                   [&](std::string_view v, std::span<const int64_t> run) {
                                       for (const int64_t p : run) {
                                           found.emplace_back(field, std::string(v), p);
                                           positions.push_back(p);
                                       }
                                       return true;
                                   });
        std::map<int64_t, std::string> keys;
        size_t next = 0;
        std::sort(positions.begin(), positions.end());
        positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
        db.storage().readRecords(file, positions, [&](Storage::Row& row) {
            keys[positions[next++]] = std::string(row.key());
            return true;
        });
        Entries out;
        for (const auto& [field, value, p] : found) out.emplace(field, value, keys[p]);
        return out;
    }
    Entries entries() { return entries(*db_); }
    static std::tuple<std::string, std::string, std::string> entry(const std::string& field,
                                                                   const std::string& value,
                                                                   const std::string& key) {
        return {field, value == "M" ? std::string(kSeveralValues) : encodeIndexValue(value), key};
    }
    const std::string vm{kValueMark};
};

// Each step writes (attributes given) or deletes (none given) one record, then the entries of
// every index are exactly those of the records.
TEST_P(IndexTest, WritesAndDeletesKeepTheEntries) {
    struct Step {
        std::string key;
        std::optional<std::vector<std::string>> attributes;
        Entries expected;
    };
    const std::vector<Step> steps = {
        {"ABC01",
         std::vector<std::string>{"MARTIN", "A" + vm + "B"},
         {entry("Nom", "MARTIN", "ABC01"), entry("Codes", "A", "ABC01"),
          entry("Codes", "B", "ABC01"), entry("Codes", "M", "ABC01"),
          entry("Debut", "ABC", "ABC01")}},
        {"00702",
         std::vector<std::string>{"007"},
         {entry("Nom", "MARTIN", "ABC01"), entry("Codes", "A", "ABC01"),
          entry("Codes", "B", "ABC01"), entry("Codes", "M", "ABC01"),
          entry("Debut", "ABC", "ABC01"), entry("Nom", "7", "00702"), entry("Codes", "", "00702"),
          entry("Debut", "007", "00702")}},
        {"ABC01",
         std::vector<std::string>{"DURAND", "B" + vm + "B"},
         {entry("Nom", "DURAND", "ABC01"), entry("Codes", "B", "ABC01"),
          entry("Debut", "ABC", "ABC01"), entry("Nom", "7", "00702"), entry("Codes", "", "00702"),
          entry("Debut", "007", "00702")}},
        {"00702",
         std::nullopt,
         {entry("Nom", "DURAND", "ABC01"), entry("Codes", "B", "ABC01"),
          entry("Debut", "ABC", "ABC01")}},
    };
    for (const Step& step : steps) {
        if (step.attributes)
            put("F", step.key, *step.attributes);
        else
            EXPECT_TRUE(db_->remove("F", step.key));
        EXPECT_EQ(entries(), step.expected) << step.key;
    }
}

TEST_P(IndexTest, RebuildDropAndChangedItems) {
    put("F", "ABC01", {"MARTIN", "A"});
    put("F", "XYZ02", {"DURAND", "B"});
    const Entries kept = entries();
    storage_->insertIndexEntry("F", "Nom", encodeIndexValue("FAUX"), "ABC01");
    EXPECT_EQ(db_->rebuildIndex("F"), static_cast<int64_t>(kept.size()));
    EXPECT_EQ(entries(), kept);

    // The index follows its item: the same item written again (a load) reads nothing, another
    // attribute refills it, no item at all drops it.
    storage_->resetCounts();
    dict("F", "Nom", 1);
    EXPECT_EQ(storage_->scans, 0);
    dict("F", "Nom", 2);
    EXPECT_EQ(storage_->scans, 1);
    EXPECT_TRUE(entries().count(entry("Nom", "A", "ABC01")));
    db_->remove("DICT F", "Nom");
    EXPECT_FALSE(hasIndex("F", "Nom"));

    db_->dropIndex("F", "Codes");
    EXPECT_EQ(db_->indexes("F"), std::vector<std::string>{"Debut"});
    EXPECT_THROW(db_->dropIndex("F", "Codes"), DbError);
    dict("F", "Ville", 3, "TVILLES;X;;1");
    db_->createFile("VILLES");
    EXPECT_THROW(db_->createIndex("F", "Ville"), DbError);  // translated through another file
    EXPECT_THROW(db_->createIndex("F", "Inconnu"), DbError);
    EXPECT_THROW(db_->createIndex("AUCUN", "Nom"), DbError);
}

// The planner reads only the records its indexes select, in file order without a sort, and the
// same keys as without indexes.
TEST_P(IndexTest, SelectionsReadOnlyTheIndexedCandidates) {
    put("F", "K3", {"ZOLA", "D" + vm + "0"});
    put("F", "K1", {"MARTIN", "B"});
    put("F", "K2", {"MARS", "C"});
    put("F", "K4", {"MARTIN", "A"});
    struct Case {
        std::string statement;
        Keys keys;
        int read;
    };
    const std::vector<Case> cases = {
        {"SELECT F AVEC Nom = " + Q + "MARTIN" + Q, {"K1", "K4"}, 2},
        {"SELECT F AVEC Nom = " + Q + "ZOLA" + Q + " OR AVEC Codes = " + Q + "C" + Q,
         {"K3", "K2"},
         2},
        {"SSELECT F AVEC Nom = " + Q + "MAR]" + Q + " AND AVEC Codes >= " + Q + "B" + Q,
         {"K1", "K2"},
         2},
        // Two values of one record may each meet one condition.
        {"SELECT F AVEC Codes > " + Q + "A" + Q + " AND AVEC Codes < " + Q + "1" + Q, {"K3"}, 1},
        {"SELECT F AVEC Debut = " + Q + "K" + Q + " OR = " + Q + "K1" + Q, {"K1"}, 1},
    };
    for (const Case& c : cases) {
        storage_->resetCounts();
        EXPECT_EQ(select(c.statement), c.keys) << c.statement;
        EXPECT_EQ(storage_->scans, 0) << c.statement;
        EXPECT_GT(storage_->indexScans, 0) << c.statement;
        EXPECT_EQ(storage_->recordsRead, c.read) << c.statement;
    }
    for (const std::string& field : db_->indexes("F")) db_->dropIndex("F", field);
    for (const Case& c : cases) EXPECT_EQ(select(c.statement), c.keys) << c.statement;
}

// A load killed at any moment leaves the indexes as the committed records make them.
TEST_P(IndexTest, KilledLoadLeavesIndexesAndRecordsConsistent) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto db = store().open();
        for (int batch = 0;; ++batch) {
            db->storage().begin();
            for (int i = 0; i < 50; ++i) {
                const std::string n = std::to_string(batch * 50 + i);
                DynArray record;
                record.replace(1, "NOM" + std::to_string(i % 7));
                record.replace(2, n + kValueMark + std::to_string(i % 3));
                db->write("F", "K" + n, record);
            }
            db->storage().commit();
        }
    }
    while (db_->storage().count("F") < 500) usleep(2000);
    usleep(20000);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    db_.reset();
    db_ = store().open();
    storage_ = nullptr;
    const int64_t records = db_->storage().count("F");
    EXPECT_EQ(records % 50, 0);
    const Entries before = entries(*db_);
    EXPECT_EQ(db_->rebuildIndex("F"), static_cast<int64_t>(before.size()));
    EXPECT_EQ(entries(*db_), before);
    EXPECT_EQ(static_cast<int64_t>(select("SELECT F AVEC Nom >= " + Q + "NOM" + Q).size()),
              records);
}

// Hundreds of records per value: entries added at the end of a value, in its middle (a record
// changing value keeps its position), removed, written by a transaction rolled back, and
// thousands of values in one transaction, read inside a transaction and after it, are exactly
// the entries a rebuild gives.
TEST_P(IndexTest, EntriesKeptThroughManyChangesEqualARebuild) {
    const char* const names[] = {"DURAND", "MARTIN", "ZOLA"};
    auto key = [](int i) { return "K" + std::to_string(1000 + i); };
    std::map<std::string, std::string> model;  // key, name
    auto write = [&](int i, const char* name) {
        put("F", key(i), {name});
        model[key(i)] = name;
    };
    auto martins = [&] {
        return std::count_if(model.begin(), model.end(),
                             [](const auto& kv) { return kv.second == "MARTIN"; });
    };
    storage_->begin();
    for (int i = 0; i < 1500; ++i) write(i, names[i % 3]);
    EXPECT_EQ(select("SELECT F AVEC Nom = " + Q + "MARTIN" + Q).size(), martins());
    storage_->commit();
    for (int i = 0; i < 1500; i += 4) write(i, names[(i + 1) % 3]);
    for (int i = 0; i < 1500; i += 7) {
        db_->remove("F", key(i));
        model.erase(key(i));
    }
    storage_->begin();
    for (int i = 1; i < 1500; i += 2) put("F", key(i), {"ROLLBACK"});
    put("F", key(5000), {"MARTIN"});
    storage_->rollback();
    storage_->begin();
    for (int i = 1500; i < 1800; ++i) write(i, "MARTIN");
    // More values than the store keeps in memory in one transaction.
    for (int i = 2000; i < 7000; ++i) put("F", key(i), {"U" + std::to_string(i)});
    storage_->commit();

    const Entries kept = entries();
    db_->rebuildIndex("F");
    EXPECT_EQ(entries(), kept);
    EXPECT_EQ(select("SELECT F AVEC Nom = " + Q + "MARTIN" + Q).size(), martins());
    EXPECT_TRUE(select("SELECT F AVEC Nom = " + Q + "ROLLBACK" + Q).empty());
}

// Records read by position come in file order, once each, without those deleted or unknown,
// whether they lie next to each other or far apart.
TEST_P(IndexTest, RecordsReadByPositionComeInFileOrderOnce) {
    auto key = [](int i) { return "K" + std::to_string(100 + i); };
    for (int i = 0; i < 100; ++i) put("F", key(i), {"N" + std::to_string(i % 3)});
    std::vector<int64_t> p;
    storage_->scanIndex("F", "Nom", "", {}, [&](std::string_view, std::span<const int64_t> run) {
        p.insert(p.end(), run.begin(), run.end());
        return true;
    });
    std::sort(p.begin(), p.end());
    ASSERT_EQ(p.size(), 100u);
    db_->remove("F", key(18));
    const std::vector<std::pair<std::vector<int64_t>, Keys>> cases = {
        {{p[99], p[0], p[60], p[1], p[18], p[60], p[99] + 1000},
         {key(0), key(1), key(60), key(99)}},
        {{p[2], p[3], p[19], p[40], p[41], p[97]},
         {key(2), key(3), key(19), key(40), key(41), key(97)}},
        {{p[0], p[80], p[81]}, {key(0), key(80), key(81)}},
        {{}, {}},
    };
    for (const auto& [positions, expected] : cases) {
        Keys read;
        storage_->readRecords("F", positions, [&](Storage::Row& row) {
            read.emplace_back(row.key());
            return true;
        });
        EXPECT_EQ(read, expected);
    }
}

namespace {

// The entries of index Nom of file F rewritten one row per entry, as earlier versions stored
// them: the embedded index table from the records' first attribute, the server's chunks as
// rows (index, value, position) under the schema version before them.
void writeEntryRows(const test::TestStore& store) {
    if (store.backend == test::Backend::Postgres) {
        pg::Connection c(store.target);
        const std::string s = c.quote(store.target.schema);
        for (const std::string& sql :
             {"CREATE TABLE " + s +
                  ".orv_index_entries(idx integer NOT NULL, value bytea NOT NULL, pos bigint NOT "
                  "NULL, PRIMARY KEY(idx, value, pos))",
              "INSERT INTO " + s + ".orv_index_entries SELECT idx, value, (chunk << " +
                  std::to_string(pg::kChunkBits) + ") + i FROM " + s +
                  ".orv_index_chunks, generate_series(0, " + std::to_string(pg::kChunkSpan - 1) +
                  ") i WHERE get_bit(bits, i) = 1",
              "DROP TABLE " + s + ".orv_index_chunks",
              "UPDATE " + s + ".orv_settings SET value = '2' WHERE name = 'privileges'"})
            c.run(sql);
        return;
    }
    sqlite3* c = nullptr;
    ASSERT_EQ(sqlite3_open(store.path.c_str(), &c), SQLITE_OK);
    auto exec = [&](const std::string& sql) {
        EXPECT_EQ(sqlite3_exec(c, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    };
    sqlite3_stmt* id = nullptr;
    sqlite3_prepare_v2(c, "SELECT id FROM orv_indexes WHERE file = 'F' AND field = 'Nom'", -1, &id,
                       nullptr);
    ASSERT_EQ(sqlite3_step(id), SQLITE_ROW);
    const std::string table = "\"x:" + std::to_string(sqlite3_column_int64(id, 0)) + "\"";
    sqlite3_finalize(id);
    sqlite3_create_function(
        c, "nom", 1, SQLITE_UTF8, nullptr,
        [](sqlite3_context* ctx, int, sqlite3_value** v) {
            const auto* rec = static_cast<const char*>(sqlite3_value_blob(v[0]));
            const DynArray record(std::string(rec, sqlite3_value_bytes(v[0])));
            const std::string e = encodeIndexValue(record.extractString(1));
            sqlite3_result_blob(ctx, e.data(), static_cast<int>(e.size()), SQLITE_TRANSIENT);
        },
        nullptr, nullptr);
    exec("DROP TABLE " + table);
    exec("CREATE TABLE " + table +
         "(value BLOB NOT NULL, rid INTEGER NOT NULL, PRIMARY KEY(value, rid)) WITHOUT ROWID");
    exec("INSERT INTO " + table + " SELECT nom(rec), rowid FROM \"f:F\"");
    sqlite3_close(c);
}

}  // namespace

// A database whose index entries are stored one row per entry, as earlier versions wrote them,
// is converted when it is opened: the same entries, the same selections.
TEST_P(IndexTest, IndexTablesOfEarlierVersionsAreConvertedOnOpening) {
    storage_->begin();  // more than one chunk of positions, in batches on the server
    for (int i = 0; i < 1100; ++i) put("F", "K" + std::to_string(i), {i % 5 ? "MARTIN" : "ZOLA"});
    storage_->commit();
    const Entries kept = entries();
    const Keys zolas = select("SELECT F AVEC Nom = " + Q + "ZOLA" + Q);
    db_.reset();
    writeEntryRows(store());
    db_ = store().open();
    EXPECT_EQ(entries(*db_), kept);
    EXPECT_EQ(select("SELECT F AVEC Nom = " + Q + "ZOLA" + Q), zolas);
}

// Entries of texts written as their bytes, as earlier versions did, are written again in French
// order when the database is opened, on either store.
TEST_P(IndexTest, TextEntriesOfEarlierVersionsAreConvertedOnOpening) {
    const std::vector<std::string> names = {"ZOLA", "ÉVRARD", "de LA TOUR", "12", "MARTIN"};
    for (size_t i = 0; i < names.size(); ++i) put("F", "K" + std::to_string(i), {names[i]});
    const Entries kept = entries();
    const std::string all =
        "SSELECT F AVEC Nom >= " + Q + "A]" + Q + " AND <= " + Q + "ZZ]" + Q + " PAR Nom";
    const Keys sorted = select(all);
    EXPECT_EQ(sorted, (Keys{"K2", "K1", "K4", "K0"}));
    for (size_t i = 0; i < names.size(); ++i) {
        if (query::isNumber(names[i])) continue;
        const std::string key = "K" + std::to_string(i);
        db_->storage().eraseIndexEntry("F", "Nom", encodeIndexValue(names[i]), key);
        db_->storage().insertIndexEntry("F", "Nom", "T" + names[i], key);
    }
    EXPECT_NE(entries(), kept);
    db_.reset();
    db_ = store().open();
    EXPECT_EQ(entries(*db_), kept);
    EXPECT_EQ(select(all), sorted);
}

ORV_ON_BOTH_BACKENDS(IndexTest);

}  // namespace
}  // namespace orv::testing
