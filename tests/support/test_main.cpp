// The one main of every test program. Widget tests need an application object for the whole
// run; without a display (test discovery at build time included) they run on the offscreen
// platform. Every run gets its own scratch folder ($ORV_TEST_TMP) and a fixed printer
// catalogue (no installed printer, a few virtual ones) and its own user configuration folder,
// so that results never depend on the machine.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>

namespace {

QString scratchFolder() {
    const QString dir =
        QDir::tempPath() + QStringLiteral("/orv_test_%1").arg(QCoreApplication::applicationPid());
    QDir().mkpath(dir);
    return dir;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("ORVANELLE_SYSTEM_PRINTERS", "0");
    QApplication app(argc, argv);
#ifdef ORV_TEST_APPLICATION_NAME
    QApplication::setApplicationName(QStringLiteral(ORV_TEST_APPLICATION_NAME));
#endif
    const QString dir = scratchFolder();
    qputenv("ORV_TEST_TMP", dir.toUtf8());
    // What the programs remember and keep per user (window sizes, backups) stays in the scratch
    // folder.
    qputenv("XDG_CONFIG_HOME", (dir + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (dir + QStringLiteral("/data")).toUtf8());
    if (qEnvironmentVariableIsEmpty("ORVANELLE_PRINTERS"))
        qputenv("ORVANELLE_PRINTERS",
                QStringLiteral("Matricielle MATRIC=transcript:%1/m.jsonl;Laser=pdf:%1/l.pdf;"
                               "Laser N&B=transcript:%1/g.jsonl:mono;Illisible")
                    .arg(dir)
                    .toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    QDir(dir).removeRecursively();
    return result;
}
