#include "frame/control_factory.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>
#include <QWidget>
#include <map>

#include "client/install_paths.h"
#include "frame/library_objects.h"

namespace orv {

namespace {

QStringList pluginFiles(const QString& folder) {
    QStringList files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.so")}, QDir::Files, QDir::Name))
        files << dir.absoluteFilePath(name);
    return files;
}

// The identifiers a plugin file declares, read from its metadata without loading it.
QStringList declaredIdentifiers(const QPluginLoader& loader) {
    const QJsonObject meta = loader.metaData();
    if (meta.value(QStringLiteral("IID")).toString() != QLatin1String(OrvControlFactory_iid))
        return {};
    QStringList ids;
    const QJsonArray list = meta.value(QStringLiteral("MetaData"))
                                .toObject()
                                .value(QStringLiteral("identifiers"))
                                .toArray();
    for (const auto& id : list) ids << id.toString();
    return ids;
}

}  // namespace

bool sameIdentifier(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

LibraryObjects& libraryObjects(const QString& library) {
    // Node-based: a holder never moves once handed out.
    static std::map<QString, LibraryObjects> holders;
    return holders[library];
}

QStringList controlPluginFolders() {
    QStringList folders;
    const QString env = qEnvironmentVariable("ORVANELLE_PLUGIN_PATH");
    for (const QString& f : env.split(QLatin1Char(':'), Qt::SkipEmptyParts)) folders << f;
    if (runsInstalled()) {
        // An installed program loads only its installed plugins.
        if (const QString installed = installedPluginDir(); !installed.isEmpty())
            folders << installed;
    } else {
        if (QCoreApplication::instance()) folders << QCoreApplication::applicationDirPath();
        folders << QStringLiteral(ORV_PLUGIN_DIR);
    }
    folders.removeDuplicates();
    return folders;
}

QWidget* createControl(const QString& identifier, QWidget* parent, QString* error) {
    QString lastProblem;
    for (const QString& folder : controlPluginFolders()) {
        for (const QString& file : pluginFiles(folder)) {
            QPluginLoader loader(file);
            const QStringList ids = declaredIdentifiers(loader);
            const bool declared = std::any_of(ids.begin(), ids.end(), [&](const QString& id) {
                return sameIdentifier(id, identifier);
            });
            if (!declared) continue;
            auto* factory = qobject_cast<ControlFactory*>(loader.instance());
            if (!factory) {
                lastProblem = loader.errorString();
                continue;
            }
            const QString exact = *std::find_if(ids.begin(), ids.end(), [&](const QString& id) {
                return sameIdentifier(id, identifier);
            });
            if (QWidget* control = factory->create(exact, parent)) return control;
        }
    }
    if (error) {
        *error = lastProblem.isEmpty()
                     ? QStringLiteral("Le module « %1 » n'est pas installé.").arg(identifier)
                     : QStringLiteral("Le module « %1 » n'a pas pu être chargé : %2")
                           .arg(identifier, lastProblem);
    }
    return nullptr;
}

}  // namespace orv
