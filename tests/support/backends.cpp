#include "backends.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <vector>

#include "routines/routines.h"

namespace orv::test {

namespace {

constexpr const char* kTestDatabase = "orv_tests";

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// The lines NAME=VALUE of a cluster folder's "env" file.
std::map<std::string, std::string> settingsIn(const std::string& dir) {
    std::map<std::string, std::string> settings;
    std::ifstream in(dir + "/env");
    for (std::string line; std::getline(in, line);)
        if (const size_t eq = line.find('='); eq != std::string::npos)
            settings[line.substr(0, eq)] = line.substr(eq + 1);
    return settings;
}

std::map<std::string, std::string> clusterSettings() {
    const std::string dir = env("ORV_PG_CLUSTER");
    return dir.empty() ? std::map<std::string, std::string>{} : settingsIn(dir);
}

PgTarget targetOf(std::map<std::string, std::string> settings, const std::string& database) {
    PgTarget t;
    t.host = settings["PGHOST"];
    t.port = settings["PGPORT"];
    t.user = settings["PGUSER"];
    t.password = settings["PGPASSWORD"];
    t.database = database;
    return t;
}

std::optional<PgTarget> findCluster() {
    auto settings = clusterSettings();
    if (settings.empty()) {
        if (env("PGHOST").empty()) return std::nullopt;
        for (const char* name : {"PGHOST", "PGPORT", "PGUSER", "PGPASSWORD"})
            settings[name] = env(name);
    }
    PgTarget t = targetOf(settings, kTestDatabase);
    try {
        initPostgresDatabase(t);  // creates the test database once; harmless afterwards
    } catch (const DbError&) {
        // Another test program created it at the same moment: connecting decides below.
    }
    return t;
}

std::string uniqueName() {
    static std::atomic<int> counter{0};
    return "t" + std::to_string(getpid()) + "_" + std::to_string(++counter);
}

}  // namespace

std::optional<PgTarget> testCluster() {
    static const std::optional<PgTarget> cluster = findCluster();
    return cluster;
}

TestStore::TestStore(Backend b, bool whole) : backend(b), wholeDatabase(whole) {
    if (backend == Backend::Embedded) {
        char tmpl[] = "/tmp/orv-store-XXXXXX";
        path = std::string(mkdtemp(tmpl)) + "/test.orvdb";
        return;
    }
    target = *testCluster();
    if (wholeDatabase) {
        target.database = "orv_" + uniqueName();
        initPostgresDatabase(target);
        return;
    }
    target.schema = uniqueName();
    openPostgresStorage(target, {.create = true});
}

std::string TestStore::accountPath() const {
    return backend == Backend::Embedded ? path : std::string(kPgAccountPrefix) + target.database;
}

std::string TestStore::server() const {
    return backend == Backend::Embedded ? "localhost" : target.host + ":" + target.port;
}

TestStore::~TestStore() {
    if (backend == Backend::Embedded) {
        std::filesystem::remove_all(std::filesystem::path(path).parent_path());
        return;
    }
    try {
        if (wholeDatabase)
            dropPostgresDatabase(target);
        else
            dropPostgresSchema(target);
    } catch (const DbError&) {
        // The cluster is gone: nothing is left to drop.
    }
}

std::unique_ptr<Storage> TestStore::openStorage(const StorageOptions& options) const {
    if (backend == Backend::Embedded) return openSqliteStorage(path, options);
    return openPostgresStorage(target, options);
}

std::shared_ptr<Database> TestStore::open() const {
    auto db = std::make_shared<Database>(openStorage());
    routines::registerAll(*db);
    return db;
}

namespace {

int runClusterScript(const std::vector<std::string>& args) {
    std::string command = "bash '" ORV_PG_CLUSTER_SCRIPT "'";
    for (const std::string& a : args) command += " '" + a + "'";
    return std::system((command + " >/dev/null").c_str());
}

}  // namespace

PrivateCluster::PrivateCluster(const std::string& address) {
    char tmpl[] = "/tmp/orv-private-cluster-XXXXXX";
    dir_ = mkdtemp(tmpl);
    std::vector<std::string> args{"start", dir_, "auto"};
    if (!address.empty()) args.push_back(address);
    if (runClusterScript(args) != 0) throw std::runtime_error("pg-cluster.sh start failed");
    target = targetOf(settingsIn(dir_), "orv_private");
    initPostgresDatabase(target);
}

PrivateCluster::~PrivateCluster() {
    runClusterScript({"stop", dir_});
    std::filesystem::remove_all(dir_);
}

void PrivateCluster::restart() {
    if (runClusterScript({"restart", dir_}) != 0)
        throw std::runtime_error("pg-cluster.sh restart failed");
}

void BackendTest::SetUp() {
    if (GetParam() == Backend::Postgres && !testCluster()) {
        if (env("CI") == "true") FAIL() << "no PostgreSQL test cluster (ORV_PG_CLUSTER)";
        GTEST_SKIP() << "no PostgreSQL test cluster (ORV_PG_CLUSTER)";
    }
    store_ = std::make_unique<TestStore>(GetParam(), wholeDatabase());
}

std::string backendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Embedded ? "Embedded" : "Postgres";
}

}  // namespace orv::test
