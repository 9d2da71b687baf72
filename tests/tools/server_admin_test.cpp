// orvanelle-db on a PostgreSQL database: the schema, users as server roles, and copies between
// an embedded file and the server (records, dictionaries and indexes).
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "backends.h"
#include "tests/tools/run_tool.h"

namespace {

class ServerAdministration : public orv::test::BackendTest {
  protected:
    bool wholeDatabase() const override { return true; }

    // orvanelle-db as the cluster's administrative role on `db` (the test's database when
    // empty); its password leads the input.
    Outcome admin(const QStringList& args, const QByteArray& input = {}, QString db = {}) {
        const orv::PgTarget& t = store().target;
        if (db.isEmpty()) db = QString::fromStdString(store().accountPath());
        return runOrvanelleDb(
            QStringList{"--server", QString::fromStdString(store().server()), "--user",
                        QString::fromStdString(t.user), "--password-stdin", "--db", db} +
                args,
            QByteArray::fromStdString(t.password) + "\n" + input);
    }
    bool connects(const std::string& user, const std::string& password) {
        try {
            orv::Database::openAccount(store().server(), store().accountPath(), user, password,
                                       {.create = false});
            return true;
        } catch (const orv::DbError& e) {
            EXPECT_EQ(e.code(), orv::DbErrorCode::Authentication) << e.what();
            return false;
        }
    }
    QTemporaryDir dir;
};

TEST_P(ServerAdministration, UsersAreLoginRolesOfTheServer) {
    const struct {
        QStringList args;
        QByteArray input;
        int code;
        std::string out;
    } steps[] = {
        {{"init"}, {}, 0, ""},
        {{"user", "add", "dupond"}, "secret\n", 0, ""},
        {{"user", "add", "O'Hara"}, "o'hara\"\n", 0, ""},
        {{"user", "add", "DUPOND"}, "autre\n", 1, ""},
        {{"user", "list"}, {}, 0, "DUPOND\nO'HARA\n"},
        {{"user", "passwd", "O'HARA"}, "nouveau\n", 0, ""},
        {{"user", "remove", "DUPOND"}, {}, 0, ""},
        {{"user", "remove", "DUPOND"}, {}, 1, ""},
        {{"user", "list"}, {}, 0, "O'HARA\n"},
    };
    for (const auto& step : steps) {
        const Outcome o = admin(step.args, step.input);
        EXPECT_EQ(o.code, step.code) << step.args.join(' ').toStdString() << ": " << o.err;
        EXPECT_EQ(o.out, step.out) << step.args.join(' ').toStdString();
    }
    EXPECT_TRUE(connects("O'HARA", "nouveau"));
    EXPECT_FALSE(connects("O'HARA", "o'hara\""));
    EXPECT_FALSE(connects("DUPOND", "secret"));
}

TEST_P(ServerAdministration, DemoCopiedToTheServerAndBackDumpsTheSame) {
    const QString demo = dir.filePath("demo.db");
    const QString back = dir.filePath("retour.db");
    ASSERT_EQ(runOrvanelleDb({"--db", demo, "demo", "--scale", "10"}).code, 0);
    const QString server = QString::fromStdString(store().accountPath());
    for (const QStringList& copy : {QStringList{demo, server}, QStringList{server, back}}) {
        const Outcome o = admin(QStringList{"copy"} + copy);
        ASSERT_EQ(o.code, 0) << o.err;
    }
    for (const QStringList& command : {QStringList{"dump"}, QStringList{"index", "list"}}) {
        const std::string original = runOrvanelleDb(QStringList{"--db", demo} + command).out;
        EXPECT_GT(original.size(), 100u);
        EXPECT_EQ(admin(command).out, original);
        EXPECT_EQ(runOrvanelleDb(QStringList{"--db", back} + command).out, original);
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, ServerAdministration,
                         ::testing::Values(orv::test::Backend::Postgres), orv::test::backendName);

}  // namespace
