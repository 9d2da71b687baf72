#include "engine/dynarray.h"

#include <gtest/gtest.h>

using orv::DynArray;

namespace {

// Builds a record from a readable form: '^' attribute mark, ']' value mark, '\' subvalue mark.
DynArray rec(std::string s) {
    for (char& c : s) {
        if (c == '^')
            c = orv::kAttributeMark;
        else if (c == ']')
            c = orv::kValueMark;
        else if (c == '\\')
            c = orv::kSubvalueMark;
    }
    return DynArray(s);
}

std::string readable(std::string s) {
    for (char& c : s) {
        if (c == orv::kAttributeMark)
            c = '^';
        else if (c == orv::kValueMark)
            c = ']';
        else if (c == orv::kSubvalueMark)
            c = '\\';
    }
    return s;
}

}  // namespace

TEST(DynArray, ExtractsEveryLevelAndGivesEmptyPastTheEnd) {
    DynArray r = rec("A^B1]B2\\x\\y]B3^C");
    EXPECT_EQ(r.extract(1), "A");
    EXPECT_EQ(readable(std::string(r.extract(2))), "B1]B2\\x\\y]B3");
    EXPECT_EQ(readable(std::string(r.extract(2, 2))), "B2\\x\\y");
    EXPECT_EQ(r.extract(2, 2, 3), "y");
    EXPECT_EQ(r.extract(2, 3), "B3");
    EXPECT_EQ(r.extract(3), "C");
    EXPECT_EQ(r.extract(4), "");
    EXPECT_EQ(r.extract(2, 9), "");
    EXPECT_EQ(r.extract(2, 2, 9), "");
    EXPECT_EQ(r.extract(1, 1), "A");  // a plain attribute is its own first value
    EXPECT_EQ(r.extract(1, 2), "");
}

TEST(DynArray, CountsFollowTheMultivalueRule) {
    EXPECT_EQ(DynArray().count(), 0);
    DynArray r = rec("A^B1]B2\\x^^");
    EXPECT_EQ(r.count(), 4);
    EXPECT_EQ(r.count(2), 2);
    EXPECT_EQ(r.count(2, 2), 2);
    EXPECT_EQ(r.count(3), 0);
    EXPECT_EQ(r.count(9), 0);
}

TEST(DynArray, ReplacePadsWithMarks) {
    DynArray r;
    r.replace(3, 0, 0, "C");
    EXPECT_EQ(readable(r.text()), "^^C");
    r.replace(3, 3, 0, "V");
    EXPECT_EQ(readable(r.text()), "^^C]]V");
    r.replace(1, 1, 2, "S");
    EXPECT_EQ(readable(r.text()), "\\S^^C]]V");
    r.replace(3, 1, 0, "Cx");
    EXPECT_EQ(readable(r.text()), "\\S^^Cx]]V");
    r.replace(0, 0, 0, "whole");
    EXPECT_EQ(r.text(), "whole");
}

TEST(DynArray, InsertAndRemoveAtEachLevel) {
    DynArray r = rec("A^B^C");
    r.insert(2, 0, 0, "N");
    EXPECT_EQ(readable(r.text()), "A^N^B^C");
    r.insert(3, 2, 0, "v");
    EXPECT_EQ(readable(r.text()), "A^N^B]v^C");
    r.insert(3, 2, 1, "s");
    EXPECT_EQ(readable(r.text()), "A^N^B]s\\v^C");
    r.remove(3, 2, 1);
    EXPECT_EQ(readable(r.text()), "A^N^B]v^C");
    r.remove(3, 2);
    EXPECT_EQ(readable(r.text()), "A^N^B^C");
    r.remove(4);  // the last attribute takes the mark before it
    EXPECT_EQ(readable(r.text()), "A^N^B");
    r.remove(1);
    EXPECT_EQ(readable(r.text()), "N^B");
    r.remove(7);  // past the end: nothing happens
    EXPECT_EQ(readable(r.text()), "N^B");
    DynArray e;
    e.insert(1, 0, 0, "first");
    EXPECT_EQ(e.text(), "first");
    e.insert(4, 0, 0, "far");
    EXPECT_EQ(readable(e.text()), "first^^^far");
}

TEST(DynArray, KeepsUtf8TextIntact) {
    DynArray r;
    r.replace(1, 0, 0, "Élodie");
    r.replace(2, 2, 0, "Müller ýþ");
    EXPECT_EQ(r.extract(1), "Élodie");
    EXPECT_EQ(r.extract(2, 2), "Müller ýþ");
    EXPECT_EQ(r.count(2), 2);
}
