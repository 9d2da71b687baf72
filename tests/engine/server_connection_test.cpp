// Server connections that go wrong under a session: the server restarted, a workstation that
// vanishes without closing its connection (its link cut in a network namespace of the test).
#include <unistd.h>

#include <gtest/gtest.h>

#include <QProcess>

#include "backends.h"
#include "engine/database.h"

namespace {

using orv::test::Failure;
using orv::test::failureOf;
using orv::test::PrivateCluster;

std::string serverOf(const orv::PgTarget& t, const std::string& host = {}) {
    return (host.empty() ? t.host : host) + ":" + t.port;
}

std::shared_ptr<orv::Database> openOn(const orv::PgTarget& t) {
    return orv::Database::openAccount(serverOf(t), "pg:" + t.database, t.user, t.password,
                                      {.create = false});
}

TEST(ServerConnection, RestartReconnectsOutsideATransactionAndFailsCleanlyInside) {
    PrivateCluster cluster;
    auto db = openOn(cluster.target);
    db->createFile("F");
    db->write("F", "1", orv::DynArray("un"));
    ASSERT_TRUE(db->read("F", "1"));  // a read the connection prepares, forgotten by the restart
    orv::Session holder(db, "A");
    holder.readForUpdate("F", "1");
    testing::internal::CaptureStderr();

    cluster.restart();
    ASSERT_TRUE(db->read("F", "1"));  // the connection is made again, the read repeated
    EXPECT_EQ(db->read("F", "1")->text(), "un");
    orv::Session other(openOn(cluster.target), "B");
    EXPECT_EQ(orv::test::codeOf([&] { other.readForUpdate("F", "1"); }),
              orv::DbErrorCode::RecordLocked);  // the lock was taken back

    db->storage().begin();
    db->write("F", "2", orv::DynArray("deux"));
    db->write("F", "3", orv::DynArray("trois"));
    cluster.restart();
    const Failure lost = failureOf([&] { db->storage().commit(); });
    EXPECT_NE(lost.message.find("connexion"), std::string::npos) << lost.message;
    EXPECT_NE(lost.message.find("perdue"), std::string::npos) << lost.message;
    EXPECT_FALSE(db->read("F", "2"));  // nothing of the transaction is written
    EXPECT_FALSE(db->read("F", "3"));

    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "");  // the server's notices never reach a user
}

// A network namespace holding a workstation, linked to the host by a veth pair whose far end
// the test can cut: the workstation's packets stop, its connection is never closed.
class Workstation {
  public:
    Workstation() {
        const int n = getpid() % 200 + 20;
        host = "10.213." + std::to_string(n) + ".1";
        far_ = "10.213." + std::to_string(n) + ".2";
        ok_ = sh("ip netns add " + name_ + " && ip link add " + near_ + " type veth peer name " +
                 farLink_ + " && ip link set " + farLink_ + " netns " + name_ + " && ip addr add " +
                 host + "/24 dev " + near_ + " && ip link set " + near_ + " up && " +
                 inside("ip addr add " + far_ + "/24 dev " + farLink_) + " && " +
                 inside("ip link set " + farLink_ + " up") + " && " + inside("ip link set lo up"));
    }
    ~Workstation() {
        sh("ip link del " + near_ + " 2>/dev/null; ip netns del " + name_ + " 2>/dev/null");
    }
    bool ready() const { return ok_; }
    // The workstation's cable is pulled.
    void cut() { sh(inside("ip link set " + farLink_ + " down")); }
    std::string inside(const std::string& command) const {
        return "ip netns exec " + name_ + " " + command;
    }
    std::string host;  // the server's address as the workstation reaches it

  private:
    static bool sh(const std::string& command) {
        return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
    }
    std::string name_ = "orvws" + std::to_string(getpid());
    std::string near_ = "orvh" + std::to_string(getpid());
    std::string farLink_ = "orvw" + std::to_string(getpid());
    std::string far_;
    bool ok_ = false;
};

TEST(ServerConnection, LocksOfAVanishedWorkstationAreFreedWithinAMinute) {
    Workstation workstation;
    if (!workstation.ready()) GTEST_SKIP() << "network namespaces are not permitted here";
    PrivateCluster cluster(workstation.host);
    const orv::PgTarget& t = cluster.target;
    auto db = openOn(t);
    db->createFile("F");
    QProcess peer;
    peer.start("sh", {"-c", QString::fromStdString(
                                "exec " + workstation.inside(
                                              qgetenv("ORV_BIN_DIR").toStdString() +
                                              "/orv_lock_holder " + serverOf(t, workstation.host) +
                                              " pg:" + t.database + " " + t.user + " F 1"))});
    peer.write(QByteArray::fromStdString(t.password) + "\n");
    peer.closeWriteChannel();
    ASSERT_TRUE(peer.waitForReadyRead(30000)) << peer.readAllStandardError().toStdString();
    orv::Session mine(db, "B");
    EXPECT_EQ(orv::test::codeOf([&] { mine.readForUpdate("F", "1"); }),
              orv::DbErrorCode::RecordLocked);

    workstation.cut();
    const auto cut = std::chrono::steady_clock::now();
    EXPECT_TRUE(
        orv::test::lockedWithin(std::chrono::seconds(120), [&] { mine.readForUpdate("F", "1"); }));
    const auto freed = std::chrono::steady_clock::now() - cut;
    EXPECT_LT(freed, std::chrono::seconds(60));
    std::cerr << "lock freed " << std::chrono::duration_cast<std::chrono::seconds>(freed).count()
              << " s after the cut\n";
    peer.kill();
    peer.waitForFinished();
}

}  // namespace
