// Internal day numbers, the multivalue convention: day 0 is 31 December 1967 (1 January 2000
// is day 11689). The one place that converts them; OutilsCommuns and the server routines use it.
#pragma once

namespace orv {

// Day number of a proleptic Gregorian date (no check: 31 February is 3 March).
long dayFromCivil(int year, int month, int day);
void civilFromDay(long dayNumber, int& year, int& month, int& day);
// 1 = Monday ... 7 = Sunday.
int isoWeekday(long dayNumber);

}  // namespace orv
