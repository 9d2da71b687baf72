// Lines of the exchange format. A line that parses must come back unchanged through the line
// that dump writes for it: same file, key and record bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tools/jsonl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orv::tools;
    ExchangeLine line;
    try {
        line = parseExchangeLine(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const ExchangeError&) {
        return 0;
    }
    const std::string written = line.kind == ExchangeLine::Kind::Create
                                    ? createLine(line.file)
                                    : recordLine(line.file, line.key, line.record);
    const ExchangeLine again = parseExchangeLine(written);
    if (again.kind != line.kind || again.file != line.file || again.key != line.key ||
        !(again.record == line.record))
        std::abort();
    return 0;
}
