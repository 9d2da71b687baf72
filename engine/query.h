// The selection language: "SSELECT"/"SELECT" FILE, conditions introduced by "AVEC" and joined
// by "AND"/"OR", sort keys introduced by "PAR"/"PAR-DECR".
#pragma once

#include <string>
#include <vector>

namespace orv {

class Database;

// Runs a selection statement and returns the selected keys in selection order. A statement that
// does not parse, an unknown file or an unknown dictionary name throws DbError saying what and
// where.
std::vector<std::string> runSelection(Database& db, const std::string& statement);

}  // namespace orv
