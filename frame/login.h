// The log-in path shared by MenuCadrius and orvanelle-module: which database a line of the INI
// file (or a path given directly) names, the choice of a line by its label, and the connection
// of the session, its refusal worded for the user.
#pragma once

#include <QString>

#include "frame/ini_serveurs.h"

class QLineEdit;
class QWidget;

namespace uni {
class Session;
}

namespace orv {

inline const QString kSelectionVide =
    QStringLiteral("Vous devez sélectionner une base de données.");
inline const QString kBaseIndisponible = QStringLiteral("Cette base n'est pas disponible.");
inline const QString kMotPasseIncorrect =
    QStringLiteral("Le mot de passe saisi n'est pas correct.");

// The line of the INI file whose label matches `typed` (trimmed, upper-cased); -1 with the
// message to show in `refusal` when the text is empty or names no line.
int chooseDatabase(const IniServeurs& ini, const QString& typed, QString* refusal);
// Sets the session's host and account path from line `index` of the INI file (a relative
// embedded path is taken from the INI file's folder, IniServeurs::accountPath).
void applyDatabase(uni::Session& session, const IniServeurs& ini, int index);
// Sets the session for an embedded database named by its path (relative to the current folder).
void applyDatabasePath(uni::Session& session, const QString& path);

struct LoginOutcome {
    enum class Refusal { None, Password, Database };
    Refusal refusal = Refusal::None;
    // What to tell the user; empty once connected.
    QString message;
    bool connected() const { return refusal == Refusal::None; }
    // The message box style: exclamation for a wrong password, critical for a database that
    // cannot be opened.
    int style() const;
};

// Connects with the user name upper-cased. A database that cannot be found or opened is told
// as such, with where it was looked for; anything else the session refuses is a wrong password.
LoginOutcome connectSession(uni::Session& session, const QString& user, const QString& password);
// Shows the refusal. After a wrong password the box is emptied; the focus goes to it either way,
// and the login window stays.
void showRefusal(const LoginOutcome& outcome, QLineEdit* password);

}  // namespace orv
