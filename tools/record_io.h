// Printing helpers shared by the one-shot commands and the interactive shell.
#pragma once

#include <iosfwd>
#include <string>

namespace orv {
class Database;
}

namespace orv::tools {

// The engine's own files (users and their password hashes, ...): names beginning with "ORV.".
bool isEngineFile(const std::string& file);
// Throws CommandFailure for an engine file unless the administrator asked for them
// (--engine-files).
void requireVisibleFile(const std::string& file, bool engineFiles);

// Runs a selection statement through the query operation and prints one selected record a line,
// the requested attributes separated by a tab; the values of a multi-valued attribute are joined
// by "|". The file is the statement's second word. Returns the number of records printed.
long printQuery(Database& db, const std::string& statement, const std::string& fields,
                std::ostream& out, bool engineFiles);

// The file a selection statement reads: its second word ("SSELECT ACTIVITES AVEC ...").
std::string statementFile(const std::string& statement);

// Prints the record as one JSON attrs array; throws CommandFailure when the key is missing.
void printRecord(Database& db, const std::string& file, const std::string& key, std::ostream& out,
                 bool engineFiles);

}  // namespace orv::tools
