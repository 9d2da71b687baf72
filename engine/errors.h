// Errors of the database engine. Each carries a code that the client layer maps onto the
// error numbers its callers test (record not found, locked record, ...).
#pragma once

#include <stdexcept>
#include <string>

namespace orv {

enum class DbErrorCode {
    RecordNotFound,
    FileNotFound,
    FileExists,
    RecordLocked,
    QuerySyntax,
    UnknownField,
    UnknownRoutine,
    RoutineFailed,
    Authentication,
    Storage,
    InvalidArgument,
    Busy,  // another operation holds the database for longer than a user waits
    UserExists,
};

class DbError : public std::runtime_error {
  public:
    DbError(DbErrorCode code, const std::string& message)
        : std::runtime_error(message), code_(code) {}
    DbErrorCode code() const { return code_; }

  private:
    DbErrorCode code_;
};

}  // namespace orv
