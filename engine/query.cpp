#include "engine/query.h"

#include <algorithm>
#include <numeric>
#include <optional>

#include "engine/database.h"
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

// --- Sorting ----------------------------------------------------------------------------------

// How a sort column compares its values.
enum class SortRule : unsigned char {
    Bytes,   // the key and bare attribute numbers: codes, byte by byte
    French,  // left-justified items: French alphabetical order, then byte by byte
    Number,  // right-justified items: see SortClass
};

struct SortColumn {
    const Field* field = nullptr;
    bool descending = false;
    SortRule rule = SortRule::Bytes;
};

SortRule sortRuleOf(const Field& f) {
    if (f.sortsAsNumber()) return SortRule::Number;
    return f.sortsAsFrenchText() ? SortRule::French : SortRule::Bytes;
}

// Right-justified items sort as numbers: empty values first, then numbers by value, then the
// other texts in text order.
enum SortClass : unsigned char { kEmpty, kNumber, kText };

SortClass sortClassOf(std::string_view v) {
    return v.empty() ? kEmpty : query::isNumber(v) ? kNumber : kText;
}

// The sort value of one record in one column, with what its rule compares computed once.
struct SortValue {
    std::string text;
    std::string folded;  // French rule only: the primary key
    SortClass cls = kText;
};

SortValue makeSortValue(std::string text, SortRule rule) {
    SortValue v;
    v.text = std::move(text);
    if (rule == SortRule::French) v.folded = query::frenchFold(v.text);
    if (rule == SortRule::Number) v.cls = sortClassOf(v.text);
    return v;
}

int compareSortValues(const SortValue& a, const SortValue& b, SortRule rule) {
    if (rule == SortRule::French) {
        // Accents and case only decide between texts that are otherwise equal.
        if (int c = query::compareText(a.folded, b.folded)) return c;
        return query::compareText(a.text, b.text);
    }
    if (rule == SortRule::Bytes) return query::compareText(a.text, b.text);
    if (a.cls != b.cls) return a.cls < b.cls ? -1 : 1;
    return a.cls == kNumber ? query::compareNumbers(a.text, b.text)
                            : query::compareText(a.text, b.text);
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
            columns_.push_back({&f, k.descending, sortRuleOf(f)});
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
        if (parsed_.hasConditions && !conditionsReadKey)
            recordTest = [this](std::string_view record) { return holds({}, record); };
        const bool testHere = parsed_.hasConditions && conditionsReadKey;
        auto visit = [&](Storage::Row& row) {
            if (!testHere || holds(row.key(), row.record())) keep(row.key(), row.record());
            return true;
        };
        std::optional<std::string> prefix;
        if (parsed_.hasConditions) prefix = requiredPrefix(conditions_, conditionPrefix);
        if (prefix && prefix->empty()) prefix.reset();
        db_.storage().scanRecords(file_, prefix, recordTest, visit);
        return ordered();
    }

  private:
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

    void keep(std::string_view key, std::string_view record) {
        keys_.emplace_back(key);
        for (const SortColumn& c : columns_)
            sortValues_.push_back(makeSortValue(c.field->firstValue(key, record), c.rule));
    }

    bool before(size_t a, size_t b) const {
        const size_t n = columns_.size();
        for (size_t i = 0; i < n; ++i) {
            int c =
                compareSortValues(sortValues_[a * n + i], sortValues_[b * n + i], columns_[i].rule);
            if (columns_[i].descending) c = -c;
            if (c != 0) return c < 0;
        }
        return keys_[a] < keys_[b];
    }

    // SELECT without a sort keeps the order records were read in; SSELECT without one sorts
    // by key; any sort ends with the key, ascending, to break ties.
    std::vector<std::string> ordered() {
        if (columns_.empty() && !parsed_.sorted) return std::move(keys_);
        std::vector<size_t> order(keys_.size());
        std::iota(order.begin(), order.end(), size_t{0});
        std::sort(order.begin(), order.end(), [this](size_t a, size_t b) { return before(a, b); });
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
    std::vector<SortColumn> columns_;
    std::vector<std::string> keys_;
    std::vector<SortValue> sortValues_;
};

}  // namespace

std::vector<std::string> runSelection(Database& db, const std::string& statement) {
    return Selection(db, statement).run();
}

}  // namespace orv
