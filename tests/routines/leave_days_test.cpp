// The days "CALCNBJOURABSENCE" counts: calendar conversions, French public holidays and the days
// counted in working days (Monday to Friday) or in ordinary working days (Monday to Saturday).
// The routine itself, on records, is run through the client (soldeconges tests) and through
// orvanelle-db call (tools tests).
#include <gtest/gtest.h>

#include <array>

#include "engine/day_number.h"
#include "routines/leave_days.h"

namespace {

using orv::dayFromCivil;

TEST(LeaveDays, CalendarAndHolidays) {
    EXPECT_EQ(dayFromCivil(2000, 1, 1), 11689);
    EXPECT_EQ(dayFromCivil(1967, 12, 31), 0);
    int y = 0, m = 0, d = 0;
    orv::civilFromDay(dayFromCivil(2008, 2, 29), y, m, d);
    EXPECT_EQ((std::array{y, m, d}), (std::array{2008, 2, 29}));
    EXPECT_EQ(orv::isoWeekday(dayFromCivil(2006, 5, 1)), 1);  // a Monday
    EXPECT_EQ(orv::isoWeekday(dayFromCivil(1967, 12, 31)), 7);
    struct Cas {
        int y, m, d;
        bool ferie;
    };
    for (const Cas& c : {Cas{2006, 4, 17, true},   // Easter Monday
                         Cas{2006, 4, 16, false},  // Easter Sunday itself is a Sunday anyway
                         Cas{2006, 5, 25, true},   // Ascension
                         Cas{2006, 6, 5, true},    // Whit Monday
                         Cas{2007, 4, 9, true}, Cas{2007, 5, 17, true}, Cas{2007, 5, 28, true},
                         Cas{2006, 7, 14, true}, Cas{2006, 11, 11, true}, Cas{2006, 12, 25, true},
                         Cas{2006, 12, 26, false}, Cas{2006, 5, 2, false}})
        EXPECT_EQ(orv::isFrenchPublicHoliday(dayFromCivil(c.y, c.m, c.d)), c.ferie)
            << c.d << "/" << c.m << "/" << c.y;
}

TEST(LeaveDays, CountsTheDaysOfEachKindOfAgreement) {
    struct Cas {
        const char* semaine;
        int debut[3], fin[3];
        long ouvres, ouvrables;
    };
    for (const Cas& c : {
             // 1 May 2006 is a Monday; 1 May, 8 May and Ascension (25 May) are left out.
             Cas{"May 2006", {2006, 5, 1}, {2006, 5, 31}, 20, 24},
             Cas{"week of Easter Monday", {2006, 4, 17}, {2006, 4, 23}, 4, 5},
             Cas{"week without holiday", {2006, 3, 6}, {2006, 3, 12}, 5, 6},
             Cas{"a Sunday", {2006, 3, 12}, {2006, 3, 12}, 0, 0},
             Cas{"a Saturday", {2006, 3, 11}, {2006, 3, 11}, 0, 1},
             Cas{"end before start", {2006, 3, 10}, {2006, 3, 9}, 0, 0},
         }) {
        const long a = dayFromCivil(c.debut[0], c.debut[1], c.debut[2]);
        const long b = dayFromCivil(c.fin[0], c.fin[1], c.fin[2]);
        EXPECT_EQ(orv::countLeaveDays(a, b, true), c.ouvres) << c.semaine;
        EXPECT_EQ(orv::countLeaveDays(a, b, false), c.ouvrables) << c.semaine;
    }
}

}  // namespace
