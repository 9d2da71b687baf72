// The selection statements the modules build, each built the way its caller builds it and run
// over fixture files.
#include <gtest/gtest.h>

#include "tests/engine_query/query_fixture.h"

namespace orv::testing {
namespace {

// --- Entity lists ------------------------------------------------------------------------------

class EntityListTest : public QueryTest {
  protected:
    void SetUp() override {
        QueryTest::SetUp();
        if (!db_) return;
        put("ASSOCIATION", "001", {"ZETA"});
        put("ASSOCIATION", "002", {"ALPHA"});
        put("ASSOCIATION", "007", {"MU"});
        // The acronym of the activity's entity: first three characters of the key, looked up
        // in ASSOCIATION.
        dict("ACTIVITES", "LibAssoActivites", 0,
             std::string("T1,3") + kValueMark + "TASSOCIATION;X;;1");
        put("ACTIVITES", "001P01", {"", "", "", "", "", "", "", "", "", "", "", "P"});
        put("ACTIVITES", "007P02", {"", "", "", "", "", "", "", "", "", "", "", "P"});
        put("ACTIVITES", "002S01", {"", "", "", "", "", "", "", "", "", "", "", "S"});
        put("ACTIVITES", "001M01", {"", "", "", "", "", "", "", "", "", "", "", "M"});
        put("ACTIVITES", "002P01", {"", "", "", "", "", "", "", "", "", "", "", "P"});
        put("ACTIVITES", "007I01", {"", "", "", "", "", "", "", "", "", "", "", "I"});
    }

    static std::string fromActivities(const std::string& code) {
        return "SSELECT ACTIVITES AVEC 0 = " + Q + code + "]" + Q + " PAR LibAssoActivites";
    }
    static std::string fromActivitiesWithoutSsiad(const std::string& code) {
        return "SSELECT ACTIVITES AVEC 0 = " + Q + code + "]" + Q + " AND AVEC 12 <> " + Q + "S" +
               Q + " PAR LibAssoActivites";
    }
};

TEST_P(EntityListTest, ActivitiesSortedByEntityAcronymThenKey) {
    EXPECT_EQ(select(fromActivities("")),
              (Keys{"002P01", "002S01", "007I01", "007P02", "001M01", "001P01"}));
    EXPECT_EQ(select(fromActivities("007")), (Keys{"007I01", "007P02"}));
    EXPECT_EQ(select(fromActivities("003")), Keys{});

    DynArray request;
    request.replace(1, fromActivities("007"));
    request.replace(2, "ACTIVITES");
    request.replace(3, "0 12");
    const DynArray result = db_->query(request);
    EXPECT_EQ(result.count(), 2);
    EXPECT_EQ(result.extract(1, 1), "007I01");
    EXPECT_EQ(result.extract(1, 2), "I");
}

TEST_P(EntityListTest, BillingListLeavesOutSsiadActivities) {
    EXPECT_EQ(select(fromActivitiesWithoutSsiad("")),
              (Keys{"002P01", "007I01", "007P02", "001M01", "001P01"}));
    EXPECT_EQ(select(fromActivitiesWithoutSsiad("002")), Keys{"002P01"});
}

TEST_P(EntityListTest, LegalEntitiesSortedByAcronym) {
    EXPECT_EQ(select("SSELECT ASSOCIATION PAR 1"), (Keys{"002", "007", "001"}));
}

TEST_P(QueryTest, ResponsiblesAndSectorsSortedByNameThenCode) {
    put("RESPONSABLE", "001", {"DUPONT"});
    put("RESPONSABLE", "002", {"BERNARD"});
    put("RESPONSABLE", "003", {"DUPONT"});
    put("RESPONSABLE", "004", {"ZOLA Luc"});
    put("RESPONSABLE", "005", {"ÉMILE Zoé"});
    DynArray request;
    request.replace(1, "SSELECT RESPONSABLE PAR 1 PAR 0");
    request.replace(2, "RESPONSABLE");
    request.replace(3, "1 0");
    const DynArray result = db_->query(request);
    ASSERT_EQ(result.count(), 5);
    EXPECT_EQ(result.extract(1), std::string("BERNARD") + kValueMark + "002");
    EXPECT_EQ(result.extract(2), std::string("DUPONT") + kValueMark + "001");
    EXPECT_EQ(result.extract(3), std::string("DUPONT") + kValueMark + "003");
    // "É" among the E, not after Z.
    EXPECT_EQ(result.extract(4), std::string("ÉMILE Zoé") + kValueMark + "005");

    db_->createFile("SECTEUR");
    EXPECT_EQ(select("SSELECT SECTEUR PAR 1 PAR 0"), Keys{});
}

// --- Import reports: "Date" compared with yyyy-mm-dd --------------------------------------------

class ReportListTest : public QueryTest {
  protected:
    void SetUp() override {
        QueryTest::SetUp();
        if (!db_) return;
        dict("VESPERONRAPPORTS", "Date", 0, "T1,10");
        for (const char* key : {"2006-03-14_import.txt", "2006-02-28_import.txt",
                                "2006-04-02_autre.txt", "2006-03-01_import.txt"})
            put("VESPERONRAPPORTS", key, {"ligne 1"});
    }
    // The start date is built from the pay period "yyyymm".
    static std::string statement(const std::string& period) {
        std::string start;
        if (!period.empty()) start = period.substr(0, 4) + "-" + period.substr(4, 2) + "-01";
        return "SELECT VESPERONRAPPORTS AVEC Date >= " + Q + start + Q + " PAR-DECR @ID";
    }
};

TEST_P(ReportListTest, ReportsOfThePayPeriodOnNewestFirst) {
    EXPECT_EQ(select(statement("200603")),
              (Keys{"2006-04-02_autre.txt", "2006-03-14_import.txt", "2006-03-01_import.txt"}));
    // Without a pay period the start date is empty and every report is listed.
    EXPECT_EQ(select(statement("")).size(), 4u);
}

TEST_P(ReportListTest, ServerRoutineReturnsKeysOnePerAttribute) {
    DynArray request;
    request.replace(1, statement("200604"));
    request.replace(2, "VESPERONRAPPORTS");
    request.replace(3, "0");
    std::vector<std::string> args{"0", request.text(), ""};
    Session session(db_, "test");
    session.call("DBA.SELECT", args);
    EXPECT_EQ(args[2], "2006-04-02_autre.txt");
}

// --- Quarterly declarations ---------------------------------------------------------------------

class DeclarationTest : public QueryTest {
  protected:
    void SetUp() override {
        QueryTest::SetUp();
        if (!db_) return;
        put("AIDANT", "00012", {"MARTIN", "Paul"});
        put("AIDANT", "00013", {"DURAND", "Zoé"});
        put("AIDANT", "00014", {"MARTIN", "Anne"});
        dict("DETAILCHGPARTEMP", "CodCtrUrssafDetailChgPartemp", 2);
        dict("DETAILCHGPARTEMP", "NomAideDetailChgPartemp", 0,
             std::string("T1,5") + kValueMark + "TAIDANT;X;;1");
        dict("DETAILCHGPARTEMP", "PrenomAideDetailChgPartemp", 0,
             std::string("T1,5") + kValueMark + "TAIDANT;X;;2");
        // helper code, entity, year, quarter
        put("DETAILCHGPARTEMP", "0001201220051", {"012", "07"});
        put("DETAILCHGPARTEMP", "0001301220051", {"012", "07"});
        put("DETAILCHGPARTEMP", "0001401220051", {"012", "07"});
        put("DETAILCHGPARTEMP", "0001501220051", {"012", "07"});  // helper not in AIDANT
        put("DETAILCHGPARTEMP", "0001201220052", {"012", "07"});  // second quarter
        put("DETAILCHGPARTEMP", "0001201320051", {"013", "07"});  // other entity
        put("DETAILCHGPARTEMP", "0001601220051", {"012", "08"});  // other centre
        put("DETAILCHGPARTEMP", "0001620051", {"012", "07"});     // ends with 20051 too
    }

    // From the quarter label: Y its last four characters, Q its first character.
    static std::string statement(const std::string& label, const std::string& entity,
                                 const std::string& centre) {
        const std::string y = label.substr(label.size() - 4);
        const std::string q = label.substr(0, 1);
        return "SSELECT DETAILCHGPARTEMP AVEC @ID = " + Q + "[" + y + q + Q + " AND AVEC 1 = " + Q +
               entity + Q + " AND AVEC CodCtrUrssafDetailChgPartemp = " + Q + centre + Q +
               " PAR NomAideDetailChgPartemp PAR PrenomAideDetailChgPartemp";
    }
};

TEST_P(DeclarationTest, QuarterEntityAndCentreSortedByHelperName) {
    // The helper missing from AIDANT has an empty name and comes first.
    EXPECT_EQ(
        select(statement("1er  TRIMESTRE 2005", "012", "07")),
        (Keys{"0001501220051", "0001620051", "0001301220051", "0001401220051", "0001201220051"}));
    EXPECT_EQ(select(statement("2ème TRIMESTRE 2005", "012", "07")), Keys{"0001201220052"});
    EXPECT_EQ(select(statement("1er  TRIMESTRE 2005", "012", "08")), Keys{"0001601220051"});
    EXPECT_EQ(select(statement("3ème TRIMESTRE 2004", "012", "07")), Keys{});
}

TEST_P(QueryTest, CentresAndEntitiesSortedByName) {
    put("CENTREURSSAF", "07", {"LYON"});
    put("CENTREURSSAF", "02", {"AMIENS"});
    EXPECT_EQ(select("SSELECT CENTREURSSAF PAR 1"), (Keys{"02", "07"}));
}

// --- Invoice archive --------------------------------------------------------------------------

struct InvoiceCriteria {
    std::string entity = "012", start = "200501", end = "200503", mode = "P";
    bool byResponsible = true;
    std::string code;
    bool byName = true;
    std::string from = "A", to = "ZZ";
    bool byAddress = false;
    std::string sort = "Alpha";
};

// The statement as the invoice control builds it.
std::string invoiceStatement(const InvoiceCriteria& c) {
    std::string s = "SSELECT ARCHIVEFACT AVEC AssocArcFact = " + Q + c.entity + Q;
    s += " AND AVEC PeriodeArcFact >= " + Q + c.start + Q + " AND AVEC PeriodeArcFact <= " + Q +
         c.end + Q;
    s += " AND AVEC ActiviteArcFact = " + Q + c.mode + Q;
    const std::string who = c.byResponsible ? "CodeRespArcFact" : "CodeSectArcFact";
    s += c.code.empty() ? " AND AVEC " + who + " <> " + Q + Q
                        : " AND AVEC " + who + " = " + Q + c.code + Q;
    const std::string bound = c.byName ? "NomAideArcFact" : "NumFactArcFact";
    s += " AND AVEC " + bound + " >= " + Q + c.from + "]" + Q + " AND AVEC " + bound + " <= " + Q +
         c.to + "]" + Q;
    if (c.byAddress) s += " PAR ComAdrArcFact PAR NomAdrArcFact";
    const std::string names = " PAR NomAideArcFact PAR PrenomAideArcFact PAR @ID";
    if (c.sort == "Alpha") s += names;
    if (c.sort == "Sect") s += " PAR CodeSectArcFact" + names;
    if (c.sort == "Comm") s += " PAR LibComArcFact" + names;
    return s;
}

class InvoiceArchiveTest : public QueryTest {
  protected:
    void SetUp() override {
        QueryTest::SetUp();
        if (!db_) return;
        const char* items[] = {"AssocArcFact",      "PeriodeArcFact",  "ActiviteArcFact",
                               "CodeRespArcFact",   "CodeSectArcFact", "NomAideArcFact",
                               "PrenomAideArcFact", "NumFactArcFact",  "ComAdrArcFact",
                               "NomAdrArcFact",     "LibComArcFact"};
        for (int i = 0; i < 11; ++i) dict("ARCHIVEFACT", items[i], i + 1);
        // entity, period, mode, responsible, sector, name, first name, invoice, address town,
        // address name, town
        invoice("F01", "012", "200501", "P", "001", "S1", "MARTIN", "Paul", "0000000150", "C2");
        invoice("F02", "012", "200502", "P", "002", "S2", "MARCHAND", "Anne", "0000000120", "C1");
        invoice("F03", "012", "200503", "P", "001", "S1", "ZZTOP", "Billy", "0000000300", "C1");
        invoice("F04", "012", "200504", "P", "001", "S1", "ABEL", "Out", "0000000110", "C1");
        invoice("F05", "012", "200412", "P", "001", "S1", "ABEL", "Out", "0000000110", "C1");
        invoice("F06", "012", "200502", "M", "001", "S1", "ABEL", "Out", "0000000110", "C1");
        invoice("F07", "012", "200502", "P", "", "S1", "ABEL", "Out", "0000000110", "C1");
        invoice("F08", "013", "200502", "P", "001", "S1", "ABEL", "Out", "0000000110", "C1");
        invoice("F09", "012", "200501", "P", "003", "S2", "ABEL", "Jean", "0000000050", "C2");
        invoice("F10", "012", "200501", "P", "001", "S2", "MARTIN", "Anne", "0000000200", "C2");
        invoice("F11", "012", "200501", "P", "001", "S1", "", "Sans", "0000000100", "C1");
        invoice("F12", "012", "200501", "P", "001", "S1", "MARTIN", "Paul", "0000000160", "C1");
        invoice("F13", "012", "200502", "P", "001", "S2", "MARS", "Luc", "0000000210", "C2");
        invoice("F14", "012", "200502", "P", "001", "S1", "MAS", "Léa", "0000000100", "C1");
    }

    void invoice(const std::string& key, const std::string& entity, const std::string& period,
                 const std::string& mode, const std::string& resp, const std::string& sect,
                 const std::string& name, const std::string& first, const std::string& number,
                 const std::string& town) {
        put("ARCHIVEFACT", key,
            {entity, period, mode, resp, sect, name, first, number, town, "N" + key,
             town == "C1" ? "AMIENS" : "LYON"});
    }
};

TEST_P(InvoiceArchiveTest, DefaultCriteriaSortAlphabetically) {
    const InvoiceCriteria c;
    EXPECT_EQ(invoiceStatement(c),
              "SSELECT ARCHIVEFACT AVEC AssocArcFact = \"012\" AND AVEC PeriodeArcFact >= "
              "\"200501\" AND AVEC PeriodeArcFact <= \"200503\" AND AVEC ActiviteArcFact = \"P\" "
              "AND AVEC CodeRespArcFact <> \"\" AND AVEC NomAideArcFact >= \"A]\" AND AVEC "
              "NomAideArcFact <= \"ZZ]\" PAR NomAideArcFact PAR PrenomAideArcFact PAR @ID");
    // ZZTOP lies above "ZZ" but begins with ZZ; the empty responsible (F07) and the empty
    // name (F11) are left out; MARTIN Paul twice is ordered by key.
    EXPECT_EQ(select(invoiceStatement(c)),
              (Keys{"F09", "F02", "F13", "F10", "F01", "F12", "F14", "F03"}));
}

TEST_P(InvoiceArchiveTest, EndBoundCoversNamesBeginningWithIt) {
    InvoiceCriteria c;
    c.to = "MAR";
    EXPECT_EQ(select(invoiceStatement(c)), (Keys{"F09", "F02", "F13", "F10", "F01", "F12"}));
    c.from = "MART";
    c.to = "MART";
    EXPECT_EQ(select(invoiceStatement(c)), (Keys{"F10", "F01", "F12"}));
}

TEST_P(InvoiceArchiveTest, ResponsibleOrSectorCode) {
    InvoiceCriteria c;
    c.code = "001";
    EXPECT_EQ(select(invoiceStatement(c)), (Keys{"F13", "F10", "F01", "F12", "F14", "F03"}));
    c.byResponsible = false;
    c.code = "S2";
    EXPECT_EQ(select(invoiceStatement(c)), (Keys{"F09", "F02", "F13", "F10"}));
}

TEST_P(InvoiceArchiveTest, InvoiceNumberBoundsSortedByTown) {
    InvoiceCriteria c;
    c.byName = false;
    c.from = "0000000100";
    c.to = "0000000200";
    c.sort = "Comm";
    // The bounds now apply to the number, so the invoice without a name (F11) is in.
    // AMIENS: F11, F02 MARCHAND, F12 MARTIN, F14 MAS; LYON: F10, F01 MARTIN Anne, Paul.
    EXPECT_EQ(select(invoiceStatement(c)), (Keys{"F11", "F02", "F12", "F14", "F10", "F01"}));
}

TEST_P(InvoiceArchiveTest, AddressSortComesBeforeTheChosenSort) {
    InvoiceCriteria c;
    c.byAddress = true;
    c.sort = "Sect";
    EXPECT_EQ(select(invoiceStatement(c)),
              (Keys{"F02", "F03", "F12", "F14", "F01", "F09", "F10", "F13"}));
}

// --- Leave counting: the overlap selection --------------------------------------------------

class LeaveSelectionTest : public QueryTest {
  protected:
    void SetUp() override {
        QueryTest::SetUp();
        if (!db_) return;
        dict("ABSENCESAIDANT", "CodeAidant", 0, "T1,5", "5L");
        dict("ABSENCESAIDANT", "NumMotifAidant", 0, "T6,2", "2R");
        dict("ABSENCESAIDANT", "DebAbsAidant", 0, "T8,5", "5R");
        // key: helper, motive, start; attribute 2: end
        absence("00012", "14", "13990", "14005");  // overlaps the start of the period
        absence("00012", "15", "14100", "14102");
        absence("00012", "16", "14100", "14101");
        absence("00012", "17", "14100", "14110");  // motive not counted
        absence("00012", "25", "14200", "14201");
        absence("00012", "31", "14300", "14301");
        absence("00012", "32", "14300", "14301");  // motive not counted
        absence("00012", "14", "13900", "13950");  // ends before the period
        absence("00012", "25", "14400", "14401");  // starts after the period
        absence("00012", "31", "13800", "13999");  // ends the day before the period
        absence("00013", "14", "14100", "14105");  // other helper
        absence("00013", "31", "14300", "14301");  // other helper, motive 31
        absence("00120", "25", "14200", "14201");  // helper code not beginning with 00012
    }
    void absence(const std::string& helper, const std::string& motive, const std::string& start,
                 const std::string& end) {
        put("ABSENCESAIDANT", helper + motive + start, {"", end});
    }

    static std::string statement(const std::string& h, const std::string& s, const std::string& e) {
        return "SSELECT ABSENCESAIDANT AVEC 0 = " + Q + h + "]" + Q +
               " AND AVEC NumMotifAidant >= " + Q + "14" + Q + " AND AVEC NumMotifAidant <= " + Q +
               "16" + Q + " AND AVEC DebAbsAidant <= " + Q + e + Q + " AND AVEC 2 >= " + Q + s + Q +
               " OR AVEC 0 = " + Q + h + "]" + Q + " AND AVEC NumMotifAidant = " + Q + "25" + Q +
               " OR = " + Q + "31" + Q + " AND AVEC DebAbsAidant <= " + Q + e + Q +
               " AND AVEC 2 >= " + Q + s + Q +
               " PAR CodeAidant PAR DebAbsAidant PAR-DECR NumMotifAidant";
    }
};

TEST_P(LeaveSelectionTest, CountedMotivesOverlappingThePeriod) {
    EXPECT_EQ(
        select(statement("00012", "14000", "14364")),
        (Keys{"000121413990", "000121614100", "000121514100", "000122514200", "000123114300"}));
}

TEST_P(LeaveSelectionTest, ReadsOnlyTheHelpersKeys) {
    storage_->resetCounts();
    select(statement("00012", "14000", "14364"));
    EXPECT_EQ(storage_->scans, 0);
    EXPECT_EQ(storage_->prefixScans, 1);
    EXPECT_EQ(storage_->lastPrefix, "00012");
    EXPECT_EQ(storage_->visited, 10);
}

ORV_ON_BOTH_BACKENDS(EntityListTest);
ORV_ON_BOTH_BACKENDS(QueryTest);
ORV_ON_BOTH_BACKENDS(ReportListTest);
ORV_ON_BOTH_BACKENDS(DeclarationTest);
ORV_ON_BOTH_BACKENDS(InvoiceArchiveTest);
ORV_ON_BOTH_BACKENDS(LeaveSelectionTest);

}  // namespace
}  // namespace orv::testing
