// The figures of a leave tally computed from a contract record (CONTRAT), in days: what was
// acquired, the tally of the last computed pay period, and the paid leave acquired during the
// following reference period. Leave is stored in hundredths of a day.
#pragma once

#include <QString>
#include <cstdint>

#include "client/dba.h"
#include "controls/soldeconges/nombre_conges.h"

namespace soldeconges {

struct ChiffresSolde {
    Nombre cpAcquis;    // paid leave acquired (38, 40 and the sum of 160)
    Nombre cdPrev;      // notice-period leave acquired (109)
    Nombre dlDecompte;  // notice-period leave tally (110)
    Nombre caAcquis;    // seniority leave acquired (47)
    Nombre cpDecompte;  // paid-leave tally (39, 41 and the sum of 162)
    Nombre caDecompte;  // seniority-leave tally (48)
};

// Sums of attributes 160 and 162 value by value, over as many values as 162 holds.
struct SommesMensuelles {
    Nombre s160;
    Nombre s162;
};
SommesMensuelles sommesMensuelles(const dba::Record& contrat);

ChiffresSolde chiffresSolde(const dba::Record& contrat);

// Paid leave acquired during the following period: D = (44 - 83) / 100, times 5/6 when leave
// counts in working days, then D + 0.5 rounded half to even (2 gives 2, 3 gives 4).
std::int64_t cpAcquisN1(const dba::Record& contrat, bool joursOuvres);

// The first day of the pay period of attribute 63 (yyyymm), as an internal day number.
QString dateDecompteN0(const QString& periodePaie);

}  // namespace soldeconges
