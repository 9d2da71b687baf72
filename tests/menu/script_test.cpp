// MenuCadrius end to end through --script: the modal start-up windows answered by the script,
// the main window's menu, and the messages written as JSON lines.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "fixture.h"

namespace {

struct Sortie {
    int code = -1;
    QList<QJsonObject> lignes;
    QString erreurs;
};

Sortie lancer(essai::BaseEssai& base, const QStringList& script,
              const QStringList& arguments = {}) {
    const QString chemin = base.dossier.filePath("script.txt");
    QFile f(chemin);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(script.join('\n').toUtf8());
    f.close();
    QProcess programme;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ORVANELLE_INI", base.cheminIni);
    env.insert("ORVANELLE_PLUGIN_PATH", MENU_TEST_PLUGINS);
    programme.setProcessEnvironment(env);
    programme.start(QString(MENU_BIN_DIR) + "/MenuCadrius",
                    QStringList{"--script", chemin} + arguments);
    Sortie s;
    if (!programme.waitForFinished(30000)) {
        programme.kill();
        programme.waitForFinished();
        return s;
    }
    s.code = programme.exitCode();
    s.erreurs = QString::fromUtf8(programme.readAllStandardError());
    for (const QByteArray& ligne : programme.readAllStandardOutput().split('\n'))
        if (ligne.startsWith('{')) s.lignes << QJsonDocument::fromJson(ligne).object();
    return s;
}

// The widget `nom` of window `fenetre` in a dump line.
QJsonObject controle(const QJsonObject& dump, const QString& fenetre, const QString& nom) {
    for (const QJsonValue& w : dump["windows"].toArray()) {
        if (w["name"].toString() != fenetre) continue;
        for (const QJsonValue& c : w["widgets"].toArray())
            if (c["name"].toString() == nom) return c.toObject();
    }
    return {};
}

// Two databases in the settings, and DUPOND granted the menu entries `cles`.
void preparer(essai::BaseEssai& base, const QStringList& cles) {
    base.ini({"SERVEUR=localhost", "Production=" + base.chemin, "Formation=/nulle/part"});
    for (const QString& cle : cles) base.droit("DUPOND", cle, 2);
}

// The database chosen, a wrong password then the right one, the presentation screen over.
const QStringList kConnexion{
    "pick Cbo_BaseDispo Production",  "click Cmd_OK",           "clear Txt_Utilisateur",
    "type Txt_Utilisateur dupond",    "type Txt_MotPasse faux", "click Cmd_Ok",
    "type Txt_MotPasse mot,de,passe", "click Cmd_Ok",           "wait 2200"};

TEST(Script, SelectionLoginMenuAndHostedControlThroughTheScript) {
    essai::BaseEssai base;
    preparer(base, {"CADRIUSBADGEUSES", "CADRIUSDOUCHETTE"});
    const Sortie s = lancer(base, kConnexion + QStringList{"menu Mnu_CADRIUSDOUCHETTE", "dump",
                                                           "menu Mnu_CADRIUSCODE"});
    ASSERT_EQ(s.code, 2) << s.erreurs.toStdString();  // the last line: Code is not granted
    EXPECT_TRUE(s.erreurs.contains("Mnu_CADRIUSCODE"));
    ASSERT_EQ(s.lignes.size(), 2);
    EXPECT_EQ(s.lignes[0]["message"].toString(), "Le mot de passe saisi n'est pas correct.");
    const QJsonObject dump = s.lignes[1];
    EXPECT_EQ(controle(dump, "Mdi_Vesperon", "Etq_Journal")["text"].toString(),
              "TheSession=uni::Session ; TheDatabase=dba::Database ; TheClient=dba::Client ; "
              "DroitsUtilisateur=orv::Rights ; W_NomBase=Production ; W_Utilisateur=DUPOND ; "
              "W_MotPasse=mot,de,passe ; Init=cachée ; ChargerSiDejaBranche=visible");
    EXPECT_FALSE(controle(dump, "Mdi_Vesperon", "Mnu_Quitter")["enabled"].toBool());
}

TEST(Script, ChildWindowsClosedByTheirCloseBoxAndEntriesUnderAGreyedMenuRefused) {
    essai::BaseEssai base;
    preparer(base, {"CADRIUSBADGEUSES", "CADRIUSDOUCHETTE", "CADRIUSCODE",
                    "CADRIUSCODESBARRESAIDES"});  // but not their menu CADRIUSCODESBARRES
    const Sortie s = lancer(
        base, kConnexion + QStringList{"menu Mnu_CADRIUSDOUCHETTE",
                                       "close Chd_CADRIUSDOUCHETTE",  // W_Sortir False: refused
                                       "menu Mnu_CADRIUSCODE", "close Code Cadrius", "dump",
                                       "menu Mnu_CADRIUSCODESBARRESAIDES"});
    ASSERT_EQ(s.code, 2) << s.erreurs.toStdString();
    EXPECT_TRUE(s.erreurs.contains(":15:")) << s.erreurs.toStdString();
    EXPECT_TRUE(s.erreurs.contains("« Mnu_CADRIUSCODESBARRES »")) << s.erreurs.toStdString();
    ASSERT_EQ(s.lignes.size(), 2);  // the wrong password, the dump
    const QJsonObject dump = s.lignes[1];
    QStringList ouvertes;
    for (const QJsonValue& w : dump["windows"].toArray())
        for (const QJsonValue& f : w["subwindows"].toArray()) ouvertes << f["name"].toString();
    EXPECT_EQ(ouvertes, QStringList{"Chd_CADRIUSDOUCHETTE"});
    EXPECT_FALSE(controle(dump, "Mdi_Vesperon", "Mnu_CADRIUSCODESBARRES")["enabled"].toBool());
    const QJsonObject aides = controle(dump, "Mdi_Vesperon", "Mnu_CADRIUSCODESBARRESAIDES");
    EXPECT_TRUE(aides["enabled"].toBool());
    EXPECT_FALSE(aides["reachable"].toBool());
}

TEST(Script, UnattendedStartOnADatabaseWithoutTelegestionEnds) {
    essai::BaseEssai base;
    base.ini({"SERVEUR=localhost", "Essai=" + base.chemin});
    orv::DynArray compteur(base.db->read("COMPTEUR", "999")->text());
    compteur.replace(33, "0");
    base.db->write("COMPTEUR", "999", compteur);
    const Sortie s = lancer(base, {"wait 5000"}, {"Essai,martin,martin"});
    EXPECT_EQ(s.code, 1);
    ASSERT_EQ(s.lignes.size(), 1);
    EXPECT_EQ(s.lignes[0]["message"].toString(),
              "Ce menu ne peut pas être ouvert : vous n'utilisez pas la télégestion Cadrius.");
    EXPECT_EQ(s.lignes[0]["icon"].toInt(), 16);
}

}  // namespace
