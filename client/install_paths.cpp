#include "client/install_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace orv {

namespace {

// A folder relative to the program's folder, when it exists.
QString besideProgram(const char* relative) {
    if (!QCoreApplication::instance()) return QString();
    const QString path = QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                                         QString::fromUtf8(relative));
    return QFileInfo(path).isDir() ? path : QString();
}

}  // namespace

QString installedDataDir() { return besideProgram(ORV_DATADIR_FROM_BIN); }

QString installedPluginDir() {
    return runsInstalled() ? besideProgram(ORV_PLUGINDIR_FROM_BIN) : QString();
}

bool runsInstalled() { return !installedDataDir().isEmpty(); }

}  // namespace orv
