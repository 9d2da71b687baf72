#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <filesystem>
#include <thread>

#include "backends.h"

#include "engine/database.h"

namespace {

struct TempDb {
    std::string path;
    TempDb() {
        char tmpl[] = "/tmp/orv-engine-XXXXXX";
        path = std::string(mkdtemp(tmpl)) + "/test.orvdb";
    }
    ~TempDb() { std::filesystem::remove_all(std::filesystem::path(path).parent_path()); }
};

using orv::test::codeOf;
using orv::test::Failure;
using orv::test::failureOf;
using orv::test::lockedWithin;

class Store : public orv::test::BackendTest {};
class RecordLocks : public orv::test::BackendTest {};

mode_t modeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 0777;
}

}  // namespace

TEST_P(Store, FilesRecordsAndErrors) {
    auto db = store().open();
    db->createFile("ASSOCIATION");
    EXPECT_TRUE(db->hasFile("DICT ASSOCIATION"));
    EXPECT_EQ(codeOf([&] { db->read("NOPE", "1"); }), orv::DbErrorCode::FileNotFound);
    EXPECT_FALSE(db->read("ASSOCIATION", "007"));
    orv::DynArray r;
    r.replace(1, "ADMR Côte");
    db->write("ASSOCIATION", "007", r);
    db->write("ASSOCIATION", "001", r);
    EXPECT_EQ(db->read("ASSOCIATION", "007")->extract(1), "ADMR Côte");
    std::vector<std::string> order;
    db->storage().scan("ASSOCIATION", [&](std::string_view k, std::string_view) {
        order.emplace_back(k);
        return true;
    });
    EXPECT_EQ(order, (std::vector<std::string>{"007", "001"}));  // file order: as written
    order.clear();
    db->storage().scanPrefix("ASSOCIATION", "00", [&](std::string_view k, std::string_view) {
        order.emplace_back(k);
        return true;
    });
    EXPECT_EQ(order, (std::vector<std::string>{"001", "007"}));  // key order
    EXPECT_TRUE(db->remove("ASSOCIATION", "001"));
    EXPECT_FALSE(db->remove("ASSOCIATION", "001"));
    db->storage().clear("ASSOCIATION");
    EXPECT_EQ(db->storage().count("ASSOCIATION"), 0);
}

TEST_P(Store, FileNamesWithQuotesAndBlanksAreSafe) {
    auto db = store().open();
    db->createFile("a\"b; DROP TABLE orv_files");
    db->write("a\"b; DROP TABLE orv_files", "k", orv::DynArray("v"));
    EXPECT_EQ(db->read("a\"b; DROP TABLE orv_files", "k")->text(), "v");
    EXPECT_TRUE(db->hasFile("a\"b; DROP TABLE orv_files"));
}

TEST_P(Store, RolledBackTransactionLeavesNothing) {
    auto db = store().open();
    db->createFile("F");
    db->storage().begin();
    db->write("F", "1", orv::DynArray("x"));
    db->storage().rollback();
    EXPECT_FALSE(db->read("F", "1"));
}

// Inside a transaction every later statement sees the writes before it, file order is the
// order of first writing, and a failed commit or a rollback leaves nothing.
TEST_P(Store, WritesOfATransactionAreSeenBeforeCommit) {
    auto db = store().open();
    db->createFile("F");
    orv::Storage& s = db->storage();
    s.begin();
    for (const char* key : {"3", "1", "2", "1"}) s.write("F", key, std::string("v") + key);
    EXPECT_EQ(s.read("F", "1"), "v1");
    EXPECT_EQ(s.count("F"), 3);
    EXPECT_TRUE(s.remove("F", "2"));
    s.write("F", "4", "v4");
    std::vector<std::string> order;
    s.scan("F", [&](std::string_view k, std::string_view) {
        order.emplace_back(k);
        return true;
    });
    s.commit();
    EXPECT_EQ(order, (std::vector<std::string>{"3", "1", "4"}));
    EXPECT_EQ(db->read("F", "4")->text(), "v4");
    s.begin();
    s.write("F", "5", "v5");
    s.rollback();
    EXPECT_FALSE(db->read("F", "5"));
    EXPECT_EQ(s.count("F"), 3);
}

TEST_P(RecordLocks, SecondSessionIsRefusedAtOnceAndPlainReadsNeverBlock) {
    auto db = store().open();
    db->createFile("NUMEROFACT");
    orv::Session a(db, "DUPOND"), b(db, "MARTIN");
    EXPECT_FALSE(a.readForUpdate("NUMEROFACT", "007"));  // missing record: still locked
    EXPECT_EQ(codeOf([&] { b.readForUpdate("NUMEROFACT", "007"); }),
              orv::DbErrorCode::RecordLocked);
    EXPECT_FALSE(db->read("NUMEROFACT", "007"));            // plain read does not wait
    EXPECT_NO_THROW(a.readForUpdate("NUMEROFACT", "007"));  // same session: fine
    a.write("NUMEROFACT", "007", orv::DynArray("0000000125"));
    EXPECT_EQ(b.readForUpdate("NUMEROFACT", "007")->text(), "0000000125");
    b.release("NUMEROFACT", "007");
    EXPECT_NO_THROW(a.readForUpdate("NUMEROFACT", "007"));
}

TEST_P(RecordLocks, EndedSessionReleasesItsLocks) {
    auto db = store().open();
    db->createFile("F");
    orv::Session b(db, "B");
    {
        orv::Session a(db, "A");
        a.readForUpdate("F", "1");
        EXPECT_THROW(b.readForUpdate("F", "1"), orv::DbError);
    }
    EXPECT_NO_THROW(b.readForUpdate("F", "1"));
}

// The lock of a process killed while holding it is free for the others within a second.
TEST_P(RecordLocks, LockOfAKilledProcessIsTakenOver) {
    store().open()->createFile("F");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto db = store().open();
        orv::Session s(db, "CRASH");
        s.readForUpdate("F", "1");
        char c = 'x';
        (void)!write(ready[1], &c, 1);
        pause();
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    auto db = store().open();
    orv::Session other(db, "OTHER");
    EXPECT_EQ(codeOf([&] { other.readForUpdate("F", "1"); }), orv::DbErrorCode::RecordLocked);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(lockedWithin(std::chrono::seconds(1), [&] { other.readForUpdate("F", "1"); }));
}

// What one racing process saw: the locked errors it got and the longest of those attempts.
struct RaceReport {
    int lockedErrors = 0;
    int64_t slowestRefusalMs = 0;
};

// cycles read-for-update / increment / write cycles on F 1, retrying at once when refused.
RaceReport incrementRecord(orv::Database& db, int cycles) {
    orv::Session s(db.shared_from_this(), "RACE");
    RaceReport report;
    for (int done = 0; done < cycles;) {
        const auto start = std::chrono::steady_clock::now();
        try {
            const auto rec = s.readForUpdate("F", "1");
            s.write("F", "1", orv::DynArray(std::to_string(std::stoi(rec->text()) + 1)));
            ++done;
        } catch (const orv::DbError& e) {
            if (e.code() != orv::DbErrorCode::RecordLocked) throw;
            ++report.lockedErrors;
            const auto spent = std::chrono::steady_clock::now() - start;
            report.slowestRefusalMs = std::max<int64_t>(
                report.slowestRefusalMs,
                std::chrono::duration_cast<std::chrono::milliseconds>(spent).count());
        }
    }
    return report;
}

// Two processes increment one record 1,000 times each: no increment is lost, and the loser of
// each race is refused at once rather than made to wait.
TEST_P(RecordLocks, TwoProcessesIncrementOneRecordWithoutLosingAnUpdate) {
    constexpr int kCycles = 1000;
    auto db = store().open();
    db->createFile("F");
    db->write("F", "1", orv::DynArray("0"));
    int results[2];
    ASSERT_EQ(pipe(results), 0);
    pid_t children[2];
    for (pid_t& child : children) {
        child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RaceReport report;
            try {
                report = incrementRecord(*store().open(), kCycles);
            } catch (...) {
                report.lockedErrors = -1;
            }
            (void)!write(results[1], &report, sizeof report);
            _exit(0);
        }
    }
    RaceReport total;
    for (pid_t child : children) {
        RaceReport report;
        ASSERT_EQ(read(results[0], &report, sizeof report), static_cast<ssize_t>(sizeof report));
        ASSERT_GE(report.lockedErrors, 0) << "a racing process failed";
        total.lockedErrors += report.lockedErrors;
        total.slowestRefusalMs = std::max(total.slowestRefusalMs, report.slowestRefusalMs);
        waitpid(child, nullptr, 0);
    }
    EXPECT_EQ(db->read("F", "1")->text(), std::to_string(2 * kCycles));
    EXPECT_GT(total.lockedErrors, 0) << "the processes never met on the record";
    EXPECT_LT(total.slowestRefusalMs, 500) << "a refused attempt waited";
}

TEST(Users, PasswordsAreHashedAndChecked) {
    TempDb t;
    auto db = orv::Database::openEmbedded(t.path);
    db->setUserPassword("DUPOND", "s3cret,avec virgule");
    EXPECT_TRUE(db->checkPassword("DUPOND", "s3cret,avec virgule"));
    EXPECT_FALSE(db->checkPassword("DUPOND", "s3cret"));
    EXPECT_FALSE(db->checkPassword("INCONNU", "s3cret,avec virgule"));
    auto stored = db->read(orv::Database::kUsersFile, "DUPOND");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->text().find("s3cret"), std::string::npos);
    EXPECT_EQ(stored->extractString(1).rfind("$argon2id$", 0), 0u);
    EXPECT_TRUE(db->removeUser("DUPOND"));
    EXPECT_FALSE(db->checkPassword("DUPOND", "s3cret,avec virgule"));
}

TEST_P(Store, UnknownRoutineIsNamed) {
    auto db = store().open();
    orv::Session s(db, "U");
    std::vector<std::string> args;
    try {
        s.call("CALCNOPE", args);
        FAIL();
    } catch (const orv::DbError& e) {
        EXPECT_EQ(e.code(), orv::DbErrorCode::UnknownRoutine);
        EXPECT_NE(std::string(e.what()).find("CALCNOPE"), std::string::npos);
    }
    EXPECT_NO_THROW(s.call("DATE.FORMAT", args));
}

// Writes and deletes, with or without a session, respect the update lock another live session
// holds; the holder itself, and anyone once it is released, may write.
TEST_P(RecordLocks, WritesAndDeletesOfAHeldRecordAreRefused) {
    auto db = store().open();
    db->createFile("F");
    db->write("F", "1", orv::DynArray("avant"));
    orv::Session holder(db, "A"), other(db, "B");
    holder.readForUpdate("F", "1");
    const std::function<void()> refused[] = {
        [&] { other.write("F", "1", orv::DynArray("B")); },
        [&] { db->write("F", "1", orv::DynArray("sans session")); },
        [&] { db->remove("F", "1"); },
    };
    for (const auto& attempt : refused) EXPECT_EQ(codeOf(attempt), orv::DbErrorCode::RecordLocked);
    const auto kept = db->read("F", "1");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->text(), "avant");
    holder.write("F", "1", orv::DynArray("A"));  // releases the lock
    EXPECT_NO_THROW(other.write("F", "1", orv::DynArray("B")));
    EXPECT_TRUE(db->remove("F", "1"));
}

// A transaction longer than one batch of the server's writes still checks the lock of each
// record it writes; nothing of the refused transaction stays.
TEST_P(RecordLocks, EveryWriteOfALongTransactionIsChecked) {
    constexpr int kRecords = 5000;
    auto db = store().open();
    db->createFile("F");
    auto other = store().open();
    orv::Session holder(other, "A");
    holder.readForUpdate("F", "tenu");
    db->storage().begin();
    for (int i = 0; i < kRecords; ++i) db->write("F", std::to_string(i), orv::DynArray("x"));
    EXPECT_EQ(codeOf([&] { db->write("F", "tenu", orv::DynArray("refusé")); }),
              orv::DbErrorCode::RecordLocked);
    db->storage().rollback();
    EXPECT_EQ(db->storage().count("F"), 0);
}

// Records written again in a later batch, or in a later transaction, keep their place and take
// their last value, beside records new to the file.
TEST_P(Store, RecordsWrittenAgainInLaterBatchesKeepTheirPlace) {
    constexpr int kRecords = 5000;  // more than one batch of the server's writes
    auto db = store().open();
    db->createFile("F");
    orv::Storage& s = db->storage();
    s.begin();
    for (int i = 0; i < kRecords; ++i) s.write("F", std::to_string(i), "a");
    s.write("F", "0", "b");
    s.commit();
    s.begin();
    s.write("F", std::to_string(kRecords), "c");
    s.write("F", "1", "d");
    s.commit();
    std::vector<std::string> keys, values;
    s.scan("F", [&](std::string_view k, std::string_view v) {
        keys.emplace_back(k);
        values.emplace_back(v);
        return true;
    });
    ASSERT_EQ(keys.size(), size_t{kRecords + 1});
    for (int i = 0; i <= kRecords; ++i) EXPECT_EQ(keys[i], std::to_string(i));
    EXPECT_EQ(values[0], "b");
    EXPECT_EQ(values[1], "d");
    EXPECT_EQ(values[2], "a");
    EXPECT_EQ(values[kRecords], "c");
}

// File names are unique without regard to case; empty names, control characters and keys
// holding a mark are refused with a French message that shows no SQL.
TEST_P(Store, NamesAndKeysAreCheckedBeforeSqliteSeesThem) {
    auto db = store().open();
    db->createFile("ÉTAT");
    const struct {
        std::function<void()> attempt;
        orv::DbErrorCode code;
        const char* says;
    } cases[] = {
        {[&] { db->createFile("état"); }, orv::DbErrorCode::FileExists, "Le fichier ÉTAT existe"},
        {[&] { db->createFile("État"); }, orv::DbErrorCode::FileExists, "majuscules"},
        {[&] { db->createFile(std::string("A\0B", 3)); }, orv::DbErrorCode::InvalidArgument,
         "« A?B »"},
        {[&] { db->createFile("A\nB"); }, orv::DbErrorCode::InvalidArgument, "contrôle"},
        {[&] { db->createFile(""); }, orv::DbErrorCode::InvalidArgument, "vide"},
        {[&] {
             db->write("ÉTAT",
                       "a\xFE"
                       "b",
                       orv::DynArray("x"));
         },
         orv::DbErrorCode::InvalidArgument, "séparateur"},
    };
    for (const auto& c : cases) {
        const Failure f = failureOf(c.attempt);
        EXPECT_EQ(f.code, c.code) << f.message;
        EXPECT_NE(f.message.find(c.says), std::string::npos) << f.message;
        for (const char* sql : {"SQLite", "table", "CREATE", "INSERT"})
            EXPECT_EQ(f.message.find(sql), std::string::npos) << f.message;
    }
    EXPECT_EQ(db->storage().fileNames(), (std::vector<std::string>{"DICT ÉTAT", "ÉTAT"}));
}

// A database held by a long operation elsewhere answers, after the wait, in the user's words.
TEST(Storage, BusyDatabaseSaysSoInFrench) {
    TempDb t;
    auto db = orv::Database::openEmbedded(t.path);
    db->createFile("F");
    auto other = orv::openSqliteStorage(t.path, {.busyTimeout = std::chrono::milliseconds(100)});
    db->storage().begin();
    db->write("F", "1", orv::DynArray("long chargement"));
    const Failure f = failureOf([&] { other->write("F", "2", "x"); });
    db->storage().commit();
    EXPECT_EQ(f.code, orv::DbErrorCode::Busy);
    EXPECT_EQ(f.message, "La base est occupée par une autre opération");
    other->write("F", "2", "x");  // once free, the refused write goes through as a whole
    EXPECT_EQ(db->read("F", "2")->text(), "x");
    other->begin();  // the failed start left no transaction half open
    other->write("F", "3", "y");
    other->rollback();
    EXPECT_FALSE(db->read("F", "3"));
}

// A new database and its journal files are readable by their owner only, whatever the umask;
// opening without create never makes a file.
TEST(Storage, NewDatabaseIsPrivateAndOpeningDoesNotCreateOne) {
    TempDb t;
    const mode_t umaskBefore = umask(022);
    {
        auto db = orv::Database::openEmbedded(t.path);
        db->createFile("F");
        for (const char* suffix : {"", "-wal", "-shm"}) EXPECT_EQ(modeOf(t.path + suffix), 0600u);
    }
    umask(umaskBefore);
    const std::string missing = t.path + ".absente";
    EXPECT_EQ(codeOf([&] { orv::Database::openEmbedded(missing, {.create = false}); }),
              orv::DbErrorCode::FileNotFound);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

ORV_ON_BOTH_BACKENDS(Store);
ORV_ON_BOTH_BACKENDS(RecordLocks);
