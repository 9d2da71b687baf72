// Value rules of the selection language: numbers against texts, wildcard values, comparison
// operators. Everything works on string_views so that a scan allocates nothing per record.
#pragma once

#include <string>
#include <string_view>

namespace orv::query {

// A decimal number: optional sign, digits, optional fraction ("007", "-1.5", ".5").
bool isNumber(std::string_view text);
// Compares two texts that are both numbers by value, exactly (no floating point): -1, 0, 1.
int compareNumbers(std::string_view a, std::string_view b);

// The characters [start, start + length) of a UTF-8 text, counted in code points from 1.
std::string_view utf8Substring(std::string_view text, int start, int length);

enum class Op { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual };

// The operator written as text ("<=") and back; parseOp returns false on anything else.
bool parseOp(std::string_view text, Op& op);
const char* opText(Op op);

// A quoted value of a condition. "ABC]" begins with ABC, "[ABC" ends with ABC, "[ABC]"
// contains ABC; anything else is an exact value.
struct Pattern {
    enum class Kind { Exact, BeginsWith, EndsWith, Contains };
    Kind kind = Kind::Exact;
    std::string text;     // the value without its wildcard brackets
    std::string past;     // BeginsWith: the text after every text that begins with text
    bool number = false;  // text is a number: compared by value with numeric field values
    bool digits = false;  // text is made of digits only, like most codes ("012", "200501")

    static Pattern parse(std::string_view written);
};

// True when an operator can take the pattern: "[" values only make sense with = and <>.
bool opAcceptsPattern(Op op, const Pattern& pattern);

// Does a field value satisfy "value op pattern"?
//  - =, <> : exact match on the bytes (numbers by value), or the begins/ends/contains test on
//    the bytes, or its negation;
//  - <, <=, >, >=: numbers by value, other texts in French order (engine/collation.h);
//  - <, <= with "X]": the value compares below X, or it begins with X letter by letter (so an
//    end bound "MAR]" covers every value that begins with MAR, Mar or MÂR);
//  - >, >= with "X]": the value compares against X.
bool matches(std::string_view value, Op op, const Pattern& pattern);

}  // namespace orv::query
