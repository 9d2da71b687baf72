#include "engine/query_field.h"

#include <algorithm>
#include <charconv>

#include "engine/database.h"
#include "engine/query_value.h"

namespace orv::query {

namespace {

// Where a name was written; position 0: not in a statement (an index being built).
std::string where(int position) {
    if (position <= 0) return ".";
    return " (position " + std::to_string(position) + " de la sélection).";
}

bool parseInt(std::string_view text, int& out) {
    if (text.empty()) return false;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && p == text.data() + text.size();
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t pos = 0;
    for (;;) {
        const size_t end = text.find(separator, pos);
        parts.push_back(text.substr(pos, end == std::string_view::npos ? end : end - pos));
        if (end == std::string_view::npos) return parts;
        pos = end + 1;
    }
}

bool isValueSeparator(char c) { return c == kValueMark || c == kSubvalueMark; }

}  // namespace

std::string_view attributeOf(std::string_view record, int a) {
    size_t pos = 0;
    for (int i = 1; i < a; ++i) {
        const size_t mark = record.find(kAttributeMark, pos);
        if (mark == std::string_view::npos) return {};
        pos = mark + 1;
    }
    const size_t end = record.find(kAttributeMark, pos);
    return record.substr(pos, end == std::string_view::npos ? end : end - pos);
}

// ---------------------------------------------------------------------------------------------
// Conversions

Conversion Conversion::parse(Database& db, std::string_view text, const std::string& item,
                             int position) {
    auto invalid = [&]() {
        return DbError(DbErrorCode::UnknownField, "Conversion « " + std::string(text) +
                                                      " » de l'élément de dictionnaire « " + item +
                                                      " » non reconnue" + where(position));
    };
    if (text.size() < 2 || text[0] != 'T') throw invalid();
    Conversion c;
    const std::string_view body = text.substr(1);
    if (body.find(';') == std::string_view::npos) {
        const auto parts = split(body, ',');
        if (parts.size() != 2 || !parseInt(parts[0], c.start_) || !parseInt(parts[1], c.length_) ||
            c.start_ < 1 || c.length_ < 0)
            throw invalid();
        return c;
    }
    const auto parts = split(body, ';');
    if (parts.size() != 4 || (parts[1] != "X" && parts[1] != "C")) throw invalid();
    const std::string_view attribute = parts[3].empty() ? parts[2] : parts[3];
    if (!parseInt(attribute, c.attribute_) || c.attribute_ < 0) throw invalid();
    c.kind_ = Kind::Translate;
    c.file_ = std::string(parts[0]);
    c.keepWhenMissing_ = parts[1] == "C";
    if (!db.hasFile(c.file_))
        throw DbError(DbErrorCode::FileNotFound, "Fichier « " + c.file_ +
                                                     " » inconnu, cité par la conversion de "
                                                     "l'élément de dictionnaire « " +
                                                     item + " »" + where(position));
    c.db_ = &db;
    c.cache_ = std::make_shared<decltype(c.cache_)::element_type>();
    return c;
}

std::string_view Conversion::apply(std::string_view value) const {
    if (kind_ == Kind::Extract) return utf8Substring(value, start_, length_);
    auto it = cache_->find(value);
    if (it == cache_->end()) {
        std::optional<std::string> translated;
        const std::string key(value);
        if (auto record = db_->storage().read(file_, key))
            translated = attribute_ == 0 ? key : std::string(attributeOf(*record, attribute_));
        it = cache_->emplace(key, std::move(translated)).first;
    }
    if (it->second) return *it->second;
    return keepWhenMissing_ ? value : std::string_view();
}

// ---------------------------------------------------------------------------------------------
// Fields

Field Field::resolve(Database& db, const std::string& file, const std::string& name, int position) {
    Field f;
    f.name_ = name;
    if (name == "@ID" || name == "@id") return f;
    if (name.find_first_not_of("0123456789") == std::string::npos) {
        if (!parseInt(name, f.attribute_))
            throw DbError(DbErrorCode::UnknownField,
                          "Numéro d'attribut « " + name + " » invalide" + where(position));
        f.french_ = f.attribute_ != 0;
        return f;
    }
    const DictItem* item = db.dictionary(file)->find(name);
    if (!item)
        throw DbError(DbErrorCode::UnknownField, "Champ « " + name +
                                                     " » inconnu dans le dictionnaire du "
                                                     "fichier " +
                                                     file + where(position));
    f.attribute_ = item->attribute;
    f.numeric_ = item->rightJustified;
    f.french_ = !item->rightJustified;
    // Several conversions, one per value, apply in turn ("T1,3" then a translate).
    if (!item->conversion.empty())
        for (std::string_view text : split(item->conversion, kValueMark))
            f.conversions_.push_back(Conversion::parse(db, text, name, position));
    return f;
}

bool Field::anyValue(std::string_view key, std::string_view record, ValueVisitor visit) const {
    return visitValues(attribute_ == 0 ? key : attributeOf(record, attribute_), 0, visit);
}

bool Field::visitSplit(std::string_view text, ValueVisitor visit) {
    size_t begin = 0;
    for (size_t i = 0;; ++i) {
        if (i < text.size() && !isValueSeparator(text[i])) continue;
        if (visit(text.substr(begin, i - begin))) return true;
        if (i >= text.size()) return false;
        begin = i + 1;
    }
}

bool Field::visitValues(std::string_view text, size_t step, ValueVisitor visit) const {
    // A value that a conversion turns into several values is split again before the next
    // conversion. The values waiting for their next conversion are kept on an explicit stack
    // (a long chain of conversions must not exhaust the call stack), visited in record order.
    struct Pending {
        std::string_view text;
        size_t step;
        size_t begin;
    };
    if (step == conversions_.size()) return visitSplit(text, visit);
    std::vector<Pending> pending{{text, step, 0}};
    while (!pending.empty()) {
        Pending& top = pending.back();
        const std::string_view rest = top.text.substr(top.begin);
        const auto separator = std::find_if(rest.begin(), rest.end(), isValueSeparator);
        const size_t length = static_cast<size_t>(separator - rest.begin());
        const std::string_view value = rest.substr(0, length);
        const size_t next = top.step;
        if (separator == rest.end())
            pending.pop_back();
        else
            top.begin += length + 1;
        if (next == conversions_.size()) {
            if (visit(value)) return true;
        } else {
            pending.push_back({conversions_[next].apply(value), next + 1, 0});
        }
    }
    return false;
}

std::optional<std::string_view> Field::singleValue(std::string_view key,
                                                   std::string_view record) const {
    if (!conversions_.empty()) return std::nullopt;
    const std::string_view text = attribute_ == 0 ? key : attributeOf(record, attribute_);
    if (std::any_of(text.begin(), text.end(), isValueSeparator)) return std::nullopt;
    return text;
}

std::string Field::firstValue(std::string_view key, std::string_view record) const {
    std::string first;
    anyValue(key, record, [&](std::string_view v) {
        first.assign(v);
        return true;
    });
    return first;
}

}  // namespace orv::query
