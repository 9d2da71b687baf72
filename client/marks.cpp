#include "client/marks.h"

#include "engine/dynarray.h"

namespace orv {

namespace {

char16_t markChar(char c) {
    switch (c) {
        case kAttributeMark:
            return kAttributeMarkChar;
        case kValueMark:
            return kValueMarkChar;
        default:
            return kSubvalueMarkChar;
    }
}

bool isMark(char c) { return c == kAttributeMark || c == kValueMark || c == kSubvalueMark; }

}  // namespace

QString toQString(std::string_view stored) {
    QString out;
    size_t start = 0;
    for (size_t i = 0; i <= stored.size(); ++i) {
        if (i == stored.size() || isMark(stored[i])) {
            out += QString::fromUtf8(stored.data() + start, static_cast<qsizetype>(i - start));
            if (i < stored.size()) out += QChar(markChar(stored[i]));
            start = i + 1;
        }
    }
    return out;
}

std::string fromQString(const QString& text) {
    std::string out;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const char16_t c = i < text.size() ? text[i].unicode() : 0;
        if (i == text.size() || c == kAttributeMarkChar || c == kValueMarkChar ||
            c == kSubvalueMarkChar) {
            out += text.mid(start, i - start).toStdString();
            if (i < text.size())
                out += c == kAttributeMarkChar ? kAttributeMark
                       : c == kValueMarkChar   ? kValueMark
                                               : kSubvalueMark;
            start = i + 1;
        }
    }
    return out;
}

}  // namespace orv
