// orvanelle-db on a PostgreSQL database: the schema, users as server roles, and copies between
// an embedded file and the server (records, dictionaries and indexes).
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
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
    // orvanelle-db as a user of the database.
    Outcome as(const QString& user, const QString& password, const QStringList& args,
               const QByteArray& input = {}) {
        return runOrvanelleDb(
            QStringList{"--server", QString::fromStdString(store().server()), "--user", user,
                        "--password-stdin", "--db", QString::fromStdString(store().accountPath())} +
                args,
            password.toUtf8() + "\n" + input);
    }
    // psql as a user of the database, stopping at the first error.
    Outcome psql(const QString& user, const QString& password, const QString& sql) {
        const orv::PgTarget& t = store().target;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PGPASSWORD", password);
        p.setProcessEnvironment(env);
        p.start("psql", {"-X", "-q", "-A", "-t", "-v", "ON_ERROR_STOP=1", "-h",
                         QString::fromStdString(t.host), "-p", QString::fromStdString(t.port), "-U",
                         user, "-d", QString::fromStdString(t.database), "-c", sql});
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), p.readAllStandardOutput().toStdString(),
                p.readAllStandardError().toStdString()};
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

// The server itself keeps a user to business records: neither the program nor psql with the
// user's own password changes rights, files, indexes or another user's password.
TEST_P(ServerAdministration, UsersChangeBusinessRecordsOnly) {
    for (const auto& [args, input] : std::initializer_list<std::pair<QStringList, QByteArray>>{
             {{"init"}, {}},
             {{"user", "add", "ADMINISTRATEUR"}, "admin\n"},
             {{"user", "add", "ACCUEIL"}, "accueil\n"},
             {{"rights", "grant", "ACCUEIL", "*", "0"}, {}},
             {{"write", "ASSOCIATION", "001"}, "[\"ADMR\"]"}}) {
        const Outcome o = admin(args, input);
        ASSERT_EQ(o.code, 0) << args.join(' ').toStdString() << ": " << o.err;
    }
    const std::string before = admin({"dump"}).out;
    const struct {
        QStringList args;
        QByteArray input;
    } refused[] = {
        {{"rights", "grant", "ACCUEIL", "*", "2"}, {}},
        {{"user", "passwd", "ADMINISTRATEUR"}, "pris\n"},
        {{"user", "add", "INTRUS"}, "intrus\n"},
        {{"user", "remove", "ADMINISTRATEUR"}, {}},
        {{"index", "create", "ASSOCIATION", "NomAssoc"}, {}},
        {{"load", dir.filePath("vide.jsonl")}, {}},
    };
    QFile empty(dir.filePath("vide.jsonl"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.write(R"({"create":"NOUVEAU"})"
                "\n");
    empty.close();
    for (const auto& r : refused) {
        const Outcome o = as("ACCUEIL", "accueil", r.args, r.input);
        EXPECT_EQ(o.code, 1) << r.args.join(' ').toStdString() << ": " << o.err;
        EXPECT_EQ(o.err.find("ERROR"), std::string::npos) << o.err;
    }
    const QString s = QString::fromStdString(store().target.schema) + ".";
    const QString rights = "(SELECT id FROM " + s + "orv_files WHERE name = 'DROITSUTIL')";
    const QString admins = QString::fromStdString("\"orv_admins:" + store().target.database + "." +
                                                  store().target.schema + "\"");
    for (const QString& sql : QStringList{
             "INSERT INTO " + s + "orv_records(file, key, rec) SELECT " + rights +
                 ", 'INTRUS', 'x'",
             "DELETE FROM " + s + "orv_files WHERE name = 'ASSOCIATION'",
             "UPDATE " + s + "orv_files SET access = 0",
             "TRUNCATE " + s + "orv_records",
             "DROP TABLE " + s + "orv_records",
             "DELETE FROM " + s + "orv_indexes",
             QString("ALTER ROLE \"ADMINISTRATEUR\" PASSWORD 'pris'"),
             "SELECT " + s + "orv_set_password('ADMINISTRATEUR', 'pris', false)",
             "SELECT " + s + "orv_drop_user('ADMINISTRATEUR')",
             "GRANT " + admins + " TO \"ACCUEIL\"",
         }) {
        const Outcome o = psql("ACCUEIL", "accueil", sql);
        EXPECT_NE(o.code, 0) << sql.toStdString();
    }
    // Rows of the rights are out of the user's reach: an update finds none.
    EXPECT_EQ(
        psql("ACCUEIL", "accueil",
             "UPDATE " + s + "orv_records SET rec = 'x' WHERE file = " + rights + " RETURNING key")
            .out,
        "");
    EXPECT_EQ(admin({"dump"}).out, before);
    EXPECT_TRUE(connects("ADMINISTRATEUR", "admin"));
    // What the program lets the user do, it still does.
    for (const auto& [args, input] : std::initializer_list<std::pair<QStringList, QByteArray>>{
             {{"write", "ASSOCIATION", "002"}, "[\"ADMR Plaine\"]"},
             {{"read", "DROITSUTIL", "ACCUEIL"}, {}},
             {{"user", "passwd", "ACCUEIL"}, "nouveau\n"}}) {
        const Outcome o = as("ACCUEIL", "accueil", args, input);
        EXPECT_EQ(o.code, 0) << args.join(' ').toStdString() << ": " << o.err;
    }
    EXPECT_TRUE(connects("ACCUEIL", "nouveau"));
    // An administrator by the rights administers the server database too.
    ASSERT_EQ(admin({"rights", "grant", "ACCUEIL", "DROITS", "2"}).code, 0);
    const Outcome promoted = as("ACCUEIL", "nouveau", {"user", "add", "INTRUS"}, "intrus\n");
    EXPECT_EQ(promoted.code, 0) << promoted.err;
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
