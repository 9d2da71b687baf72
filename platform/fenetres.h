// What every window of the suite's programs shares: the program's icon, and sizes and positions
// remembered per user (in $XDG_CONFIG_HOME/orvanelle/fenetres.ini, default ~/.config). Under
// automation nothing is remembered, so that a script sees the same windows on every machine.
#pragma once

#include <QString>

class QWidget;

namespace orv {

// The program's icon, from the programs' own resources.
void installProgramIcon();

enum class Memoire { TaillePosition, Taille };

// Gives `window` the geometry last remembered under `key` (the size only, or size and
// position), then remembers it each time the window is hidden or closed.
void memoriserGeometrie(QWidget* window, const QString& key,
                        Memoire memoire = Memoire::TaillePosition);
// Where the geometries are kept.
QString fichierFenetres();

}  // namespace orv
