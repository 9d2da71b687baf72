// Files of business data written by the program (exports, PDFs, print transcripts, backups) are
// the user's alone: created 0600, in folders the program makes 0700, whatever the umask says.
#pragma once

#include <QFileDevice>
#include <QString>

namespace orv {

// Makes the folder `path` with the missing folders above it, each new one 0700; folders that
// exist are left as they are. False when one cannot be made.
bool makePrivateFolder(const QString& path);

// Opens `file` (a QFile or a QSaveFile) in `mode` and gives it to its owner alone (read and
// write). False when either fails: the file may then be
// open, and is not to be written.
bool openPrivate(QFileDevice& file, QIODevice::OpenMode mode);

}  // namespace orv
