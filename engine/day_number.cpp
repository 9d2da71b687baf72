#include "engine/day_number.h"

namespace orv {

namespace {

// Days from 1 January 1970 of a proleptic Gregorian date (the classic civil-calendar algorithm).
long epochDays(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

const long kDayZero = epochDays(1967, 12, 31);

}  // namespace

long dayFromCivil(int year, int month, int day) { return epochDays(year, month, day) - kDayZero; }

void civilFromDay(long dayNumber, int& year, int& month, int& day) {
    const long z = dayNumber + kDayZero + 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

int isoWeekday(long dayNumber) {
    // 1 January 1970 was a Thursday (4).
    const long e = dayNumber + kDayZero;
    const long w = ((e % 7) + 7 + 3) % 7;  // 0 = Monday
    return static_cast<int>(w) + 1;
}

}  // namespace orv
