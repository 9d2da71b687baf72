// The exchange format of orvanelle-db: one JSON object a line.
//   {"file":"ASSOCIATION","key":"007","attrs":["ADOM 7",["a","b"],[["x","y"],"z"]]}
//   {"create":"ASSOCIATION"}
// attrs lists attributes 1..n; an attribute is a string, or an array of values when it holds
// marks; a value is a string, or an array of subvalue strings when it holds subvalue marks.
// The compact form is always written: a plain string wherever there is no mark.
// A key, file name, attribute, value or subvalue whose bytes are not valid UTF-8 (any client may
// store such bytes) is written as an object holding its bytes in hexadecimal,
//   {"bytes":"e9c3ff"}
// so that every stored record goes through dump and load byte for byte.
#pragma once

#include <QJsonArray>

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>

#include "engine/dynarray.h"

namespace orv {
class Database;
}

namespace orv::tools {

// A line that cannot be understood; the message is in French and names no line number (the
// caller adds it).
class ExchangeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct ExchangeLine {
    enum class Kind { Record, Create };
    Kind kind = Kind::Record;
    std::string file;
    std::string key;  // records only
    DynArray record;  // records only
};

// Parses one non-blank line. Throws ExchangeError.
ExchangeLine parseExchangeLine(std::string_view line);
// Parses a JSON attrs array (the text of one array, blanks allowed around it).
DynArray parseAttrsText(std::string_view text);
DynArray recordFromAttrs(const QJsonArray& attrs);

// A JSON string literal, quotes included; bytes above 0x7F are written as they are (UTF-8).
std::string jsonString(std::string_view text);
// jsonString for valid UTF-8, else the {"bytes":"..."} object.
std::string jsonText(std::string_view text);
bool isValidUtf8(std::string_view text);
// The compact attrs array of a record.
std::string attrsJson(const DynArray& record);
std::string recordLine(const std::string& file, const std::string& key, const DynArray& record);
std::string createLine(const std::string& file);

// Loads an exchange stream into the database as one transaction: on the first bad line nothing
// is written and CommandFailure names the source and the line. A record line whose file does not
// exist is a bad line, and so is a line for an engine file (ORV.*) unless engineFiles. Returns
// the number of records written.
struct LoadCounts {
    long files = 0;
    long records = 0;
};
LoadCounts loadExchange(Database& db, std::istream& in, const std::string& source,
                        bool engineFiles = false);

// Writes the records of one file, in key order.
void dumpFile(Database& db, const std::string& file, std::ostream& out);

}  // namespace orv::tools
