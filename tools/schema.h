// The schema every database is created with: files and dictionary items, in the exchange format.
#pragma once

#include <string>

#include "tools/jsonl.h"

namespace orv::tools {

struct CommandContext;

// The schema file: --schema when given, else the one shipped with the sources.
std::string schemaPath(const CommandContext& ctx);
// Creates every file and writes every dictionary item of the schema (existing records of the
// database are kept; dictionary items are replaced).
LoadCounts applySchema(Database& db, const std::string& path);

}  // namespace orv::tools
