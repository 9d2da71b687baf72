// The start-up sequence of MenuCadrius: database selection, login, the telegestion check, then
// the splash window that opens the main window.
#pragma once

#include <QString>

#include "menu/programme.h"

namespace menu {

// The single command-line argument "label,user,password": the label is the text before the
// first comma; of the rest, the user is the text before its first comma and the password is
// everything after it (commas included). Nothing is trimmed.
struct LigneCommande {
    QString base;
    QString utilisateur;
    QString motPasse;
    // False when the argument holds fewer than two commas (no password part).
    bool complete = false;
};
LigneCommande DecouperLigneCommande(const QString& argument);

inline const QString kLigneSansMotPasse = QStringLiteral(
    "La ligne de commande ne donne pas de mot de passe : saisissez-le dans la fenêtre "
    "d'identification.");
inline const QString kPasTelegestion =
    QStringLiteral("Ce menu ne peut pas être ouvert : vous n'utilisez pas la télégestion Cadrius.");
inline const QString kTelegestionInconnue = QStringLiteral(
    "Ce menu ne peut pas être ouvert : impossible de déterminer si vous utilisez "
    "la télégestion Cadrius.");

// Runs the start-up sequence up to the splash window. `argument` is the command-line argument
// (empty for an interactive start). Returns false when the program ends during start-up
// (programme.codeSortie then holds the exit code); true once the splash window is shown.
bool Main(Programme& programme, const QString& argument);

// The telegestion check: record "999" of COMPTEUR, attribute 33 exactly "1". Shows the
// matching message and ends the program otherwise; true when the check passed.
bool VerifierTelegestion(Programme& programme);

}  // namespace menu
