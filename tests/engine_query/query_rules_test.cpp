// Rules of the selection language: wildcards, numbers against texts, multivalued attributes,
// sort order, key-range reads and the rejection of bad statements.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "engine/collation.h"
#include "engine/query_value.h"
#include "tests/engine_query/query_fixture.h"

namespace orv::testing {
namespace {

class RulesTest : public QueryTest {
  protected:
    void SetUp() override {
        QueryTest::SetUp();
        if (!db_) return;
        dict("T", "Nom", 1);
        dict("T", "Rang", 2, "", "5R");
        dict("T", "Prenom", 0, "T1,6");
        // key, attributes 1 (name), 2 (rank), 3 (multivalued codes)
        put("T", "ABCDEF", {"MARTIN", "10", "A" + vm + "B" + vm + "C"});
        put("T", "ÉLODIE01", {"MARS", "9", "B"});
        put("T", "ABXYZ", {"ZOLA", "", "Z"});
        put("T", "007", {"MARTINEZ", "-1", ""});
        put("T", "QXYZ", {"", "X1", "A" + sm + "Q"});
    }
    Keys where(const std::string& conditions) { return select("SELECT T AVEC " + conditions); }
    bool onServer() const { return GetParam() == test::Backend::Postgres; }
    const std::string vm{kValueMark};
    const std::string sm{kSubvalueMark};
};

TEST_P(RulesTest, WildcardValues) {
    EXPECT_EQ(where("@ID = " + Q + "AB]" + Q), (Keys{"ABCDEF", "ABXYZ"}));
    EXPECT_EQ(where("@ID = " + Q + "[XYZ" + Q), (Keys{"ABXYZ", "QXYZ"}));
    EXPECT_EQ(where("@ID = " + Q + "[CD]" + Q), Keys{"ABCDEF"});
    // Negated: does not begin / end with.
    EXPECT_EQ(where("@ID <> " + Q + "AB]" + Q), (Keys{"ÉLODIE01", "007", "QXYZ"}));
    EXPECT_EQ(where("@ID <> " + Q + "[XYZ" + Q), (Keys{"ABCDEF", "ÉLODIE01", "007"}));
    // An end bound takes the values that begin with it; a start bound compares with its text.
    EXPECT_EQ(where("Nom <= " + Q + "MART]" + Q), (Keys{"ABCDEF", "ÉLODIE01", "007", "QXYZ"}));
    EXPECT_EQ(where("Nom < " + Q + "MART]" + Q), (Keys{"ABCDEF", "ÉLODIE01", "007", "QXYZ"}));
    EXPECT_EQ(where("Nom >= " + Q + "MARTIN]" + Q), (Keys{"ABCDEF", "ABXYZ", "007"}));
    EXPECT_EQ(where("Nom > " + Q + "MARTIN]" + Q), (Keys{"ABXYZ", "007"}));
    EXPECT_EQ(where("Nom = " + Q + "]" + Q).size(), 5u);
}

TEST_P(RulesTest, NumbersCompareByValueTextsByBytes) {
    // 10 > 9 as numbers; "X1" and the empty rank are texts.
    EXPECT_EQ(where("Rang > " + Q + "9" + Q), (Keys{"ABCDEF", "QXYZ"}));
    EXPECT_EQ(where("Rang = " + Q + "10.00" + Q), Keys{"ABCDEF"});
    EXPECT_EQ(where("Rang < " + Q + "0" + Q), (Keys{"ABXYZ", "007"}));
    EXPECT_EQ(where("@ID = " + Q + "7" + Q), Keys{"007"});
    EXPECT_EQ(where("Rang = " + Q + Q), Keys{"ABXYZ"});
    EXPECT_EQ(where("Rang <> " + Q + Q).size(), 4u);

    using query::compareNumbers;
    EXPECT_EQ(compareNumbers("-0", "0.0"), 0);
    EXPECT_LT(compareNumbers("012", "013"), 0);
    EXPECT_GT(compareNumbers("100", "099"), 0);
    EXPECT_EQ(compareNumbers("007", "7"), 0);
    EXPECT_LT(compareNumbers("9", "10"), 0);
    EXPECT_LT(compareNumbers("-2.5", "-2.4"), 0);
    EXPECT_LT(compareNumbers("0.5", "0.51"), 0);
    EXPECT_GT(compareNumbers("123456789012345678901", "123456789012345678900"), 0);
    EXPECT_FALSE(query::isNumber("12."));
    EXPECT_FALSE(query::isNumber("1e5"));
    EXPECT_TRUE(query::isNumber("+.5"));
}

// French names in their expected order: word by word, accents and case aside first, then the
// accents, then the case, then the bytes (a decomposed É before the composed one).
const std::vector<std::string> kFrenchNames = {
    "ABÉLARD Jean",   "CŒUR Anne",       "COEUR Bruno",       "D'ARTOIS Jean", "DARTOIS Marc",
    "de LA TOUR Luc", "DE LAMBERT Paul", "DELACROIX Eve",     "ECOLE Jules",   "EMILE Zoé",
    "emile Zoé",      "ÉMILE Zoé",       "E\u0301VRARD Anne", "ÉVRARD Anne",   "Le GOFF Yann",
    "LE-BRUN Léa",    "LEBLANC Paul",    "PETIT Jean",        "ZOLA Luc",      "ZZAOUI Nour",
};

TEST(FrenchOrder, NamesCompareAsADirectoryFilesThem) {
    for (size_t i = 0; i + 1 < kFrenchNames.size(); ++i) {
        const std::string& a = kFrenchNames[i];
        const std::string& b = kFrenchNames[i + 1];
        EXPECT_LT(collation::compare(a, b), 0) << a << " / " << b;
        EXPECT_GT(collation::compare(b, a), 0) << b << " / " << a;
        EXPECT_LE(collation::key(a), collation::key(b)) << a << " / " << b;
        EXPECT_EQ(collation::key(a).find('\0'), std::string::npos);
    }
    // One key for the two spellings of an accent; a text lies between its prefix and past it.
    EXPECT_EQ(collation::key("E\u0301VRARD"), collation::key("ÉVRARD"));
    EXPECT_LT(collation::key("evr"), collation::key("ÉVRARD Anne"));
    EXPECT_LT(collation::key("ÉVRARD Anne"), collation::key(collation::pastPrefix("evr")));
    EXPECT_LT(collation::compare("ZZAOUI", collation::pastPrefix("ZZ")), 0);
    EXPECT_LT(collation::compare("ZZ\u0301", collation::pastPrefix("ZZ")), 0);
    EXPECT_GT(collation::compare("ZZ\u0301", "ZZ"), 0);
    EXPECT_EQ(collation::compare("ÉVRARD", "ÉVRARD"), 0);
}

// The cache gives each text its own key: texts that come again, the two spellings of an accent,
// and the texts that follow once mostly different ones have made it stop remembering.
TEST(FrenchOrder, KeyCacheGivesTheKeyOfEachText) {
    std::vector<std::string> texts;
    for (int round = 0; round < 3; ++round)
        texts.insert(texts.end(), kFrenchNames.begin(), kFrenchNames.end());
    for (int i = 0; i < 3000; ++i) texts.push_back("NOM " + std::to_string(i));
    texts.insert(texts.end(), kFrenchNames.begin(), kFrenchNames.end());
    collation::KeyCache cache;
    for (const std::string& t : texts) EXPECT_EQ(cache.key(t), collation::key(t)) << t;
}

TEST_P(RulesTest, FrenchOrderInSortsAndRangesWithOrWithoutIndexes) {
    dict("N", "Nom", 1);
    // Keys in the reverse order of the names, so that the key breaks no tie the names leave.
    const size_t n = kFrenchNames.size();
    std::vector<std::string> keys;
    for (size_t i = 0; i < n; ++i) keys.push_back("K" + std::to_string(100 - i));
    for (size_t i : {7, 0, 13, 19, 2, 11, 5, 16, 9, 1, 14, 3, 18, 6, 12, 8, 15, 4, 17, 10})
        put("N", keys[i], {kFrenchNames[i]});
    const Keys reversed(keys.rbegin(), keys.rend());
    auto range = [&](size_t from, size_t to, Keys more = {}) {
        Keys out(keys.begin() + from, keys.begin() + to);
        out.insert(out.end(), more.begin(), more.end());
        return out;
    };
    EXPECT_EQ(select("SSELECT N PAR Nom"), keys);
    EXPECT_EQ(select("SSELECT N PAR 1"), keys);
    EXPECT_EQ(select("SSELECT N PAR-DECR Nom"), reversed);
    struct Case {
        std::string conditions;
        Keys expected;
    };
    const Case cases[] = {
        {"Nom >= " + Q + "A]" + Q + " AND <= " + Q + "ZZ]" + Q, keys},
        {"Nom >= " + Q + "D" + Q + " AND < " + Q + "E" + Q, range(3, 8)},
        {"Nom >= " + Q + "d" + Q + " AND <= " + Q + "DE]" + Q, range(3, 8)},
        {"Nom > " + Q + "EMILE Zoé" + Q + " AND <= " + Q + "evrard]" + Q, range(10, 14)},
        {"1 < " + Q + "C" + Q + " OR >= " + Q + "ZOLA Luc" + Q, range(0, 1, {keys[18], keys[19]})},
        // Equality stays exact on the bytes: the decomposed name is another value.
        {"Nom = " + Q + "ÉVRARD Anne" + Q, Keys{keys[13]}},
        {"Nom = " + Q + "É]" + Q, Keys{keys[11], keys[13]}},
        {"Nom <> " + Q + "[Zoé" + Q + " AND < " + Q + "F" + Q, range(0, 9, {keys[12], keys[13]})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(select("SSELECT N AVEC " + c.conditions + " PAR Nom"), c.expected)
            << c.conditions;
}

TEST_P(RulesTest, TextSortKeysFollowFrenchOrder) {
    put("T", "K1", {"BRUNET"});
    put("T", "K2", {"BÉNARD"});
    put("T", "K3", {"emile"});
    put("T", "K4", {"Émile"});
    put("T", "K5", {"EMILE"});
    put("T", "K6", {"EMILE"});
    put("T", "K7", {"Émilie"});
    put("T", "K8", {"ECOLE"});
    const std::string byName = "SSELECT T AVEC @ID = " + Q + "K]" + Q + " PAR Nom";
    // Accents and case folded first, then the text byte by byte, then the key.
    EXPECT_EQ(select(byName), (Keys{"K2", "K1", "K8", "K5", "K6", "K3", "K4", "K7"}));
    // Descending reverses the names; equal names still come by key ascending.
    EXPECT_EQ(select("SSELECT T AVEC @ID = " + Q + "K]" + Q + " PAR-DECR Nom"),
              (Keys{"K7", "K4", "K3", "K5", "K6", "K8", "K1", "K2"}));
    // Bounds compare in the same order: lower case and accented capitals lie within "A" to "ZZ".
    EXPECT_EQ(select("SELECT T AVEC @ID = " + Q + "K]" + Q + " AND AVEC Nom >= " + Q + "A]" + Q +
                     " AND AVEC Nom <= " + Q + "ZZ]" + Q)
                  .size(),
              8u);
}

TEST_P(RulesTest, TextExtractCountsCharacters) {
    EXPECT_EQ(where("Prenom = " + Q + "ÉLODIE" + Q), Keys{"ÉLODIE01"});
    EXPECT_EQ(query::utf8Substring("ÉLODIE01", 7, 2), "01");
    EXPECT_EQ(query::utf8Substring("àé", 2, 5), "é");
    EXPECT_EQ(query::utf8Substring("abc", 4, 1), "");
}

TEST_P(RulesTest, AnyValueOfAMultivaluedAttributeMayHold) {
    EXPECT_EQ(where("3 = " + Q + "B" + Q), (Keys{"ABCDEF", "ÉLODIE01"}));
    EXPECT_EQ(where("3 = " + Q + "Q" + Q), Keys{"QXYZ"});
    // One value must meet every test of a same-field group.
    EXPECT_EQ(where("3 > " + Q + "A" + Q + " AND < " + Q + "C" + Q), (Keys{"ABCDEF", "ÉLODIE01"}));
    EXPECT_EQ(where("3 = " + Q + "A" + Q + " AND = " + Q + "C" + Q), Keys{});
    // Several values after one operator: any of them.
    EXPECT_EQ(where("3 = " + Q + "Z" + Q + " " + Q + "Q" + Q), (Keys{"ABXYZ", "QXYZ"}));
    // An empty attribute has one empty value.
    EXPECT_EQ(where("3 = " + Q + Q), Keys{"007"});
}

TEST_P(RulesTest, AndBindsTighterThanOr) {
    EXPECT_EQ(where("Nom = " + Q + "ZOLA" + Q + " OR AVEC Rang = " + Q + "10" + Q +
                    " AND AVEC 3 = " + Q + "A" + Q),
              (Keys{"ABCDEF", "ABXYZ"}));
    EXPECT_EQ(where("Rang = " + Q + "10" + Q + " OR = " + Q + "9" + Q + " AND AVEC Nom = " + Q +
                    "MARS" + Q),
              Keys{"ÉLODIE01"});
}

TEST_P(RulesTest, SortOrders) {
    // Right-justified: empty first, then numbers by value, then other texts.
    EXPECT_EQ(select("SSELECT T PAR Rang"), (Keys{"ABXYZ", "007", "ÉLODIE01", "ABCDEF", "QXYZ"}));
    EXPECT_EQ(select("SSELECT T PAR-DECR Rang"),
              (Keys{"QXYZ", "ABCDEF", "ÉLODIE01", "007", "ABXYZ"}));
    // An attribute number sorts as text.
    EXPECT_EQ(select("SSELECT T PAR 2"), (Keys{"ABXYZ", "007", "ABCDEF", "ÉLODIE01", "QXYZ"}));
    // Ties are broken by key ascending, also under PAR-DECR.
    put("T", "AAA", {"MARS", "9"});
    EXPECT_EQ(select("SSELECT T AVEC Rang = " + Q + "9" + Q + " PAR-DECR Nom"),
              (Keys{"AAA", "ÉLODIE01"}));
    // SSELECT alone sorts by key; SELECT alone keeps file order.
    EXPECT_EQ(select("SSELECT T"), (Keys{"007", "AAA", "ABCDEF", "ABXYZ", "QXYZ", "ÉLODIE01"}));
    EXPECT_EQ(select("SELECT T"), (Keys{"ABCDEF", "ÉLODIE01", "ABXYZ", "007", "QXYZ", "AAA"}));
    EXPECT_EQ(select("sselect T par-decr @ID").front(), "ÉLODIE01");
    // A value that begins another, or holds a zero byte, ends its column before the next one.
    put("T", "Z1", {"AB"});
    put("T", "Z2", {std::string("A\0Z", 3)});
    put("T", "Z3", {"A", "10"});
    put("T", "Z4", {std::string("A\0", 2)});
    put("T", "Z5", {"A", "9"});
    const std::string zs = "SSELECT T AVEC @ID = " + Q + "Z]" + Q;
    // A zero byte, a control character, counts in French order only among equal texts.
    EXPECT_EQ(select(zs + " PAR Nom PAR Rang"), (Keys{"Z5", "Z3", "Z4", "Z1", "Z2"}));
    EXPECT_EQ(select(zs + " PAR-DECR Nom PAR Rang"), (Keys{"Z2", "Z1", "Z4", "Z5", "Z3"}));
}

TEST_P(RulesTest, KeyConditionReadsOnlyItsKeyRange) {
    storage_->resetCounts();
    EXPECT_EQ(select("SELECT T AVEC 0 = " + Q + "AB]" + Q + " AND AVEC Nom = " + Q + "ZOLA" + Q),
              Keys{"ABXYZ"});
    EXPECT_EQ(storage_->scans, 0);
    EXPECT_EQ(storage_->lastPrefix, "AB");
    // The server also leaves out the record of the range that does not hold "ZOLA".
    EXPECT_EQ(storage_->visited, onServer() ? 1 : 2);

    // Under OR with a condition on another field the whole file must be read.
    storage_->resetCounts();
    EXPECT_EQ(select("SSELECT T AVEC 0 = " + Q + "AB]" + Q + " OR AVEC Nom = " + Q + "MARS" + Q),
              (Keys{"ABCDEF", "ABXYZ", "ÉLODIE01"}));
    EXPECT_EQ(storage_->scans, 1);
    EXPECT_EQ(storage_->prefixScans, 0);

    // A key prefix alone needs no record, unless a field sorts them.
    for (const auto& [sort, keysOnly] : {std::pair{"", 2}, std::pair{" PAR Nom", 0}}) {
        storage_->resetCounts();
        EXPECT_EQ(select("SSELECT T AVEC @ID = " + Q + "AB]" + Q + sort),
                  (Keys{"ABCDEF", "ABXYZ"}));
        EXPECT_EQ(storage_->keysOnly, keysOnly) << sort;
        EXPECT_EQ(storage_->visited, 2 - keysOnly) << sort;
    }

    // A number may be spelt several ways ("7" is "007"): no key range for it.
    storage_->resetCounts();
    EXPECT_EQ(select("SSELECT T AVEC @ID = " + Q + "7" + Q), Keys{"007"});
    EXPECT_EQ(storage_->scans, 1);
}

// The server sends only the records that hold the texts the conditions require; the results
// are the embedded store's, which reads the whole file.
TEST_P(RulesTest, ServerSendsOnlyRecordsThatCanPass) {
    for (const std::string& field : db_->indexes("T")) db_->dropIndex("T", field);  // scans only
    const struct {
        std::string conditions;
        Keys keys;
        int sentByServer;
    } cases[] = {
        {"Nom = " + Q + "ZOLA" + Q, Keys{"ABXYZ"}, 1},
        {"Nom = " + Q + "MAR]" + Q, Keys{"ABCDEF", "ÉLODIE01", "007"}, 3},
        {"Nom = " + Q + "[TIN" + Q + " AND AVEC 3 = " + Q + "B" + Q, Keys{"ABCDEF"}, 1},
        {"Nom = " + Q + "ZOLA" + Q + " OR AVEC Nom = " + Q + "MARS" + Q,
         (Keys{"ÉLODIE01", "ABXYZ"}), 2},
        {"3 = " + Q + "B" + Q, (Keys{"ABCDEF", "ÉLODIE01"}), 2},
        // Every spelling of a number holds its significant digits ("09.0" is 9).
        {"Rang = " + Q + "09.0" + Q, Keys{"ÉLODIE01"}, 1},
        {"Rang = " + Q + "-1" + Q, Keys{"007"}, 3},
        {"Nom = " + Q + "ZOLA" + Q + " OR AVEC Rang = " + Q + "9" + Q, (Keys{"ÉLODIE01", "ABXYZ"}),
         2},
        // Zero has no digit every spelling holds, and <> holds without the text: no test sent.
        {"Rang = " + Q + "0" + Q, Keys{}, 5},
        {"Nom <> " + Q + "MAR]" + Q, (Keys{"ABXYZ", "QXYZ"}), 5},
    };
    for (const auto& c : cases) {
        storage_->resetCounts();
        EXPECT_EQ(where(c.conditions), c.keys) << c.conditions;
        EXPECT_EQ(storage_->visited, onServer() ? c.sentByServer : 5) << c.conditions;
    }
}

TEST_P(RulesTest, TranslateOfAMissingRecord) {
    dict("T", "Ville", 1, "TVILLES;X;;1");
    dict("T", "VilleOuCode", 1, "TVILLES;C;;1");
    put("VILLES", "MARTIN", {"LYON"});
    EXPECT_EQ(where("Ville = " + Q + "LYON" + Q), Keys{"ABCDEF"});
    EXPECT_EQ(where("Ville = " + Q + Q), (Keys{"ÉLODIE01", "ABXYZ", "007", "QXYZ"}));
    EXPECT_EQ(where("VilleOuCode = " + Q + "ZOLA" + Q), Keys{"ABXYZ"});
}

// --- Rejected statements: what and where --------------------------------------------------------

struct Rejected {
    std::string statement;
    DbErrorCode code;
    int position;
};

TEST_P(RulesTest, BadStatementsAreRejectedWithTheirPosition) {
    const std::vector<Rejected> cases = {
        {"", DbErrorCode::QuerySyntax, 1},
        {"SELEC T", DbErrorCode::QuerySyntax, 1},
        {"SSELECT", DbErrorCode::QuerySyntax, 8},
        {"SSELECT INCONNU", DbErrorCode::FileNotFound, 9},
        {"SSELECT T AVEC Inconnu = \"1\"", DbErrorCode::UnknownField, 16},
        {"SSELECT T PAR Inconnu", DbErrorCode::UnknownField, 15},
        {"SSELECT T AVEC 0 \"1\"", DbErrorCode::QuerySyntax, 18},
        {"SSELECT T AVEC 0 = \"1", DbErrorCode::QuerySyntax, 20},
        {"SSELECT T AVEC 0 = 1", DbErrorCode::QuerySyntax, 20},
        {"SSELECT T AVEC 0 < \"[1\"", DbErrorCode::QuerySyntax, 20},
        {"SSELECT T AVEC 0 =< \"1\"", DbErrorCode::QuerySyntax, 19},
        {"SSELECT T AVEC 0 = \"1\" OR", DbErrorCode::QuerySyntax, 26},
        {"SSELECT T AVEC 0 = \"1\" AVEC 1 = \"2\"", DbErrorCode::QuerySyntax, 24},
        {"SSELECT T PAR", DbErrorCode::QuerySyntax, 14},
        {"SSELECT T PAR 1 AVEC 0 = \"1\" AVEC 0 = \"2\"", DbErrorCode::QuerySyntax, 30},
        // Positions count characters: "é" is one.
        {"SSELECT T AVEC 0 = \"é\" AND AVEC X = \"1\"", DbErrorCode::UnknownField, 33},
    };
    for (const Rejected& r : cases) {
        SCOPED_TRACE(r.statement);
        try {
            select(r.statement);
            ADD_FAILURE() << "accepted";
        } catch (const DbError& e) {
            EXPECT_EQ(e.code(), r.code) << e.what();
            EXPECT_NE(std::string(e.what()).find("position " + std::to_string(r.position)),
                      std::string::npos)
                << e.what();
        }
    }
}

TEST_P(RulesTest, BadDictionaryConversionIsNamed) {
    dict("T", "Casse", 1, "MCU");
    dict("T", "Ailleurs", 1, "TNULLEPART;X;;1");
    try {
        select("SSELECT T AVEC Casse = \"A\"");
        ADD_FAILURE() << "accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.code(), DbErrorCode::UnknownField);
        EXPECT_NE(std::string(e.what()).find("Casse"), std::string::npos);
    }
    EXPECT_THROW(
        {
            try {
                select("SSELECT T PAR Ailleurs");
            } catch (const DbError& e) {
                EXPECT_EQ(e.code(), DbErrorCode::FileNotFound);
                throw;
            }
        },
        DbError);
}

// An attribute number far past every record's end, written as a number or through a dictionary
// item, costs no more than a near one: every record holds it empty.
TEST_P(RulesTest, FarAttributeNumbersAnswerAtOnce) {
    dict("T", "Loin", 2000000000);
    const auto started = std::chrono::steady_clock::now();
    const struct {
        std::string conditions;
        size_t selected;
    } cases[] = {
        {"2000000000 = \"x\"", 0},
        {"2000000000 = \"\"", 5},
        {"Loin = \"x\"", 0},
        {"Nom = \"MARS\" AND AVEC 2000000000 = \"\"", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(where(c.conditions).size(), c.selected) << c.conditions;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
}

// A dictionary item chaining an absurd number of conversions is refused, naming the item, when
// it is written and when a database that already holds one reads it; a long chain within the
// limit is evaluated.
TEST_P(RulesTest, AbsurdConversionChainsAreRefused) {
    auto chain = [](int count, const std::string& conversion) {
        std::string text = conversion;
        for (int i = 1; i < count; ++i) text += kValueMark + conversion;
        return text;
    };
    dict("T", "Long", 1, chain(kMaxDictConversions, "T1,3"));
    EXPECT_EQ(where("Long = \"MAR\""), (Keys{"ABCDEF", "ÉLODIE01", "007"}));

    DynArray absurd;
    absurd.replace(1, "D");
    absurd.replace(2, "1");
    absurd.replace(3, chain(150000, "T1,3"));
    auto refusesNamingTheItem = [](const std::function<void()>& f) {
        try {
            f();
            ADD_FAILURE() << "accepted";
        } catch (const DbError& e) {
            EXPECT_EQ(e.code(), DbErrorCode::InvalidArgument);
            EXPECT_NE(std::string(e.what()).find("Absurde"), std::string::npos) << e.what();
        }
    };
    refusesNamingTheItem([&] { db_->write("DICT T", "Absurde", absurd); });
    db_->createFile("U");
    db_->storage().write("DICT U", "Absurde", absurd.text());  // as an older program wrote it
    refusesNamingTheItem([&] { select("SELECT U AVEC Absurde = \"MAR\""); });
}

ORV_ON_BOTH_BACKENDS(RulesTest);

}  // namespace
}  // namespace orv::testing
