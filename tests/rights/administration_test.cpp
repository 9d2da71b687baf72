// Users, groups and rights changed through the client as the administration windows change
// them, on both stores: the rules of names and passwords, the last administrator kept, and a
// record held or changed by another administrator refused without losing what was stored.
#include <gtest/gtest.h>

#include "backends.h"
#include "client/dba.h"
#include "engine/database.h"
#include "rights/administration.h"
#include "rights/rights_store.h"

namespace {

using orv::rights::Administration;
using orv::rights::Holder;
using orv::rights::Refusal;
using orv::rights::StoredRights;

// Role names are the server's, shared by every database of the cluster: these are this file's.
const QString kChef = QStringLiteral("FALMERET_CHEF");
const QString kGuichet = QStringLiteral("FALMERET_GUICHET");
const QString kNouveau = QStringLiteral("FALMERET_NOUVEAU");

class AdministrationTest : public orv::test::BackendTest {
  protected:
    // Users are login roles of the database's group role, made with the whole database.
    bool wholeDatabase() const override { return true; }
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        engine = store().open();
        for (const QString& user : {kChef, kGuichet})
            engine->setUserPassword(user.toStdString(), "secret");
        // The chief administers users through the group GESTION.
        for (const QString& key : {orv::rights::kUsersWindowKey, orv::rights::kRightsMenuKey})
            orv::rights::grant(*engine, Holder::Group, "GESTION", key, 2);
        orv::rights::addToGroup(*engine, kChef, "GESTION");
        orv::rights::createGroup(*engine, "ACCUEIL");
    }
    void TearDown() override {
        if (engine) engine->removeUser(kNouveau.toStdString());
        BackendTest::TearDown();
    }
    // The client's database as the window of `user` has it.
    dba::Database& as(const QString& user) {
        sessions.push_back(std::make_unique<dba::Database>(
            std::make_shared<orv::Session>(engine, user.toStdString()), "essai"));
        return *sessions.back();
    }
    // The refusal's message, or empty when the change was made.
    static QString refusal(const std::function<void()>& change) {
        try {
            change();
            return {};
        } catch (const Refusal& r) {
            return r.message();
        }
    }

    std::shared_ptr<orv::Database> engine;
    std::vector<std::unique_ptr<dba::Database>> sessions;
};

TEST_P(AdministrationTest, UsersAddedChangedAndRemovedUnderTheRules) {
    Administration admin(as(kChef));
    const struct {
        QString name, password, confirmation, group, refused;
    } additions[] = {
        {"", "x", "x", "", "Le nom est vide."},
        {"A,B", "x", "x", "", "contient une virgule"},
        {kNouveau, "  ", "  ", "", "ne peut pas être vide ni fait d'espaces"},
        {kNouveau, "abc", "abd", "", "ne sont pas identiques"},
        {kNouveau, "abc", "abc", "INCONNU", "Le groupe « INCONNU » n'existe pas."},
        {kNouveau.toLower(), "mot de passe", "mot de passe", "accueil", ""},
        {kNouveau, "x", "x", "", "existe déjà"},
    };
    for (const auto& a : additions) {
        const QString r =
            refusal([&] { admin.addUser(a.name, a.password, a.confirmation, a.group); });
        if (a.refused.isEmpty())
            EXPECT_EQ(r, "") << a.name.toStdString();
        else
            EXPECT_TRUE(r.contains(a.refused)) << r.toStdString();
    }
    EXPECT_TRUE(engine->checkPassword(kNouveau.toStdString(), "mot de passe"));
    EXPECT_EQ(admin.stored(Holder::User, kNouveau).groups, QStringList{"ACCUEIL"});

    EXPECT_EQ(refusal([&] { admin.changePassword(kNouveau, "neuf", "neuf"); }), "");
    EXPECT_TRUE(engine->checkPassword(kNouveau.toStdString(), "neuf"));
    EXPECT_FALSE(engine->checkPassword(kNouveau.toStdString(), "mot de passe"));
    EXPECT_EQ(
        refusal([&] { admin.setGroup(kNouveau, "GESTION", admin.stored(Holder::User, kNouveau)); }),
        "");
    EXPECT_EQ(admin.administrators(), (QStringList{kChef, kNouveau}));

    EXPECT_TRUE(refusal([&] { admin.removeUser(kChef); }).contains("connecté"));
    EXPECT_EQ(refusal([&] { admin.removeUser(kNouveau); }), "");
    EXPECT_FALSE(admin.userExists(kNouveau));
    EXPECT_FALSE(engine->read(orv::rights::kUserFile, kNouveau.toStdString()));
    EXPECT_TRUE(refusal([&] { admin.removeUser(kNouveau); }).contains("n'existe pas"));
}

TEST_P(AdministrationTest, TheLastAdministratorStays) {
    Administration admin(as(kGuichet));
    const StoredRights gestion = admin.stored(Holder::Group, "GESTION");
    StoredRights lowered = gestion;
    lowered.levels[orv::rights::kUsersWindowKey] = 1;
    const std::function<void()> changes[] = {
        [&] { admin.removeUser(kChef); },
        [&] { admin.setGroup(kChef, "ACCUEIL", admin.stored(Holder::User, kChef)); },
        [&] { admin.saveRights(Holder::Group, "GESTION", gestion, lowered); },
    };
    for (const auto& change : changes) {
        EXPECT_EQ(refusal(change), Administration::kLastAdministrator);
        EXPECT_EQ(admin.administrators(), QStringList{kChef});  // nothing half done
    }
    EXPECT_TRUE(engine->checkPassword(kChef.toStdString(), "secret"));
    // With a second administrator the same change is made.
    orv::rights::grant(*engine, Holder::User, kGuichet, orv::rights::kUsersWindowKey, 2);
    orv::rights::grant(*engine, Holder::User, kGuichet, orv::rights::kRightsMenuKey, 2);
    EXPECT_EQ(refusal(changes[2]), "");
    EXPECT_EQ(admin.administrators(), QStringList{kGuichet});
}

TEST_P(AdministrationTest, RecordsHeldOrChangedByAnotherAdministratorAreNotOverwritten) {
    Administration admin(as(kChef));
    const StoredRights shown = admin.stored(Holder::Group, "ACCUEIL");
    StoredRights wanted = shown;
    wanted.keys << "RELEVEDNT";
    wanted.levels["RELEVEDNT"] = 2;
    wanted.sectors = QStringList{"001"};

    orv::Session other(engine, "AUTRE");
    other.readForUpdate(orv::rights::kGroupFile, "ACCUEIL");
    EXPECT_EQ(refusal([&] { admin.saveRights(Holder::Group, "accueil", shown, wanted); }),
              Administration::kLocked.arg("ACCUEIL"));
    other.release(orv::rights::kGroupFile, "ACCUEIL");

    orv::rights::grant(*engine, Holder::Group, "ACCUEIL", "COMPTEURFACT", 1);
    EXPECT_EQ(refusal([&] { admin.saveRights(Holder::Group, "ACCUEIL", shown, wanted); }),
              Administration::kChanged.arg("ACCUEIL"));
    EXPECT_EQ(admin.stored(Holder::Group, "ACCUEIL").levels.value("COMPTEURFACT"), 1);

    const StoredRights now = admin.stored(Holder::Group, "ACCUEIL");
    wanted.keys = now.keys + QStringList{"RELEVEDNT"};
    wanted.levels = now.levels;
    wanted.levels["RELEVEDNT"] = 2;
    EXPECT_EQ(refusal([&] { admin.saveRights(Holder::Group, "ACCUEIL", now, wanted); }), "");
    const StoredRights saved = admin.stored(Holder::Group, "ACCUEIL");
    EXPECT_EQ(saved.levels.value("RELEVEDNT"), 2);
    EXPECT_EQ(saved.sectors, QStringList{"001"});
    // The lock was released with the write: another session takes it at once.
    EXPECT_NO_THROW(other.readForUpdate(orv::rights::kGroupFile, "ACCUEIL"));
    other.release(orv::rights::kGroupFile, "ACCUEIL");

    // ADMINISTRATEUR keeps the keys the menu forces, whatever the window asks.
    StoredRights forced;
    forced.keys = {"DROITS"};
    forced.levels["DROITS"] = 0;
    admin.saveRights(Holder::User, orv::rights::kAdministratorUser, {}, forced);
    for (const QString& key : orv::rights::forcedAdministratorKeys())
        EXPECT_EQ(admin.stored(Holder::User, "ADMINISTRATEUR").levels.value(key), 2)
            << key.toStdString();
    EXPECT_TRUE(refusal([&] { admin.createGroup("accueil"); }).contains("existe déjà"));
}

ORV_ON_BOTH_BACKENDS(AdministrationTest);

}  // namespace
