// A record seen as the list of its attributes: split in one pass and joined back byte for byte.
// For code that reads or builds every attribute of a large record, where an extract() or a
// replace() per attribute would walk the record from its start each time.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/dynarray.h"

namespace orv {

// The attributes of a text in order (none for an empty text); the views point into it.
inline std::vector<std::string_view> splitAttributes(std::string_view text) {
    std::vector<std::string_view> parts;
    if (text.empty()) return parts;
    for (size_t start = 0;;) {
        const size_t mark = text.find(kAttributeMark, start);
        parts.push_back(text.substr(start, mark == text.npos ? mark : mark - start));
        if (mark == text.npos) return parts;
        start = mark + 1;
    }
}

// The texts joined by attribute marks; `text(item)` gives each one's text.
template <class Items, class Text>
std::string joinAttributes(const Items& items, Text text) {
    std::string out;
    bool first = true;
    for (const auto& item : items) {
        if (!first) out += kAttributeMark;
        out += text(item);
        first = false;
    }
    return out;
}

inline std::string joinAttributes(const std::vector<std::string>& texts) {
    return joinAttributes(texts, [](const std::string& t) -> const std::string& { return t; });
}

}  // namespace orv
