#include "frame/control_factory.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>
#include <QWidget>
#include <algorithm>
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

// The control metadata of a plugin file (empty when it is no control library).
QJsonObject controlMetaData(const QPluginLoader& loader) {
    const QJsonObject meta = loader.metaData();
    if (meta.value(QStringLiteral("IID")).toString() != QLatin1String(OrvControlFactory_iid))
        return {};
    return meta.value(QStringLiteral("MetaData")).toObject();
}

// The identifiers a plugin file declares, read from its metadata without loading it.
QStringList declaredIdentifiers(const QPluginLoader& loader) {
    QStringList ids;
    const QJsonArray list = controlMetaData(loader).value(QStringLiteral("identifiers")).toArray();
    for (const auto& id : list) ids << id.toString();
    return ids;
}

bool declares(const QStringList& ids, const QString& identifier) {
    return std::any_of(ids.begin(), ids.end(),
                       [&](const QString& id) { return sameIdentifier(id, identifier); });
}

// Calls `found` with each plugin file declaring the identifier, in search order, until it
// returns true.
template <class Found>
void forEachDeclaringPlugin(const QString& identifier, Found found) {
    for (const QString& folder : controlPluginFolders())
        for (const QString& file : pluginFiles(folder)) {
            QPluginLoader loader(file);
            const QStringList ids = declaredIdentifiers(loader);
            if (declares(ids, identifier) && found(loader, ids)) return;
        }
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

bool isControlInstalled(const QString& identifier) {
    bool installed = false;
    forEachDeclaringPlugin(identifier, [&](QPluginLoader&, const QStringList&) {
        installed = true;
        return true;
    });
    return installed;
}

QString controlName(const QString& identifier) {
    QString name;
    forEachDeclaringPlugin(identifier, [&](QPluginLoader& loader, const QStringList&) {
        name = controlMetaData(loader).value(QStringLiteral("name")).toString();
        return !name.isEmpty();
    });
    return name.isEmpty() ? identifier : name;
}

QString desktopEntryName(const QString& identifier) {
    return QStringLiteral("orvanelle-") + identifier.section(QLatin1Char('.'), 0, 0).toLower();
}

QWidget* createControl(const QString& identifier, QWidget* parent, QString* error) {
    QString lastProblem;
    QWidget* control = nullptr;
    forEachDeclaringPlugin(identifier, [&](QPluginLoader& loader, const QStringList& ids) {
        auto* factory = qobject_cast<ControlFactory*>(loader.instance());
        if (!factory) {
            lastProblem = loader.errorString();
            return false;
        }
        const QString exact = *std::find_if(ids.begin(), ids.end(), [&](const QString& id) {
            return sameIdentifier(id, identifier);
        });
        control = factory->create(exact, parent);
        return control != nullptr;
    });
    if (control) return control;
    if (error) {
        *error = lastProblem.isEmpty()
                     ? QStringLiteral("Le module « %1 » n'est pas installé.").arg(identifier)
                     : QStringLiteral("Le module « %1 » n'a pas pu être chargé : %2")
                           .arg(identifier, lastProblem);
    }
    return nullptr;
}

}  // namespace orv
