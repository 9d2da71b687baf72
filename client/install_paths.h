// Where the programs find their installed files. An installed program lives in <prefix>/bin,
// with its data in <prefix>/share/orvanelle (help pages, version file, documentation, schema)
// and its control plugins in <prefix>/lib/orvanelle/plugins. A program run from the build folder
// has no such prefix and falls back on the folders compiled in (the sources' data folder, the
// build's plugin folder).
#pragma once

#include <QString>

namespace orv {

// <program folder>/../share/orvanelle when it exists (the program is installed), else empty.
// Needs the application object; empty without it.
QString installedDataDir();
// <program folder>/../lib/orvanelle/plugins when the program is installed, else empty.
QString installedPluginDir();
// True when the program runs from an installation: it then uses only installed files and
// never the build or source folders compiled in.
bool runsInstalled();

}  // namespace orv
