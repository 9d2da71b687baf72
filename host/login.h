// Choosing the database and logging in for orvanelle-module.
#pragma once

#include <QString>

#include "frame/ini_serveurs.h"

namespace uni {
class Session;
}

namespace orv::host {

inline const QString kWrongPassword = QStringLiteral("Le mot de passe saisi n'est pas correct.");

// Sets the session's host and account path from line `index` of the INI file. A relative
// account path is taken from the INI file's folder.
void applyDatabase(uni::Session& session, const IniServeurs& ini, int index);
// Sets the session for an embedded database named by its path.
void applyDatabasePath(uni::Session& session, const QString& path);
// Connects with the user name upper-cased; true when the session reports no error.
bool connectSession(uni::Session& session, const QString& user, const QString& password);

}  // namespace orv::host
