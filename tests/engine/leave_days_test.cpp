// The routine "CALCNBJOURABSENCE": calendar conversions, French public holidays and the days
// counted in working days (Monday to Friday) or in ordinary working days (Monday to Saturday).
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>

#include "engine/database.h"
#include "engine/leave_days.h"

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

class LeaveRoutineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("conges_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                 "_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".orvdb");
        db_ = orv::Database::openEmbedded(path_.string());
        for (const char* f : {"CONTRAT", "CONVENTIONCOL"}) db_->createFile(f);
        write("CONVENTIONCOL", "01", {{2, "1"}});
        write("CONVENTIONCOL", "02", {{2, "0"}});
        write("CONTRAT", "00101*01", {{1, "01"}});
        write("CONTRAT", "00101*02", {{1, "02"}});
        write("CONTRAT", "00101*03", {{1, ""}});
    }
    void TearDown() override {
        db_.reset();
        std::filesystem::remove(path_);
    }
    void write(const char* file, const char* key,
               std::initializer_list<std::pair<int, const char*>> attrs) {
        orv::DynArray r;
        for (const auto& [a, v] : attrs) r.replace(a, v);
        db_->write(file, key, r);
    }
    // Calls the routine as a session does, on a prepared absence from `first` to `last`.
    std::string call(const char* contract, long first, long last) {
        orv::DynArray absence;
        absence.replace(1, "0010114" + std::to_string(first));
        absence.replace(3, std::to_string(last));
        absence.replace(11, contract);
        std::vector<std::string> args{absence.text(), ""};
        orv::Session session(db_, "TEST");
        session.call("CALCNBJOURABSENCE", args);
        return args[1];
    }

    std::filesystem::path path_;
    std::shared_ptr<orv::Database> db_;
};

TEST_F(LeaveRoutineTest, ReturnsHundredthsOfDaysUnderTheContractsAgreement) {
    const long first = dayFromCivil(2006, 5, 1), last = dayFromCivil(2006, 5, 31);
    EXPECT_EQ(call("00101*01", first, last), "2000");
    EXPECT_EQ(call("00101*02", first, last), "2400");
    EXPECT_EQ(call("00101*03", first, last), "2400");  // no agreement: ordinary working days
    EXPECT_EQ(call("00101*01", last, first), "0");
    try {
        call("00101*09", first, last);
        FAIL() << "unknown contract accepted";
    } catch (const orv::DbError& e) {
        EXPECT_EQ(e.code(), orv::DbErrorCode::RoutineFailed);
        EXPECT_NE(std::string(e.what()).find("00101*09"), std::string::npos);
    }
    orv::DynArray bad;
    bad.replace(1, "0010114");
    bad.replace(11, "00101*01");
    std::vector<std::string> args{bad.text(), ""};
    orv::Session session(db_, "TEST");
    EXPECT_THROW(session.call("CALCNBJOURABSENCE", args), orv::DbError);
}

}  // namespace
