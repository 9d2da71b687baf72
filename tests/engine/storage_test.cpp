#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <filesystem>

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

orv::DbErrorCode codeOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const orv::DbError& e) {
        return e.code();
    }
    ADD_FAILURE() << "no error raised";
    return orv::DbErrorCode::Storage;
}

}  // namespace

TEST(Storage, FilesRecordsAndErrors) {
    TempDb t;
    auto db = orv::Database::openEmbedded(t.path);
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

TEST(Storage, FileNamesWithQuotesAndBlanksAreSafe) {
    TempDb t;
    auto db = orv::Database::openEmbedded(t.path);
    db->createFile("a\"b; DROP TABLE orv_files");
    db->write("a\"b; DROP TABLE orv_files", "k", orv::DynArray("v"));
    EXPECT_EQ(db->read("a\"b; DROP TABLE orv_files", "k")->text(), "v");
    EXPECT_TRUE(db->hasFile("a\"b; DROP TABLE orv_files"));
}

TEST(Storage, RolledBackTransactionLeavesNothing) {
    TempDb t;
    auto db = orv::Database::openEmbedded(t.path);
    db->createFile("F");
    db->storage().begin();
    db->write("F", "1", orv::DynArray("x"));
    db->storage().rollback();
    EXPECT_FALSE(db->read("F", "1"));
}

TEST(Locks, SecondSessionIsRefusedAtOnceAndPlainReadsNeverBlock) {
    TempDb t;
    auto db = orv::Database::openEmbedded(t.path);
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

TEST(Locks, EndedSessionReleasesItsLocks) {
    TempDb t;
    auto db = orv::Database::openEmbedded(t.path);
    db->createFile("F");
    orv::Session b(db, "B");
    {
        orv::Session a(db, "A");
        a.readForUpdate("F", "1");
        EXPECT_THROW(b.readForUpdate("F", "1"), orv::DbError);
    }
    EXPECT_NO_THROW(b.readForUpdate("F", "1"));
}

TEST(Locks, LockOfAKilledProcessIsTakenOver) {
    TempDb t;
    {
        auto db = orv::Database::openEmbedded(t.path);
        db->createFile("F");
    }
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto db = orv::Database::openEmbedded(t.path);
        orv::Session s(db, "CRASH");
        s.readForUpdate("F", "1");
        char c = 'x';
        (void)!write(ready[1], &c, 1);
        pause();
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    auto db = orv::Database::openEmbedded(t.path);
    orv::Session other(db, "OTHER");
    EXPECT_EQ(codeOf([&] { other.readForUpdate("F", "1"); }), orv::DbErrorCode::RecordLocked);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_NO_THROW(other.readForUpdate("F", "1"));
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

TEST(Routines, UnknownRoutineIsNamed) {
    TempDb t;
    auto db = orv::Database::openEmbedded(t.path);
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
