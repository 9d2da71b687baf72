// The French order of texts: the one order in which selections sort texts and compare them with
// <, <=, > and >=, and in which index entries of texts are kept.
//
// Letters are compared first without regard to accents and case ("É" among the E, "œ" as
// "oe"), then by their accents, then by their case (capitals first). Names are filed word by
// word, as a French directory files them: a space, a hyphen or an apostrophe ends a word and
// comes before every letter and digit (space, then hyphen, then apostrophe), so that "LE BRUN"
// comes before "LEBLANC", "D'ARTOIS" before "DARTOIS", and a particle written first files the
// name under its own letter ("de LA TOUR" among the D, "Le GOFF" among the L). Two texts that
// are equal at every level (an accent written decomposed and the same accent composed) are
// finally ordered by their bytes, so that the order is total and stable. Digits come before
// letters, as in byte order.
//
// The order is ICU's collation for French; texts are UTF-8 (a byte that is not valid UTF-8
// counts as U+FFFD until the final byte comparison).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace orv::collation {

// -1, 0 or 1; 0 only for texts of equal bytes.
int compare(std::string_view a, std::string_view b);

// A key whose byte order is the order of texts, bytes aside: texts that differ only in their
// bytes (NFC and NFD) have one key. It holds no zero byte.
std::string key(std::string_view text);

// The text that comes after every text beginning with `prefix` in the order (and before every
// greater text that does not): the prefix followed by the highest character, U+FFFF. A text t
// that begins with prefix, letter by letter or byte by byte, has key(prefix) <= key(t) <=
// key(pastPrefix(prefix)) (save a text in which U+FFFF, a noncharacter, follows the prefix).
std::string pastPrefix(std::string_view prefix);

// The keys of texts that come again and again, as the names a selection sorts by: each distinct
// text's key is made once, a hundred times the cost of looking it up. When the texts turn out to
// be mostly different, it stops remembering them and makes each key as key() does.
class KeyCache {
  public:
    // key(text); the view is valid until the next call.
    std::string_view key(std::string_view text);

  private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::unordered_map<std::string, std::string, Hash, std::equal_to<>> keys_;
    std::string made_;  // the last key made without being remembered
    size_t hits_ = 0;
    bool remembering_ = true;
};

}  // namespace orv::collation
