// Server storage on PostgreSQL: the files of a database live in a few tables of one schema of
// a PostgreSQL database, shared by every workstation that connects to it.
#pragma once

#include <memory>
#include <string>

#include "engine/storage.h"

namespace orv {

// Where and as whom to connect. Empty fields take libpq's defaults (PGHOST, PGPORT, PGUSER,
// PGPASSWORD, ~/.pgpass).
struct PgTarget {
    std::string host;  // a host name, an address or a socket folder
    std::string port;
    std::string database;
    std::string user;
    std::string password;
    std::string schema = "orvanelle";
};

// The prefix of an account path naming a PostgreSQL database: "pg:NAME".
inline constexpr std::string_view kPgAccountPrefix = "pg:";
bool isPgAccountPath(std::string_view accountPath);
// The target of an account path "pg:NAME" on the server "HOST" or "HOST:PORT".
PgTarget pgTargetOf(std::string_view server, std::string_view accountPath);

// Connects to a database. With options.create the schema's tables are created when missing
// (the connecting role needs the right to); otherwise a database without them is refused.
std::unique_ptr<Storage> openPostgresStorage(const PgTarget& target,
                                             const StorageOptions& options = {});

// Creates the database of target (connecting to the server's "postgres" database) when it does
// not exist yet, then its schema; also the group role whose members may use the data. The
// connecting role must be allowed to create databases and roles.
void initPostgresDatabase(const PgTarget& target);

// Removes the schema of target with everything in it, and the users of its group role.
void dropPostgresSchema(const PgTarget& target);
// Removes the users of target's group role, then the whole database, closing the connections
// still open to it.
void dropPostgresDatabase(const PgTarget& target);

}  // namespace orv
