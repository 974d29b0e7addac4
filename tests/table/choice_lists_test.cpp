// Drop-down lists of the grid: counts and entries per column, the Integer
// rows offered for the dimension, and that every entry goes back into
// dfnSetValue unchanged.
#include "test_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace uvt_test {
namespace {

const std::vector<std::string> kTypes = {"Integer", "Real", "Character", "Structure"};
const std::vector<std::string> kFixedDimensions = {
    "Scalar",
    "Number of Components",
    "Number of Inlet Streams",
    "Number of Material Inlet Streams",
    "Number of Heat Inlet Streams",
    "Number of Work Inlet Streams",
    "Number of Outlet Streams",
    "Number of Material Outlet Streams",
    "Number of Heat Outlet Streams",
    "Number of Work Outlet Streams",
};
const std::vector<std::string> kIo = {"Input Only", "Output Only", "Input and Output"};

std::string entry(uintptr_t table, int32_t column, int32_t row, int32_t number) {
    return take(dfnGetValidString(table, column, row, number));
}

// All entries of a cell's list, as many as dfnCountValidStrings announces.
std::vector<std::string> list(uintptr_t table, int32_t column, int32_t row) {
    std::vector<std::string> result;
    const int32_t count = dfnCountValidStrings(table, column, row);
    for (int32_t i = 0; i < count; ++i) result.push_back(entry(table, column, row, i));
    return result;
}

std::vector<std::string> dimensions(std::vector<std::string> names) {
    std::vector<std::string> result = kFixedDimensions;
    result.insert(result.end(), names.begin(), names.end());
    return result;
}

using ChoiceListTest = UvtTest;

TEST_F(ChoiceListTest, FixedListsOfAnyTable) {
    const uintptr_t table = makeTable({{"A"}});
    for (int32_t r : {0, 1}) {
        SCOPED_TRACE(r);
        EXPECT_EQ(list(table, 1, r), kTypes);
        EXPECT_EQ(list(table, 2, r), kFixedDimensions);
        EXPECT_EQ(list(table, 4, r), kIo);
        for (int32_t column : {0, 3, 5, -1}) EXPECT_EQ(dfnCountValidStrings(table, column, r), 0) << column;
    }
    DeleteUVT(table);
}

TEST_F(ChoiceListTest, EmptyTableOffersTheFixedLists) {
    const uintptr_t table = CreateUVT(nullptr);
    EXPECT_EQ(list(table, 1, 0), kTypes);
    EXPECT_EQ(list(table, 2, 0), kFixedDimensions);
    EXPECT_EQ(list(table, 4, 0), kIo);
    DeleteUVT(table);
}

TEST_F(ChoiceListTest, DimensionListOffersTheIntegerRowsAbove) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"X", "Real"}, {"M", "Integer"}, {"Y"}});
    EXPECT_EQ(list(table, 2, 0), dimensions({}));
    EXPECT_EQ(list(table, 2, 1), dimensions({"N"}));
    EXPECT_EQ(list(table, 2, 2), dimensions({"N"}));
    EXPECT_EQ(list(table, 2, 3), dimensions({"N", "M"}));
    // The trailing row and beyond: every row but the last one of the table.
    EXPECT_EQ(list(table, 2, 4), dimensions({"N", "M"}));
    EXPECT_EQ(dfnCountValidStrings(table, 2, 50), 12);
    DeleteUVT(table);
}

TEST_F(ChoiceListTest, TrailingRowDoesNotOfferTheLastRow) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"X", "Real"}, {"M", "Integer"}});
    EXPECT_EQ(list(table, 2, 2), dimensions({"N"}));
    EXPECT_EQ(list(table, 2, 3), dimensions({"N"}));
    DeleteUVT(table);
}

TEST_F(ChoiceListTest, UnnamedIntegerRowIsOfferedAsAnEmptyEntry) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"X"}});
    ASSERT_EQ(setCell(table, 0, 0, ""), kEmpty);
    EXPECT_EQ(list(table, 2, 1), dimensions({""}));
    // The dimension column refuses that entry.
    EXPECT_EQ(setCell(table, 2, 1, ""), "Invalid dimension.\n\nDimension unchanged.");
    DeleteUVT(table);
}

TEST_F(ChoiceListTest, EntriesOutOfRangeAreEmptyTexts) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"X"}});
    // Column 2 of row 1 has 11 entries: 0 to 10.
    ASSERT_EQ(dfnCountValidStrings(table, 2, 1), 11);
    EXPECT_EQ(entry(table, 2, 1, 10), "N");
    const std::vector<std::pair<int32_t, int32_t>> outside = {
        {1, 4}, {1, -1}, {2, 11}, {2, -1}, {4, 3}, {4, -1}, {0, 0}, {3, 0}, {9, 0}};
    for (const auto& [column, number] : outside) {
        VARIANT value = dfnGetValidString(table, column, 1, number);
        EXPECT_EQ(value.vt, VT_BSTR) << column << "/" << number;
        EXPECT_EQ(take(value), "") << column << "/" << number;
    }
    // Row 0 offers no Integer row, so entry 10 does not exist there.
    EXPECT_EQ(entry(table, 2, 0, 10), "");
    DeleteUVT(table);
}

TEST_F(ChoiceListTest, RowsOutsideTheTable) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"X"}});
    // Counted like the trailing row, but no entry is given beyond it.
    EXPECT_EQ(dfnCountValidStrings(table, 1, 3), 4);
    EXPECT_EQ(entry(table, 1, 3, 0), "");
    EXPECT_EQ(entry(table, 1, 2, 0), "Integer");
    EXPECT_EQ(dfnCountValidStrings(table, 1, -1), 0);
    EXPECT_EQ(entry(table, 1, -1, 0), "");
    // A null table.
    EXPECT_EQ(dfnCountValidStrings(0, 1, 0), 0);
    EXPECT_EQ(entry(0, 1, 0, 0), kEmpty);
    DeleteUVT(table);
}

TEST_F(ChoiceListTest, EveryEntryIsAcceptedByTheGrid) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"K", "Integer"}, {"X"}});
    for (int32_t column : {1, 2, 4}) {
        for (const std::string& text : list(table, column, 2)) {
            SCOPED_TRACE(text);
            EXPECT_EQ(setCell(table, column, 2, text.c_str()), kEmpty);
            EXPECT_EQ(getCell(table, column, 2), text);
        }
    }
    DeleteUVT(table);
}

TEST_F(ChoiceListTest, ListsFollowTypeChanges) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"X"}, {"Y"}});
    ASSERT_EQ(setCell(table, 1, 0, "Real"), kEmpty);
    ASSERT_EQ(setCell(table, 1, 1, "Integer"), kEmpty);
    EXPECT_EQ(list(table, 2, 2), dimensions({"X"}));
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
