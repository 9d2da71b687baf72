// Helpers shared by the platform tests.
#pragma once

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace orv::test {

inline QString tempPath(const QString& name) {
    return qEnvironmentVariable("ORV_TEST_TMP") + QLatin1Char('/') + name;
}

inline QList<QJsonObject> readJsonLines(const QString& path) {
    QList<QJsonObject> lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.trimmed().isEmpty()) lines.append(QJsonDocument::fromJson(line).object());
    }
    return lines;
}

}  // namespace orv::test
