#include <fcntl.h>
#include <signal.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "engine/backup.h"
#include "engine/errors.h"
#include "engine/sqlite_statement.h"

namespace orv {

namespace {

using sqlite::sqliteError;
using sqlite::Statement;

constexpr const char* kUnfinishedMarker = ".incomplete-";
constexpr auto kBusyWait = std::chrono::seconds(30);

class Connection {
  public:
    Connection(const std::string& path, int flags) {
        const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_close(db_);
            throw DbError(DbErrorCode::Storage, "Impossible d'ouvrir la base « " + path + " »");
        }
        sqlite3_busy_timeout(db_, static_cast<int>(std::chrono::milliseconds(kBusyWait).count()));
    }
    ~Connection() { sqlite3_close(db_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    sqlite3* raw() { return db_; }
    void exec(const std::string& sql) {
        const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) throw sqliteError(rc);
    }

  private:
    sqlite3* db_ = nullptr;
};

// Copies every page of `from` into `to` in one step, waiting while another connection holds
// what the copy needs.
void copyPages(Connection& from, Connection& to) {
    sqlite3_backup* b = sqlite3_backup_init(to.raw(), "main", from.raw(), "main");
    if (!b) throw sqliteError(sqlite3_errcode(to.raw()));
    const auto end = std::chrono::steady_clock::now() + kBusyWait;
    int rc;
    while ((rc = sqlite3_backup_step(b, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (std::chrono::steady_clock::now() > end) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE) throw sqliteError(rc);
}

void refuse(const std::string& path, const std::string& why) {
    throw DbError(DbErrorCode::InvalidArgument, "« " + path + " » " + why);
}

void checkConnection(Connection& c, const std::string& path) {
    try {
        Statement tables(c.raw(),
                         "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                         "('orv_files', 'orv_locks')");
        tables.step();
        if (tables.integer(0) != 2) refuse(path, "n'est pas une base Orvanelle");
        Statement version(c.raw(), "PRAGMA user_version");
        version.step();
        if (version.integer(0) > kEmbeddedFormatVersion)
            refuse(path, "vient d'une version plus récente du programme");
        Statement integrity(c.raw(), "PRAGMA integrity_check(1)");
        if (!integrity.step() || integrity.text(0) != "ok")
            refuse(path, "est endommagée (contrôle d'intégrité)");
    } catch (const DbError& e) {
        if (e.code() == DbErrorCode::InvalidArgument) throw;
        refuse(path, "est endommagée ou n'est pas une base Orvanelle");
    }
}

bool processGone(long pid) { return pid <= 0 || (kill(pid, 0) != 0 && errno == ESRCH); }

// Removes the unfinished copies beside target whose process is gone.
std::vector<std::string> removeAbandonedCopies(const std::string& target) {
    namespace fs = std::filesystem;
    const fs::path t(target);
    const std::string prefix = t.filename().string() + kUnfinishedMarker;
    std::vector<std::string> removed;
    std::error_code ec;
    for (const auto& entry :
         fs::directory_iterator(t.parent_path().empty() ? "." : t.parent_path(), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0) continue;
        char* end = nullptr;
        const long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
        if (!processGone(pid)) continue;
        if (fs::remove(entry.path(), ec)) removed.push_back(entry.path().string());
    }
    return removed;
}

}  // namespace

std::string unfinishedBackupName(const std::string& target, long pid) {
    return target + kUnfinishedMarker + std::to_string(pid);
}

std::vector<std::string> backupEmbedded(const std::string& source, const std::string& target) {
    if (access(target.c_str(), F_OK) == 0)
        throw DbError(DbErrorCode::FileExists, "La sauvegarde « " + target + " » existe déjà");
    std::vector<std::string> removed = removeAbandonedCopies(target);
    Connection from(source, SQLITE_OPEN_READONLY);
    const std::string copy = unfinishedBackupName(target, getpid());
    const int fd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        throw DbError(DbErrorCode::Storage, "Impossible de créer la sauvegarde « " + target + " »");
    ::close(fd);
    try {
        {
            Connection to(copy, SQLITE_OPEN_READWRITE);
            copyPages(from, to);
            to.exec("PRAGMA journal_mode=DELETE");  // one self-contained file
            checkConnection(to, target);
        }
        const int out = ::open(copy.c_str(), O_RDONLY | O_CLOEXEC);
        if (out < 0 || fsync(out) != 0) {
            if (out >= 0) ::close(out);
            throw DbError(DbErrorCode::Storage,
                          "Écriture de la sauvegarde « " + target + " » impossible");
        }
        ::close(out);
        // link, not rename: a backup that appeared meanwhile under the name is not replaced.
        if (link(copy.c_str(), target.c_str()) != 0)
            throw DbError(DbErrorCode::FileExists, "La sauvegarde « " + target + " » existe déjà");
    } catch (...) {
        unlink(copy.c_str());
        throw;
    }
    unlink(copy.c_str());
    return removed;
}

void checkBackup(const std::string& path) {
    if (access(path.c_str(), R_OK) != 0) refuse(path, "est introuvable ou illisible");
    Connection c(path, SQLITE_OPEN_READONLY);
    checkConnection(c, path);
}

void restoreEmbedded(const std::string& backup, const std::string& target) {
    checkBackup(backup);
    Connection from(backup, SQLITE_OPEN_READONLY);
    if (access(target.c_str(), F_OK) != 0) {
        const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) ::close(fd);
    }
    Connection to(target, SQLITE_OPEN_READWRITE);
    copyPages(from, to);
    // The locks of the moment of the backup name sessions of then.
    to.exec("DELETE FROM orv_locks");
    to.exec("PRAGMA journal_mode=WAL");
}

}  // namespace orv
