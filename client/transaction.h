// One transaction of a client database: the writes of a change (records, users) are all kept,
// or none of them when the change throws.
#pragma once

#include <functional>

namespace dba {

class Database;

// Runs work as one transaction of the database's session; a failure rolls everything back and
// goes on (engine errors as the client's errors, other exceptions as they are).
void Transaction(Database& db, const std::function<void()>& work);

}  // namespace dba
