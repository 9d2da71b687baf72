#include "engine/query.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <numeric>
#include <optional>

#include "engine/collation.h"
#include "engine/database.h"
#include "engine/dynarray.h"
#include "engine/index_value.h"
#include "engine/query_field.h"
#include "engine/query_parse.h"
#include "engine/storage.h"

namespace orv {

namespace {

using query::BoolTree;
using query::Field;
using query::Pattern;
using query::Test;

struct CompiledCondition {
    const Field* field = nullptr;
    BoolTree<Test> tests;
};

// --- Key range --------------------------------------------------------------------------------
// A condition "key = "ABC]"" (or an exact text key) that every selected record must meet lets
// the selection read only the keys that begin with ABC. Combining: under AND any operand's
// prefix is required (the longest is kept); under OR only what all operands share.

std::string commonPrefix(const std::string& a, const std::string& b) {
    const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return std::string(a.begin(), ia);
}

template <class Leaf, class LeafPrefix>
std::optional<std::string> requiredPrefix(const BoolTree<Leaf>& tree, const LeafPrefix& leaf) {
    using Kind = typename BoolTree<Leaf>::Kind;
    if (tree.kind == Kind::Leaf) return leaf(tree.leaf);
    std::optional<std::string> result;
    for (const auto& child : tree.children) {
        std::optional<std::string> p = requiredPrefix(child, leaf);
        if (tree.kind == Kind::Or) {
            if (!p) return std::nullopt;
            result = result ? commonPrefix(*result, *p) : *p;
        } else if (p && (!result || p->size() > result->size())) {
            result = p;
        }
    }
    return result;
}

std::optional<std::string> testPrefix(const Test& t) {
    if (t.op != query::Op::Equal) return std::nullopt;
    if (t.pattern.kind == Pattern::Kind::BeginsWith) return t.pattern.text;
    // An exact value that is a number also equals other spellings of it ("7" and "007").
    if (t.pattern.kind == Pattern::Kind::Exact && !t.pattern.number) return t.pattern.text;
    return std::nullopt;
}

std::optional<std::string> conditionPrefix(const CompiledCondition& c) {
    if (!c.field->isPlainKey()) return std::nullopt;
    return requiredPrefix(c.tests, testPrefix);
}

template <class Leaf, class Pred>
bool anyLeaf(const BoolTree<Leaf>& tree, const Pred& pred) {
    if (tree.kind == BoolTree<Leaf>::Kind::Leaf) return pred(tree.leaf);
    return std::any_of(tree.children.begin(), tree.children.end(),
                       [&](const BoolTree<Leaf>& child) { return anyLeaf(child, pred); });
}

// --- Texts a record must hold ------------------------------------------------------------------
// A store may test these before sending records. Each is exact as a necessary condition: a value
// equal to a text that is no number, or one that begins with, ends with or contains a text, lies
// in the record's bytes; a value equal to a number holds its significant digits ("7" is "007"
// and "7.0"). Other operators, the key and converted fields require nothing.

using Required = Storage::Required;

Required joined(Required::Kind kind, std::vector<Required> parts) {
    std::vector<Required> kept;
    for (Required& p : parts) {
        if (p.kind != Required::Kind::All) {
            kept.push_back(std::move(p));
        } else if (kind == Required::Kind::Or) {
            return {};  // one branch without a requirement: the whole OR has none
        }
    }
    if (kept.empty()) return {};
    if (kept.size() == 1) return std::move(kept.front());
    Required r;
    r.kind = kind;
    r.children = std::move(kept);
    return r;
}

template <class Leaf, class LeafRequired>
Required requiredOf(const BoolTree<Leaf>& tree, const LeafRequired& leaf) {
    using Kind = typename BoolTree<Leaf>::Kind;
    if (tree.kind == Kind::Leaf) return leaf(tree.leaf);
    std::vector<Required> parts;
    for (const auto& child : tree.children) parts.push_back(requiredOf(child, leaf));
    return joined(tree.kind == Kind::And ? Required::Kind::And : Required::Kind::Or,
                  std::move(parts));
}

// The part of a number that every spelling of its value holds: no sign, no leading zeros, no
// trailing zeros after the point ("-007.50" gives "7.5", "12.0" gives "12", "0" nothing).
std::string significantDigits(std::string_view number) {
    if (!number.empty() && (number[0] == '-' || number[0] == '+')) number.remove_prefix(1);
    while (!number.empty() && number[0] == '0') number.remove_prefix(1);
    if (number.find('.') != std::string_view::npos) {
        while (!number.empty() && number.back() == '0') number.remove_suffix(1);
        if (!number.empty() && number.back() == '.') number.remove_suffix(1);
    }
    return std::string(number);
}

Required testRequired(const Test& t) {
    if (t.op != query::Op::Equal) return {};
    const bool numeric = t.pattern.kind == Pattern::Kind::Exact && t.pattern.number;
    Required r;
    r.kind = Required::Kind::Contains;
    r.text = numeric ? significantDigits(t.pattern.text) : t.pattern.text;
    if (r.text.empty()) return {};
    return r;
}

Required conditionRequired(const CompiledCondition& c) {
    if (c.field->attribute() <= 0 || c.field->converted()) return {};
    return requiredOf(c.tests, testRequired);
}

// --- Indexes --------------------------------------------------------------------------------
// A condition on an indexed field names the range(s) of the index that hold the values it may
// accept: reading them gives a superset of the keys it selects. Conditions joined by AND
// intersect their key sets, conditions joined by OR unite them; the records read are then
// checked against every condition as in a scan, so the result is the same with or without
// indexes.

// Positions of records (see Storage), sorted, without repeats.
using KeySet = std::vector<int64_t>;

// The index ranges of the tests of one condition: under OR every test must have some, under AND
// one that has some is enough.
std::optional<IndexRanges> testRanges(const BoolTree<Test>& tree) {
    using Kind = BoolTree<Test>::Kind;
    if (tree.kind == Kind::Leaf) return indexRanges(tree.leaf.op, tree.leaf.pattern);
    std::optional<IndexRanges> result;
    for (const auto& child : tree.children) {
        std::optional<IndexRanges> r = testRanges(child);
        if (tree.kind == Kind::Or) {
            if (!r) return std::nullopt;
            result = result ? uniteRanges(std::move(*result), *r) : std::move(*r);
        } else if (r) {
            result = result ? intersectRanges(*result, *r) : std::move(*r);
        }
    }
    return result;
}

// The ranges of one index that the conditions on its field, joined by AND, may accept.
struct IndexScan {
    std::string field;
    IndexRanges ranges;
    int conditions = 1;

    // Likely the fewest entries first: several conditions on one field (a range between two
    // bounds), then one value, then the rest.
    int rank() const {
        if (conditions > 1) return 0;
        const bool oneValue = ranges.size() == 1 && ranges[0].to == ranges[0].from + '\0';
        return oneValue ? 1 : 2;
    }
};

KeySet intersectKeys(const KeySet& a, const KeySet& b) {
    KeySet out;
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

KeySet uniteKeys(const KeySet& a, const KeySet& b) {
    KeySet out;
    std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

// --- Record checks ----------------------------------------------------------------------------
// The usual conditions, all joined by AND, each a test (or tests joined by AND) on an
// unconverted attribute, are checked in one walk over the record: attributes in increasing
// order, equalities before ranges within one attribute, so that most records are rejected after
// reading their first bytes. A record where a tested attribute holds several values goes
// through the general evaluation.

struct RecordCheck {
    enum class Shape : unsigned char {
        Text,    // = or <> with an exact value that is not a number: the bytes
        Digits,  // an exact value of digits: byte order for a value of digits of its width
        Other,   // anything else: the general rule
    };
    int attribute = 0;
    Shape shape = Shape::Other;
    query::Op op = query::Op::Equal;
    std::string_view text;
    const Test* test = nullptr;
};

bool holdsComparison(query::Op op, int c) {
    switch (op) {
        case query::Op::Equal:
            return c == 0;
        case query::Op::NotEqual:
            return c != 0;
        case query::Op::Less:
            return c < 0;
        case query::Op::Greater:
            return c > 0;
        case query::Op::LessEqual:
            return c <= 0;
        case query::Op::GreaterEqual:
            return c >= 0;
    }
    return false;
}

bool allDigits(std::string_view v) {
    for (char c : v)
        if (c < '0' || c > '9') return false;
    return true;
}

bool passes(const RecordCheck& c, std::string_view value) {
    switch (c.shape) {
        case RecordCheck::Shape::Text:
            return holdsComparison(c.op, value.compare(c.text));
        case RecordCheck::Shape::Digits:
            if (value.size() == c.text.size() && allDigits(value))
                return holdsComparison(c.op, value.compare(c.text));
            break;
        case RecordCheck::Shape::Other:
            break;
    }
    return query::matches(value, c.test->op, c.test->pattern);
}

// Collects the leaves of a tree made of leaves and ANDs only; false when it holds an OR.
template <class Leaf>
bool andLeaves(const BoolTree<Leaf>& tree, std::vector<const Leaf*>& out) {
    using Kind = typename BoolTree<Leaf>::Kind;
    if (tree.kind == Kind::Leaf) {
        out.push_back(&tree.leaf);
        return true;
    }
    if (tree.kind == Kind::Or) return false;
    for (const auto& child : tree.children)
        if (!andLeaves(child, out)) return false;
    return true;
}

std::optional<std::vector<RecordCheck>> recordChecks(const BoolTree<CompiledCondition>& tree) {
    std::vector<const CompiledCondition*> conditions;
    if (!andLeaves(tree, conditions)) return std::nullopt;
    std::vector<RecordCheck> checks;
    for (const CompiledCondition* c : conditions) {
        if (c->field->attribute() <= 0 || c->field->converted()) return std::nullopt;
        std::vector<const Test*> tests;
        if (!andLeaves(c->tests, tests)) return std::nullopt;
        for (const Test* t : tests) {
            RecordCheck check;
            check.attribute = c->field->attribute();
            check.op = t->op;
            check.text = t->pattern.text;
            check.test = t;
            const bool equality = t->op == query::Op::Equal || t->op == query::Op::NotEqual;
            if (t->pattern.kind == Pattern::Kind::Exact)
                check.shape = t->pattern.digits                ? RecordCheck::Shape::Digits
                              : !t->pattern.number && equality ? RecordCheck::Shape::Text
                                                               : RecordCheck::Shape::Other;
            checks.push_back(check);
        }
    }
    auto rank = [](const RecordCheck& c) { return c.op == query::Op::Equal ? 0 : 1; };
    std::stable_sort(checks.begin(), checks.end(), [&](const RecordCheck& a, const RecordCheck& b) {
        if (a.attribute != b.attribute) return a.attribute < b.attribute;
        return rank(a) < rank(b);
    });
    return checks;
}

// --- Sorting ----------------------------------------------------------------------------------

// How a sort column compares its values.
enum class SortRule : unsigned char {
    Bytes,   // the key: a code, byte by byte, in the order the stores keep keys
    French,  // left-justified items and attribute numbers: French order (engine/collation.h)
    Number,  // right-justified items: see SortClass
};

struct SortColumn {
    const Field* field = nullptr;
    bool descending = false;
    SortRule rule = SortRule::Bytes;
    collation::KeyCache keys;  // of its texts, which the kept records often share
};

SortRule sortRuleOf(const Field& f) {
    if (f.sortsAsNumber()) return SortRule::Number;
    return f.sortsAsFrenchText() ? SortRule::French : SortRule::Bytes;
}

// Each kept record gets one sort key: its columns one after the other, then its key, so that
// records compare by one comparison of bytes. Each part is written so that byte order gives
// the column's order and no part is a prefix of another: a zero byte is written as 00 FF and
// the part ends with 00 00, which sorts before any byte that follows; a descending column has
// its bytes inverted.
//   Bytes:  the value.
//   French: the value's collation key, then the value (between texts of one key).
//   Number: empty values first, then numbers by value (their index encoding orders them so),
//           then the other texts in French order.

void appendSortPart(std::string& out, std::string_view part, bool descending) {
    const size_t start = out.size();
    for (size_t zero; (zero = part.find('\0')) != std::string_view::npos;) {
        out.append(part.substr(0, zero)).append("\0\xFF", 2);
        part.remove_prefix(zero + 1);
    }
    out.append(part).append(2, '\0');
    if (descending)
        for (size_t i = start; i < out.size(); ++i) out[i] = static_cast<char>(~out[i]);
}

void appendSortValue(std::string& out, std::string_view value, SortColumn& column) {
    const bool descending = column.descending;
    switch (column.rule) {
        case SortRule::Bytes:
            appendSortPart(out, value, descending);
            return;
        case SortRule::French:
            appendSortPart(out, column.keys.key(value), descending);
            appendSortPart(out, value, descending);
            return;
        case SortRule::Number:
            if (value.empty())
                appendSortPart(out, "\x01", descending);
            else if (query::isNumber(value))
                appendSortPart(out, "\x02" + encodeIndexValue(value), descending);
            else
                appendSortPart(
                    out, "\x03" + std::string(column.keys.key(value)) + '\0' + std::string(value),
                    descending);
            return;
    }
}

// --- The selection ----------------------------------------------------------------------------

class Selection {
  public:
    Selection(Database& db, const std::string& statement)
        : db_(db), parsed_(query::parseStatement(statement)) {
        file_ = parsed_.file.name;
        if (!db_.hasFile(file_))
            throw DbError(DbErrorCode::FileNotFound,
                          "Fichier « " + file_ + " » inconnu (position " +
                              std::to_string(parsed_.file.position) + " de la sélection).");
        if (parsed_.hasConditions)
            conditions_ = parsed_.conditions.map([this](const query::Condition& c) {
                return CompiledCondition{&field(c.field), c.tests};
            });
        for (const query::SortKey& k : parsed_.sortKeys) {
            const Field& f = field(k.field);
            columns_.push_back({&f, k.descending, sortRuleOf(f), {}});
        }
    }

    std::vector<std::string> run() {
        // Most records of a whole-file scan fail the conditions: their keys are only read when
        // a condition is on the key.
        const bool conditionsReadKey =
            parsed_.hasConditions &&
            anyLeaf(conditions_, [](const CompiledCondition& c) { return c.field->readsKey(); });
        // Conditions on the record alone are handed to the storage, which may test them
        // without returning the records they reject.
        Storage::RecordFilter recordTest;
        if (parsed_.hasConditions && !conditionsReadKey) {
            checks_ = recordChecks(conditions_);
            if (checks_)
                recordTest = [this](std::string_view record) { return passesChecks(record); };
            else
                recordTest = [this](std::string_view record) { return holds({}, record); };
        }
        const bool testHere = parsed_.hasConditions && conditionsReadKey;
        auto visit = [&](Storage::Row& row) {
            if (!testHere || holds(row.key(), row.record())) keep(row.key(), row.record());
            return true;
        };
        std::optional<std::string> prefix;
        if (parsed_.hasConditions) prefix = requiredPrefix(conditions_, conditionPrefix);
        if (prefix && prefix->empty()) prefix.reset();
        // A condition that only asks for keys beginning with the prefix, and no sort by a
        // field: the keys are the result, records need not be read.
        if (prefix && columns_.empty() && keyRangeDecides(*prefix)) {
            db_.storage().scanKeys(file_, *prefix, [&](std::string_view key) {
                keys_.emplace_back(key);
                return true;
            });
            return ordered();
        }
        if (!prefix && parsed_.hasConditions) indexed_ = db_.storage().indexes(file_);
        if (!prefix && !indexed_.empty()) {
            auto check = [&](Storage::Row& row) {
                return (recordTest && !recordTest(row.record())) || visit(row);
            };
            if (readIndexed(check)) return ordered();
            if (std::optional<KeySet> keys = plannedKeys(conditions_)) {
                db_.storage().readRecords(file_, *keys, check);
                return ordered();
            }
        }
        Storage::Required required;
        if (parsed_.hasConditions) required = requiredOf(conditions_, conditionRequired);
        db_.storage().scanRecords(file_, prefix, {recordTest, std::move(required)}, visit);
        return ordered();
    }

  private:
    // Whether the conditions are one test "key begins with prefix".
    bool keyRangeDecides(const std::string& prefix) const {
        using Kind = BoolTree<Test>::Kind;
        if (conditions_.kind != BoolTree<CompiledCondition>::Kind::Leaf) return false;
        const CompiledCondition& c = conditions_.leaf;
        if (!c.field->isPlainKey() || c.tests.kind != Kind::Leaf) return false;
        const Test& t = c.tests.leaf;
        return t.op == query::Op::Equal && t.pattern.kind == Pattern::Kind::BeginsWith &&
               t.pattern.text == prefix;
    }

    // The conditions on indexed fields joined by AND at the top of the statement, handed whole
    // to a storage that intersects them itself; false when it does not, or when none is on an
    // indexed field. Conditions joined otherwise are left to the checks of the records.
    bool readIndexed(const Storage::RowVisitor& visit) {
        using Kind = BoolTree<CompiledCondition>::Kind;
        std::vector<IndexScan> scans;
        if (conditions_.kind == Kind::Leaf) {
            if (std::optional<IndexScan> scan = leafScan(conditions_.leaf))
                scans.push_back(std::move(*scan));
        } else if (conditions_.kind == Kind::And) {
            scans = andScans(conditions_, nullptr);
        }
        if (scans.empty()) return false;
        std::vector<Storage::IndexCondition> conditions;
        for (const IndexScan& scan : scans) {
            Storage::IndexCondition& c = conditions.emplace_back();
            c.field = scan.field;
            for (const IndexRange& range : scan.ranges) c.ranges.push_back({range.from, range.to});
        }
        return db_.storage().readIndexed(file_, conditions, visit);
    }

    std::optional<IndexScan> leafScan(const CompiledCondition& c) const {
        if (!std::binary_search(indexed_.begin(), indexed_.end(), c.field->name()))
            return std::nullopt;
        std::optional<IndexRanges> ranges = testRanges(c.tests);
        if (!ranges) return std::nullopt;
        return IndexScan{c.field->name(), std::move(*ranges)};
    }

    std::optional<KeySet> plannedKeys(const BoolTree<CompiledCondition>& tree) {
        using Kind = BoolTree<CompiledCondition>::Kind;
        if (tree.kind == Kind::Leaf) {
            const std::optional<IndexScan> scan = leafScan(tree.leaf);
            return scan ? scannedKeys(*scan, SIZE_MAX) : std::nullopt;
        }
        if (tree.kind == Kind::Or) {
            KeySet all;
            for (const auto& child : tree.children) {
                std::optional<KeySet> keys = plannedKeys(child);
                if (!keys) return std::nullopt;
                all = uniteKeys(all, *keys);
            }
            return all;
        }
        std::vector<const BoolTree<CompiledCondition>*> groups;
        const std::vector<IndexScan> scans = andScans(tree, &groups);
        std::optional<KeySet> keys;
        for (const IndexScan& scan : scans) {
            if (keys && keys->empty()) return keys;
            if (keys) {
                // Past this many entries, checking the records costs less than the index.
                const size_t limit = db_.storage().entriesWorthOneRecord() * keys->size();
                if (auto found = scannedKeys(scan, limit, &*keys)) keys = std::move(found);
            } else {
                keys = scannedKeys(scan, SIZE_MAX);
            }
        }
        for (const auto* group : groups) {
            if (keys && keys->empty()) return keys;
            std::optional<KeySet> found = plannedKeys(*group);
            if (found) keys = keys ? intersectKeys(*keys, *found) : std::move(found);
        }
        return keys;
    }

    // The index scans of the leaves of an AND, likely the most selective first: the conditions
    // on one field narrow one scan of its index. The children that are not leaves go to groups.
    std::vector<IndexScan> andScans(const BoolTree<CompiledCondition>& tree,
                                    std::vector<const BoolTree<CompiledCondition>*>* groups) const {
        using Kind = BoolTree<CompiledCondition>::Kind;
        std::vector<IndexScan> scans;
        for (const auto& child : tree.children) {
            if (child.kind != Kind::Leaf) {
                if (groups) groups->push_back(&child);
                continue;
            }
            std::optional<IndexScan> scan = leafScan(child.leaf);
            if (!scan) continue;
            auto same = std::find_if(scans.begin(), scans.end(),
                                     [&](const IndexScan& s) { return s.field == scan->field; });
            if (same == scans.end()) {
                scans.push_back(std::move(*scan));
            } else {
                // Each condition may be met by another value of a multivalued field.
                same->ranges = uniteRanges(intersectRanges(same->ranges, scan->ranges),
                                           {severalValuesRange()});
                ++same->conditions;
            }
        }
        std::stable_sort(scans.begin(), scans.end(), [](const IndexScan& a, const IndexScan& b) {
            return a.rank() < b.rank();
        });
        return scans;
    }

    // The positions of the entries in a scan's ranges (only those of `within`, when given), or
    // nullopt when the ranges hold more than limit entries.
    std::optional<KeySet> scannedKeys(const IndexScan& scan, size_t limit,
                                      const KeySet* within = nullptr) {
        KeySet keys;
        // Entries come by value, then position: the positions of one value are sorted already,
        // and only these runs need merging. Within a run, those kept are found by walking `within`
        // alongside.
        std::vector<size_t> runs;
        std::string value;
        size_t entries = 0;
        size_t next = 0;  // in within
        bool tooMany = false;
        for (const IndexRange& range : scan.ranges) {
            db_.storage().scanIndex(
                file_, scan.field, range.from, range.to,
                [&](std::string_view v, std::span<const int64_t> positions) {
                    if (runs.empty() || v != value) {
                        runs.push_back(keys.size());
                        value.assign(v);
                        next = 0;
                    }
                    entries += positions.size();
                    tooMany = entries > limit;
                    if (!within) {
                        keys.insert(keys.end(), positions.begin(), positions.end());
                        return !tooMany;
                    }
                    for (const int64_t position : positions) {
                        while (next < within->size() && (*within)[next] < position) ++next;
                        if (next < within->size() && (*within)[next] == position)
                            keys.push_back(position);
                    }
                    return !tooMany;
                });
            if (tooMany) return std::nullopt;
        }
        mergeRuns(keys, runs);
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        return keys;
    }

    // Sorts positions made of sorted runs starting at the given indexes, merging runs two by two.
    static void mergeRuns(KeySet& keys, std::vector<size_t> runs) {
        while (runs.size() > 1) {
            std::vector<size_t> merged;
            for (size_t i = 0; i < runs.size(); i += 2) {
                merged.push_back(runs[i]);
                if (i + 1 == runs.size()) break;
                const size_t end = i + 2 < runs.size() ? runs[i + 2] : keys.size();
                std::inplace_merge(keys.begin() + static_cast<std::ptrdiff_t>(runs[i]),
                                   keys.begin() + static_cast<std::ptrdiff_t>(runs[i + 1]),
                                   keys.begin() + static_cast<std::ptrdiff_t>(end));
            }
            runs = std::move(merged);
        }
    }

    // Fields are resolved once per name, so that translate caches are shared.
    const Field& field(const query::FieldRef& ref) {
        for (const auto& f : fields_)
            if (f->name() == ref.name) return *f;
        fields_.push_back(
            std::make_unique<Field>(Field::resolve(db_, file_, ref.name, ref.position)));
        return *fields_.back();
    }

    bool holds(std::string_view key, std::string_view record) const {
        return conditions_.eval([&](const CompiledCondition& c) {
            auto test = [&](std::string_view value) {
                return c.tests.eval(
                    [&](const Test& t) { return query::matches(value, t.op, t.pattern); });
            };
            if (const auto value = c.field->singleValue(key, record)) return test(*value);
            return c.field->anyValue(key, record, test);
        });
    }

    // The record checks in one walk over the record; the general evaluation decides when a
    // tested attribute holds several values.
    bool passesChecks(std::string_view record) const {
        const char* const data = record.data();
        const size_t size = record.size();
        int attribute = 0;  // the attribute whose text is [begin, end); 0: none yet
        size_t begin = 0;
        size_t end = 0;
        bool single = true;
        for (const RecordCheck& c : *checks_) {
            if (c.attribute != attribute) {
                while (attribute < c.attribute) {
                    // Past the record's end every attribute is empty: jump to the one asked.
                    if (attribute > 0 && end >= size) {
                        begin = end = size;
                        attribute = c.attribute;
                        break;
                    }
                    begin = attribute == 0 ? 0 : end + 1;
                    const void* mark = begin < size
                                           ? std::memchr(data + begin, kAttributeMark, size - begin)
                                           : nullptr;
                    end = mark ? static_cast<size_t>(static_cast<const char*>(mark) - data) : size;
                    ++attribute;
                }
                single = true;
                for (size_t i = begin; i < end; ++i)
                    if (data[i] == kValueMark || data[i] == kSubvalueMark) single = false;
            }
            if (!single) return holds({}, record);
            if (!passes(c, std::string_view(data + begin, end - begin))) return false;
        }
        return true;
    }

    void keep(std::string_view key, std::string_view record) {
        keys_.emplace_back(key);
        if (columns_.empty()) return;
        for (SortColumn& c : columns_)
            appendSortValue(sortBytes_, c.field->firstValue(key, record), c);
        appendSortPart(sortBytes_, key, false);
        sortEnds_.push_back(sortBytes_.size());
    }

    std::string_view sortKey(size_t i) const {
        const size_t begin = i == 0 ? 0 : sortEnds_[i - 1];
        return std::string_view(sortBytes_).substr(begin, sortEnds_[i] - begin);
    }

    // SELECT without a sort keeps the order records were read in; SSELECT without one sorts
    // by key; any sort ends with the key, ascending, to break ties.
    std::vector<std::string> ordered() {
        if (columns_.empty()) {
            // Keys read from a key range come sorted already.
            if (parsed_.sorted && !std::is_sorted(keys_.begin(), keys_.end()))
                std::sort(keys_.begin(), keys_.end());
            return std::move(keys_);
        }
        std::vector<size_t> order(keys_.size());
        std::iota(order.begin(), order.end(), size_t{0});
        std::sort(order.begin(), order.end(),
                  [this](size_t a, size_t b) { return sortKey(a) < sortKey(b); });
        std::vector<std::string> out;
        out.reserve(order.size());
        for (size_t i : order) out.push_back(std::move(keys_[i]));
        return out;
    }

    Database& db_;
    query::ParsedStatement parsed_;
    std::string file_;
    std::vector<std::unique_ptr<Field>> fields_;
    BoolTree<CompiledCondition> conditions_;
    std::optional<std::vector<RecordCheck>> checks_;
    std::vector<SortColumn> columns_;
    std::vector<std::string> keys_;
    std::string sortBytes_;             // the sort keys of the kept records, one after the other
    std::vector<size_t> sortEnds_;      // where each ends in sortBytes_
    std::vector<std::string> indexed_;  // the indexed fields of the file, sorted
};

}  // namespace

std::vector<std::string> runSelection(Database& db, const std::string& statement) {
    return Selection(db, statement).run();
}

}  // namespace orv
