// Backups of an embedded database: a consistent copy taken while other sessions go on writing,
// its checks, and its restoring into a database in use.
#pragma once

#include <string>
#include <vector>

namespace orv {

// The format of embedded databases this program reads (SQLite's user_version of the file): a
// backup made by a later program with a newer format is refused.
inline constexpr int kEmbeddedFormatVersion = 0;

// Copies the database file `source` into a new file `target` (which must not exist), 0600:
// an image of one moment, taken while others write (SQLite's online backup, in one step, so
// that the copy is of one read transaction). The copy is written beside the target under a name
// that tells it is unfinished, checked, and renamed to `target` only once complete: a backup that
// is killed never leaves a file that looks usable. Returns the unfinished copies of earlier
// backups whose process is gone, which it removed.
std::vector<std::string> backupEmbedded(const std::string& source, const std::string& target);

// Throws DbError (InvalidArgument) with a French message when `path` is not an intact database
// of this program: not a database, damaged (integrity check), or of a newer format.
void checkBackup(const std::string& path);

// Checks the backup, then replaces the whole content of the database `target` (created when
// missing) by the backup's, in one step: sessions that have it open see the restored content.
// Nobody should be working in the database meanwhile: their update locks are not kept.
void restoreEmbedded(const std::string& backup, const std::string& target);

// The name of an unfinished copy for target, and whether a name is one (of which process).
std::string unfinishedBackupName(const std::string& target, long pid);

}  // namespace orv
