#include <gtest/gtest.h>

#include "client/clock.h"
#include "client/outils_communs.h"

using orv::OutilsCommuns;

TEST(OutilsCommuns, DayNumbersRoundTrip) {
    EXPECT_EQ(OutilsCommuns::DateVersJour("01/01/2000"), QStringLiteral("11689"));
    EXPECT_EQ(OutilsCommuns::DateVersJour("31/12/1967"), QStringLiteral("0"));
    EXPECT_EQ(OutilsCommuns::JourVersDate(11689), QStringLiteral("01/01/2000"));
    EXPECT_EQ(OutilsCommuns::DateVersJour("1/2/2005"), OutilsCommuns::DateVersJour("01/02/2005"));
    EXPECT_EQ(OutilsCommuns::DateVersJour("31/02/2005"), QString());
    EXPECT_EQ(OutilsCommuns::DateVersJour("abc"), QString());
    for (long d : {0L, 11689L, 13880L, 99999L}) {
        const QString text = OutilsCommuns::JourVersDate(d);
        EXPECT_EQ(OutilsCommuns::DateVersJour(text).toLong(), d) << text.toStdString();
        EXPECT_EQ(OutilsCommuns::DateVersJour(OutilsCommuns::JourVersDate(d + 1)).toLong(), d + 1);
    }
}

TEST(OutilsCommuns, TypedDatesAreNormalisedOrFlagged) {
    short flag = 0;
    EXPECT_EQ(OutilsCommuns::NormaliserDate("1/2/05", flag), QStringLiteral("01/02/2005"));
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(OutilsCommuns::NormaliserDate("010205", flag), QStringLiteral("01/02/2005"));
    EXPECT_EQ(OutilsCommuns::NormaliserDate("01022005", flag), QStringLiteral("01/02/2005"));
    OutilsCommuns::ErreurDate(flag);
    EXPECT_EQ(flag, 0);
    OutilsCommuns::NormaliserDate("32/01/2005", flag);
    OutilsCommuns::ErreurDate(flag);
    EXPECT_EQ(flag, -1);
    OutilsCommuns::NormaliserDate("demain", flag);
    EXPECT_EQ(flag, -1);
}

TEST(OutilsCommuns, AmountsUseTheDecimalCommaAndReadBack) {
    EXPECT_EQ(OutilsCommuns::FormaterMontant("12.5", 4, 2, 0), QStringLiteral("12,50"));
    EXPECT_EQ(OutilsCommuns::FormaterMontant("12,5", 4, 2, 0), QStringLiteral("12,50"));
    EXPECT_EQ(OutilsCommuns::FormaterMontant("0.5", 4, 2, 0), QStringLiteral("0,50"));
    EXPECT_EQ(OutilsCommuns::FormaterMontant("", 4, 2, 0), QString());
    EXPECT_DOUBLE_EQ(OutilsCommuns::LireMontant(OutilsCommuns::FormaterMontant("10", 4, 2, 0)),
                     10.0);
}

TEST(Clock, TodayHonoursTheFixedDate) {
    qputenv("ORVANELLE_TODAY", "2005-02-15");
    EXPECT_EQ(orv::today(), QDate(2005, 2, 15));
    qunsetenv("ORVANELLE_TODAY");
    EXPECT_EQ(orv::today(), QDate::currentDate());
}
