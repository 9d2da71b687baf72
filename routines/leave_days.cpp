#include "routines/leave_days.h"

#include <charconv>
#include <vector>

#include "engine/database.h"
#include "engine/day_number.h"

namespace orv {

namespace {

// Easter Sunday of a Gregorian year (anonymous Gregorian algorithm).
long easterSunday(int year) {
    const int a = year % 19, b = year / 100, c = year % 100;
    const int d = b / 4, e = b % 4, f = (b + 8) / 25, g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return dayFromCivil(year, month, day);
}

[[noreturn]] void fail(const std::string& message) {
    throw DbError(DbErrorCode::RoutineFailed, "CALCNBJOURABSENCE : " + message);
}

long dayNumberOf(const std::string& text, const char* what) {
    long n = 0;
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, n);
    if (text.empty() || ec != std::errc() || p != end)
        fail(std::string(what) + " illisible « " + text + " »");
    return n;
}

}  // namespace

bool isFrenchPublicHoliday(long dayNumber) {
    int y = 0, m = 0, d = 0;
    civilFromDay(dayNumber, y, m, d);
    static const int fixed[][2] = {{1, 1},  {5, 1},  {5, 8},   {7, 14},
                                   {8, 15}, {11, 1}, {11, 11}, {12, 25}};
    for (const auto& f : fixed)
        if (f[0] == m && f[1] == d) return true;
    const long easter = easterSunday(y);
    return dayNumber == easter + 1 || dayNumber == easter + 39 || dayNumber == easter + 50;
}

long countLeaveDays(long first, long last, bool workingDays) {
    const int lastWeekday = workingDays ? 5 : 6;
    long count = 0;
    for (long day = first; day <= last; ++day)
        if (isoWeekday(day) <= lastWeekday && !isFrenchPublicHoliday(day)) ++count;
    return count;
}

std::string calcNbJourAbsence(Database& db, const std::string& absence) {
    const DynArray record(absence);
    const std::string key = record.extractString(1);
    if (key.size() <= 7) fail("clé d'absence incomplète « " + key + " »");
    const long first = dayNumberOf(key.substr(7), "date de début");
    const long last = dayNumberOf(record.extractString(3), "date de fin");
    const std::string contractKey = record.extractString(11);
    const auto contract = db.read("CONTRAT", contractKey);
    if (!contract) fail("le contrat « " + contractKey + " » n'existe pas");
    bool workingDays = false;
    if (const std::string agreementKey = contract->extractString(1); !agreementKey.empty()) {
        const auto agreement = db.read("CONVENTIONCOL", agreementKey);
        workingDays = agreement && agreement->extractString(2) == "1";
    }
    return std::to_string(countLeaveDays(first, last, workingDays) * 100);
}

void registerLeaveRoutines(Database& db) {
    db.registerRoutine("CALCNBJOURABSENCE", [](Session& s, std::vector<std::string>& args) {
        if (args.empty()) fail("enregistrement d'absence manquant");
        if (args.size() < 2) args.resize(2);
        args[1] = calcNbJourAbsence(s.database(), args[0]);
    });
}

}  // namespace orv
