// Selection statements: parsed, then run on a small database. A statement may be refused with a
// DbError; anything else (a crash, a hang, another exception) is a finding.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/errors.h"
#include "fuzz/fuzz_database.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const auto db = orv::fuzz::fuzzDatabase();
    const std::string statement(reinterpret_cast<const char*>(data), size);
    try {
        db->select(statement);
    } catch (const orv::DbError&) {
    }
    return 0;
}
