// The INI file of database servers.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "frame/ini_serveurs.h"

namespace {

using orv::IniServeurs;

IniServeurs parsed(const QString& text) {
    IniServeurs ini;
    ini.parse(text);
    return ini;
}

TEST(IniServeurs, ServerAndDatabasesInFileOrder) {
    const IniServeurs ini = parsed("SERVEUR=srv01\nProduction=/data/prod\nEssai=/data/test\n");
    EXPECT_EQ(ini.problem(), IniServeurs::Problem::None);
    EXPECT_EQ(ini.server(), "srv01");
    EXPECT_EQ(ini.labels(), QStringList({"Production", "Essai"}));
    EXPECT_EQ(ini.paths(), QStringList({"/data/prod", "/data/test"}));
}

TEST(IniServeurs, LineRules) {
    // Blank lines skipped, CR LF endings, lower-case key, the last server line wins, the
    // server name not trimmed, the path after the first "=".
    const IniServeurs ini = parsed("serveur=old\r\n   \r\n\r\nServeurXsrv02 \r\nBase=/a=b\r\n");
    EXPECT_EQ(ini.server(), "srv02 ");
    EXPECT_EQ(ini.labels(), QStringList({"Base"}));
    EXPECT_EQ(ini.paths(), QStringList({"/a=b"}));
    EXPECT_EQ(ini.problem(), IniServeurs::Problem::None);
}

TEST(IniServeurs, Problems) {
    EXPECT_EQ(parsed("Production=/data/prod\n").problemMessage(),
              "Problème dans le nom ou l'adresse IP d'un serveur");
    EXPECT_EQ(parsed("SERVEUR=   \nProduction=/p\n").problem(), IniServeurs::Problem::Server);
    // A database line without "=" spoils the file even when the rest is sound.
    EXPECT_EQ(parsed("SERVEUR=s\nProduction\nEssai=/t\n").problem(), IniServeurs::Problem::Server);
    EXPECT_EQ(parsed("SERVEUR=s\n\n").problemMessage(), "Base de données manquante.");

    IniServeurs missing;
    missing.read("/nonexistent/Orvanelle.ini");
    EXPECT_EQ(missing.problem(), IniServeurs::Problem::Server);
}

TEST(IniServeurs, DecodesUtf8ElseWindows1252) {
    const struct {
        QByteArray bytes;
        const char* text;  // UTF-8
    } cases[] = {
        {"D\xC3\xA9mo \xE2\x82\xAC", "Démo €"},        // valid UTF-8
        {"\xEF\xBB\xBFSERVEUR=s", "SERVEUR=s"},        // its byte order mark dropped
        {"D\xE9mo \xC0 l'\xFF", "Démo À l'ÿ"},         // Latin-1 letters
        {"\x80 \x8C\x9C \x92 \x96\x9F", "€ Œœ ’ –Ÿ"},  // the range 0x80-0x9F
    };
    for (const auto& c : cases)
        EXPECT_EQ(IniServeurs::decode(c.bytes), QString::fromUtf8(c.text))
            << c.bytes.toHex().toStdString();
}

TEST(IniServeurs, FindIgnoresCaseAndOuterSpaces) {
    const IniServeurs ini = parsed("SERVEUR=s\nProduction=/p\nEssai=/t\n");
    EXPECT_EQ(ini.find("  production "), 0);
    EXPECT_EQ(ini.find("ESSAI"), 1);
    EXPECT_EQ(ini.find("Autre"), -1);
}

TEST(IniServeurs, PathFromEnvironmentThenUserConfig) {
    QTemporaryDir dir;
    qputenv("ORVANELLE_INI", "/tmp/choisi.ini");
    EXPECT_EQ(IniServeurs::defaultPath(), "/tmp/choisi.ini");
    qunsetenv("ORVANELLE_INI");
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    EXPECT_EQ(IniServeurs::defaultPath(), "/etc/orvanelle/Orvanelle.ini");
    QDir(dir.path()).mkpath("orvanelle");
    QFile file(dir.filePath("orvanelle/Orvanelle.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(IniServeurs::defaultPath(), dir.filePath("orvanelle/Orvanelle.ini"));
}

}  // namespace
