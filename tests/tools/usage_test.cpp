// The programs' usage without a display (over SSH, in scripts): --help prints it, and the
// benchmarks answer an argument they do not know with it instead of failing.
#include <gtest/gtest.h>

#include <QProcess>

namespace {

struct Case {
    const char* program;
    QStringList arguments;
    int exitCode;
    bool usageOnStandardOutput;  // else on standard error
    QStringList mentions = {};   // what the answer must say besides the program's name
};

TEST(Usage, PrintedWithoutADisplay) {
    const Case cases[] = {
        {"MenuCadrius", {"--help"}, 0, true},
        {"orvanelle-module", {"--help"}, 0, true},
        {"orvanelle-db", {"--help"}, 0, true},
        {"MenuCadrius", {"--version"}, 0, true, {"1.0.0"}},
        {"orvanelle-module", {"--version"}, 0, true, {"1.0.0"}},
        {"orvanelle-db", {"--version"}, 0, true, {"1.0.0"}},
        {"orvanelle-module", {"--help"}, 0, true, {"--db", "--password-stdin", "--arg", "--set"}},
        // Qt's own parser messages in French.
        {"orvanelle-db", {"--inconnue"}, 2, false, {"Option inconnue"}},
        {"orvanelle-db", {"--db"}, 2, false, {"Valeur manquante"}},
        {"orv_bench_query", {"--help"}, 0, true},
        {"orv_bench_query", {"--inconnu"}, 2, false},
        {"orv_bench_query", {"/tmp", "beaucoup"}, 2, false},
        {"bench_declartrim", {"-h"}, 0, true},
        {"bench_declartrim", {"--inconnu"}, 2, false},
    };
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");  // a window system that is not there
    for (const Case& c : cases) {
        const QString name = QString::fromLatin1(c.program);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("ORV_BIN_DIR") + '/' + name, c.arguments);
        ASSERT_TRUE(p.waitForFinished(30000)) << c.program;
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << c.program << " " << err.toStdString();
        EXPECT_EQ(p.exitCode(), c.exitCode) << c.program << " " << err.toStdString();
        const QString answer = c.usageOnStandardOutput ? out : err;
        for (const QString& expected : QStringList{name} + c.mentions)
            EXPECT_TRUE(answer.contains(expected))
                << c.program << " " << expected.toStdString() << "\n"
                << out.toStdString() << err.toStdString();
    }
}

// The manual pages, rendered narrow: each lists every command and option of its program, and
// no bracketed group of a synopsis is broken over two lines.
TEST(ManualPages, ListEverythingAndKeepTheSynopsisGroupsWhole) {
    const struct {
        const char* page;
        QStringList mentions;
    } pages[] = {
        {"MenuCadrius", {"--script", "--version", "--help"}},
        {"orvanelle-module",
         {"--base", "--db", "--user", "--password-stdin", "--set", "--arg", "--script", "--version",
          "--help"}},
        {"orvanelle-db",
         {"--db", "--server", "--user", "--password-stdin", "--schema", "--engine-files",
          "--version", "--help"}},
    };
    // Every command orvanelle-db lists in its usage ("  user add NOM").
    QProcess db;
    db.start(qEnvironmentVariable("ORV_BIN_DIR") + "/orvanelle-db", {"--help"});
    ASSERT_TRUE(db.waitForFinished(30000));
    QStringList commands;
    for (const QString& line : QString::fromUtf8(db.readAllStandardOutput()).split('\n'))
        if (line.startsWith("  ") && !line.startsWith("   "))
            commands << line.trimmed().section(' ', 0, 0);
    ASSERT_GT(commands.size(), 10);
    for (const auto& p : pages) {
        QProcess groff;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        groff.setProcessEnvironment(env);
        groff.start("groff", {"-man", "-Kutf-8", "-Tutf8", "-rLL=60n", "-P-cbou",
                              QStringLiteral(ORV_MAN_DIR "/%1.1").arg(p.page)});
        ASSERT_TRUE(groff.waitForFinished(30000)) << p.page;
        const QString text = QString::fromUtf8(groff.readAllStandardOutput());
        QStringList mentions = p.mentions;
        if (QLatin1String(p.page) == QLatin1String("orvanelle-db")) mentions += commands;
        for (const QString& m : mentions)
            EXPECT_TRUE(text.contains(m)) << p.page << " : " << m.toStdString();
        const QString synopsis = text.section("SYNOPSIS", 1).section("DESCRIPTION", 0, 0);
        ASSERT_FALSE(synopsis.trimmed().isEmpty()) << p.page;
        for (const QString& line : synopsis.split('\n'))
            EXPECT_EQ(line.count('['), line.count(']')) << p.page << " : " << line.toStdString();
    }
}

}  // namespace
