// The absence report's lines as the container builds them: which absences the categories keep,
// the forecast leave columns, the order by group, name and start day.
#include <gtest/gtest.h>

#include "client/marks.h"
#include "host/lignes_absences.h"
#include "testkit.h"

namespace {

using orv::host::CriteresAbsences;
using orv::host::lignesAbsences;
using orv::host::Regroupement;

struct Lignes : orv::test::TempDatabase {
    Lignes() : TempDatabase({"ABSENCESAIDANT", "DEMANDESCONGES", "CIVILAIDANT", "CONTRAT"}) {
        for (const char* file : {"ABSENCESAIDANT", "DEMANDESCONGES"}) {
            dictionary(file, "DebAbsAidant", 0, "T8,5", "5R");
            dictionary(file, "FinAbsAidant", 2, "", "5R");
            dictionary(file, "DebDemandeConges", 0, "T8,5", "5R");
            dictionary(file, "FinDemandeConges", 2, "", "5R");
        }
        // Two helpers of sectors 002 and 001; the second (by code) sorts first by name too.
        write("CIVILAIDANT", "00101",
              orv::test::sparseRecord({{2, "MARTIN"}, {3, "Luc"}, {11, "LYON"}, {31, "002"}}));
        write("CIVILAIDANT", "00102",
              orv::test::sparseRecord({{2, "ÉVRARD"}, {3, "Anne"}, {11, "BRON"}, {31, "001"}}));
        write("CONTRAT", "00101*01", orv::test::sparseRecord({{7, "13000"}}));
        write("CONTRAT", "00101*02", orv::test::sparseRecord({{7, "12000"}}));
        // Absences meeting 14000-14030: a stoppage (01), leave (14), a family event (10) still
        // pending, and a leave of 00102; one outside the period.
        absence("00101", "01", 13990, 14005, "");
        absence("00101", "14", 14010, 14020, "");
        absence("00101", "10", 14025, 14040, "EnC");
        absence("00102", "14", 14001, 14002, "");
        absence("00101", "14", 14100, 14110, "");
        write("DEMANDESCONGES", "001011414020",
              orv::test::record({"13950", "14029", "Congés payés", "Acc", "1000", "2"}));
    }
    void absence(const QString& helper, const QString& motive, long start, long end,
                 const QString& status) {
        write("ABSENCESAIDANT", helper + motive + QString::number(start),
              orv::test::record({"13900", QString::number(end), "Motif " + motive, status}));
    }
    QStringList keys(const CriteresAbsences& c) {
        const dba::Record r = lignesAbsences(db(), c);
        return r.get().isEmpty() ? QStringList() : r.firstValues();
    }
};

CriteresAbsences periode() {
    CriteresAbsences c;
    c.debut = 14000;
    c.fin = 14030;
    return c;
}

TEST(LignesAbsences, CategoriesChosenAndOrderOfTheLines) {
    Lignes fx;
    struct Case {
        const char* what;
        void (*apply)(CriteresAbsences&);
        QStringList expected;
    } cases[] = {
        {"every category, by name then start day",
         [](CriteresAbsences&) {},
         {"001021414001", "001010113990", "001011414010", "001011014025"}},
        {"no work stoppage",
         [](CriteresAbsences& c) { c.arretsTravail = false; },
         {"001021414001", "001011414010", "001011014025"}},
        {"no leave",
         [](CriteresAbsences& c) { c.conges = false; },
         {"001010113990", "001011014025"}},
        {"no pending request",
         [](CriteresAbsences& c) { c.aValider = false; },
         {"001021414001", "001010113990", "001011414010"}},
        {"grouped by sector: 001 first",
         [](CriteresAbsences& c) { c.regroupement = Regroupement::Secteur; },
         {"001021414001", "001010113990", "001011414010", "001011014025"}},
        {"grouped by commune: BRON before LYON",
         [](CriteresAbsences& c) { c.regroupement = Regroupement::Commune; },
         {"001021414001", "001010113990", "001011414010", "001011014025"}},
    };
    for (const Case& k : cases) {
        CriteresAbsences c = periode();
        k.apply(c);
        EXPECT_EQ(fx.keys(c), k.expected) << k.what;
    }
}

TEST(LignesAbsences, ForecastLeaveColumns) {
    Lignes fx;
    CriteresAbsences c = periode();
    c.previsionnel = true;
    const dba::Record r = lignesAbsences(fx.db(), c);
    ASSERT_EQ(r.DCount(), 1);
    EXPECT_EQ(r.get(1, 1), "001011414020");
    // The "Type" column holds six characters: the label is shortened as the report prints it.
    EXPECT_EQ(r.get(1, 2), "Co.Pay");
    EXPECT_EQ(r.get(1, 3), "Acc");
    // Seniority from the earliest contract (day 12000): 2020 days, 5 whole years.
    EXPECT_EQ(r.get(1, 8), "5");
    EXPECT_EQ(r.get(1, 9), "2");
    EXPECT_EQ(r.get(1, 14), "00101141402014029");
    EXPECT_EQ(r.get(1, 15), "10,0");
    EXPECT_EQ(r.get(1).count(QChar(orv::kValueMarkChar)), 14);  // the empty values keep their place
}

// A long list: every line keeps its values, an empty label its place, in start-day order.
TEST(LignesAbsences, ManyLinesKeepTheirValuesInOrder) {
    Lignes fx;
    QList<QStringList> attendues;
    for (long jour = 14000; jour < 14300; ++jour) {
        const QString libelle = jour % 3 ? QStringLiteral("Motif 14") : QString();
        const QString cle = QStringLiteral("0010314") + QString::number(jour);
        fx.write("ABSENCESAIDANT", cle,
                 orv::test::record({"13900", QString::number(jour + 2), libelle}));
        attendues << QStringList{cle, libelle, QString::number(jour + 2)};
    }
    CriteresAbsences c = periode();
    c.fin = 14400;
    c.arretsTravail = c.evenementsFamiliaux = false;
    QList<QStringList> lignes = orv::host::valeursDesLignes(lignesAbsences(fx.db(), c));
    lignes.removeIf([](const QStringList& l) { return !l[0].startsWith(QStringLiteral("00103")); });
    EXPECT_EQ(lignes, attendues);
}

}  // namespace
