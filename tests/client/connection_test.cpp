// Connecting through the INI file's lines, on an embedded file and on a PostgreSQL database,
// where the server itself checks the user's password.
#include <gtest/gtest.h>

#include "backends.h"
#include "client/dba.h"
#include "client/uniobjects.h"
#include "frame/ini_serveurs.h"

namespace {

using orv::test::Backend;

class IniConnection : public orv::test::BackendTest {
  protected:
    bool wholeDatabase() const override { return true; }
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        admin = store().open();
        admin->createFile("ASSOCIATION");
        admin->write("ASSOCIATION", "001", orv::DynArray("ADMR Vallée"));
        for (const auto& [user, password] : kUsers) admin->setUserPassword(user, password);
        ini.parse(QString::fromStdString("SERVEUR=" + store().server() +
                                         "\nESSAI=" + store().accountPath() + "\n"));
    }
    // A session on the INI file's database line, as the login makes it; its error number.
    int connect(uni::Session& s, const QString& user, const QString& password) {
        s.setHostName(ini.server());
        s.setAccountPath(ini.paths().at(0));
        s.setUserName(user.toUpper());
        s.setPassword(password);
        s.Connect();
        return s.Error();
    }

    static inline const std::pair<std::string, std::string> kUsers[] = {
        {"DUPOND", "mot de passe'\"; DROP ROLE x"},
        {"O'HARA\"", "o'hara"},
    };
    std::shared_ptr<orv::Database> admin;
    orv::IniServeurs ini;
};

TEST_P(IniConnection, UsersConnectWithTheirOwnPasswordOnly) {
    const struct {
        QString user;
        QString password;
        bool connects;
    } cases[] = {
        {"dupond", "mot de passe'\"; DROP ROLE x", true},
        {"DUPOND", "mot de passe", false},
        {"o'hara\"", "o'hara", true},
        {"INCONNU", "o'hara", false},
    };
    for (const auto& c : cases) {
        uni::Session s;
        EXPECT_EQ(connect(s, c.user, c.password) == 0, c.connects) << c.user.toStdString();
        if (!c.connects) {
            EXPECT_EQ(s.errorText(), "Utilisateur ou mot de passe incorrect");
            continue;
        }
        auto file = s.OpenFile("ASSOCIATION");
        file->setRecordId("001");
        file->Read();
        EXPECT_EQ(file->record().text(), "ADMR Vallée");
    }
    EXPECT_EQ(admin->userNames(), (std::vector<std::string>{"DUPOND", "O'HARA\""}));
    EXPECT_TRUE(admin->removeUser("O'HARA\""));
    uni::Session removed;
    EXPECT_NE(connect(removed, "o'hara\"", "o'hara"), 0);
}

// The data-access client opens the database of the session's line as the user, who may
// change data; on the server, the user may not manage the other users.
TEST_P(IniConnection, ClientWorksAsTheUser) {
    dba::Client client;
    client.setServer(ini.server());
    client.setLocator([this](const QString&) { return ini.paths().at(0); });
    client.ClientConnect("dupond", QString::fromStdString(kUsers[0].second), QString());
    dba::Database* db = client.OpenDatabase("ORVANELLE", "ESSAI");
    ASSERT_NE(db, nullptr);
    db->OpenFile("ASSOCIATION")->Write("002", dba::Record("ADMR Plaine"));
    EXPECT_EQ(admin->read("ASSOCIATION", "002")->text(), "ADMR Plaine");
    if (GetParam() != Backend::Postgres) return;
    auto asUser = orv::Database::openAccount(store().server(), store().accountPath(), "DUPOND",
                                             kUsers[0].second, {.create = false});
    EXPECT_THROW(asUser->setUserPassword("O'HARA\"", "autre"), orv::DbError);
    EXPECT_FALSE(admin->checkPassword("O'HARA\"", "autre"));
    asUser->setUserPassword("DUPOND", "autre", orv::UserChange::Change);  // its own
    EXPECT_TRUE(admin->checkPassword("DUPOND", "autre"));
}

ORV_ON_BOTH_BACKENDS(IniConnection);

}  // namespace
