// Values of secondary indexes: each value of an indexed field is stored encoded, so that the
// plain byte order of the encoded values serves every comparison of the selection language.
//
// A number (query::isNumber) is stored in the number section, "N" followed by a form whose byte
// order is the order of values ("007", "7" and "7.0" give one encoded value); any other text in
// the text section, "K" followed by its key in French order (collation::key), so that a range
// of texts is a range of entries. Texts that differ only in their bytes share an entry: every
// condition is checked again on the records read. A condition then reads the range(s) of the
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

// The entries of texts as earlier versions wrote them, "T" followed by the bytes: an index that
// holds any is filled again when the database is opened.
IndexRange formerTextRange();

IndexRanges uniteRanges(IndexRanges a, const IndexRanges& b);
IndexRanges intersectRanges(const IndexRanges& a, const IndexRanges& b);

}  // namespace orv
