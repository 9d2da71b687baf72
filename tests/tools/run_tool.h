// orvanelle-db run as a program, on the tests' fixed day.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <string>

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

inline Outcome runOrvanelleDb(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ORVANELLE_TODAY", "2006-03-20");
    p.setProcessEnvironment(env);
    p.start(QString::fromLocal8Bit(qgetenv("ORV_BIN_DIR")) + "/orvanelle-db", args);
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(180000));
    return Outcome{p.exitCode(), p.readAllStandardOutput().toStdString(),
                   p.readAllStandardError().toStdString()};
}
