// Values written into selection statements.
#pragma once

#include <QString>

namespace orv {

// The value as the selection language reads it back exactly: between double quotes, or, when
// it holds a double quote, between single quotes or backslashes; a value holding all three has
// its double quotes doubled. Every statement a control or a tool builds writes its values
// through this function, never by pasting them between quotes.
QString valeurRequete(const QString& valeur);

}  // namespace orv
