// Fields of a selection: the key, an attribute number or a dictionary item with its
// conversions, read from a stored record without copying it.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orv {
class Database;
struct DictItem;
}  // namespace orv

namespace orv::query {

// A callable on field values, held by reference: unlike std::function it never allocates and
// calls through one plain function pointer, which matters once per value of every record.
class ValueVisitor {
  public:
    template <class Fn>
    ValueVisitor(const Fn& fn)  // NOLINT: converts from any callable, like std::function
        : fn_(&fn),
          call_([](const void* f, std::string_view v) { return (*static_cast<const Fn*>(f))(v); }) {
    }
    bool operator()(std::string_view value) const { return call_(fn_, value); }

  private:
    const void* fn_;
    bool (*call_)(const void*, std::string_view);
};

// One conversion of a dictionary item: "Tstart,len" (characters start.. of the value) or
// "Tfile;X;;n" (attribute n of the record of `file` whose key is the value; empty when there
// is no such record, or the value itself with the code C instead of X).
class Conversion {
  public:
    // Throws DbError naming the item and the statement position when the text is not one of
    // the two forms or the translate file does not exist.
    static Conversion parse(Database& db, std::string_view text, const std::string& item,
                            int position);

    std::string_view apply(std::string_view value) const;

  private:
    enum class Kind { Extract, Translate };
    Kind kind_ = Kind::Extract;
    int start_ = 1;
    int length_ = 0;
    Database* db_ = nullptr;
    std::string file_;
    int attribute_ = 0;
    bool keepWhenMissing_ = false;

    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    // Translated values by key, for the life of one selection (a translate file is read once
    // per distinct key). Shared so that a Conversion stays copyable.
    std::shared_ptr<
        std::unordered_map<std::string, std::optional<std::string>, Hash, std::equal_to<>>>
        cache_;
};

class Field {
  public:
    // Resolves a name written in a statement: "@ID" or "0" (the key), an attribute number, or
    // an item of the file's dictionary. Throws DbError(UnknownField) naming it and its position.
    static Field resolve(Database& db, const std::string& file, const std::string& name,
                         int position);

    // Calls visit(value) for every elementary value of the field in a record (values and
    // subvalues, after the conversions), until visit returns true; returns whether it did.
    // An empty field has one empty value.
    bool anyValue(std::string_view key, std::string_view record, ValueVisitor visit) const;
    // The field's only value when it has no conversion and holds no value or subvalue mark, the
    // usual case, which a test can then take without going through anyValue.
    std::optional<std::string_view> singleValue(std::string_view key,
                                                std::string_view record) const;
    // The first value of the field, as a sort key.
    std::string firstValue(std::string_view key, std::string_view record) const;

    bool isPlainKey() const { return attribute_ == 0 && conversions_.empty(); }
    // The attribute number read (0: the key) and whether conversions apply to its values.
    int attribute() const { return attribute_; }
    bool converted() const { return !conversions_.empty(); }
    // The key, converted or not: the field cannot be read from the record alone.
    bool readsKey() const { return attribute_ == 0; }
    bool sortsAsNumber() const { return numeric_; }
    // A left-justified dictionary item or an attribute number, sorted in French order. The key
    // is a code and sorts byte by byte.
    bool sortsAsFrenchText() const { return french_; }
    const std::string& name() const { return name_; }

  private:
    bool visitValues(std::string_view text, size_t step, ValueVisitor visit) const;
    // Visits the values and subvalues of a text that no conversion applies to any more.
    static bool visitSplit(std::string_view text, ValueVisitor visit);

    std::string name_;
    int attribute_ = 0;
    std::vector<Conversion> conversions_;
    bool numeric_ = false;
    bool french_ = false;
};

// Attribute a (from 1) of a record text; empty past the end.
std::string_view attributeOf(std::string_view record, int a);

}  // namespace orv::query
