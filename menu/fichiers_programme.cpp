#include "menu/fichiers_programme.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "client/install_paths.h"

namespace menu {

QString fichierProgramme(const QString& nom) {
    const QString programme = QCoreApplication::applicationDirPath();
    QStringList dossiers;
    if (const QString d = qEnvironmentVariable("ORVANELLE_DATA_DIR"); !d.isEmpty()) dossiers << d;
    if (const QString installe = orv::installedDataDir(); !installe.isEmpty()) dossiers << installe;
    dossiers << programme;
    for (const QString& dossier : dossiers) {
        const QString chemin = QDir(dossier).filePath(nom);
        if (QFileInfo::exists(chemin)) return QDir::cleanPath(chemin);
    }
    return QDir(programme).filePath(nom);
}

QString LireVersion() {
    QFile fichier(fichierProgramme(QStringLiteral("VERSION.txt")));
    if (!fichier.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    const QString ligne = QString::fromUtf8(fichier.readLine()).remove(QLatin1Char('\n'));
    return ligne.section(QLatin1Char(','), 0, 0).trimmed();
}

}  // namespace menu
