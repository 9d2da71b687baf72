// orvanelle-db, run as a program: exchange round trip, all-or-nothing loads, exit codes, users,
// schema and the demo database.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <map>
#include <set>
#include <sstream>

#include "engine/database.h"

namespace {

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

class OrvanelleDb : public ::testing::Test {
  protected:
    QString dbPath(const QString& name = "base.db") const { return dir_.filePath(name); }

    Outcome run(const QStringList& args, const QByteArray& input = {},
                const QString& db = QString()) const {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ORVANELLE_TODAY", "2006-03-20");
        p.setProcessEnvironment(env);
        p.start(QString::fromLocal8Bit(qgetenv("ORV_BIN_DIR")) + "/orvanelle-db",
                QStringList{"--db", db.isEmpty() ? dbPath() : db} + args);
        p.write(input);
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(180000));
        return Outcome{p.exitCode(), p.readAllStandardOutput().toStdString(),
                       p.readAllStandardError().toStdString()};
    }

    QString writeFile(const QString& name, const QByteArray& content) const {
        QFile f(dir_.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return f.fileName();
    }

    QTemporaryDir dir_;
};

// A canonical dump: files by name with their create lines, keys in byte order, the compact form
// of every attribute, accents, escapes, empty attributes, values and subvalues.
const QByteArray kCanonical =
    "{\"create\":\"DICT NOTES\"}\n"
    "{\"file\":\"DICT NOTES\",\"key\":\"Libellé\",\"attrs\":[\"D\",\"1\",\"\",\"Libellé\","
    "\"20L\",\"S\"]}\n"
    "{\"create\":\"NOTES\"}\n"
    "{\"file\":\"NOTES\",\"key\":\"001\",\"attrs\":[\"Hélène Lefèvre\",[\"Noël\",\"Zoë\"],"
    "[[\"ü\",\"ý\",\"þ\"],\"ß\"],\"\",\"\"]}\n"
    "{\"file\":\"NOTES\",\"key\":\"002\",\"attrs\":[]}\n"
    "{\"file\":\"NOTES\",\"key\":\"003\",\"attrs\":[\"guillemet \\\" barre \\\\ "
    "tab\\t fin\",[\"\",\"\"],[[\"\",\"x\"]]]}\n"
    "{\"file\":\"NOTES\",\"key\":\"Éric\",\"attrs\":[\"€ 12,50\"]}\n";

TEST_F(OrvanelleDb, LoadThenDumpIsByteIdentical) {
    const QString file = writeFile("in.jsonl", kCanonical);
    ASSERT_EQ(run({"load", file}).code, 0);
    const Outcome whole = run({"dump"});
    EXPECT_EQ(whole.code, 0);
    EXPECT_EQ(whole.out, kCanonical.toStdString());

    // The dump restores into another database unchanged.
    const QString copy = writeFile("copy.jsonl", QByteArray::fromStdString(whole.out));
    ASSERT_EQ(run({"load", copy}, {}, dbPath("other.db")).code, 0);
    EXPECT_EQ(run({"dump"}, {}, dbPath("other.db")).out, whole.out);

    // Marks land where the arrays say.
    auto db = orv::Database::openEmbedded(dbPath().toStdString());
    const auto rec = db->read("NOTES", "001");
    ASSERT_TRUE(rec);
    EXPECT_EQ(rec->extractString(2, 2), "Zoë");
    EXPECT_EQ(rec->extractString(3, 1, 3), "þ");
    EXPECT_EQ(rec->count(), 5);
}

TEST_F(OrvanelleDb, ReadAndWriteUseTheAttrsArray) {
    ASSERT_EQ(run({"load", writeFile("in.jsonl", kCanonical)}).code, 0);
    EXPECT_EQ(run({"read", "NOTES", "Éric"}).out, "[\"€ 12,50\"]\n");
    ASSERT_EQ(run({"write", "NOTES", "004"}, " [\"a\", [\"b\", [\"c\", \"d\"]]]\n").code, 0);
    EXPECT_EQ(run({"read", "NOTES", "004"}).out, "[\"a\",[\"b\",[\"c\",\"d\"]]]\n");

    const Outcome bad = run({"write", "NOTES", "005"}, "[\"a\", 12]");
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.err.find("rien n'a été écrit"), std::string::npos);
    EXPECT_EQ(run({"read", "NOTES", "005"}).code, 1);

    ASSERT_EQ(run({"delete", "NOTES", "004"}).code, 0);
    EXPECT_EQ(run({"delete", "NOTES", "004"}).code, 1);
}

TEST_F(OrvanelleDb, BadLineRejectsTheWholeLoadAndNamesItsLine) {
    ASSERT_EQ(run({"load", writeFile("in.jsonl", kCanonical)}).code, 0);
    const std::string before = run({"dump"}).out;
    const QByteArray good =
        "{\"file\":\"NOTES\",\"key\":\"001\",\"attrs\":[\"remplacé\"]}\n"
        "\n"
        "{\"create\":\"NOUVEAU\"}\n"
        "{\"file\":\"NOTES\",\"key\":\"100\",\"attrs\":[\"nouveau\"]}\n";
    const struct {
        QByteArray line;
        const char* lineNumber;
    } cases[] = {
        {"{\"file\":\"NOTES\",\"key\":\"101\",\"attrs\":[\"non fermé\"\n", "ligne 5"},
        {"{\"file\":\"INCONNU\",\"key\":\"1\",\"attrs\":[]}\n", "ligne 5"},
        {"{\"file\":\"NOTES\",\"key\":\"1\",\"attrs\":[[[\"trop\",[\"profond\"]]]]}\n", "ligne 5"},
        {"{\"file\":\"NOTES\",\"key\":\"\",\"attrs\":[]}\n", "ligne 5"},
        {"[\"pas un objet\"]\n", "ligne 5"},
    };
    for (const auto& c : cases) {
        const Outcome r = run({"load", writeFile("bad.jsonl", good + c.line)});
        EXPECT_EQ(r.code, 1) << c.line.toStdString();
        EXPECT_NE(r.err.find(c.lineNumber), std::string::npos) << r.err;
        EXPECT_EQ(run({"dump"}).out, before) << c.line.toStdString();
    }
}

TEST_F(OrvanelleDb, ExitCodesAndMessages) {
    ASSERT_EQ(run({"init"}).code, 0);
    const Outcome missing = run({"read", "ASSOCIATION", "999"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_NE(missing.err.find("« 999 » n'existe pas dans ASSOCIATION"), std::string::npos);
    EXPECT_EQ(run({"read", "FICHIERABSENT", "1"}).code, 1);
    EXPECT_EQ(run({"read", "ASSOCIATION"}).code, 2);
    EXPECT_EQ(run({"commande-inconnue"}).code, 2);
    EXPECT_EQ(run({"demo", "--scale", "0"}, {}, dbPath("d.db")).code, 2);
    EXPECT_EQ(run({"load", dir_.filePath("absent.jsonl")}).code, 1);
}

TEST_F(OrvanelleDb, UsersTakeTheirPasswordFromStandardInput) {
    ASSERT_EQ(run({"user", "add", "dupond"}, "s3cret éé\n").code, 0);
    EXPECT_EQ(run({"user", "add", "DUPOND"}, "autre\n").code, 1);
    EXPECT_EQ(run({"user", "add", "martin"}, "\n").code, 1);  // empty password refused
    EXPECT_EQ(run({"user", "passwd", "inconnu"}, "x\n").code, 1);
    EXPECT_EQ(run({"user", "list"}).out, "DUPOND\n");
    {
        auto db = orv::Database::openEmbedded(dbPath().toStdString());
        EXPECT_TRUE(db->checkPassword("DUPOND", "s3cret éé"));
        EXPECT_FALSE(db->checkPassword("DUPOND", "s3cret"));
    }
    ASSERT_EQ(run({"user", "passwd", "Dupond"}, "nouveau\r\n").code, 0);
    {
        auto db = orv::Database::openEmbedded(dbPath().toStdString());
        EXPECT_TRUE(db->checkPassword("DUPOND", "nouveau"));
    }
    EXPECT_EQ(run({"user", "remove", "dupond"}).code, 0);
    EXPECT_EQ(run({"user", "remove", "dupond"}).code, 1);
}

TEST_F(OrvanelleDb, InitCreatesEverySchemaFileAndItsDictionary) {
    ASSERT_EQ(run({"init"}).code, 0);
    QFile schema(ORV_SCHEMA_FILE);
    ASSERT_TRUE(schema.open(QIODevice::ReadOnly));
    auto db = orv::Database::openEmbedded(dbPath().toStdString());
    int files = 0, items = 0;
    while (!schema.atEnd()) {
        const QJsonObject line = QJsonDocument::fromJson(schema.readLine()).object();
        if (line.contains("create")) {
            const std::string file = line["create"].toString().toStdString();
            EXPECT_TRUE(db->hasFile(file)) << file;
            EXPECT_TRUE(db->hasFile("DICT " + file)) << file;
            ++files;
        } else {
            const std::string file = line["file"].toString().toStdString().substr(5);
            const auto* item = db->dictionary(file)->find(line["key"].toString().toStdString());
            EXPECT_NE(item, nullptr) << line["key"].toString().toStdString();
            ++items;
        }
    }
    EXPECT_GE(files, 20);
    const auto* name = db->dictionary("DETAILCHGPARTEMP")->find("NomAideDetailChgPartemp");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->conversion, "TCIVILAIDE;X;;2");
    EXPECT_GT(items, 20);
}

TEST_F(OrvanelleDb, QueryAndShellPrintSelectedRecords) {
    ASSERT_EQ(run({"load", writeFile("in.jsonl", kCanonical)}).code, 0);
    const Outcome q = run({"query", "--fields", "0 1", "SSELECT NOTES AVEC 0 = \"00]\""});
    EXPECT_EQ(q.code, 0) << q.err;
    EXPECT_EQ(q.out, "001\tHélène Lefèvre\n002\t\n003\tguillemet \" barre \\ tab\t fin\n");
    const Outcome s = run({"shell"},
                          "read NOTES Éric\nlire\nSSELECT NOTES AVEC 0 = \"É]\"\nquit\n"
                          "read NOTES 001\n");
    EXPECT_EQ(s.code, 0);
    EXPECT_EQ(s.out, "[\"€ 12,50\"]\nÉric\n");
    EXPECT_NE(s.err.find("commande inconnue"), std::string::npos);
}

// The demo is built once for the checks below; a second build must give the same dump.
class DemoDatabase : public OrvanelleDb {};

TEST_F(DemoDatabase, IsDeterministicAndCoversTheFilesTheModulesRead) {
    ASSERT_EQ(run({"demo"}, {}, dbPath("demo1.db")).code, 0);
    ASSERT_EQ(run({"demo"}, {}, dbPath("demo2.db")).code, 0);
    const std::string dump = run({"dump"}, {}, dbPath("demo1.db")).out;
    EXPECT_EQ(run({"dump"}, {}, dbPath("demo2.db")).out, dump);
    EXPECT_EQ(run({"demo"}, {}, dbPath("demo1.db")).code, 1);  // never over an existing base

    auto db = orv::Database::openEmbedded(dbPath("demo1.db").toStdString());
    for (const char* file :
         {"ABSENCESAIDANT", "ACTIVITES", "ARCHIVEFACT", "ASSOCIATION", "CENTREURSSAF",
          "CIVILAIDANT", "CIVILAIDE", "COMPTEUR", "CONTRAT", "CONVENTIONCOL", "DETAILCHGPARTEMP",
          "ELTSPARTEMP", "NUMEROFACT", "PERIODESPAIE", "RESPONSABLE", "SECTEUR", "TLGPARAM",
          "TPSPARAM", "VESPERONRAPPORTS"})
        EXPECT_GT(db->storage().count(file), 0) << file;
    EXPECT_GE(db->storage().count("ARCHIVEFACT"), 9000);
    EXPECT_GE(db->storage().count("CIVILAIDANT"), 200);

    const auto counter = db->read("COMPTEUR", "999");
    ASSERT_TRUE(counter);
    EXPECT_EQ(counter->extractString(33), "1");
    EXPECT_FALSE(counter->extractString(17).empty());
    EXPECT_EQ(db->read("PERIODESPAIE", "1")->extractString(1), "200603");
    EXPECT_EQ(db->read("TLGPARAM", "HEURELIMITEVERIF")->extractString(3), "O");
    EXPECT_EQ(db->read("ASSOCIATION", "001")->extractString(39).size(), 2u);
    EXPECT_TRUE(db->read("NUMEROFACT", "001"));
    EXPECT_FALSE(db->read("NUMEROFACT", "007"));
    EXPECT_EQ(db->read("CENTREURSSAF", "17")->extractString(16), "117");
    EXPECT_EQ(db->read("CENTREURSSAF", "07")->extractString(16), "000");

    // Activity modes: every mode occurs, entity 007 bills in Mandataire only.
    std::set<std::string> modes;
    db->storage().scan("ACTIVITES", [&](std::string_view key, std::string_view rec) {
        const std::string mode = orv::DynArray(std::string(rec)).extractString(12);
        modes.insert(mode);
        if (key.substr(0, 3) == "007") {
            EXPECT_EQ(mode, "M");
        }
        return true;
    });
    EXPECT_EQ(modes, (std::set<std::string>{"I", "M", "P", "S"}));

    // Every absence motive occurs; keys are helper code, motive, start day; the end is not
    // before the start.
    std::set<std::string> motives;
    db->storage().scan("ABSENCESAIDANT", [&](std::string_view key, std::string_view rec) {
        EXPECT_EQ(key.size(), 12u);
        motives.insert(std::string(key.substr(5, 2)));
        EXPECT_GE(std::stol(orv::DynArray(std::string(rec)).extractString(2)),
                  std::stol(std::string(key.substr(7))));
        return true;
    });
    EXPECT_EQ(motives.size(), 33u);

    // Declarations of the eight quarters before 2006 Q1, each keyed by a client of CIVILAIDE.
    std::set<std::string> quarters;
    db->storage().scan("DETAILCHGPARTEMP", [&](std::string_view key, std::string_view rec) {
        quarters.insert(std::string(key.substr(key.size() - 5)));
        EXPECT_TRUE(db->read("CIVILAIDE", std::string(key.substr(0, 5))));
        EXPECT_EQ(orv::DynArray(std::string(rec)).extractString(3), key.substr(0, 5));
        return true;
    });
    EXPECT_EQ(quarters, (std::set<std::string>{"20041", "20042", "20043", "20044", "20051", "20052",
                                               "20053", "20054"}));

    for (const char* user : {"ADMINISTRATEUR", "DIRECTION", "ACCUEIL", "STAGIAIRE"})
        EXPECT_NE(std::find(db->userNames().begin(), db->userNames().end(), user),
                  db->userNames().end())
            << user;
    EXPECT_TRUE(db->checkPassword("ADMINISTRATEUR", "admin"));
}

// ACCUEIL's rights, groups included: some entries and modules closed, most read only, the
// quarterly statement in full.
TEST_F(DemoDatabase, ReceptionHasPartialRights) {
    ASSERT_EQ(run({"demo", "--scale", "1"}, {}, dbPath("demo.db")).code, 0);
    const std::string out = run({"rights", "list", "accueil"}, {}, dbPath("demo.db")).out;
    const auto from = out.find("droits effectifs :");
    ASSERT_NE(from, std::string::npos) << out;
    std::map<std::string, int> levels;
    std::map<int, int> keysAtLevel;
    std::istringstream words(out.substr(from + 18, out.find('\n', from) - from - 18));
    for (std::string word; words >> word;) {
        const auto equals = word.find('=');
        const int level = std::stoi(word.substr(equals + 1));
        levels[word.substr(0, equals)] = level;
        ++keysAtLevel[level];
    }
    EXPECT_GT(keysAtLevel[0], 1);
    EXPECT_GT(keysAtLevel[1], keysAtLevel[0]);
    EXPECT_EQ(keysAtLevel[2], 1);
    const std::map<std::string, int> expected = {{"CADRIUSDROITSUTILS", 0}, {"CADRIUSPARAMS", 0},
                                                 {"CADRIUSDOUCHETTE", 0},   {"DOSAIDANTABS", 0},
                                                 {"CADRIUSMONITEUR", 1},    {"COMPTEURFACT", 1},
                                                 {"RELEVEDNT", 2}};
    for (const auto& [key, level] : expected) EXPECT_EQ(levels[key], level) << key;
}

}  // namespace

// call: a routine with a record read on standard input, with a plain text, and the failures.
TEST_F(OrvanelleDb, CallRunsARoutineAsASessionDoes) {
    ASSERT_EQ(run({"init"}).code, 0);
    ASSERT_EQ(run({"write", "CONVENTIONCOL", "02"}, "[\"Convention\", \"1\"]").code, 0);
    ASSERT_EQ(run({"write", "CONTRAT", "00101*01"}, "[\"02\"]").code, 0);
    // 1 to 31 May 2006 (days 14001 to 14031) in working days: 20 days.
    const QByteArray absence =
        "[\"001011414001\", \"14001\", \"14031\", \"\", \"\", \"\", \"\", \"\", \"\", \"\", "
        "\"00101*01\"]";
    const Outcome ok = run({"call", "CALCNBJOURABSENCE", "--record"}, absence);
    EXPECT_EQ(ok.code, 0) << ok.err;
    EXPECT_EQ(ok.out, "2000\n");
    EXPECT_EQ(run({"call", "DATE.FORMAT", "--user", "direction", "x"}).out, "\n");

    const Outcome unknown = run({"call", "NIMPORTEQUOI", "x"});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_NE(unknown.err.find("NIMPORTEQUOI"), std::string::npos) << unknown.err;
    const Outcome failed = run({"call", "CALCNBJOURABSENCE", "--record"}, "[\"0010114\"]");
    EXPECT_EQ(failed.code, 1);
    EXPECT_NE(failed.err.find("CALCNBJOURABSENCE"), std::string::npos) << failed.err;
    const Outcome noContract =
        run({"call", "CALCNBJOURABSENCE", "--record"}, QByteArray(absence).replace("*01", "*09"));
    EXPECT_EQ(noContract.code, 1);
    EXPECT_NE(noContract.err.find("00101*09"), std::string::npos) << noContract.err;
    EXPECT_EQ(run({"call", "CALCNBJOURABSENCE", "--record"}, "[1]").code, 1);
    EXPECT_EQ(run({"call"}).code, 2);
}
