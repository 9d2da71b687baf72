// The server routines whose bodies are ours, registered with a database's routine registry by
// whoever opens it: the client, orvanelle-db and the tests, each with one call.
#pragma once

namespace orv {
class Database;
}

namespace orv::routines {

// "DBA.SELECT", "DATE.FORMAT", "CALCNBJOURABSENCE" and "EDITEMPLOITEMPS".
void registerAll(Database& db);

}  // namespace orv::routines
