#include "menu/sauvegarde_jour.h"

#include <QDir>
#include <QStandardPaths>
#include <exception>

#include "client/clock.h"
#include "engine/backup.h"
#include "engine/pg_storage.h"
#include "platform/busy.h"
#include "platform/private_files.h"

namespace menu {

namespace {

const QString kExtension = QStringLiteral(".orvdb");

// A label as a file name: what a folder name cannot hold becomes "_".
QString nomDeFichier(const QString& libelle) {
    QString nom = libelle.trimmed();
    for (QChar& c : nom)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    return nom.isEmpty() ? QStringLiteral("base") : nom;
}

// The backups of one database, named with their day ("Essai-2006-03-20.orvdb"): sorted by
// name, they are sorted by day.
QStringList sauvegardesDe(const QDir& dossier, const QString& libelle) {
    const QString chiffre = QStringLiteral("[0-9]");
    const QString jour = QStringLiteral("-%1-%2-%2").arg(chiffre.repeated(4), chiffre.repeated(2));
    return dossier.entryList({nomDeFichier(libelle) + jour + kExtension}, QDir::Files, QDir::Name);
}

void garderLesDernieres(const QDir& dossier, const QString& libelle) {
    const QStringList toutes = sauvegardesDe(dossier, libelle);
    for (qsizetype i = 0; i + kSauvegardesGardees < toutes.size(); ++i)
        QFile::remove(dossier.filePath(toutes[i]));
}

}  // namespace

QString dossierSauvegardes() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/sauvegardes");
}

QString sauvegardeDuJour(const QString& dossier, const QString& libelle) {
    return QDir(dossier).filePath(nomDeFichier(libelle) + QLatin1Char('-') +
                                  orv::today().toString(QStringLiteral("yyyy-MM-dd")) + kExtension);
}

QString sauvegarderBaseDuJour(const QString& base, const QString& libelle, const QString& dossier) {
    if (orv::isPgAccountPath(base.toStdString())) return {};
    const QString cible = sauvegardeDuJour(dossier, libelle);
    if (QFile::exists(cible)) return {};
    const auto echec = [&](const QString& raison) {
        return QStringLiteral(
                   "La sauvegarde automatique de la base « %1 » n'a pas pu être faite : %2\n"
                   "Vous pouvez travailler ; faites une sauvegarde dès que possible "
                   "(orvanelle-db backup).")
            .arg(libelle, raison);
    };
    if (!orv::makePrivateFolder(dossier))
        return echec(QStringLiteral("le dossier « %1 » ne peut pas être créé.").arg(dossier));
    try {
        const orv::Hourglass sablier;
        orv::backupEmbedded(QFile::encodeName(base).toStdString(),
                            QFile::encodeName(cible).toStdString());
    } catch (const std::exception& e) {
        return echec(QString::fromUtf8(e.what()));
    }
    garderLesDernieres(QDir(dossier), libelle);
    return {};
}

}  // namespace menu
