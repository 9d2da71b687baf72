// orvanelle-module end to end: the test control plugin hosted over a fixture database, driven
// by a script; message boxes and dumps are read back as JSON lines.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "rights/rights_store.h"
#include "testkit.h"

namespace {

using orv::test::Fixture;

struct HostRun {
    int exitCode = -1;
    QList<QJsonObject> lines;
    QString errors;

    QList<QJsonObject> messages() const {
        QList<QJsonObject> list;
        for (const QJsonObject& o : lines)
            if (o.contains("message")) list << o;
        return list;
    }
    QList<QJsonObject> dumps() const {
        QList<QJsonObject> list;
        for (const QJsonObject& o : lines)
            if (o.contains("windows")) list << o;
        return list;
    }
};

// The named widget of the first window of a dump (an empty object when absent).
QJsonObject widget(const QJsonObject& dump, const QString& name) {
    for (const auto& window : dump["windows"].toArray())
        for (const auto& w : window.toObject()["widgets"].toArray())
            if (w.toObject()["name"].toString() == name) return w.toObject();
    return {};
}

class ModuleHostTest : public ::testing::Test {
  protected:
    Fixture fx;
    // How the database is named: directly by default, or by a label of the INI file `ini`
    // (the program then runs from another folder).
    QStringList database{"--db", fx.path()};
    QString ini;

    void SetUp() override {
        fx.entity("007", "ACME");
        fx.entity("012", "BETA");
        orv::rights::grant(*fx.engine, orv::rights::Holder::User, "DUPONT", "COMPTEURFACT", 1);
    }

    HostRun run(const QStringList& extra, const QString& script, const QString& password = "secret",
                const QString& user = "dupont") {
        QTemporaryDir dir;
        const QString scriptPath = dir.filePath("script.txt");
        QFile file(scriptPath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(script.toUtf8());
        file.close();
        QProcess process;
        // Without a user the login window opens and the script fills it in.
        QStringList args = database;
        if (!ini.isEmpty()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("ORVANELLE_INI", ini);
            process.setProcessEnvironment(env);
            process.setWorkingDirectory(QDir::tempPath());
        }
        if (!user.isEmpty()) args << "--user" << user << "--password-stdin";
        args << extra << "--script" << scriptPath;
        process.start(qEnvironmentVariable("ORV_BIN_DIR") + "/orvanelle-module", args);
        EXPECT_TRUE(process.waitForStarted());
        process.write((password + "\n").toUtf8());
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(60000));
        HostRun r;
        r.exitCode = process.exitCode();
        r.errors = QString::fromUtf8(process.readAllStandardError());
        for (const QByteArray& line : process.readAllStandardOutput().split('\n'))
            if (!line.trimmed().isEmpty()) r.lines << QJsonDocument::fromJson(line).object();
        return r;
    }
};

TEST_F(ModuleHostTest, HostedControlRunsAndLeavesOnlyThroughItsExitButton) {
    const HostRun r = run({"Essai.Ctr_Essai", "--set", "W_Titre=Essai"},
                          "type Txt_CodAssoc 9\n"
                          "key Txt_CodAssoc Enter\n"
                          "type Txt_CodAssoc 7\n"
                          "key Txt_CodAssoc Enter\n"
                          "dump\n"
                          "close Frm_Hote\n"
                          "dump\n"
                          "click Cmd_Retour\n"
                          "dump\n");
    EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
    ASSERT_EQ(r.messages().size(), 1);
    EXPECT_EQ(r.messages()[0]["message"].toString(), "Cette entité juridique n'existe pas.");
    EXPECT_EQ(r.messages()[0]["icon"].toInt(), 48);
    // The exit button closed the last window, which ended the program before the third dump.
    ASSERT_EQ(r.dumps().size(), 2);
    const QJsonObject loaded = r.dumps()[0];
    // The window carries the module's French name, the program's icon and its entry's class.
    const QJsonObject window = loaded["windows"].toArray()[0].toObject();
    EXPECT_EQ(window["caption"].toString(), "Module d'essai");
    EXPECT_TRUE(window["icon"].toBool());
    EXPECT_EQ(loaded["desktopFile"].toString(), "orvanelle-essai");
    EXPECT_EQ(loaded["windowClass"].toString(), "orvanelle-essai");
    EXPECT_EQ(widget(loaded, "Txt_CodAssoc")["text"].toString(), "007");
    EXPECT_EQ(widget(loaded, "Txt_Detail")["text"].toString(), "007 ACME");
    // Level 1 on COMPTEURFACT: no action button.
    EXPECT_FALSE(widget(loaded, "Cmd_OK")["visible"].toBool());
    EXPECT_TRUE(widget(loaded, "Cmd_Retour")["visible"].toBool());
    // The close box did nothing.
    EXPECT_TRUE(widget(r.dumps()[1], "Cmd_Retour")["visible"].toBool());
}

// Enter on a focused button presses it, outside dialogs too: the exit button leaves.
TEST_F(ModuleHostTest, EnterOnAFocusedButtonPressesIt) {
    const HostRun r = run({"Essai.Ctr_Essai"}, "key Cmd_Retour Enter\ndump\n");
    EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_TRUE(r.dumps().isEmpty());
}

TEST_F(ModuleHostTest, AScriptDrivesTheLoginWindowBeforeTheControl) {
    const HostRun r = run({"Essai.Ctr_Essai"},
                          "type Txt_Utilisateur dupont\n"
                          "type Txt_MotPasse secret\n"
                          "click Cmd_Ok\n"
                          "wait 200\n"
                          "dump\n",
                          "", "");
    EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
    ASSERT_EQ(r.dumps().size(), 1);
    EXPECT_TRUE(widget(r.dumps()[0], "Txt_CodAssoc")["visible"].toBool());
}

TEST_F(ModuleHostTest, FailuresAreMessagesAndANonZeroExit) {
    HostRun r = run({"Inconnu.Ctr_Inconnu"}, "dump\n");
    EXPECT_EQ(r.exitCode, 1);
    ASSERT_EQ(r.messages().size(), 1);
    EXPECT_EQ(r.messages()[0]["message"].toString(),
              "Le module « Inconnu.Ctr_Inconnu » n'est pas installé.");
    EXPECT_EQ(r.messages()[0]["icon"].toInt(), 16);

    r = run({"Essai.Ctr_Essai", "--set", "W_Inconnu=1"}, "dump\n");
    EXPECT_EQ(r.exitCode, 1);
    ASSERT_EQ(r.messages().size(), 1);
    EXPECT_TRUE(r.messages()[0]["message"].toString().contains("W_Inconnu"));

    r = run({"Essai.Ctr_Essai", "--set", "W_Nombre=douze"}, "dump\n");
    EXPECT_EQ(r.exitCode, 1);
    ASSERT_EQ(r.messages().size(), 1);
    EXPECT_TRUE(r.messages()[0]["message"].toString().contains("W_Nombre"));

    r = run({"Essai.Ctr_Essai"}, "dump\n", "mauvais");
    EXPECT_EQ(r.exitCode, 1);
    ASSERT_EQ(r.messages().size(), 1);
    EXPECT_EQ(r.messages()[0]["message"].toString(), "Le mot de passe saisi n'est pas correct.");
    EXPECT_TRUE(r.dumps().isEmpty());
}

// A user whose rights give the control's key level 0 is refused before the control starts, and
// --set reaches only what the control declares, not the properties of every widget.
TEST_F(ModuleHostTest, NoAccessAndWidgetPropertiesAreRefusedBeforeTheStart) {
    fx.engine->setUserPassword("STAGIAIRE", "secret");
    const struct {
        QString user;
        QStringList extra;
        QString message;
    } cases[] = {
        {"stagiaire", {}, "Vous n'avez pas accès au module « Essai.Ctr_Essai »."},
        {"dupont", {"--set", "enabled=false"}, "--set enabled : le module « Essai.Ctr_Essai »"},
        {"dupont", {"--set", "objectName=x"}, "--set objectName : le module"},
    };
    for (const auto& c : cases) {
        const HostRun r = run(QStringList{"Essai.Ctr_Essai"} + c.extra, "dump\n", "secret", c.user);
        EXPECT_EQ(r.exitCode, 1) << c.message.toStdString();
        ASSERT_EQ(r.messages().size(), 1) << c.message.toStdString();
        EXPECT_TRUE(r.messages()[0]["message"].toString().startsWith(c.message))
            << r.messages()[0]["message"].toString().toStdString();
        EXPECT_TRUE(r.dumps().isEmpty());
    }
}

// The database named by a relative path of the INI file is found from the INI file's folder; a
// missing one is told as such, with where it was looked for, never as a wrong password.
TEST_F(ModuleHostTest, DatabasesFromTheIniFolderAndMissingOnesToldAsSuch) {
    const QString missing = QFileInfo(fx.path()).absolutePath() + "/absente.orvdb";
    const struct {
        QStringList database;
        QString iniLine;
        QString message;  // empty: the control starts
    } cases[] = {
        {{"--base", "Essai"}, "Essai=" + QFileInfo(fx.path()).fileName(), {}},
        {{"--base", "Essai"}, "Essai=absente.orvdb", missing},
        {{"--db", missing}, {}, missing},
    };
    for (const auto& c : cases) {
        database = c.database;
        ini = QFileInfo(fx.path()).absolutePath() + "/Orvanelle.ini";
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(("SERVEUR=localhost\n" + c.iniLine + "\n").toUtf8());
        file.close();
        const HostRun r = run({"Essai.Ctr_Essai"}, "dump\n");
        if (c.message.isEmpty()) {
            EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
            ASSERT_EQ(r.dumps().size(), 1);
            EXPECT_TRUE(widget(r.dumps()[0], "Txt_CodAssoc")["visible"].toBool());
            continue;
        }
        EXPECT_EQ(r.exitCode, 1);
        ASSERT_EQ(r.messages().size(), 1);
        EXPECT_EQ(
            r.messages()[0]["message"].toString(),
            "La base de données est introuvable : le fichier « " + c.message + " » n'existe pas.");
        EXPECT_EQ(r.messages()[0]["icon"].toInt(), 16);
    }
}

}  // namespace
