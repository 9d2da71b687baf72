#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QProcess>

#include <QJsonDocument>

#include "testkit.h"

namespace orv {
namespace {

struct ScriptRun {
    int exitCode = -1;
    QList<QJsonObject> lines;  // standard output, one JSON object a line
    QString errors;
};

ScriptRun runScript(const QString& name, const QString& script,
                    const QString& printers = QString()) {
    const QString path = test::tempPath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(script.toUtf8());
    file.close();

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ORVANELLE_SCRIPT_WAIT_MS"), QStringLiteral("300"));
    env.insert(QStringLiteral("ORVANELLE_SYSTEM_PRINTERS"), QStringLiteral("0"));
    if (!printers.isEmpty()) env.insert(QStringLiteral("ORVANELLE_PRINTERS"), printers);
    process.setProcessEnvironment(env);
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/orv_automation_demo"),
                  {QStringLiteral("--script"), path});
    ScriptRun run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.errors = QString::fromUtf8(process.readAllStandardError());
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        run.lines.append(QJsonDocument::fromJson(line.toUtf8()).object());
    return run;
}

QList<QJsonObject> withKey(const QList<QJsonObject>& lines, const QString& key) {
    QList<QJsonObject> found;
    for (const QJsonObject& line : lines) {
        if (line.contains(key)) found.append(line);
    }
    return found;
}

// The entry of a named widget in a dump.
QJsonObject widgetIn(const QJsonObject& dump, const QString& name) {
    for (const QJsonValue& window : dump.value(QStringLiteral("windows")).toArray()) {
        for (const QJsonValue& widget :
             window.toObject().value(QStringLiteral("widgets")).toArray()) {
            if (widget.toObject().value(QStringLiteral("name")).toString() == name)
                return widget.toObject();
        }
    }
    return {};
}

QString textOf(const QJsonObject& dump, const QString& name) {
    return widgetIn(dump, name).value(QStringLiteral("text")).toString();
}

// The named window of a dump, and the captions of the sub-windows open inside it.
QJsonObject windowIn(const QJsonObject& dump, const QString& name) {
    for (const QJsonValue& window : dump.value(QStringLiteral("windows")).toArray()) {
        if (window.toObject().value(QStringLiteral("name")).toString() == name)
            return window.toObject();
    }
    return {};
}

QStringList subWindowCaptions(const QJsonObject& dump) {
    QStringList captions;
    const QJsonObject window = windowIn(dump, QStringLiteral("Frm_Demo"));
    for (const QJsonValue& sub : window.value(QStringLiteral("subwindows")).toArray())
        captions << sub.toObject().value(QStringLiteral("caption")).toString();
    return captions;
}

TEST(Automation, DrivesTheWidgetsAndWritesMessagesAndDumps) {
    const ScriptRun run =
        runScript(QStringLiteral("main.script"), QStringLiteral("# a code typed then padded\n"
                                                                "type Txt_Code 7a\n"
                                                                "key Txt_Code Enter\n"
                                                                "dump\n"
                                                                "\n"
                                                                "type Txt_Montant 12.5.3\n"
                                                                "type Txt_Code 9\n"
                                                                "pick Cbo_Liste Deux\n"
                                                                "dump\n"
                                                                "pick Lst_Entrees 1\n"
                                                                "check Cac_Option on\n"
                                                                "answer No\n"
                                                                "click Cmd_Ok\n"
                                                                "dump\n"
                                                                "click Cmd_Ok\n"
                                                                "clear Txt_Code\n"
                                                                "type Txt_Code 5\n"
                                                                "leave Txt_Code\n"
                                                                "close Frm_Second\n"
                                                                "dump\n"));
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.errors);
    const QList<QJsonObject> dumps = withKey(run.lines, QStringLiteral("windows"));
    ASSERT_EQ(dumps.size(), 4);

    EXPECT_EQ(textOf(dumps[0], QStringLiteral("Txt_Code")), QStringLiteral("007"));
    EXPECT_EQ(textOf(dumps[0], QStringLiteral("Etq_Resultat")), QStringLiteral("code=007"));
    const QJsonObject code = widgetIn(dumps[0], QStringLiteral("Txt_Code"));
    EXPECT_EQ(code.value(QStringLiteral("class")).toString(), QStringLiteral("QLineEdit"));
    EXPECT_TRUE(code.value(QStringLiteral("enabled")).toBool());
    EXPECT_TRUE(code.value(QStringLiteral("visible")).toBool());
    EXPECT_FALSE(widgetIn(dumps[0], QStringLiteral("Cmd_Inactif"))
                     .value(QStringLiteral("enabled"))
                     .toBool());
    EXPECT_EQ(
        widgetIn(dumps[0], QStringLiteral("Mnu_Imprimer")).value(QStringLiteral("text")).toString(),
        QStringLiteral("Imprimer"));

    EXPECT_EQ(textOf(dumps[1], QStringLiteral("Txt_Montant")), QStringLiteral("12,53"));
    EXPECT_EQ(textOf(dumps[1], QStringLiteral("Txt_Code")), QStringLiteral("007"));  // full box
    const QJsonObject list = widgetIn(dumps[1], QStringLiteral("Cbo_Liste"));
    EXPECT_EQ(list.value(QStringLiteral("index")).toInt(), 1);
    EXPECT_EQ(list.value(QStringLiteral("items")).toArray().size(), 3);
    EXPECT_EQ(textOf(dumps[1], QStringLiteral("Etq_Resultat")), QStringLiteral("liste=1:Deux"));

    EXPECT_TRUE(
        widgetIn(dumps[2], QStringLiteral("Cac_Option")).value(QStringLiteral("checked")).toBool());
    EXPECT_EQ(
        widgetIn(dumps[2], QStringLiteral("Lst_Entrees")).value(QStringLiteral("index")).toInt(),
        1);
    EXPECT_EQ(textOf(dumps[2], QStringLiteral("Etq_Resultat")), QStringLiteral("réponse=No"));

    const QList<QJsonObject> messages = withKey(run.lines, QStringLiteral("message"));
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].value(QStringLiteral("message")).toString(),
              QStringLiteral("Enregistrer ?"));
    EXPECT_EQ(messages[0].value(QStringLiteral("title")).toString(),
              QStringLiteral("Message ORVANELLE"));
    EXPECT_EQ(messages[0].value(QStringLiteral("icon")).toInt(), 32);
    EXPECT_EQ(messages[0].value(QStringLiteral("answer")).toString(), QStringLiteral("No"));
    EXPECT_FALSE(messages[0].contains(QStringLiteral("default")));
    EXPECT_EQ(messages[1].value(QStringLiteral("answer")).toString(), QStringLiteral("Yes"));
    EXPECT_TRUE(messages[1].value(QStringLiteral("default")).toBool());

    EXPECT_EQ(textOf(dumps[3], QStringLiteral("Txt_Code")), QStringLiteral("005"));
    QStringList windows;
    for (const QJsonValue& w : dumps[3].value(QStringLiteral("windows")).toArray())
        windows << w.toObject().value(QStringLiteral("name")).toString();
    EXPECT_EQ(windows, QStringList{QStringLiteral("Frm_Demo")});
}

TEST(Automation, AnswersModalDialogsAndPrinterChoices) {
    const QString transcript = test::tempPath(QStringLiteral("auto.jsonl"));
    qputenv("ORVANELLE_PRINTERS",
            QStringLiteral("Auto MATRIC=transcript:%1").arg(transcript).toUtf8());
    qputenv("ORVANELLE_SYSTEM_PRINTERS", "0");
    const ScriptRun run = runScript(QStringLiteral("dialog.script"),
                                    QStringLiteral("click Cmd_Nom\n"
                                                   "type Txt_Nom Durand\n"
                                                   "click Cmd_NomOk\n"
                                                   "dump\n"
                                                   "printer Auto MATRIC\n"
                                                   "copies 2\n"
                                                   "menu Mnu_Imprimer\n"
                                                   "dump\n"
                                                   "printer cancel\n"
                                                   "menu Mnu_Imprimer\n"),
                                    QStringLiteral("Auto MATRIC=transcript:%1").arg(transcript));
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.errors);
    const QList<QJsonObject> dumps = withKey(run.lines, QStringLiteral("windows"));
    ASSERT_EQ(dumps.size(), 2);
    EXPECT_EQ(textOf(dumps[0], QStringLiteral("Etq_Resultat")), QStringLiteral("nom=Durand"));
    EXPECT_EQ(textOf(dumps[1], QStringLiteral("Etq_Resultat")),
              QStringLiteral("imprimante=2 exemplaires=2"));

    const QList<QJsonObject> dialogs = withKey(run.lines, QStringLiteral("dialog"));
    ASSERT_EQ(dialogs.size(), 4);
    EXPECT_EQ(dialogs[0].value(QStringLiteral("answer")).toString(), QStringLiteral("Auto MATRIC"));
    EXPECT_EQ(dialogs[2].value(QStringLiteral("answer")).toString(), QStringLiteral("cancel"));
    EXPECT_TRUE(dialogs[3].value(QStringLiteral("default")).toBool());  // copies not queued

    const QList<QJsonObject> printed = test::readJsonLines(transcript);
    ASSERT_GE(printed.size(), 5);
    EXPECT_EQ(printed[0].value(QStringLiteral("device")).toString(), QStringLiteral("Auto MATRIC"));
    EXPECT_EQ(printed.last().value(QStringLiteral("op")).toString(), QStringLiteral("end"));
}

TEST(Automation, StopsOnAnUnknownWidgetNamingTheLine) {
    const ScriptRun run =
        runScript(QStringLiteral("unknown.script"),
                  QStringLiteral("type Txt_Code 1\n# comment\nclick Cmd_Absent\nclick Cmd_Ok\n"));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("unknown.script:3:"))) << qPrintable(run.errors);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("Cmd_Absent"))) << qPrintable(run.errors);
    EXPECT_TRUE(withKey(run.lines, QStringLiteral("message")).isEmpty());  // line 4 never ran
}

TEST(Automation, RefusesWhatAUserCouldNotDo) {
    const struct {
        const char* script;
        const char* line;   // the line named on standard error
        const char* cause;  // a word of the message
    } cases[] = {
        {"click Cmd_Inactif\n", ":1:", "Cmd_Inactif"},    {"dump\nfly Cmd_Ok\n", ":2:", "fly"},
        {"pick Cbo_Liste Quatre\n", ":1:", "Quatre"},     {"menu Mnu_Cache\n", ":1:", "cachée"},
        {"dump\nmenu Mnu_Purger\n", ":2:", "Mnu_Outils"},  // under the greyed menu
        {"check Mnu_Purger on\n", ":1:", "Mnu_Outils"},
    };
    for (const auto& c : cases) {
        const ScriptRun run =
            runScript(QStringLiteral("refused.script"), QString::fromUtf8(c.script));
        EXPECT_EQ(run.exitCode, 2) << c.script;
        EXPECT_TRUE(run.errors.contains(QLatin1String(c.line))) << qPrintable(run.errors);
        EXPECT_TRUE(run.errors.contains(QString::fromUtf8(c.cause))) << qPrintable(run.errors);
    }
}

TEST(Automation, DumpShowsMenusListsAndScrollBarsAsTheUserSeesThem) {
    const ScriptRun run =
        runScript(QStringLiteral("seen.script"), QStringLiteral("dump\npick Lvw_Lignes 1\ndump\n"));
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.errors);
    const QList<QJsonObject> dumps = withKey(run.lines, QStringLiteral("windows"));
    ASSERT_EQ(dumps.size(), 2);

    const struct {
        const char* name;
        bool enabled, visible, reachable;
    } entries[] = {
        {"Mnu_Imprimer", true, true, true}, {"Mnu_Outils", false, true, false},
        {"Mnu_Avance", true, true, false},  {"Mnu_Purger", true, true, false},
        {"Mnu_Cache", false, false, false},  // a hidden entry is disabled too
    };
    for (const auto& e : entries) {
        const QJsonObject entry = widgetIn(dumps[0], QString::fromLatin1(e.name));
        EXPECT_EQ(entry.value(QStringLiteral("enabled")).toBool(), e.enabled) << e.name;
        EXPECT_EQ(entry.value(QStringLiteral("visible")).toBool(), e.visible) << e.name;
        EXPECT_EQ(entry.value(QStringLiteral("reachable")).toBool(), e.reachable) << e.name;
    }
    EXPECT_EQ(textOf(dumps[0], QStringLiteral("Mnu_Outils")), QStringLiteral("Outils"));

    const QJsonObject scroll = widgetIn(dumps[0], QStringLiteral("Hsb_Defil"));
    EXPECT_EQ(scroll.value(QStringLiteral("value")).toInt(), 10);
    EXPECT_EQ(scroll.value(QStringLiteral("minimum")).toInt(), 0);
    EXPECT_EQ(scroll.value(QStringLiteral("maximum")).toInt(), 50);

    const QJsonObject before = widgetIn(dumps[0], QStringLiteral("Lvw_Lignes"));
    const QJsonObject after = widgetIn(dumps[1], QStringLiteral("Lvw_Lignes"));
    EXPECT_EQ(before.value(QStringLiteral("selected")).toInt(), -1);
    EXPECT_EQ(after.value(QStringLiteral("selected")).toInt(), 1);
    EXPECT_EQ(after.value(QStringLiteral("columns")).toArray(),
              (QJsonArray{QStringLiteral("Code"), QStringLiteral("Libellé")}));
    const QJsonArray rows = after.value(QStringLiteral("rows")).toArray();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[2].toArray(), (QJsonArray{QStringLiteral("03"), QStringLiteral("Garde")}));
}

// The wheel turned over a list scrolls it, as far as its end and back; "dump" tells the row
// shown at the top. A step count that is not a number stops the script.
TEST(Automation, ScrollsAListByWheelNotchesAndDumpsItsFirstVisibleRow) {
    const ScriptRun run =
        runScript(QStringLiteral("scroll.script"),
                  QStringLiteral("dump\nscroll Lst_Longue 2\ndump\nscroll Lst_Longue 99\ndump\n"
                                 "scroll Lst_Longue -1\ndump\nscroll Lst_Longue beaucoup\n"));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.errors.contains(QStringLiteral(":8:"))) << qPrintable(run.errors);
    QList<int> hauts;
    for (const QJsonObject& dump : withKey(run.lines, QStringLiteral("windows")))
        hauts << widgetIn(dump, QStringLiteral("Lst_Longue"))
                     .value(QStringLiteral("firstVisible"))
                     .toInt(-2);
    ASSERT_EQ(hauts.size(), 4);
    EXPECT_EQ(hauts[0], 0);
    EXPECT_GT(hauts[1], 0);
    EXPECT_EQ(hauts[2], 35);  // forty rows, five shown: the last five
    EXPECT_LT(hauts[3], 35);
    EXPECT_EQ(
        widgetIn(withKey(run.lines, QStringLiteral("windows"))[0], QStringLiteral("Lst_Entrees"))
            .value(QStringLiteral("firstVisible"))
            .toInt(-2),
        0);
}

TEST(Automation, ClosesSubWindowsByTheirNamesUnlessTheyRefuse) {
    const ScriptRun run =
        runScript(QStringLiteral("close.script"),
                  QStringLiteral("close Frm_Garde\n"  // hosted widget: refuses
                                 "dump\n"
                                 "check Cac_Sortir on\n"
                                 "close Fenêtre gardée\n"  // caption, with a space
                                 "dump\n"
                                 "close Chd_Note\n"  // sub-window's name
                                 "dump\n"
                                 "close Chd_Note\n"));
    EXPECT_EQ(run.exitCode, 2);  // the last line: the window is closed already
    EXPECT_TRUE(run.errors.contains(QStringLiteral(":8:"))) << qPrintable(run.errors);
    const QList<QJsonObject> dumps = withKey(run.lines, QStringLiteral("windows"));
    ASSERT_EQ(dumps.size(), 3);
    EXPECT_EQ(subWindowCaptions(dumps[0]),
              (QStringList{QStringLiteral("Note"), QStringLiteral("Fenêtre gardée")}));
    EXPECT_EQ(subWindowCaptions(dumps[1]), QStringList{QStringLiteral("Note")});
    EXPECT_EQ(subWindowCaptions(dumps[2]), QStringList());
}

TEST(Automation, CapturesAnOpenWindowAsAPicture) {
    const QString picture = test::tempPath(QStringLiteral("demo.png"));
    QFile::remove(picture);
    const ScriptRun run =
        runScript(QStringLiteral("capture.script"), QStringLiteral("capture %1 Frm_Demo\n"
                                                                   "capture %1 Frm_Absente\n")
                                                        .arg(picture));
    EXPECT_EQ(run.exitCode, 2);  // no window of that name
    EXPECT_TRUE(run.errors.contains(QStringLiteral(":2:"))) << qPrintable(run.errors);
    const QImage image(picture);
    EXPECT_GT(image.width(), 100);
    EXPECT_GT(image.height(), 100);
}

// A submenu named by `menu` opens and is drawn over the window; a dialog is drawn with its
// title bar; a submenu under a greyed one stays shut.
TEST(Automation, CapturesDrawOpenMenusAndTheTitleBarOfADialog) {
    const QString dialog = test::tempPath(QStringLiteral("dialogue.png"));
    const QString closed = test::tempPath(QStringLiteral("ferme.png"));
    const QString open = test::tempPath(QStringLiteral("ouvert.png"));
    const ScriptRun run =
        runScript(QStringLiteral("menus.script"), QStringLiteral("click Cmd_Nom\n"
                                                                 "capture %1 Frm_Nom\n"
                                                                 "click Cmd_NomOk\n"
                                                                 "capture %2 Frm_Demo\n"
                                                                 "menu Mnu_Fichier\n"
                                                                 "capture %3 Frm_Demo\n"
                                                                 "menu Mnu_Avance\n")
                                                      .arg(dialog, closed, open));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.errors.contains(QStringLiteral(":7:"))) << qPrintable(run.errors);
    const QImage d(dialog);
    ASSERT_FALSE(d.isNull());
    EXPECT_NE(d.pixel(d.width() / 2, 8), d.pixel(2, d.height() - 3));  // title bar, background
    // The menu bar (about 20 pixels high) shows its open title either way; the menu itself
    // reaches below it.
    const QImage before(closed), after(open);
    ASSERT_EQ(before.size(), after.size());
    int lowest = -1;
    for (int y = 0; y < before.height(); ++y) {
        if (before.copy(0, y, before.width(), 1) != after.copy(0, y, after.width(), 1)) lowest = y;
    }
    EXPECT_GT(lowest, 25);
}

TEST(Automation, LeavingRunsTheLeaveHandlingOnceEvenWhenItRefocuses) {
    const ScriptRun run =
        runScript(QStringLiteral("leave.script"), QStringLiteral("type Txt_Plafond 500\n"
                                                                 "leave Txt_Plafond\n"
                                                                 "dump\n"
                                                                 "clear Txt_Plafond\n"
                                                                 "type Txt_Plafond 50\n"
                                                                 "leave Txt_Plafond\n"
                                                                 "dump\n"));
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.errors);
    const QList<QJsonObject> messages = withKey(run.lines, QStringLiteral("message"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].value(QStringLiteral("message")).toString(),
              QStringLiteral("Le plafond ne peut pas dépasser 100."));
    const QList<QJsonObject> dumps = withKey(run.lines, QStringLiteral("windows"));
    ASSERT_EQ(dumps.size(), 2);
    const auto focus = [](const QJsonObject& dump) {
        return windowIn(dump, QStringLiteral("Frm_Demo")).value(QStringLiteral("focus")).toString();
    };
    EXPECT_EQ(focus(dumps[0]), QStringLiteral("Txt_Plafond"));  // the handler put it back
    EXPECT_EQ(focus(dumps[1]), QStringLiteral("Cbo_Liste"));    // one Tab further
}

}  // namespace
}  // namespace orv
