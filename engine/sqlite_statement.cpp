#include "engine/sqlite_statement.h"

namespace orv::sqlite {

DbError sqliteError(int rc) {
    switch (rc & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return DbError(DbErrorCode::Busy, "La base est occupée par une autre opération");
        case SQLITE_FULL:
            return DbError(DbErrorCode::Storage, "Le disque est plein : rien n'a été écrit");
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return DbError(DbErrorCode::Storage, "La base est en lecture seule pour vous");
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return DbError(DbErrorCode::Storage,
                           "Le fichier n'est pas une base ORVANELLE ou il est endommagé");
        case SQLITE_CANTOPEN:
            return DbError(DbErrorCode::Storage, "Impossible d'ouvrir le fichier de la base");
        case SQLITE_IOERR:
            return DbError(DbErrorCode::Storage,
                           "Erreur de lecture ou d'écriture du fichier de la base");
        case SQLITE_NOMEM:
            return DbError(DbErrorCode::Storage, "Mémoire insuffisante");
        case SQLITE_TOOBIG:
            return DbError(DbErrorCode::Storage, "Enregistrement trop grand");
        default:
            return DbError(DbErrorCode::Storage, "Erreur interne de la base de données (code " +
                                                     std::to_string(rc) + ")");
    }
}

Statement& StatementCache::prepared(const std::string& sql) {
    auto it = statements_.find(sql);
    if (it == statements_.end())
        it = statements_.emplace(sql, std::make_unique<Statement>(db_, sql)).first;
    it->second->reset();
    return *it->second;
}

void StatementCache::forget(std::string_view table) {
    for (auto it = statements_.begin(); it != statements_.end();)
        it = it->first.find(table) != std::string::npos ? statements_.erase(it) : ++it;
    std::lock_guard g(lentMutex_);
    ++generation_;
    for (auto it = free_.begin(); it != free_.end();)
        it = it->first.find(table) != std::string::npos ? free_.erase(it) : ++it;
}

StatementCache::Lent StatementCache::lent(const std::string& sql) {
    std::unique_ptr<Statement> s;
    uint64_t generation = 0;
    {
        std::lock_guard g(lentMutex_);
        generation = generation_;
        if (auto it = free_.find(sql); it != free_.end()) {
            s = std::move(it->second);
            free_.erase(it);
        }
    }
    if (!s) s = std::make_unique<Statement>(db_, sql);
    return Lent(s.release(), GiveBack{this, sql, generation});
}

void StatementCache::GiveBack::operator()(Statement* s) const {
    std::unique_ptr<Statement> owned(s);
    owned->reset();  // ends its read of the database
    std::lock_guard g(cache->lentMutex_);
    if (generation == cache->generation_) cache->free_.try_emplace(sql, std::move(owned));
}

}  // namespace orv::sqlite
