#include "host/login.h"

#include <QDir>
#include <QFileInfo>

#include "client/uniobjects.h"
#include "engine/pg_storage.h"

namespace orv::host {

void applyDatabase(uni::Session& session, const IniServeurs& ini, int index) {
    QString path = ini.paths().at(index);
    if (!isPgAccountPath(path.toStdString()) && QFileInfo(path).isRelative() &&
        !ini.path().isEmpty())
        path = QFileInfo(ini.path()).absoluteDir().absoluteFilePath(path);
    session.setHostName(ini.server());
    session.setAccountPath(path);
}

void applyDatabasePath(uni::Session& session, const QString& path) {
    session.setHostName(QStringLiteral("localhost"));
    session.setAccountPath(QFileInfo(path).absoluteFilePath());
}

bool connectSession(uni::Session& session, const QString& user, const QString& password) {
    session.setDataBaseType(2);
    session.setUserName(user.toUpper());
    session.setPassword(password);
    session.Connect();
    return session.Error() == 0;
}

}  // namespace orv::host
