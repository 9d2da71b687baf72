// Counting leave days for the server routine "CALCNBJOURABSENCE": the days of an absence that
// count under a contract's collective agreement, public holidays left out.
#pragma once

#include <string>

namespace orv {

class Database;

// French public holidays: 1 January, 1 May, 8 May, 14 July, 15 August, 1 November,
// 11 November, 25 December, and, from Easter Sunday, Easter Monday (+1), Ascension (+39) and
// Whit Monday (+50).
bool isFrenchPublicHoliday(long dayNumber);

// Days from first to last (both included) that count as leave: Monday to Friday when the
// agreement counts paid leave in working days ("jours ouvrés"), Monday to Saturday otherwise
// ("jours ouvrables"); public holidays never count. 0 when last is before first.
long countLeaveDays(long first, long last, bool workingDays);

// The routine's body on the prepared absence record (attribute 1 the absence key, whose
// characters after the seventh are the start day; attribute 3 the end day; attribute 11 the
// contract's key): reads the contract (CONTRAT) and its agreement (CONVENTIONCOL, key in the
// contract's attribute 1; attribute 2 = "1" means working days) and returns the count x 100
// as text, "0" when nothing counts. Throws DbError(RoutineFailed) on a record it cannot use.
std::string calcNbJourAbsence(Database& db, const std::string& absence);

// Registers "CALCNBJOURABSENCE": argument 1 the absence record, argument 2 the result.
void registerLeaveRoutines(Database& db);

}  // namespace orv
