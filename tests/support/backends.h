// The two storage back ends under one test: a fresh, empty database of either kind, and the
// value-parametrised fixture that runs a test on both. The PostgreSQL side uses the test
// cluster named by $ORV_PG_CLUSTER (the folder scripts/pg-cluster.sh fills) or by libpq's
// PGHOST/PGPORT/PGUSER/PGPASSWORD; without one the cases are skipped, and fail under CI.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "engine/database.h"
#include "engine/pg_storage.h"
#include "engine/storage.h"

namespace orv::test {

enum class Backend { Embedded, Postgres };

// The administrative connection to the test cluster's database, when there is a cluster.
std::optional<PgTarget> testCluster();

// A new database for one test: a file in a temporary folder, or a schema of its own in the
// cluster's test database (dropped, with its users, at the end).
class TestStore {
  public:
    // wholeDatabase: on the server, a database of its own with the usual schema, as
    // "orvanelle-db init" makes it, so that an account path "pg:NAME" reaches it.
    explicit TestStore(Backend backend, bool wholeDatabase = false);
    ~TestStore();
    TestStore(const TestStore&) = delete;
    TestStore& operator=(const TestStore&) = delete;

    // Another connection to the same database.
    std::unique_ptr<Storage> openStorage(const StorageOptions& options = {}) const;
    // A database object with the standard routines over a new connection.
    std::shared_ptr<Database> open() const;

    // The account path and server of an INI database line that reaches the database.
    std::string accountPath() const;
    std::string server() const;

    Backend backend;
    bool wholeDatabase = false;
    std::string path;  // embedded: the database file
    PgTarget target;   // server: where the schema lives
};

// The error a call raises; a test failure when it raises none.
struct Failure {
    ::orv::DbErrorCode code = ::orv::DbErrorCode::Storage;
    std::string message;
};

inline Failure failureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const ::orv::DbError& e) {
        return {e.code(), e.what()};
    }
    ADD_FAILURE() << "no error raised";
    return {};
}

inline ::orv::DbErrorCode codeOf(const std::function<void()>& f) { return failureOf(f).code; }

// Whether attempt stops failing with the locked error within the delay.
inline bool lockedWithin(std::chrono::milliseconds delay, const std::function<void()>& attempt) {
    const auto end = std::chrono::steady_clock::now() + delay;
    for (;;) {
        try {
            attempt();
            return true;
        } catch (const ::orv::DbError& e) {
            if (e.code() != ::orv::DbErrorCode::RecordLocked) throw;
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
}

// A PostgreSQL cluster of one test's own (scripts/pg-cluster.sh), for what the shared one must
// not go through: a restart, or a network address of its own (clients on that address's /24
// are let in). Stopped and removed at the end.
class PrivateCluster {
  public:
    explicit PrivateCluster(const std::string& address = {});
    ~PrivateCluster();
    PrivateCluster(const PrivateCluster&) = delete;
    PrivateCluster& operator=(const PrivateCluster&) = delete;

    // Stops the server, ending every connection, and starts it again.
    void restart();
    // The administrative role on a database made as "orvanelle-db init" makes one.
    PgTarget target;

  private:
    std::string dir_;
};

// Fixture of the tests that run on both back ends.
class BackendTest : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override;
    void TearDown() override { store_.reset(); }
    TestStore& store() { return *store_; }
    // Whether the test needs a whole server database of its own (see TestStore).
    virtual bool wholeDatabase() const { return false; }

  private:
    std::unique_ptr<TestStore> store_;
};

std::string backendName(const ::testing::TestParamInfo<Backend>& info);

}  // namespace orv::test

// Runs the tests of a BackendTest fixture on both back ends.
#define ORV_ON_BOTH_BACKENDS(fixture)                                                      \
    INSTANTIATE_TEST_SUITE_P(                                                              \
        Backends, fixture,                                                                 \
        ::testing::Values(::orv::test::Backend::Embedded, ::orv::test::Backend::Postgres), \
        ::orv::test::backendName)
