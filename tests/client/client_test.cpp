#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

#include "client/dba.h"
#include "client/marks.h"
#include "client/requete.h"
#include "client/uniobjects.h"

namespace {

class ClientTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir.filePath("client.orvdb");
        auto db = orv::Database::openEmbedded(path.toStdString());
        db->createFile("ASSOCIATION");
        db->createFile("NUMEROFACT");
        orv::DynArray r;
        r.replace(1, "ADMR Vallée");
        r.replace(39, "17");
        db->write("ASSOCIATION", "001", r);
        db->setUserPassword("DUPOND", "mot,de,passe");
        engine = db;
    }
    long errorNumber(const std::function<void()>& f) {
        try {
            f();
        } catch (const dba::Error& e) {
            return e.number();
        }
        return 0;
    }
    QTemporaryDir dir;
    QString path;
    std::shared_ptr<orv::Database> engine;
};

}  // namespace

TEST_F(ClientTest, RecordObjectReadsAndWritesAtEveryLevel) {
    dba::Record r;
    r.put(2, 3, QStringLiteral("Ève"));
    EXPECT_EQ(r.DCount(), 2);
    EXPECT_EQ(r.get(2, 3), QStringLiteral("Ève"));
    r.Insert(1, QStringLiteral("premier"));
    EXPECT_EQ(r.get(1), QStringLiteral("premier"));
    EXPECT_EQ(r.get(3, 3), QStringLiteral("Ève"));
    r.Delete(1, 0);
    EXPECT_EQ(r.get(2, 3), QStringLiteral("Ève"));
    // The whole text keeps its marks through QString and back.
    dba::Record copy(r.get());
    EXPECT_EQ(copy.array().text(), r.array().text());
    EXPECT_EQ(r.get().size(), 6);  // "" ^ "" ] "" ] "Ève": characters, not bytes
    // Value 1 of every attribute in one pass, as get(a, 1) gives it.
    r.put(3, 1, QStringLiteral("clé"));
    EXPECT_EQ(r.firstValues(), (QStringList{QString(), QString(), QStringLiteral("clé")}));
    EXPECT_TRUE(dba::Record().firstValues().isEmpty());
}

TEST_F(ClientTest, ReadReportsRecordNotFoundWithTheClientNumber) {
    dba::Client client;
    client.ClientConnect("dupond", "mot,de,passe", "");
    dba::Database* db = client.OpenDatabase("ORVANELLE", path);
    auto assoc = db->OpenFile("ASSOCIATION");
    EXPECT_EQ(assoc->Read("001").get(1), QStringLiteral("ADMR Vallée"));
    EXPECT_EQ(errorNumber([&] { assoc->Read("999"); }), dba::kRecordNotFound);
    EXPECT_EQ(errorNumber([&] { db->OpenFile("INCONNU"); }), dba::kFileNotFound);
    EXPECT_EQ(dba::kRecordNotFound, static_cast<long>(0x8004000B) - 0x100000000L);
}

TEST_F(ClientTest, ReadForUpdateLocksAgainstAnotherClientUntilWritten) {
    dba::Client c1, c2;
    dba::Database* db1 = c1.OpenDatabase("ORVANELLE", path);
    dba::Database* db2 = c2.OpenDatabase("ORVANELLE", path);
    auto f1 = db1->OpenFile("NUMEROFACT");
    auto f2 = db2->OpenFile("NUMEROFACT");
    dba::Record r = f1->ReadForUpdate("007");  // new record: empty, writable
    EXPECT_EQ(r.DCount(), 0);
    EXPECT_EQ(errorNumber([&] { f2->ReadForUpdate("007"); }), dba::kRecordLocked);
    r.put(1, QStringLiteral("0000000125"));
    r.DBWrite();
    dba::Record again = f2->ReadForUpdate("007");
    EXPECT_EQ(again.get(1), QStringLiteral("0000000125"));
    f2->Release("007");
}

TEST_F(ClientTest, SessionConnectsOnlyWithTheRightPassword) {
    uni::Session s;
    s.setHostName("localhost");
    s.setAccountPath(path);
    s.setUserName("dupond");
    s.setPassword("mauvais");
    EXPECT_FALSE(s.Connect());
    EXPECT_NE(s.Error(), 0);
    EXPECT_FALSE(s.isConnected());
    s.setPassword("mot,de,passe");
    EXPECT_TRUE(s.Connect());
    EXPECT_EQ(s.Error(), 0);
    auto file = s.OpenFile("ASSOCIATION");
    file->setRecordId("001");
    file->Read();
    EXPECT_EQ(file->Error(), 0);
    EXPECT_EQ(file->record().Field(39), QStringLiteral("17"));
    file->setRecordId("404");
    file->Read();
    EXPECT_EQ(file->Error(), uni::kRecordNotFound);
    auto routine = s.Subroutine("INCONNUE", 3);
    routine->Call();
    EXPECT_NE(routine->Error(), 0);
    EXPECT_TRUE(routine->errorText().contains("INCONNUE"));
}

TEST_F(ClientTest, UnknownUserCannotConnect) {
    uni::Session s;
    s.setAccountPath(path);
    s.setUserName("personne");
    s.setPassword("mot,de,passe");
    EXPECT_FALSE(s.Connect());
    EXPECT_NE(s.Error(), 0);
}

// Each value, written into a statement by the one quoting function, selects exactly its record,
// whatever delimiters it holds.
TEST_F(ClientTest, AQuotedValueSelectsExactlyItsRecord) {
    const QStringList valeurs = {QStringLiteral("2005"),          QStringLiteral("2005\""),
                                 QStringLiteral("l'an \"2005\""), QStringLiteral("a\\b\"c"),
                                 QStringLiteral("\"'\\"),         QStringLiteral("x\"\" OR 1"),
                                 QStringLiteral("ÉVRARD")};
    engine->createFile("VALEURS");
    for (int i = 0; i < valeurs.size(); ++i)
        engine->write("VALEURS", "K" + std::to_string(i), orv::DynArray(valeurs[i].toStdString()));
    for (int i = 0; i < valeurs.size(); ++i) {
        const QString instruction =
            QStringLiteral("SSELECT VALEURS AVEC 1 = ") + orv::valeurRequete(valeurs[i]);
        EXPECT_EQ(engine->select(instruction.toStdString()),
                  std::vector<std::string>{"K" + std::to_string(i)})
            << instruction.toStdString();
    }
    EXPECT_EQ(orv::valeurRequete(QStringLiteral("2005\"")), QStringLiteral("'2005\"'"));
    EXPECT_EQ(orv::valeurRequete(QStringLiteral("l'an \"2005\"")),
              QStringLiteral("\\l'an \"2005\"\\"));
}
