// Sorted record positions packed into bytes: each position after the first is written as its
// distance from the one before, seven bits per byte, the high bit set on every byte but the
// last of a distance. The first position is kept beside the bytes (it is the key of the chunk
// that holds them), so a chunk of one position is empty. Positions of one index value are
// mostly close together: a distance takes one or two bytes where a stored row took a dozen.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// The bytes of positions[1..] (positions sorted, without repeats, not empty).
inline std::string packPositions(const std::vector<int64_t>& positions) {
    std::string out;
    out.reserve(positions.size() * 2);
    for (size_t i = 1; i < positions.size(); ++i) {
        auto gap = static_cast<uint64_t>(positions[i] - positions[i - 1]);
        while (gap >= 0x80) {
            out += static_cast<char>(0x80 | (gap & 0x7F));
            gap >>= 7;
        }
        out += static_cast<char>(gap);
    }
    return out;
}

// Calls visit(position) for first, then for each position packed in bytes, in order, while
// visit returns true; false when it stopped early.
template <class Visit>
bool visitPositions(int64_t first, std::string_view bytes, Visit&& visit) {
    if (!visit(first)) return false;
    uint64_t position = static_cast<uint64_t>(first);
    uint64_t gap = 0;
    int shift = 0;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        gap |= static_cast<uint64_t>(b & 0x7F) << shift;
        if (b & 0x80) {
            shift += 7;
            continue;
        }
        position += gap;
        if (!visit(static_cast<int64_t>(position))) return false;
        gap = 0;
        shift = 0;
    }
    return true;
}

inline std::vector<int64_t> unpackPositions(int64_t first, std::string_view bytes) {
    std::vector<int64_t> out;
    out.reserve(bytes.size() + 1);
    visitPositions(first, bytes, [&](int64_t p) {
        out.push_back(p);
        return true;
    });
    return out;
}

}  // namespace orv
