// The rights object over a fixture database: unknown users and keys, the user's own entries
// against the groups', sectors, and the entries added for forced keys.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "client/dba.h"
#include "engine/database.h"
#include "rights/rights.h"
#include "rights/rights_store.h"

namespace {

using orv::rights::Holder;

class RightsTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    std::shared_ptr<orv::Database> engine;
    std::unique_ptr<dba::Client> client = std::make_unique<dba::Client>();
    dba::Database* database = nullptr;

    void SetUp() override {
        const QString path = dir.filePath("droits.orvdb");
        orv::Database::openEmbedded(path.toStdString()).reset();
        engine = dba::openEngineDatabase(path);
        database = client->OpenDatabase("ORVANELLE", path);
    }

    orv::RightsEntry entryOf(const QString& user, const QString& key) {
        orv::Rights rights;
        rights.setDatabase(database);
        rights.setUser(user);
        return rights.entry(key);
    }
};

TEST_F(RightsTest, NothingStoredGivesLevelZeroAndNoKey) {
    // Not even the rights files exist yet.
    const orv::RightsEntry entry = entryOf("dupont", "COMPTEURFACT");
    EXPECT_EQ(entry.key(), "");
    EXPECT_EQ(entry.level(), 0);
    EXPECT_FALSE(entry.sectorAllowed("001", 0));

    orv::rights::grant(*engine, Holder::User, "DUPONT", "RELEVEDNT", 2);
    EXPECT_EQ(entryOf("dupont", "COMPTEURFACT").level(), 0);
    EXPECT_EQ(entryOf("dupont", "COMPTEURFACT").key(), "");
    EXPECT_EQ(entryOf("martin", "RELEVEDNT").level(), 0);
}

TEST_F(RightsTest, UserEntryWinsOverGroupsElseHighestGroupLevel) {
    orv::rights::grant(*engine, Holder::Group, "CONSULTATION", "RELEVEDNT", 1);
    orv::rights::grant(*engine, Holder::Group, "CONSULTATION", "COMPTEURFACT", 1);
    orv::rights::grant(*engine, Holder::Group, "GESTION", "COMPTEURFACT", 2);
    orv::rights::grant(*engine, Holder::Group, "GESTION", "DOSAIDANTABS", 2);
    orv::rights::addToGroup(*engine, "dupont", "consultation");
    orv::rights::addToGroup(*engine, "dupont", "gestion");
    // The user's own level 0 takes DOSAIDANTABS away although a group grants it.
    orv::rights::grant(*engine, Holder::User, "DUPONT", "DOSAIDANTABS", 0);

    EXPECT_EQ(entryOf("dupont", "COMPTEURFACT").level(), 2);
    EXPECT_EQ(entryOf("dupont", "COMPTEURFACT").key(), "COMPTEURFACT");
    EXPECT_EQ(entryOf("dupont", "RELEVEDNT").level(), 1);
    EXPECT_EQ(entryOf("dupont", "DOSAIDANTABS").level(), 0);
    EXPECT_EQ(entryOf("dupont", "DOSAIDANTABS").key(), "DOSAIDANTABS");
    // A group's rights do not reach users outside it.
    EXPECT_EQ(entryOf("martin", "COMPTEURFACT").level(), 0);

    EXPECT_TRUE(orv::rights::revoke(*engine, Holder::User, "DUPONT", "DOSAIDANTABS"));
    EXPECT_FALSE(orv::rights::revoke(*engine, Holder::User, "DUPONT", "DOSAIDANTABS"));
    EXPECT_EQ(entryOf("dupont", "DOSAIDANTABS").level(), 2);
}

TEST_F(RightsTest, LevelsOutsideZeroToTwoAreRefused) {
    EXPECT_THROW(orv::rights::grant(*engine, Holder::User, "DUPONT", "RELEVEDNT", 3), orv::DbError);
    EXPECT_THROW(orv::rights::grant(*engine, Holder::User, "", "RELEVEDNT", 1), orv::DbError);
    EXPECT_EQ(entryOf("dupont", "RELEVEDNT").level(), 0);
}

TEST_F(RightsTest, SectorsFromTheUserElseTheUnionOfGroups) {
    orv::rights::grant(*engine, Holder::Group, "NORD", "ABSENCESAIDANT", 1);
    orv::rights::grant(*engine, Holder::Group, "SUD", "ABSENCESAIDANT", 1);
    orv::rights::setSectors(*engine, Holder::Group, "NORD", {"001", "002"});
    orv::rights::setSectors(*engine, Holder::Group, "SUD", {"004"});
    orv::rights::addToGroup(*engine, "dupont", "NORD");
    orv::rights::addToGroup(*engine, "dupont", "SUD");

    orv::RightsEntry entry = entryOf("dupont", "ABSENCESAIDANT");
    EXPECT_TRUE(entry.sectorAllowed("002", 0));
    EXPECT_TRUE(entry.sectorAllowed("004", 0));
    EXPECT_FALSE(entry.sectorAllowed("003", 0));

    // The user's own list replaces the groups'.
    orv::rights::setSectors(*engine, Holder::User, "DUPONT", {"003"});
    entry = entryOf("dupont", "ABSENCESAIDANT");
    EXPECT_TRUE(entry.sectorAllowed("003", 0));
    EXPECT_FALSE(entry.sectorAllowed("001", 0));

    // An empty list set for the user means every sector.
    orv::rights::setSectors(*engine, Holder::User, "DUPONT", {});
    EXPECT_TRUE(entryOf("dupont", "ABSENCESAIDANT").sectorAllowed("006", 0));
}

TEST_F(RightsTest, NoSectorListAnywhereMeansEverySectorButNotWithoutAccess) {
    orv::rights::grant(*engine, Holder::User, "DUPONT", "ABSENCESAIDANT", 1);
    orv::rights::grant(*engine, Holder::User, "DUPONT", "RELEVEDNT", 0);
    EXPECT_TRUE(entryOf("dupont", "ABSENCESAIDANT").sectorAllowed("005", 0));
    EXPECT_FALSE(entryOf("dupont", "RELEVEDNT").sectorAllowed("005", 0));
}

TEST_F(RightsTest, AddedEntriesComeFirstAndTheObjectIsAQObject) {
    orv::rights::grant(*engine, Holder::User, "ADMINISTRATEUR", "DROITS", 0);
    orv::Rights rights;
    rights.setDatabase(database);
    rights.setUser("administrateur");
    EXPECT_EQ(rights.user(), "ADMINISTRATEUR");
    orv::RightsEntry forced = rights.entry("DROITS");
    EXPECT_EQ(forced.level(), 0);
    forced.setKey("DROITS");
    forced.setLevel(2);
    rights.add(forced);
    EXPECT_EQ(rights.entry("DROITS").level(), 2);
    QObject* asObject = &rights;
    EXPECT_NE(dynamic_cast<orv::Rights*>(asObject), nullptr);
}

}  // namespace
