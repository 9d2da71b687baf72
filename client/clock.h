// The one clock of the system: today's date, fixed by ORVANELLE_TODAY=YYYY-MM-DD when set so
// that quarters, pay periods and printed dates are reproducible.
#pragma once

#include <QDate>

namespace orv {

QDate today();

}  // namespace orv
