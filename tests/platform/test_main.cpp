// Widget tests need an application object; the printer catalogue is fixed before first use.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>

#include "platform/platform.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("ORVANELLE_SYSTEM_PRINTERS", "0");
    const QString dir =
        QDir::tempPath() +
        QStringLiteral("/orv_platform_test_%1").arg(QCoreApplication::applicationPid());
    QDir().mkpath(dir);
    qputenv("ORV_TEST_TMP", dir.toUtf8());
    qputenv("ORVANELLE_PRINTERS",
            (QStringLiteral("Matricielle MATRIC=transcript:%1/m.jsonl;Laser=pdf:%1/l.pdf;"
                            "Laser N&B=transcript:%1/g.jsonl:mono;Illisible")
                 .arg(dir))
                .toUtf8());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    QDir(dir).removeRecursively();
    return result;
}
