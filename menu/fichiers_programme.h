// Files beside the program (version file, documentation, remote-maintenance program) and the
// addresses the menu opens.
#pragma once

#include <QString>

namespace menu {

inline const QString kSiteWeb = QStringLiteral("https://www.orvanelle.example/");
inline const QString kSiteSupport = QStringLiteral("https://support.orvanelle.example/");

// Where a file beside the program is: the first folder holding it among $ORVANELLE_DATA_DIR,
// the installed data folder <program folder>/../share/orvanelle and the program's folder; in
// the program's folder when none holds it.
QString fichierProgramme(const QString& nom);

// The first field of the version file (up to the first comma or line end); empty when the
// file cannot be read.
QString LireVersion();

}  // namespace menu
