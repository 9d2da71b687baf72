// Selections over each storage itself, without the counting wrapper, so that its own record
// scan (record first, key read on demand) is the one the selections use.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "engine/database.h"
#include "engine/dynarray.h"
#include "engine/errors.h"
#include "engine/storage.h"
#include "tests/engine_query/query_fixture.h"

namespace orv::testing {
namespace {

class StorageScanTest : public test::BackendTest {
  protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        db_ = store().open();
        db_->createFile("T");
        put("B2", "MARTIN", "10");
        put("A1", "DURAND", "7");
        put("C2", "MARTIN", "3");
        put("A3", "MARTIN", "7");
    }
    void TearDown() override {
        db_.reset();
        BackendTest::TearDown();
    }
    void put(const std::string& key, const std::string& name, const std::string& rank) {
        DynArray record;
        record.replace(1, name);
        record.replace(2, rank);
        db_->write("T", key, record);
    }
    // Every (key, record) pair a scan of T visits, in visiting order.
    std::vector<std::pair<std::string, std::string>> rows(const std::optional<std::string>& p,
                                                          const Storage::RecordFilter& keep = {}) {
        std::vector<std::pair<std::string, std::string>> out;
        db_->storage().scanRecords("T", p, keep, [&](Storage::Row& row) {
            out.emplace_back(row.key(), row.record());
            return true;
        });
        return out;
    }
    std::vector<std::pair<std::string, std::string>> scanned() {
        std::vector<std::pair<std::string, std::string>> out;
        db_->storage().scan("T", [&](std::string_view k, std::string_view r) {
            out.emplace_back(k, r);
            return true;
        });
        return out;
    }

    std::string path() { return store().path; }

    std::shared_ptr<Database> db_;
};

// The first text column of a one-row SQL answer on another connection to the database file.
std::string askSqlite(const std::string& path, const std::string& sql) {
    sqlite3* c = nullptr;
    sqlite3_open_v2(path.c_str(), &c, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* s = nullptr;
    std::string answer = "(erreur)";
    if (sqlite3_prepare_v2(c, sql.c_str(), -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW)
        answer = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    sqlite3_finalize(s);
    sqlite3_close(c);
    return answer;
}

TEST_P(StorageScanTest, NewDatabaseHasLargePagesAndSharesWritesThroughItsLog) {
    if (GetParam() != test::Backend::Embedded) GTEST_SKIP() << "settings of the embedded store";
    EXPECT_EQ(askSqlite(path(), "PRAGMA page_size"), "16384");
    EXPECT_EQ(askSqlite(path(), "PRAGMA journal_mode"), "wal");
    // Another connection sees the committed records while this one is still open.
    EXPECT_EQ(askSqlite(path(), "SELECT count(*) FROM \"f:T\""), "4");
}

TEST_P(StorageScanTest, RecordScanVisitsWhatScanVisits) {
    const auto all = rows(std::nullopt);
    EXPECT_EQ(all, scanned());
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all.front().first, "B2");  // file order, not key order
    EXPECT_EQ(all.front().second, "MARTIN" + std::string(1, kAttributeMark) + "10");
    const auto prefixed = rows(std::string("A"));
    ASSERT_EQ(prefixed.size(), 2u);
    EXPECT_EQ(prefixed[0].first, "A1");
    EXPECT_EQ(prefixed[1].first, "A3");
}

TEST_P(StorageScanTest, RecordFilterRunsInsideTheScan) {
    const auto durand = [](std::string_view record) { return record.starts_with("DURAND"); };
    const auto all = rows(std::nullopt, durand);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].first, "A1");
    EXPECT_TRUE(rows(std::string("B"), durand).empty());
    EXPECT_EQ(rows(std::string("A"), durand), all);
    // An error of the filter comes out of the scan as it was thrown.
    try {
        rows(std::nullopt, [](std::string_view) -> bool {
            throw DbError(DbErrorCode::UnknownField, "filtre en erreur");
        });
        ADD_FAILURE() << "the filter's error was lost";
    } catch (const DbError& e) {
        EXPECT_EQ(e.code(), DbErrorCode::UnknownField);
        EXPECT_STREQ(e.what(), "filtre en erreur");
    }
}

// A scan run again from inside a scan of the same file reads the file whole, and the outer scan
// goes on where it was.
TEST_P(StorageScanTest, ScanInsideAScanOfTheSameFile) {
    Keys outer, inner;
    db_->storage().scanKeys("T", "A", [&](std::string_view key) {
        outer.emplace_back(key);
        db_->storage().scanKeys("T", "A", [&](std::string_view k) {
            inner.emplace_back(k);
            return true;
        });
        inner.push_back(std::to_string(rows(std::string("A")).size()));
        return true;
    });
    EXPECT_EQ(outer, (Keys{"A1", "A3"}));
    EXPECT_EQ(inner, (Keys{"A1", "A3", "2", "A1", "A3", "2"}));
}

// Records read together are those read one by one, in the order asked: missing and repeated
// keys, more keys than one statement to a server carries, writes not yet sent of a transaction.
TEST_P(StorageScanTest, RecordsReadTogetherAreThoseReadOneByOne) {
    Keys many;
    for (int i = 0; i < 2100; ++i) many.push_back(i % 3 ? "A1" : "X" + std::to_string(i));
    auto together = [&](const Keys& keys) {
        std::vector<std::optional<std::string>> out;
        db_->readEach("T", keys, [&](size_t i, std::optional<DynArray> r) {
            EXPECT_EQ(i, out.size());
            out.push_back(r ? std::optional(r->text()) : std::nullopt);
        });
        return out;
    };
    auto oneByOne = [&](const Keys& keys) {
        std::vector<std::optional<std::string>> out;
        for (const std::string& k : keys) {
            const std::optional<DynArray> r = db_->read("T", k);
            out.push_back(r ? std::optional(r->text()) : std::nullopt);
        }
        return out;
    };
    for (const Keys& keys : {Keys{}, Keys{"C2", "ZZ", "A1", "C2", "B2", "D4"}, many})
        EXPECT_EQ(together(keys), oneByOne(keys));
    db_->storage().begin();
    put("D4", "PETIT", "1");
    put("A1", "DUBOIS", "2");
    const Keys inTransaction{"D4", "A1", "A3"};
    EXPECT_EQ(together(inTransaction), oneByOne(inTransaction));
    EXPECT_EQ(together(inTransaction)[0], std::string("PETIT") + kAttributeMark + "1");
    db_->storage().rollback();
}

TEST_P(StorageScanTest, SelectionsReadKeysOnlyWhenNeeded) {
    // Conditions on attributes only: keys are read for the kept records.
    EXPECT_EQ(db_->select("SELECT T AVEC 1 = " + Q + "MARTIN" + Q), (Keys{"B2", "C2", "A3"}));
    // A key condition that is no key range reads every key.
    EXPECT_EQ(
        db_->select("SSELECT T AVEC @ID = " + Q + "[2" + Q + " AND AVEC 1 = " + Q + "MARTIN" + Q),
        (Keys{"B2", "C2"}));
    // A translate conversion reads other records while the scan is under way.
    db_->createFile("U");
    db_->write("U", "7", DynArray(std::string("SEPT")));
    db_->write("U", "10", DynArray(std::string("DIX")));
    DynArray item;
    item.replace(1, "D");
    item.replace(2, "2");
    item.replace(3, "TU;X;;1");
    db_->write("DICT T", "NomRang", item);
    EXPECT_EQ(db_->select("SELECT T AVEC NomRang = " + Q + "SEPT" + Q), (Keys{"A1", "A3"}));
    EXPECT_EQ(db_->select("SSELECT T AVEC 2 = " + Q + "7" + Q + " PAR-DECR @ID"),
              (Keys{"A3", "A1"}));
}

ORV_ON_BOTH_BACKENDS(StorageScanTest);

}  // namespace
}  // namespace orv::testing
