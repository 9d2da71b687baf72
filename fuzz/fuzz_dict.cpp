// Dictionary items: the input is the text of an item of "DICT T" (attributes separated by the
// byte 0xFE), written and then used by a condition and a sort.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/errors.h"
#include "fuzz/fuzz_database.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const auto db = orv::fuzz::fuzzDatabase();
    const orv::DynArray item(std::string(reinterpret_cast<const char*>(data), size));
    try {
        db->write("DICT T", "Essai", item);
        db->select("SELECT T AVEC Essai = \"A]\" OR Essai <> \"[B\"");
        db->select("SSELECT T PAR Essai PAR-DECR Essai");
    } catch (const orv::DbError&) {
    }
    try {
        db->remove("DICT T", "Essai");
    } catch (const orv::DbError&) {
    }
    return 0;
}
