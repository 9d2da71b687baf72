// orvanelle-db run as a program, on the tests' fixed day.
#pragma once

#include <gtest/gtest.h>

#include <signal.h>
#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QThread>

#include <functional>
#include <string>

#include "engine/database.h"

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

// Starts orvanelle-db and hands it its whole input.
inline void startOrvanelleDb(QProcess& p, const QStringList& args, const QByteArray& input = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ORVANELLE_TODAY", "2006-03-20");
    p.setProcessEnvironment(env);
    p.start(QString::fromLocal8Bit(qgetenv("ORV_BIN_DIR")) + "/orvanelle-db", args);
    p.write(input);
    p.closeWriteChannel();
    // Sent now: nothing runs an event loop before the caller waits for the end, and a program
    // started next must not wait for this one to have its input.
    if (!input.isEmpty()) p.waitForBytesWritten(10000);
}

inline Outcome finished(QProcess& p) {
    EXPECT_TRUE(p.waitForFinished(180000));
    return Outcome{p.exitCode(), p.readAllStandardOutput().toStdString(),
                   p.readAllStandardError().toStdString()};
}

inline Outcome runOrvanelleDb(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    startOrvanelleDb(p, args, input);
    return finished(p);
}

// A database large enough that copying it takes a while: a file GROS of 40,000 records.
inline void fillLarge(const QString& path) {
    auto db = orv::Database::openEmbedded(path.toStdString());
    db->createFile("GROS");
    db->storage().begin();
    for (int k = 0; k < 40000; ++k)
        db->write("GROS", std::to_string(k), orv::DynArray(std::string(400, 'x')));
    db->storage().commit();
}

// orvanelle-db with these arguments and input, killed (SIGKILL) as soon as underWay holds.
inline void killWhen(const QStringList& args, const std::function<bool(qint64 pid)>& underWay,
                     const QByteArray& input = {}) {
    QProcess p;
    startOrvanelleDb(p, args, input);
    ASSERT_TRUE(p.waitForStarted());
    while (!underWay(p.processId()) && p.state() == QProcess::Running) QThread::usleep(200);
    ASSERT_EQ(p.state(), QProcess::Running) << "it ended before it could be killed";
    kill(static_cast<pid_t>(p.processId()), SIGKILL);
    p.waitForFinished();
}
