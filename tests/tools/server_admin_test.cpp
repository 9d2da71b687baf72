// orvanelle-db on a PostgreSQL database: the schema, users as server roles, and copies between
// an embedded file and the server (records, dictionaries and indexes).
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>
#include <vector>

#include "backends.h"
#include "tests/tools/run_tool.h"

namespace {

class ServerAdministration : public orv::test::BackendTest {
  protected:
    bool wholeDatabase() const override { return true; }

    // orvanelle-db as the cluster's administrative role on `db` (the test's database when
    // empty); its password leads the input.
    Outcome admin(const QStringList& args, const QByteArray& input = {}, const QString& db = {}) {
        return runOrvanelleDb(adminArgs(args, db), adminInput(input));
    }
    QStringList adminArgs(const QStringList& args, QString db = {}) {
        if (db.isEmpty()) db = QString::fromStdString(store().accountPath());
        return QStringList{"--server",
                           QString::fromStdString(store().server()),
                           "--user",
                           QString::fromStdString(store().target.user),
                           "--password-stdin",
                           "--db",
                           db} +
               args;
    }
    QByteArray adminInput(const QByteArray& input) {
        return QByteArray::fromStdString(store().target.password) + "\n" + input;
    }
    // The same command of `count` administrators at once, on workstations of their own.
    std::vector<Outcome> adminsAtOnce(int count, const QStringList& args,
                                      const QByteArray& input = {}) {
        std::vector<std::unique_ptr<QProcess>> runs;
        for (int i = 0; i < count; ++i) {
            runs.push_back(std::make_unique<QProcess>());
            startOrvanelleDb(*runs.back(), adminArgs(args), adminInput(input));
        }
        std::vector<Outcome> outcomes;
        for (auto& run : runs) outcomes.push_back(finished(*run));
        return outcomes;
    }
    // Rows of a query as the cluster's administrative role, one per line.
    std::string adminQuery(const QString& sql) {
        const orv::PgTarget& t = store().target;
        return psql(QString::fromStdString(t.user), QString::fromStdString(t.password), sql).out;
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
    // Vacuumed at once, whatever the server's commit setting (the test cluster's does not wait
    // for its log): the key ranges are read from the index alone.
    EXPECT_EQ(adminQuery(QString("SELECT c.relallvisible * 10 >= c.relpages * 9 FROM pg_class c "
                                 "JOIN pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname "
                                 "= '%1' AND c.relname = 'orv_records'")
                             .arg(QString::fromStdString(store().target.schema))),
              "t\n");
    for (const QStringList& command : {QStringList{"dump"}, QStringList{"index", "list"}}) {
        const std::string original = runOrvanelleDb(QStringList{"--db", demo} + command).out;
        EXPECT_GT(original.size(), 100u);
        EXPECT_EQ(admin(command).out, original);
        EXPECT_EQ(runOrvanelleDb(QStringList{"--db", back} + command).out, original);
    }
    // A load of a few records leaves the vacuum to the server's own upkeep.
    QFile few(dir.filePath("peu.jsonl"));
    ASSERT_TRUE(few.open(QIODevice::WriteOnly));
    few.write("{\"create\":\"PEU\"}\n{\"file\":\"PEU\",\"key\":\"1\",\"attrs\":[\"x\"]}\n");
    few.close();
    const QString vacuums = QString(
                                "SELECT vacuum_count FROM pg_stat_user_tables WHERE "
                                "schemaname = '%1' AND relname = 'orv_records'")
                                .arg(QString::fromStdString(store().target.schema));
    const std::string vacuumsBefore = adminQuery(vacuums);
    ASSERT_EQ(admin({"load", few.fileName()}).code, 0);
    EXPECT_NE(vacuumsBefore, "0\n");
    EXPECT_EQ(adminQuery(vacuums), vacuumsBefore);
}

// Administrators who create the same index, file or user at once: the engine's French error for
// all but one, never a server text nor a second silent success.
TEST_P(ServerAdministration, ConcurrentAdministrationGivesTheEngineErrors) {
    ASSERT_EQ(admin({"init"}).code, 0);
    // Files of many records, so that the index's and the load's transactions last long enough
    // for the administrators to meet.
    const auto records = [](const char* file) {
        QByteArray lines;
        for (int k = 0; k < 20000; ++k)
            lines += QStringLiteral(R"({"file":"%1","key":"%2","attrs":["x"]})"
                                    "\n")
                         .arg(file)
                         .arg(k, 12, 10, QChar('0'))
                         .toUtf8();
        return lines;
    };
    const auto jsonl = [&](const QString& name, const QByteArray& content) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return f.fileName();
    };
    ASSERT_EQ(admin({"load", jsonl("absences.jsonl", records("ABSENCESAIDANT"))}).code, 0);
    const QString load = jsonl("nouveau.jsonl", R"({"create":"NOUVEAU"})"
                                                "\n" +
                                                    records("NOUVEAU"));
    const struct {
        QStringList args;
        QByteArray input;
        std::string refusal;
        bool repeatable;  // a load's file creation done already is no failure
    } commands[] = {
        {{"index", "create", "ABSENCESAIDANT", "CodeAidant"}, {}, "existe déjà", false},
        {{"load", load}, {}, "Le fichier NOUVEAU existe déjà", true},
        {{"user", "add", "SRVADM_COURSE"},
         "course\n",
         "l'utilisateur SRVADM_COURSE existe déjà",
         false},
    };
    for (const auto& c : commands) {
        int successes = 0;
        for (const Outcome& o : adminsAtOnce(3, c.args, c.input)) {
            successes += o.code == 0;
            if (o.code == 0) continue;
            EXPECT_EQ(o.code, 1) << o.err;
            EXPECT_NE(o.err.find(c.refusal), std::string::npos) << o.err;
            EXPECT_EQ(o.err.find("ERROR"), std::string::npos) << o.err;
        }
        if (c.repeatable)
            EXPECT_GE(successes, 1) << c.args.join(' ').toStdString();
        else
            EXPECT_EQ(successes, 1) << c.args.join(' ').toStdString();
    }
}

// The demo is built in a file: on a server it is refused before anything is made there.
TEST_P(ServerAdministration, DemoOnAServerIsRefusedBeforeMakingAnything) {
    const QString name = QString::fromStdString(store().target.database) + "_demo";
    const Outcome o = admin({"demo"}, {}, "pg:" + name);
    EXPECT_EQ(o.code, 1);
    EXPECT_NE(o.err.find("pas sur un serveur"), std::string::npos) << o.err;
    EXPECT_EQ(
        adminQuery("SELECT datname FROM pg_database WHERE datname LIKE '" + name +
                   "%' UNION SELECT rolname FROM pg_roles WHERE rolname LIKE '%" + name + "%'"),
        "");
}

// A copy into a server database is one transaction there: killed, it leaves the database as it
// was, and the next copy says that one was interrupted.
TEST_P(ServerAdministration, AKilledCopyLeavesTheServerDatabaseAsItWas) {
    const QString source = dir.filePath("source.db");
    fillLarge(source);
    ASSERT_EQ(admin({"init"}).code, 0);
    ASSERT_EQ(admin({"write", "ASSOCIATION", "001"}, "[\"ADMR\"]").code, 0);
    const std::string before = admin({"dump"}).out;
    const QString server = QString::fromStdString(store().accountPath());
    // Killed once its mark is in and its transaction has written (the server gave it a
    // transaction number): in the middle of the records of GROS.
    bool marked = false;
    killWhen(
        adminArgs({"copy", source, server}),
        [&](qint64) {
            marked = marked || admin({"--engine-files", "read", "ORV.COPIE", "EN COURS"}).code == 0;
            return marked && adminQuery(
                                 "SELECT count(*) FROM pg_stat_activity WHERE datname = "
                                 "current_database() AND backend_xid IS NOT NULL") != "0\n";
        },
        adminInput({}));
    EXPECT_EQ(admin({"dump"}).out, before);
    const Outcome next = admin({"copy", source, server});
    ASSERT_EQ(next.code, 0) << next.err;
    EXPECT_NE(next.err.find("interrompue"), std::string::npos) << next.err;
    EXPECT_EQ(admin({"dump", "GROS"}).out, runOrvanelleDb({"--db", source, "dump", "GROS"}).out);
}

INSTANTIATE_TEST_SUITE_P(Backends, ServerAdministration,
                         ::testing::Values(orv::test::Backend::Postgres), orv::test::backendName);

}  // namespace
