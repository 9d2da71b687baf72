#include "engine/collation.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <memory>
#include <vector>

#include "engine/errors.h"

namespace orv::collation {

namespace {

struct CloseCollator {
    void operator()(UCollator* c) const { ucol_close(c); }
};

UCollator* openCollator() {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCollator, CloseCollator> c(ucol_open("fr", &status));
    // Spaces and punctuation are characters of their own, below digits and letters (see
    // collation.h); decomposed accents compare as composed ones.
    ucol_setAttribute(c.get(), UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    ucol_setAttribute(c.get(), UCOL_STRENGTH, UCOL_TERTIARY, &status);
    ucol_setAttribute(c.get(), UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    // Names are written in capitals: "EMILE" before "emile".
    ucol_setAttribute(c.get(), UCOL_CASE_FIRST, UCOL_UPPER_FIRST, &status);
    if (U_FAILURE(status))
        throw DbError(DbErrorCode::Storage,
                      std::string("Ordre alphabétique français indisponible (ICU : ") +
                          u_errorName(status) + ")");
    return c.release();
}

// One collator a thread: ICU's collators are not to be shared between threads through the C
// interface.
UCollator* collator() {
    thread_local std::unique_ptr<UCollator, CloseCollator> c(openCollator());
    return c.get();
}

int sign(int v) { return (v > 0) - (v < 0); }

// U+FFFF: the highest primary weight of the collation.
constexpr std::string_view kHighest = "\xEF\xBF\xBF";

}  // namespace

int compare(std::string_view a, std::string_view b) {
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r =
        ucol_strcollUTF8(collator(), a.data(), static_cast<int32_t>(a.size()), b.data(),
                         static_cast<int32_t>(b.size()), &status);
    if (U_SUCCESS(status) && r != UCOL_EQUAL) return r == UCOL_LESS ? -1 : 1;
    return sign(a.compare(b));
}

std::string key(std::string_view text) {
    thread_local std::vector<UChar> utf16;
    utf16.resize(text.size() + 1);
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(utf16.data(), static_cast<int32_t>(utf16.size()), &length, text.data(),
                         static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) length = 0;
    std::string out(text.size() * 4 + 16, '\0');
    for (;;) {
        const int32_t needed = ucol_getSortKey(collator(), utf16.data(), length,
                                               reinterpret_cast<uint8_t*>(out.data()),
                                               static_cast<int32_t>(out.size()));
        if (needed <= static_cast<int32_t>(out.size())) {
            out.resize(needed > 0 ? needed - 1 : 0);  // without the final zero byte
            return out;
        }
        out.resize(needed);
    }
}

std::string pastPrefix(std::string_view prefix) {
    std::string out(prefix);
    out += kHighest;
    return out;
}

std::string_view KeyCache::key(std::string_view text) {
    // After this many distinct texts, the cache goes on only if as many texts came again.
    constexpr size_t kTrial = 1024;
    constexpr size_t kMaxTexts = size_t{1} << 16;
    if (!remembering_) return made_ = collation::key(text);
    if (const auto found = keys_.find(text); found != keys_.end()) {
        ++hits_;
        return found->second;
    }
    if (keys_.size() >= kMaxTexts || (keys_.size() >= kTrial && hits_ < keys_.size())) {
        remembering_ = false;
        keys_.clear();
        return made_ = collation::key(text);
    }
    return keys_.emplace(std::string(text), collation::key(text)).first->second;
}

}  // namespace orv::collation
