#include "engine/query.h"

#include "engine/database.h"

namespace orv {

std::vector<std::string> runSelection(Database&, const std::string& statement) {
    throw DbError(DbErrorCode::QuerySyntax, "Sélection non disponible : " + statement);
}

}  // namespace orv
