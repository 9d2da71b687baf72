// Conversions between the stored record text (UTF-8 with the byte marks 0xFE, 0xFD, 0xFC) and
// QString, where the marks are the private-use characters U+F8FE, U+F8FD and U+F8FC, so that
// string work on a whole record counts characters and keeps every mark.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace orv {

inline constexpr char16_t kAttributeMarkChar = 0xF8FE;
inline constexpr char16_t kValueMarkChar = 0xF8FD;
inline constexpr char16_t kSubvalueMarkChar = 0xF8FC;

QString toQString(std::string_view stored);
std::string fromQString(const QString& text);

}  // namespace orv
