#include "engine/query_value.h"

#include "engine/collation.h"

namespace orv::query {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(std::string_view text) {
    for (char c : text)
        if (!isDigit(c)) return false;
    return true;
}

// A number split into sign and magnitude, with the leading zeros of the integer part and the
// trailing zeros of the fraction removed, so that equal values have equal parts.
struct Decimal {
    bool negative = false;
    std::string_view integer;
    std::string_view fraction;

    bool zero() const { return integer.empty() && fraction.empty(); }
};

Decimal splitNumber(std::string_view text) {
    Decimal d;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        d.negative = text[0] == '-';
        text.remove_prefix(1);
    }
    const size_t dot = text.find('.');
    d.integer = text.substr(0, dot);
    d.fraction = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    while (!d.integer.empty() && d.integer.front() == '0') d.integer.remove_prefix(1);
    while (!d.fraction.empty() && d.fraction.back() == '0') d.fraction.remove_suffix(1);
    return d;
}

int sign(int v) { return (v > 0) - (v < 0); }

int compareMagnitudes(const Decimal& a, const Decimal& b) {
    if (a.integer.size() != b.integer.size()) return a.integer.size() < b.integer.size() ? -1 : 1;
    if (int c = a.integer.compare(b.integer)) return sign(c);
    // Without trailing zeros, a fraction that is a prefix of the other is the smaller one.
    return sign(a.fraction.compare(b.fraction));
}

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte offset of the code point numbered `index` (from 0), or the text size past the end.
size_t utf8Offset(std::string_view text, int index) {
    size_t pos = 0;
    for (int n = 0; pos < text.size() && n < index; ++n) {
        ++pos;
        while (pos < text.size() && isContinuationByte(text[pos])) ++pos;
    }
    return pos;
}

bool contains(std::string_view value, std::string_view part) {
    return value.find(part) != std::string_view::npos;
}

bool isOrdering(Op op) { return op != Op::Equal && op != Op::NotEqual; }

// The comparison of a field value with a value: numbers by value, otherwise texts in French
// order for an ordering operator and by their bytes for = and <>.
int compareWith(std::string_view value, const std::string& text, bool textIsNumber, Op op) {
    if (textIsNumber && isNumber(value)) return compareNumbers(value, text);
    return isOrdering(op) ? collation::compare(value, text) : sign(value.compare(text));
}

bool holds(Op op, int comparison) {
    switch (op) {
        case Op::Equal:
            return comparison == 0;
        case Op::NotEqual:
            return comparison != 0;
        case Op::Less:
            return comparison < 0;
        case Op::Greater:
            return comparison > 0;
        case Op::LessEqual:
            return comparison <= 0;
        case Op::GreaterEqual:
            return comparison >= 0;
    }
    return false;
}

// The text test of a wildcard value (begins with, ends with, contains).
bool wildcardHolds(std::string_view value, const Pattern& p) {
    switch (p.kind) {
        case Pattern::Kind::BeginsWith:
            return value.starts_with(p.text);
        case Pattern::Kind::EndsWith:
            return value.ends_with(p.text);
        case Pattern::Kind::Contains:
            return contains(value, p.text);
        case Pattern::Kind::Exact:
            break;
    }
    return false;
}

}  // namespace

bool isNumber(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        size_t fraction = 0;
        while (i < text.size() && isDigit(text[i])) ++i, ++fraction;
        if (fraction == 0) return false;
        digits += fraction;
    }
    return digits > 0 && i == text.size();
}

int compareNumbers(std::string_view a, std::string_view b) {
    // Codes of one width ("012" against "013"), the usual case, compare as their bytes do.
    if (a.size() == b.size() && allDigits(a) && allDigits(b)) return sign(a.compare(b));
    const Decimal da = splitNumber(a);
    const Decimal db = splitNumber(b);
    const bool negA = da.negative && !da.zero();
    const bool negB = db.negative && !db.zero();
    if (negA != negB) return negA ? -1 : 1;
    const int c = compareMagnitudes(da, db);
    return negA ? -c : c;
}

std::string_view utf8Substring(std::string_view text, int start, int length) {
    if (length <= 0) return {};
    const size_t begin = utf8Offset(text, start > 1 ? start - 1 : 0);
    const std::string_view rest = text.substr(begin);
    return rest.substr(0, utf8Offset(rest, length));
}

// Operators as written in statements.
struct OpName {
    std::string_view text;
    Op op;
};
constexpr OpName kOps[] = {{"=", Op::Equal},   {"<>", Op::NotEqual},  {"<", Op::Less},
                           {">", Op::Greater}, {"<=", Op::LessEqual}, {">=", Op::GreaterEqual}};

bool parseOp(std::string_view text, Op& op) {
    for (const OpName& o : kOps)
        if (o.text == text) {
            op = o.op;
            return true;
        }
    return false;
}

const char* opText(Op op) {
    for (const OpName& o : kOps)
        if (o.op == op) return o.text.data();
    return "?";
}

Pattern Pattern::parse(std::string_view written) {
    Pattern p;
    const bool begins = written.size() >= 1 && written.back() == ']';
    const bool ends = written.size() >= 1 && written.front() == '[';
    if (begins && ends && written.size() >= 2) {
        p.kind = Kind::Contains;
        written = written.substr(1, written.size() - 2);
    } else if (begins) {
        p.kind = Kind::BeginsWith;
        written.remove_suffix(1);
    } else if (ends) {
        p.kind = Kind::EndsWith;
        written.remove_prefix(1);
    }
    p.text = std::string(written);
    if (p.kind == Kind::BeginsWith) p.past = collation::pastPrefix(p.text);
    p.number = isNumber(p.text);
    p.digits = p.number && allDigits(p.text);
    return p;
}

bool opAcceptsPattern(Op op, const Pattern& pattern) {
    const bool endsTest =
        pattern.kind == Pattern::Kind::EndsWith || pattern.kind == Pattern::Kind::Contains;
    return !endsTest || op == Op::Equal || op == Op::NotEqual;
}

// A code of the pattern's width made of digits compares with it as its bytes do, whether both
// are taken as numbers or as texts: the shortcut of the test most conditions make.
bool sameWidthDigits(std::string_view value, const Pattern& p) {
    return p.digits && value.size() == p.text.size() && allDigits(value);
}

bool matches(std::string_view value, Op op, const Pattern& p) {
    if (p.kind == Pattern::Kind::Exact && sameWidthDigits(value, p))
        return holds(op, sign(value.compare(p.text)));
    if (p.kind == Pattern::Kind::Exact) return holds(op, compareWith(value, p.text, p.number, op));
    switch (op) {
        case Op::Equal:
            return wildcardHolds(value, p);
        case Op::NotEqual:
            return !wildcardHolds(value, p);
        case Op::Less:
        case Op::LessEqual:
            if (p.number && isNumber(value))
                return value.starts_with(p.text) || holds(op, compareNumbers(value, p.text));
            return collation::compare(value, p.past) <= 0;
        case Op::Greater:
        case Op::GreaterEqual:
            return holds(op, compareWith(value, p.text, p.number, op));
    }
    return false;
}

}  // namespace orv::query
