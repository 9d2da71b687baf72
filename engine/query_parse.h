// Parser of selection statements:
//
//   statement := ("SSELECT" | "SELECT") FILE [conditions] { ("PAR" | "PAR-DECR") FIELD }
//   conditions := and-group { "OR" and-group }
//   and-group  := condition { "AND" condition }
//   condition  := "AVEC" FIELD tests
//   tests      := test-and { "OR" test-and }        (same field: "AVEC F = "25" OR = "31"")
//   test-and   := test { "AND" test }
//   test       := OPERATOR VALUE { VALUE }          (further values: same operator, any of them)
//
// A test written after "OR"/"AND" without "AVEC" and without a field belongs to the condition
// before it, so it binds tighter than the "AND" between conditions. Keywords are recognised in
// any case. Positions are counted in characters from 1. A VALUE is written between double
// quotes, single quotes or backslashes ("A", 'A"B', \A"B'C\); its delimiter written twice
// inside it stands for one ("A""B" is A"B).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/query_value.h"

namespace orv::query {

// An AND/OR tree over leaves of one kind.
template <class T>
struct BoolTree {
    enum class Kind { Leaf, And, Or };
    Kind kind = Kind::Leaf;
    T leaf{};
    std::vector<BoolTree> children;

    // True when the tree holds, given a predicate on leaves; AND and OR short-circuit.
    template <class Pred>
    bool eval(const Pred& pred) const {
        switch (kind) {
            case Kind::Leaf:
                return pred(leaf);
            case Kind::And:
                for (const BoolTree& c : children)
                    if (!c.eval(pred)) return false;
                return true;
            case Kind::Or:
                for (const BoolTree& c : children)
                    if (c.eval(pred)) return true;
                return false;
        }
        return false;
    }

    // The same tree with every leaf converted.
    template <class Fn>
    auto map(const Fn& fn) const -> BoolTree<decltype(fn(leaf))> {
        BoolTree<decltype(fn(leaf))> out;
        out.kind = static_cast<typename BoolTree<decltype(fn(leaf))>::Kind>(kind);
        if (kind == Kind::Leaf) out.leaf = fn(leaf);
        for (const BoolTree& c : children) out.children.push_back(c.map(fn));
        return out;
    }
};

struct Test {
    Op op = Op::Equal;
    Pattern pattern;
};

struct FieldRef {
    std::string name;
    int position = 0;  // character position of the name in the statement
};

struct Condition {
    FieldRef field;
    BoolTree<Test> tests;
};

struct SortKey {
    FieldRef field;
    bool descending = false;
};

struct ParsedStatement {
    bool sorted = false;  // SSELECT
    FieldRef file;
    bool hasConditions = false;
    BoolTree<Condition> conditions;
    std::vector<SortKey> sortKeys;
};

// Throws DbError(QuerySyntax) with a French message giving the position of the fault.
ParsedStatement parseStatement(std::string_view statement);

}  // namespace orv::query
