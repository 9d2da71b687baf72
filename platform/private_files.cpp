#include "platform/private_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace orv {

namespace {

constexpr QFileDevice::Permissions kOwnerFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions kOwnerFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

}  // namespace

bool makePrivateFolder(const QString& path) {
    QStringList missing;
    for (QFileInfo folder(QDir::cleanPath(QDir(path).absolutePath())); !folder.exists();
         folder = QFileInfo(folder.absolutePath())) {
        missing.prepend(folder.absoluteFilePath());
        if (folder.isRoot()) break;
    }
    for (const QString& folder : missing)
        if (!QDir().mkdir(folder, kOwnerFolder) && !QFileInfo(folder).isDir()) return false;
    return QFileInfo(path).isDir();
}

bool openPrivate(QFileDevice& file, QIODevice::OpenMode mode) {
    // A new plain file is made 0600 at once; a save file's temporary copy, and a file that was
    // there before, are narrowed before anything is written.
    auto* plain = qobject_cast<QFile*>(&file);
    const bool opened = plain ? plain->open(mode, kOwnerFile) : file.open(mode);
    return opened && file.setPermissions(kOwnerFile);
}

}  // namespace orv
