#include "engine/dynarray.h"

#include <cstring>

namespace orv {

namespace {

// Finds the [begin, end) range of field n (1-based) of text[from, to) split on mark.
// Returns false when the field lies past the end; begin is then `to` and `missing` how many
// marks are needed to reach it.
bool findField(const std::string& text, size_t from, size_t to, char mark, int n, size_t& begin,
               size_t& end, int& missing) {
    size_t pos = from;
    for (int i = 1; i < n; ++i) {
        const void* hit = pos < to ? std::memchr(text.data() + pos, mark, to - pos) : nullptr;
        if (!hit) {
            begin = end = to;
            missing = n - i;
            return false;
        }
        pos = static_cast<const char*>(hit) - text.data() + 1;
    }
    const void* hit = pos < to ? std::memchr(text.data() + pos, mark, to - pos) : nullptr;
    begin = pos;
    end = hit ? static_cast<const char*>(hit) - text.data() : to;
    missing = 0;
    return true;
}

}  // namespace

DynArray::Span DynArray::locate(int a, int v, int s) const {
    // Without padding the text is only read.
    return const_cast<DynArray*>(this)->walk(a, v, s, false);
}

DynArray::Span DynArray::locatePadded(int a, int v, int s) { return walk(a, v, s, true); }

DynArray::Span DynArray::walk(int a, int v, int s, bool pad) {
    Span span{0, text_.size(), true};
    if (a <= 0) return span;
    const int idx[3] = {a, v, s};
    const char marks[3] = {kAttributeMark, kValueMark, kSubvalueMark};
    for (int level = 0; level < 3 && idx[level] > 0; ++level) {
        int missing = 0;
        size_t b = 0, e = 0;
        if (!findField(text_, span.begin, span.end, marks[level], idx[level], b, e, missing)) {
            if (!pad) return Span{};
            text_.insert(span.end, std::string(missing, marks[level]));
            b = e = span.end + missing;
        }
        span.begin = b;
        span.end = e;
    }
    return span;
}

std::string_view DynArray::extract(int a, int v, int s) const {
    Span span = locate(a, v, s);
    if (!span.found) return {};
    return std::string_view(text_).substr(span.begin, span.end - span.begin);
}

void DynArray::replace(int a, int v, int s, std::string_view value) {
    if (a <= 0) {
        text_.assign(value);
        return;
    }
    Span span = locatePadded(a, v, s);
    text_.replace(span.begin, span.end - span.begin, value);
}

void DynArray::insert(int a, int v, int s, std::string_view value) {
    if (a <= 0) return;
    const char mark = s > 0 ? kSubvalueMark : v > 0 ? kValueMark : kAttributeMark;
    // The container of the new element: inserting into an empty container needs no mark.
    const int ca = s > 0 || v > 0 ? a : 0;
    const int cv = s > 0 ? v : 0;
    Span container = locate(ca, cv, 0);
    const bool containerEmpty = !container.found || container.begin == container.end;
    const int n = s > 0 ? s : v > 0 ? v : a;
    if (containerEmpty && n == 1) {
        replace(a, v, s, value);
        return;
    }
    Span span = locate(a, v, s);
    if (!span.found) {
        // Past the end: pad up to the position, then the value becomes that element.
        replace(a, v, s, value);
        return;
    }
    std::string piece(value);
    piece.push_back(mark);
    text_.insert(span.begin, piece);
}

void DynArray::remove(int a, int v, int s) {
    if (a <= 0) {
        text_.clear();
        return;
    }
    Span span = locate(a, v, s);
    if (!span.found) return;
    // Remove the element and the mark that follows it, or the one before it when it is last.
    const char mark = s > 0 ? kSubvalueMark : v > 0 ? kValueMark : kAttributeMark;
    size_t b = span.begin, e = span.end;
    if (e < text_.size() && text_[e] == mark) {
        ++e;
    } else if (b > 0 && text_[b - 1] == mark) {
        --b;
    }
    text_.erase(b, e - b);
}

int DynArray::dcount(std::string_view text, char mark) {
    if (text.empty()) return 0;
    int n = 1;
    for (char c : text)
        if (c == mark) ++n;
    return n;
}

int DynArray::count(int a, int v) const {
    if (a <= 0) return dcount(text_, kAttributeMark);
    if (v <= 0) return dcount(extract(a), kValueMark);
    return dcount(extract(a, v), kSubvalueMark);
}

}  // namespace orv
