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
};

TEST(Usage, PrintedWithoutADisplay) {
    const Case cases[] = {
        {"MenuCadrius", {"--help"}, 0, true},
        {"orvanelle-module", {"--help"}, 0, true},
        {"orvanelle-db", {"--help"}, 0, true},
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
        EXPECT_TRUE((c.usageOnStandardOutput ? out : err).contains(name))
            << c.program << "\n"
            << out.toStdString() << err.toStdString();
    }
}

}  // namespace
