// orvanelle-db, run as a program: exchange round trip, all-or-nothing loads, exit codes, users,
// schema and the demo database.
#include <gtest/gtest.h>

#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "engine/backup.h"
#include "engine/database.h"
#include "tests/tools/run_tool.h"

namespace {

class OrvanelleDb : public ::testing::Test {
  protected:
    // Only init and demo create a database: the others work on an empty one made here.
    void SetUp() override { createDatabase(dbPath()); }
    static void createDatabase(const QString& path) {
        orv::Database::openEmbedded(path.toStdString()).reset();
    }

    QString dbPath(const QString& name = "base.db") const { return dir_.filePath(name); }

    Outcome run(const QStringList& args, const QByteArray& input = {},
                const QString& db = QString()) const {
        return runOrvanelleDb(QStringList{"--db", db.isEmpty() ? dbPath() : db} + args, input);
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
    createDatabase(dbPath("other.db"));
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

// A misspelt user, group or key is refused with its reason and exit code 1, and nothing is
// stored; what exists is accepted.
TEST_F(OrvanelleDb, RightsRefuseUnknownUsersGroupsAndKeys) {
    ASSERT_EQ(run({"user", "add", "dupond"}, "s3cret\n").code, 0);
    ASSERT_EQ(run({"rights", "group", "add", "gestion"}).code, 0);
    const struct {
        QStringList args;
        int code;
        const char* message;
    } cases[] = {
        {{"rights", "grant", "DUPONT", "CADRIUSRAPPORT", "2"}, 1, "utilisateur inconnu : DUPONT"},
        {{"rights", "grant", "DUPOND", "CADRIUSRAPORT", "2"},
         1,
         "clé de droits inconnue : CADRIUSRAPORT"},
        {{"rights", "revoke", "DUPONT", "RELEVEDNT"}, 1, "utilisateur inconnu : DUPONT"},
        {{"rights", "revoke", "DUPOND", "RELEVEDN"}, 1, "clé de droits inconnue : RELEVEDN"},
        {{"rights", "group", "grant", "GESTON", "RELEVEDNT", "2"}, 1, "groupe inconnu : GESTON"},
        {{"rights", "group", "add", "GESTION"}, 1, "le groupe GESTION existe déjà"},
        {{"user", "group", "DUPOND", "GESTON"}, 1, "groupe inconnu : GESTON"},
        {{"rights", "sectors", "DUPONT", "001"}, 1, "utilisateur inconnu : DUPONT"},
        {{"rights", "grant", "dupond", "relevednt", "2"}, 0, ""},
        {{"rights", "grant", "DUPOND", "*", "1"}, 0, ""},
        {{"rights", "group", "grant", "gestion", "CADRIUSRAPPORT", "2"}, 0, ""},
        {{"user", "group", "dupond", "gestion"}, 0, ""},
        {{"rights", "revoke", "DUPOND", "CADRIUSRAPPORT"}, 0, ""},
    };
    for (const auto& c : cases) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString() << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    const std::string list = run({"rights", "list", "dupond"}).out;
    EXPECT_NE(list.find("RELEVEDNT 1\n"), std::string::npos) << list;
    EXPECT_NE(list.find("APROPOS 1\n"), std::string::npos) << list;
    EXPECT_EQ(list.find("CADRIUSRAPORT"), std::string::npos);
    EXPECT_NE(list.find("CADRIUSRAPPORT=2"), std::string::npos) << list;  // the group's

    const std::string keys = run({"rights", "keys"}).out;
    EXPECT_NE(keys.find("RELEVEDNT\tRelevé trimestriel des déclarations\n"), std::string::npos);
    EXPECT_NE(keys.find("CADRIUSMONITEUR\tSuivi des anomalies\n"), std::string::npos);
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

// Each command in turn: its exit code, and a text its output (standard output, then standard
// error) must hold, or must equal when exact.
TEST_F(OrvanelleDb, IndexCommandsCreateListRebuildAndDrop) {
    ASSERT_EQ(run({"load", writeFile("in.jsonl", kCanonical)}).code, 0);
    const QByteArray later = "{\"file\":\"NOTES\",\"key\":\"004\",\"attrs\":[\"Zoë\"]}\n";
    struct Step {
        QStringList args;
        int code;
        std::string text;
        bool exact = false;
    };
    const std::vector<Step> steps = {
        {{"index", "create", "NOTES", "Libellé"}, 0, "créé : 4 entrées"},
        {{"index", "create", "NOTES", "Libellé"}, 1, "existe déjà"},
        {{"index", "create", "INCONNU", "Libellé"}, 1, "Fichier inconnu : INCONNU"},
        {{"index", "create", "NOTES", "Rien"}, 1, "Champ « Rien » inconnu"},
        {{"index", "list"}, 0, "NOTES Libellé\n", true},
        {{"index", "list", "INCONNU"}, 1, "Fichier inconnu : INCONNU"},
        {{"load", writeFile("later.jsonl", later)}, 0, ""},
        {{"query", "SSELECT NOTES AVEC Libellé = \"Zoë\" OR = \"€ 12,50\""},
         0,
         "004\nÉric\n",
         true},
        {{"index", "rebuild", "NOTES"}, 0, "reconstruit(s) : 5 entrées"},
        {{"index", "rebuild", "NOTES", "Rien"}, 1, "n'a pas d'index Rien"},
        {{"index", "drop", "NOTES", "Libellé"}, 0, "supprimé"},
        {{"index", "drop", "NOTES", "Libellé"}, 1, "n'a pas d'index Libellé"},
        {{"index", "list", "NOTES"}, 0, "", true},
        {{"index", "create", "NOTES"}, 2, "argument manquant"},
    };
    for (const Step& step : steps) {
        const Outcome o = run(step.args);
        const std::string shown = o.out + o.err;
        EXPECT_EQ(o.code, step.code) << step.args.join(' ').toStdString() << "\n" << shown;
        if (step.exact)
            EXPECT_EQ(o.out, step.text) << step.args.join(' ').toStdString();
        else
            EXPECT_NE(shown.find(step.text), std::string::npos)
                << step.args.join(' ').toStdString() << "\n"
                << shown;
    }
}

// The demo is built once for the checks below; a second build must give the same dump.
class DemoDatabase : public OrvanelleDb {};

TEST_F(DemoDatabase, IsDeterministicAndCoversTheFilesTheModulesRead) {
    ASSERT_EQ(run({"demo"}, {}, dbPath("demo1.db")).code, 0);
    ASSERT_EQ(run({"demo"}, {}, dbPath("demo2.db")).code, 0);
    const std::string dump = run({"dump"}, {}, dbPath("demo1.db")).out;
    EXPECT_EQ(run({"dump"}, {}, dbPath("demo2.db")).out, dump);
    EXPECT_EQ(run({"demo"}, {}, dbPath("demo1.db")).code, 1);  // never over an existing base
    EXPECT_EQ(run({"index", "list"}, {}, dbPath("demo1.db")).out,
              "ABSENCESAIDANT CodeAidant\nARCHIVEFACT ActiviteArcFact\nARCHIVEFACT AssocArcFact\n"
              "ARCHIVEFACT PeriodeArcFact\nDETAILCHGPARTEMP CodCtrUrssafDetailChgPartemp\n"
              "DETAILCHGPARTEMP TrimDetailChgPartemp\n");

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

// Every byte value, in keys and in records, goes through dump and load unchanged: bytes that are
// not UTF-8 are written as {"bytes":"hex"}.
TEST_F(OrvanelleDb, DumpAndLoadKeepEveryByte) {
    std::string every;
    for (int b = 0; b < 256; ++b) every += static_cast<char>(b);
    const std::string key = "cl\xE9\xFF";
    {
        auto db = orv::Database::openEmbedded(dbPath().toStdString());
        db->createFile("BRUT");
        db->write("BRUT", key, orv::DynArray(every));
        db->write("BRUT", "bom",
                  orv::DynArray("\xEF\xBB\xBF"
                                "d\xC3\xA9"
                                "but\xC3"));
    }
    const Outcome dump = run({"dump"});
    ASSERT_EQ(dump.code, 0) << dump.err;
    EXPECT_NE(dump.out.find("{\"bytes\":\"636ce9ff\"}"), std::string::npos) << dump.out;
    createDatabase(dbPath("copie.db"));
    const Outcome load = run({"load", writeFile("brut.jsonl", QByteArray::fromStdString(dump.out))},
                             {}, dbPath("copie.db"));
    ASSERT_EQ(load.code, 0) << load.err;
    auto copy = orv::Database::openEmbedded(dbPath("copie.db").toStdString());
    EXPECT_EQ(copy->read("BRUT", key)->text(), every);
    EXPECT_EQ(copy->read("BRUT", "bom")->text(),
              "\xEF\xBB\xBF"
              "d\xC3\xA9"
              "but\xC3");
}

// A write, delete or load of a record another live session holds fails with the locked error
// and changes nothing.
TEST_F(OrvanelleDb, HeldRecordIsNeitherWrittenNorDeleted) {
    ASSERT_EQ(run({"load", writeFile("in.jsonl", kCanonical)}).code, 0);
    auto db = orv::Database::openEmbedded(dbPath().toStdString());
    orv::Session holder(db, "DUPOND");
    holder.readForUpdate("NOTES", "001");
    const QByteArray line = "{\"file\":\"NOTES\",\"key\":\"001\",\"attrs\":[\"chargé\"]}\n";
    const std::pair<QStringList, QByteArray> attempts[] = {
        {{"write", "NOTES", "001"}, "[\"écrit\"]"},
        {{"delete", "NOTES", "001"}, {}},
        {{"load", writeFile("un.jsonl", line)}, {}},
    };
    for (const auto& [args, input] : attempts) {
        const Outcome r = run(args, input);
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_NE(r.err.find("en cours de modification par un autre utilisateur"),
                  std::string::npos)
            << r.err;
    }
    EXPECT_EQ(db->read("NOTES", "001")->extractString(1), "Hélène Lefèvre");
    holder.releaseAll();
    EXPECT_EQ(run({"delete", "NOTES", "001"}).code, 0);
}

// Names that SQLite would reject or confuse get a clear French message, never SQLite's words.
TEST_F(OrvanelleDb, CollidingAndControlFileNamesAreRefusedClearly) {
    ASSERT_EQ(run({"load", writeFile("in.jsonl", kCanonical)}).code, 0);
    const struct {
        QByteArray line;
        const char* says;
    } cases[] = {
        {"{\"create\":\"notes\"}\n", "Le fichier NOTES existe déjà"},
        {"{\"create\":\"A\\u0000B\"}\n", "Nom de fichier « A?B » refusé"},
        {"{\"file\":\"NOTES\",\"key\":{\"bytes\":\"61fe62\"},\"attrs\":[]}\n", "séparateur"},
    };
    for (const auto& c : cases) {
        const Outcome r = run({"load", writeFile("noms.jsonl", c.line)});
        EXPECT_EQ(r.code, 1) << c.line.toStdString();
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        for (const char* raw : {"SQLite", "table", "CREATE"})
            EXPECT_EQ(r.err.find(raw), std::string::npos) << r.err;
    }
}

// Only init and demo create a database; a new one is readable by its owner only.
TEST_F(OrvanelleDb, MistypedPathCreatesNothingAndNewBasesArePrivate) {
    const QString typo = dbPath("bsae.db");
    for (const QStringList& args :
         {QStringList{"query", "SELECT NOTES"}, QStringList{"read", "NOTES", "1"},
          QStringList{"dump"}, QStringList{"load", writeFile("in.jsonl", kCanonical)}}) {
        const Outcome r = run(args, {}, typo);
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_NE(r.err.find("n'existe pas"), std::string::npos) << r.err;
        EXPECT_FALSE(QFile::exists(typo));
    }
    ASSERT_EQ(run({"init"}, {}, typo).code, 0);
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(typo).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// The engine's own files are shown only when asked for; a blank password is refused.
TEST_F(OrvanelleDb, EngineFilesAndBlankPasswordsAreGuarded) {
    ASSERT_EQ(run({"user", "add", "dupond"}, "s3cret\n").code, 0);
    const QStringList reads[] = {{"read", "ORV.UTILISATEURS", "DUPOND"},
                                 {"query", "SELECT ORV.UTILISATEURS"},
                                 {"dump", "ORV.UTILISATEURS"}};
    for (const QStringList& args : reads) {
        const Outcome refused = run(args);
        EXPECT_EQ(refused.code, 1) << args.join(' ').toStdString();
        EXPECT_EQ(refused.out.find("DUPOND"), std::string::npos);
        EXPECT_NE(refused.err.find("--engine-files"), std::string::npos);
        const Outcome asked = run(QStringList{"--engine-files"} + args);
        EXPECT_EQ(asked.code, 0) << asked.err;
        EXPECT_FALSE(asked.out.empty());
    }
    // Writes too: a line for the users' file would lock a user out or copy a password hash.
    const QString line = writeFile("users.jsonl", R"({"file":"ORV.UTILISATEURS","key":"DUPOND",)"
                                                  R"("attrs":["x"]})"
                                                  "\n");
    const struct {
        QStringList args;
        QByteArray input;
    } writes[] = {{{"load", line}, {}},
                  {{"write", "ORV.UTILISATEURS", "DUPOND"}, "[\"x\"]"},
                  {{"delete", "ORV.UTILISATEURS", "DUPOND"}, {}}};
    for (const auto& w : writes) {
        const Outcome refused = run(w.args, w.input);
        EXPECT_EQ(refused.code, 1) << w.args.join(' ').toStdString();
        EXPECT_NE(refused.err.find("--engine-files"), std::string::npos) << refused.err;
    }
    for (const QByteArray& blank : {QByteArray("   \n"), QByteArray("\t\n"), QByteArray()})
        EXPECT_EQ(run({"user", "passwd", "dupond"}, blank).code, 1);
    auto db = orv::Database::openEmbedded(dbPath().toStdString());
    EXPECT_TRUE(db->checkPassword("DUPOND", "s3cret"));
}

// "orvanelle-db --db <base> user add <name>" on a terminal; its process id (the terminal in
// `terminal`).
pid_t userAddOnATerminal(const QString& db, const char* name, int& terminal) {
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        const QByteArray program = qgetenv("ORV_BIN_DIR") + "/orvanelle-db";
        const QByteArray path = QFile::encodeName(db);
        execl(program.constData(), "orvanelle-db", "--db", path.constData(), "user", "add", name,
              static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

// Reads what the terminal shows until `text` appears; false at its end.
bool readUntil(int terminal, const char* text, std::string& shown) {
    char buffer[256];
    while (shown.find(text) == std::string::npos) {
        const ssize_t n = read(terminal, buffer, sizeof buffer);
        if (n <= 0) return false;
        shown.append(buffer, static_cast<size_t>(n));
    }
    return true;
}

// Ctrl+C at the password prompt gives the terminal its echo back.
TEST_F(OrvanelleDb, InterruptedPromptRestoresEcho) {
    int terminal = -1;
    const pid_t child = userAddOnATerminal(dbPath(), "x", terminal);
    ASSERT_GE(child, 0);
    std::string shown;
    ASSERT_TRUE(readUntil(terminal, "Mot de passe", shown)) << shown;
    termios during{};
    tcgetattr(terminal, &during);
    EXPECT_FALSE(during.c_lflag & ECHO);
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    termios after{};
    tcgetattr(terminal, &after);
    EXPECT_TRUE(after.c_lflag & ECHO);
    close(terminal);
}

// On a terminal the password is asked twice; two different answers change nothing.
TEST_F(OrvanelleDb, PasswordTypedOnATerminalIsConfirmed) {
    const struct {
        const char* name;
        const char* second;
        int code;
    } cases[] = {{"egaux", "secret\n", 0}, {"differents", "sekret\n", 1}};
    for (const auto& c : cases) {
        int terminal = -1;
        const pid_t child = userAddOnATerminal(dbPath(), c.name, terminal);
        ASSERT_GE(child, 0);
        std::string shown;
        ASSERT_TRUE(readUntil(terminal, "Mot de passe :", shown)) << shown;
        ASSERT_EQ(write(terminal, "secret\n", 7), 7);
        ASSERT_TRUE(readUntil(terminal, "Confirmez le mot de passe :", shown)) << shown;
        ASSERT_EQ(write(terminal, c.second, 7), 7);
        int status = 0;
        waitpid(child, &status, 0);
        close(terminal);
        EXPECT_EQ(WEXITSTATUS(status), c.code) << shown;
        auto db = orv::Database::openEmbedded(dbPath().toStdString());
        EXPECT_EQ(db->checkPassword(QString::fromLatin1(c.name).toUpper().toStdString(), "secret"),
                  c.code == 0);
    }
}

// A demo killed while it writes leaves no database under the asked name; the next build clears
// what the killed one left.
TEST_F(DemoDatabase, KilledBuildLeavesNoDatabase) {
    const QString target = dbPath("demo.db");
    QProcess builder;
    builder.start(QString::fromLocal8Bit(qgetenv("ORV_BIN_DIR")) + "/orvanelle-db",
                  {"--db", target, "demo", "--scale", "200"});
    ASSERT_TRUE(builder.waitForStarted());
    QDir dir(dir_.path());
    auto underConstruction = [&] {
        return dir.entryInfoList({"demo.db.construction-*"}, QDir::Files | QDir::Hidden);
    };
    for (int i = 0; i < 1000; ++i) {
        const QFileInfoList files = underConstruction();
        if (!files.isEmpty() && files.first().size() > 200000) break;
        QThread::msleep(10);
    }
    builder.kill();
    builder.waitForFinished();
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_FALSE(underConstruction().isEmpty());
    ASSERT_EQ(run({"demo"}, {}, target).code, 0);
    EXPECT_TRUE(underConstruction().isEmpty());
}

// Children that rewrite every record of their own file in each transaction, with the number
// of the transaction, until they are killed: a copy of one moment holds one number per file.
class Writers {
  public:
    Writers(const QString& db, const std::vector<std::string>& files) {
        auto setUp = orv::Database::openEmbedded(db.toStdString());
        for (const std::string& file : files) {
            setUp->createFile(file);
            rewrite(*setUp, file, 0);
        }
        setUp.reset();
        for (const std::string& file : files) {
            const pid_t pid = fork();
            if (pid == 0) {
                auto mine = orv::Database::openEmbedded(db.toStdString());
                for (int n = 1;; ++n) rewrite(*mine, file, n);
            }
            pids_.push_back(pid);
        }
    }
    ~Writers() {
        for (pid_t pid : pids_) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    static constexpr int kRecords = 300;

  private:
    static void rewrite(orv::Database& db, const std::string& file, int n) {
        db.storage().begin();
        for (int k = 0; k < kRecords; ++k)
            db.write(file, std::to_string(k), orv::DynArray("écriture " + std::to_string(n)));
        db.storage().commit();
    }
    std::vector<pid_t> pids_;
};

// The distinct records of each file of a dump.
std::map<std::string, std::set<std::string>> recordsByFile(const std::string& dump) {
    std::map<std::string, std::set<std::string>> files;
    std::istringstream lines(dump);
    for (std::string line; std::getline(lines, line);) {
        const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        if (o.contains("attrs"))
            files[o["file"].toString().toStdString()].insert(
                QJsonDocument(o["attrs"].toArray()).toJson().toStdString());
    }
    return files;
}

TEST_F(OrvanelleDb, BackupWhileOthersWriteIsOfOneMomentAndRestores) {
    const QString backup = dbPath("sauvegarde.db");
    {
        Writers writers(dbPath(), {"AIDANTS", "CONTRATS"});
        QThread::msleep(300);  // both are writing
        const Outcome o = run({"backup", backup});
        ASSERT_EQ(o.code, 0) << o.err;
    }
    const std::string saved = run({"dump"}, {}, backup).out;
    const auto files = recordsByFile(saved);
    ASSERT_EQ(files.size(), 2u);
    for (const auto& [file, records] : files)
        EXPECT_EQ(records.size(), 1u) << file << ": the copy mixes two transactions";
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(backup).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(run({"backup", backup}).code, 1);  // never written over

    const Outcome restored = run({"restore", backup}, {}, dbPath("restauree.db"));
    ASSERT_EQ(restored.code, 0) << restored.err;
    EXPECT_EQ(run({"dump"}, {}, dbPath("restauree.db")).out, saved);
}

TEST_F(OrvanelleDb, RestoreRefusesABadBackupAndLeavesTheDatabaseAsItWas) {
    ASSERT_EQ(run({"load", writeFile("in.jsonl", kCanonical)}).code, 0);
    const std::string before = run({"dump"}).out;
    const QString good = dbPath("bonne.db");
    ASSERT_EQ(run({"backup", good}).code, 0);
    QFile whole(good);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    QByteArray newer = bytes;
    newer[60] = 9;  // SQLite's user_version, the format of the program that wrote it
    const struct {
        QString name;
        QByteArray content;
        std::string why;
    } bad[] = {{"texte.db", "pas une base\n", "n'est pas une base"},
               {"tronquee.db", bytes.left(bytes.size() / 2), "endommagée"},
               {"recente.db", newer, "plus récente"}};
    for (const auto& b : bad) {
        const Outcome o = run({"restore", writeFile(b.name, b.content)});
        EXPECT_EQ(o.code, 1) << b.name.toStdString();
        EXPECT_NE(o.err.find(b.why), std::string::npos) << o.err;
    }
    EXPECT_EQ(run({"dump"}).out, before);
    ASSERT_EQ(run({"restore", good}, {}, dbPath("autre.db")).code, 0);
    EXPECT_EQ(run({"dump"}, {}, dbPath("autre.db")).out, before);
}

TEST_F(OrvanelleDb, AKilledBackupLeavesNothingThatLooksUsable) {
    fillLarge(dbPath());
    const QString backup = dbPath("tuee.db");
    QString unfinished;
    killWhen({"--db", dbPath(), "backup", backup}, [&](qint64 pid) {
        unfinished = QString::fromStdString(orv::unfinishedBackupName(backup.toStdString(), pid));
        return QFile::exists(unfinished);
    });
    EXPECT_FALSE(QFile::exists(backup));
    const Outcome next = run({"backup", backup});
    ASSERT_EQ(next.code, 0) << next.err;
    EXPECT_NE(next.err.find("interrompue"), std::string::npos) << next.err;
    EXPECT_FALSE(QFile::exists(unfinished));
    EXPECT_EQ(run({"dump", "GROS"}, {}, backup).out, run({"dump", "GROS"}).out);
}

// A copy is one transaction of the target: killed, it leaves the target as it was, and the
// next copy says that one was interrupted.
TEST_F(OrvanelleDb, AKilledCopyLeavesTheTargetAsItWasAndTheNextRunSaysSo) {
    const QString source = dbPath("source.db");
    fillLarge(source);
    ASSERT_EQ(run({"load", writeFile("in.jsonl", kCanonical)}).code, 0);
    const std::string before = run({"dump"}).out;
    killWhen({"--db", dbPath(), "copy", source, dbPath()}, [&](qint64) {
        return run({"--engine-files", "read", "ORV.COPIE", "EN COURS"}).code == 0;
    });
    EXPECT_EQ(run({"dump"}).out, before);
    const Outcome next = run({"copy", source, dbPath()});
    ASSERT_EQ(next.code, 0) << next.err;
    EXPECT_NE(next.err.find("interrompue"), std::string::npos) << next.err;
    EXPECT_EQ(run({"dump", "GROS"}).out, run({"dump", "GROS"}, {}, source).out);
    EXPECT_EQ(run({"copy", source, dbPath()}).err.find("interrompue"), std::string::npos);
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
    // A run-command request's arguments, separated by "|", come back one a line.
    EXPECT_EQ(run({"call", "DATE.FORMAT", "--args", "a||c"}).out, "a\n\nc\n");
}
