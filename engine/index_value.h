// Values of secondary indexes: each value of an indexed field is stored encoded, so that the
// plain byte order of the encoded values serves every comparison of the selection language.
//
// A number (query::isNumber) is stored in the number section, "N" followed by a form whose byte
// order is the order of values ("007", "7" and "7.0" give one encoded value); any other text in
// the text section, "T" followed by its bytes. A condition then reads the range(s) of the
// section(s) that hold the values it may accept.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/query_value.h"

namespace orv {

std::string encodeIndexValue(std::string_view value);

// The entry a record also has when its field holds several different values. Conditions on one
// field joined by AND may each be met by another value of such a record: reading the
// intersection of their ranges, the planner reads the records of this section too.
inline constexpr std::string_view kSeveralValues = "M";

// Encoded values v with from <= v < to (byte order).
struct IndexRange {
    std::string from;
    std::string to;
};
// Sorted, without overlaps.
using IndexRanges = std::vector<IndexRange>;

// The ranges that hold every value for which query::matches(value, op, pattern) may be true
// (they may hold more); nullopt when the test cannot be served by an index ("<>", ends-with,
// contains).
std::optional<IndexRanges> indexRanges(query::Op op, const query::Pattern& pattern);

// The range that holds only kSeveralValues.
IndexRange severalValuesRange();

IndexRanges uniteRanges(IndexRanges a, const IndexRanges& b);
IndexRanges intersectRanges(const IndexRanges& a, const IndexRanges& b);

}  // namespace orv
