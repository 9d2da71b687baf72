#include "engine/index_value.h"

#include <algorithm>
#include <cstdint>

#include "engine/collation.h"
#include "engine/storage_common.h"

namespace orv {

namespace {

using query::Op;
using query::Pattern;

constexpr char kNumbers = 'N';
constexpr char kTexts = 'K';
constexpr char kFormerTexts = 'T';
// Classes of numbers inside their section, in value order.
constexpr char kNegative = '\x01';
constexpr char kZero = '\x02';
constexpr char kPositive = '\x03';
constexpr char kAfterPositive = '\x04';
// Ends the digits of a negative number: above every digit, so that -0.12 comes after -0.123.
constexpr char kNegativeEnd = '\xFF';
// Numbers that begin with given digits are looked for up to this many more integer digits;
// longer ones are all taken.
constexpr int kPrefixDigits = 24;

std::string section(char tag) { return std::string(1, tag); }
std::string sectionEnd(char tag) { return std::string(1, static_cast<char>(tag + 1)); }

// The next value after v in byte order.
std::string justAfter(std::string v) { return v + '\0'; }

void appendExponent(std::string& out, int64_t exponent, bool negative) {
    auto biased = static_cast<uint32_t>(exponent + 0x80000000LL);
    if (negative) biased = ~biased;
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((biased >> shift) & 0xFF);
}

// The start of the positive numbers with `exponent` integer digits.
std::string positiveWithExponent(int64_t exponent) {
    std::string out = section(kNumbers) + kPositive;
    appendExponent(out, exponent, false);
    return out;
}

// A number as 0.DIGITS x 10^exponent, without leading or trailing zeros in DIGITS.
std::string encodeNumber(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    const size_t dot = text.find('.');
    std::string_view integer = text.substr(0, dot);
    std::string_view fraction = dot == std::string_view::npos ? "" : text.substr(dot + 1);
    while (!integer.empty() && integer.front() == '0') integer.remove_prefix(1);
    int64_t exponent = static_cast<int64_t>(integer.size());
    std::string digits(integer);
    if (digits.empty()) {
        while (!fraction.empty() && fraction.front() == '0') {
            fraction.remove_prefix(1);
            --exponent;
        }
    }
    digits += fraction;
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    std::string out = section(kNumbers);
    if (digits.empty()) return out + kZero;
    out += negative ? kNegative : kPositive;
    appendExponent(out, exponent, negative);
    if (!negative) return out + digits;
    for (char d : digits) out += static_cast<char>('0' + ('9' - d));
    return out + kNegativeEnd;
}

std::string encodeText(std::string_view text) { return section(kTexts) + collation::key(text); }

// The values of one section that compare with `point` (an encoded value of that section) as op
// asks. Texts of one key may still differ by their bytes: a strict comparison keeps the point.
IndexRanges compared(char tag, const std::string& point, Op op) {
    const bool keepPoint = tag == kTexts;
    switch (op) {
        case Op::Equal:
            return {{point, justAfter(point)}};
        case Op::Less:
            return {{section(tag), keepPoint ? justAfter(point) : point}};
        case Op::LessEqual:
            return {{section(tag), justAfter(point)}};
        case Op::Greater:
            return {{keepPoint ? point : justAfter(point), sectionEnd(tag)}};
        case Op::GreaterEqual:
            return {{point, sectionEnd(tag)}};
        case Op::NotEqual:
            break;
    }
    return {};
}

IndexRanges wholeSection(char tag) { return {{section(tag), sectionEnd(tag)}}; }

// What "value op text" accepts when it compares numbers by value only when text is a number.
IndexRanges plainComparison(Op op, const std::string& text, bool textIsNumber) {
    const IndexRanges texts = compared(kTexts, encodeText(text), op);
    if (textIsNumber) {
        const IndexRanges numbers = compared(kNumbers, encodeNumber(text), op);
        // A text that is not a number never equals one that is.
        return op == Op::Equal ? numbers : uniteRanges(numbers, texts);
    }
    // A number equals no text that is not one; otherwise it compares as text, in any order.
    return op == Op::Equal ? texts : uniteRanges(texts, wholeSection(kNumbers));
}

// The numbers whose text may begin with prefix.
IndexRanges numbersBeginningWith(const std::string& prefix) {
    const bool digits = !prefix.empty() && std::all_of(prefix.begin(), prefix.end(),
                                                       [](char c) { return c >= '0' && c <= '9'; });
    if (!digits) {
        const bool mayStartNumber = prefix.find_first_not_of("0123456789+-.") == std::string::npos;
        return mayStartNumber ? wholeSection(kNumbers) : IndexRanges{};
    }
    const std::string significant = prefix.substr(prefix.find_first_not_of('0') == std::string::npos
                                                      ? prefix.size()
                                                      : prefix.find_first_not_of('0'));
    if (significant.empty())  // zeros: any number that is not negative
        return {{section(kNumbers) + kZero, sectionEnd(kNumbers)}};
    // With n more integer digits the value has size(significant) + n of them, and its digits
    // begin with the significant ones (trailing zeros aside).
    std::string lowest = significant;
    while (lowest.back() == '0') lowest.pop_back();
    const std::string above = prefixUpperBound(significant);
    IndexRanges ranges;
    const auto first = static_cast<int64_t>(significant.size());
    for (int64_t e = first; e <= first + kPrefixDigits; ++e)
        ranges.push_back({positiveWithExponent(e) + lowest, positiveWithExponent(e) + above});
    ranges.push_back(
        {positiveWithExponent(first + kPrefixDigits + 1), section(kNumbers) + kAfterPositive});
    return ranges;
}

}  // namespace

std::string encodeIndexValue(std::string_view value) {
    return query::isNumber(value) ? encodeNumber(value) : encodeText(value);
}

IndexRange formerTextRange() { return {section(kFormerTexts), sectionEnd(kFormerTexts)}; }

std::optional<IndexRanges> indexRanges(Op op, const Pattern& p) {
    if (op == Op::NotEqual) return std::nullopt;
    switch (p.kind) {
        case Pattern::Kind::Exact:
            return plainComparison(op, p.text, p.number);
        case Pattern::Kind::BeginsWith: {
            // The texts that begin with the text letter by letter (see collation::pastPrefix)
            // hold those that begin with its bytes.
            const IndexRanges texts =
                p.text.empty() ? wholeSection(kTexts)
                               : IndexRanges{{encodeText(p.text), justAfter(encodeText(p.past))}};
            const IndexRanges beginning = uniteRanges(texts, numbersBeginningWith(p.text));
            if (op == Op::Equal) return beginning;
            const IndexRanges compare = plainComparison(op, p.text, p.number);
            // "<" and "<=" also take every value that begins with the text.
            return op == Op::Less || op == Op::LessEqual ? uniteRanges(compare, beginning)
                                                         : compare;
        }
        case Pattern::Kind::EndsWith:
        case Pattern::Kind::Contains:
            break;
    }
    return std::nullopt;
}

IndexRange severalValuesRange() {
    const std::string several(kSeveralValues);
    return {several, justAfter(several)};
}

IndexRanges uniteRanges(IndexRanges a, const IndexRanges& b) {
    a.insert(a.end(), b.begin(), b.end());
    std::sort(a.begin(), a.end(),
              [](const IndexRange& x, const IndexRange& y) { return x.from < y.from; });
    IndexRanges out;
    for (IndexRange& r : a) {
        if (r.from >= r.to) continue;
        if (!out.empty() && r.from <= out.back().to)
            out.back().to = std::max(out.back().to, r.to);
        else
            out.push_back(std::move(r));
    }
    return out;
}

IndexRanges intersectRanges(const IndexRanges& a, const IndexRanges& b) {
    IndexRanges out;
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const std::string& from = std::max(a[i].from, b[j].from);
        const std::string& to = std::min(a[i].to, b[j].to);
        if (from < to) out.push_back({from, to});
        (a[i].to < b[j].to) ? ++i : ++j;
    }
    return out;
}

}  // namespace orv
