// What the storage back ends share: file-name folding and display, the host name, plain scans
// served by the back end's own record scan.
#pragma once

#include <string>
#include <string_view>

#include "engine/storage.h"

namespace orv {

// Upper case of the ASCII and Latin-1 letters: file names are unique without regard to case,
// and users read "Été" and "ÉTÉ" as one name too.
std::string foldCase(std::string_view name);
// A name as it may be shown: control characters become "?".
std::string printable(std::string_view name);
// The message refusing a file name that isValidFileName rejects.
std::string invalidFileNameMessage(std::string_view name);
// The message refusing a file whose name differs from an existing one only by case.
std::string fileExistsMessage(const std::string& existing, const std::string& asked);
// The smallest text greater than every text that begins with prefix (empty: none).
std::string prefixUpperBound(std::string prefix);
// The error for an index a file does not have.
[[noreturn]] void throwMissingIndex(const std::string& file, const std::string& field);
std::string hostName();

// A storage whose record scan also serves the plain scans.
class RecordScanStorage : public Storage {
  public:
    void scan(const std::string& file, const Visitor& visit) override {
        scanRecords(file, std::nullopt, {},
                    [&](Row& row) { return visit(row.key(), row.record()); });
    }
    void scanPrefix(const std::string& file, const std::string& prefix,
                    const Visitor& visit) override {
        scanRecords(file, prefix, {}, [&](Row& row) { return visit(row.key(), row.record()); });
    }
};

}  // namespace orv
