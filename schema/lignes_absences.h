// The report lines of the absence report (TraceAbsences.Ctr_Impression's Requete), as the line
// builder `orvanelle-db absences` writes them and the control prints them: one line an
// attribute, its columns the values (see schema/README.md).
#pragma once

namespace orv::lignesabsences {

inline constexpr int Cle = 1;      // helper code (5) + motive (2) + start day (5)
inline constexpr int Libelle = 2;  // printed after the helper's name
inline constexpr int Fin = 3;      // end day (absence list) or status (forecast report)

// Characters of value 2 that fit after the helper's name, at 9 points, before the next text of
// the line: in the absence list the chart (7 cm) when the start column is blank, in the
// forecast report the start column (6.7 cm). An absence list line whose start date is printed
// (an absence that started before the period) has no room left for value 2.
inline constexpr int LargeurLibelle = 8;
inline constexpr int LargeurType = 6;

// The longest period of the absence list, in days: one year, leap day included. A day is then
// still half a millimetre wide on the chart.
inline constexpr long JoursAuPlus = 366;

}  // namespace orv::lignesabsences
