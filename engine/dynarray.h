// A multivalue record: attributes separated by attribute marks, values by value marks and
// subvalues by subvalue marks. The text is UTF-8; the marks are the bytes 0xFE, 0xFD and 0xFC,
// which never occur inside UTF-8, so any character can be stored.
#pragma once

#include <string>
#include <string_view>

namespace orv {

inline constexpr char kAttributeMark = '\xFE';
inline constexpr char kValueMark = '\xFD';
inline constexpr char kSubvalueMark = '\xFC';

class DynArray {
  public:
    DynArray() = default;
    explicit DynArray(std::string text) : text_(std::move(text)) {}

    const std::string& text() const { return text_; }
    std::string& text() { return text_; }
    void setText(std::string text) { text_ = std::move(text); }
    bool empty() const { return text_.empty(); }

    // Attribute a, value v, subvalue s, all counted from 1. A zero index means "the whole
    // enclosing element" (a == 0: the whole record). An element past the end is empty.
    std::string_view extract(int a, int v = 0, int s = 0) const;
    std::string extractString(int a, int v = 0, int s = 0) const {
        return std::string(extract(a, v, s));
    }

    // Replaces the element, padding with marks when it lies past the end.
    void replace(int a, int v, int s, std::string_view value);
    void replace(int a, std::string_view value) { replace(a, 0, 0, value); }
    // Inserts a new element before the given one (padding as replace does).
    void insert(int a, int v, int s, std::string_view value);
    // Removes the element together with its mark; nothing happens past the end.
    void remove(int a, int v = 0, int s = 0);

    // Number of attributes (a == 0), of values in attribute a (v == 0) or of subvalues in
    // value a,v. An empty text counts 0.
    int count(int a = 0, int v = 0) const;

    bool operator==(const DynArray& o) const { return text_ == o.text_; }

    // Counts occurrences of a mark in a text: the multivalue DCOUNT rule (empty -> 0).
    static int dcount(std::string_view text, char mark);

  private:
    // Byte range [begin, end) of an element; found == false when it lies past the end.
    struct Span {
        size_t begin = 0;
        size_t end = 0;
        bool found = false;
    };
    Span locate(int a, int v, int s) const;
    // Locates the element, padding the text with marks so that it exists.
    Span locatePadded(int a, int v, int s);
    // Walks down to the element; with pad, inserts the marks missing to reach it.
    Span walk(int a, int v, int s, bool pad);

    std::string text_;
};

}  // namespace orv
