// The daily backup of an embedded database, made at the first start of the day of the menu in
// the user's data folder, the last seven of each database kept.
#pragma once

#include <QString>

namespace menu {

inline constexpr int kSauvegardesGardees = 7;

// The folder of the daily backups: "sauvegardes" in the user's data folder of the program
// (~/.local/share/MenuCadrius/sauvegardes, or under $XDG_DATA_HOME).
QString dossierSauvegardes();

// The backup of today of the database labelled `libelle`, in `dossier`.
QString sauvegardeDuJour(const QString& dossier, const QString& libelle);

// Backs up the embedded database `base` (labelled `libelle` in the INI file) into `dossier`,
// unless today's backup is there already, then removes its backups older than the last seven.
// A server database is left to the server's own backups. Returns the French message telling
// why the backup could not be made, empty when it was made or was not needed.
QString sauvegarderBaseDuJour(const QString& base, const QString& libelle, const QString& dossier);

}  // namespace menu
