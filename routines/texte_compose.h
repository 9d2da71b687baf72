// What a reader sees as one character takes one column: an accent stored decomposed (NFD, as
// some imports and files from other systems give) is composed before a text is measured,
// padded or cut to a column. The stored bytes stay as they were written.
#pragma once

#include <QString>

namespace orv {

inline QString composee(const QString& texte) {
    return texte.normalized(QString::NormalizationForm_C);
}

}  // namespace orv
