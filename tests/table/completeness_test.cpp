// Row and table completeness: every message, the parent-link repairs, and
// that checking never writes the saved state.
#include "test_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace uvt_test {
namespace {

const std::string kInvalidRow = "Invalid row number";
const std::string kEmptyRow = "Empty Row";
const std::string kInvalidName = "Invalid variable name";
const std::string kMissingParent = "Parent of this row is missing, must set the depth to 0";
const std::string kWrongDepth = "Depth of this row is not compatible with its parent.";
const std::string kNotStruct = "Parent of this row must has type Struct.";
const std::string kEmptyForm = "Empty form";

std::string rowCheck(uintptr_t table, int32_t r) { return take(dfnIsRowComplete(table, r)); }
std::string tableCheck(uintptr_t table) { return take(dfnIsComplete(table)); }

class CompletenessTest : public UvtTest {
protected:
    ConfigObject config;
};

TEST_F(CompletenessTest, NullAndEmptyTables) {
    EXPECT_EQ(rowCheck(0, 0), kEmpty);
    EXPECT_EQ(tableCheck(0), kEmpty);
    const uintptr_t table = CreateUVT(nullptr);
    EXPECT_EQ(tableCheck(table), kEmptyForm);
    EXPECT_EQ(rowCheck(table, 0), kInvalidRow);
    DeleteUVT(table);
}

TEST_F(CompletenessTest, RowNumbersOutsideTheTable) {
    const uintptr_t table = makeTable({{"A"}, {"B"}});
    for (int32_t r : {-1, 2, 3, 99}) EXPECT_EQ(rowCheck(table, r), kInvalidRow) << r;
    EXPECT_EQ(rowCheck(table, 1), "");
    EXPECT_EQ(tableCheck(table), "");
    DeleteUVT(table);
}

TEST_F(CompletenessTest, NamesMustBeValidAndNotTakenAbove) {
    const uintptr_t table = makeTable({{"A"}, {"B"}, {"C"}});
    // An unnamed row is an invalid name, not an empty row.
    ASSERT_EQ(setCell(table, 0, 1, ""), kEmpty);
    EXPECT_EQ(rowCheck(table, 1), kInvalidName);
    // The later of two equal names is the invalid one.
    ASSERT_EQ(setCell(table, 0, 1, "X"), kEmpty);
    ASSERT_EQ(setCell(table, 0, 0, "X"), kEmpty);
    EXPECT_EQ(rowCheck(table, 0), "");
    EXPECT_EQ(rowCheck(table, 1), kInvalidName);
    EXPECT_EQ(rowCheck(table, 2), "");
    EXPECT_EQ(tableCheck(table), kInvalidName);
    DeleteUVT(table);
}

TEST_F(CompletenessTest, StoredNamesAreJudgedByTheFullNameRules) {
    // Records copied in without validation.
    const uintptr_t table = CreateUVT(nullptr);
    ASSERT_EQ(fillFromRecords(table, {{0, "ABCDEFGHIJKLMNOP"},
                                      {1, "ABCDEFGHIJKLMNOPQ"},  // 17 characters
                                      {2, "A B"},
                                      {3, "1A"},
                                      {4, "A-B"},
                                      {5, "ABCDEFGHIJKLMNOP"}}),
              1);
    EXPECT_EQ(rowCheck(table, 0), "");
    for (int32_t r = 1; r < 6; ++r) EXPECT_EQ(rowCheck(table, r), kInvalidName) << r;
    DeleteUVT(table);
}

TEST_F(CompletenessTest, NestedRowWithoutAnyStructureAbove) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"A"}});
    ASSERT_EQ(setCell(table, 3, 1, "1"), kEmpty);
    EXPECT_EQ(row(table, 1).parentId, -50);
    EXPECT_EQ(rowCheck(table, 1), kMissingParent);
    EXPECT_EQ(row(table, 1).parentId, -50);
    EXPECT_EQ(tableCheck(table), kMissingParent);
    DeleteUVT(table);
}

TEST_F(CompletenessTest, MissingLinkIsFoundByTheParentSearch) {
    const uintptr_t table = makeTable({{"S", "Structure"}, {"A"}});
    // The new row copies depth 1 from the row above it but gets no parent.
    ASSERT_EQ(setCell(table, 3, 1, "1"), kEmpty);
    ASSERT_EQ(dfnInsertRow(table, 2), 1);
    ASSERT_EQ(setCell(table, 0, 2, "B"), kEmpty);
    ASSERT_EQ(row(table, 2).parentId, -50);
    EXPECT_EQ(rowCheck(table, 2), "");
    EXPECT_EQ(row(table, 2).parentId, row(table, 0).id);
    DeleteUVT(table);
}

TEST_F(CompletenessTest, ParentWhoseTypeChangedIsReplacedOrReported) {
    const uintptr_t table = makeTable({{"S", "Structure"}, {"A", "Real", "Scalar", "1"}});
    ASSERT_EQ(row(table, 1).parentId, row(table, 0).id);
    ASSERT_EQ(setCell(table, 1, 0, "Real"), kEmpty);
    EXPECT_EQ(rowCheck(table, 1), kNotStruct);
    EXPECT_EQ(row(table, 1).parentId, -50);
    // With the link cleared, the next check looks for a parent afresh.
    EXPECT_EQ(rowCheck(table, 1), kMissingParent);
    DeleteUVT(table);
}

TEST_F(CompletenessTest, ParentWhoseTypeChangedIsRelinkedToAnEarlierStructure) {
    const uintptr_t table = makeTable({
        {"S", "Structure"},
        {"T", "Structure"},
        {"A", "Real", "Scalar", "1"},
    });
    ASSERT_EQ(row(table, 2).parentId, row(table, 1).id);
    ASSERT_EQ(setCell(table, 1, 1, "Integer"), kEmpty);
    EXPECT_EQ(rowCheck(table, 2), "");
    EXPECT_EQ(row(table, 2).parentId, row(table, 0).id);
    DeleteUVT(table);
}

TEST_F(CompletenessTest, ParentWhoseDepthChangedIsReplacedOrReported) {
    const uintptr_t table = makeTable({
        {"S", "Structure"},
        {"T", "Structure", "Scalar", "1"},
        {"A", "Real", "Scalar", "2"},
    });
    ASSERT_EQ(row(table, 2).parentId, row(table, 1).id);
    ASSERT_EQ(setCell(table, 3, 1, "0"), kEmpty);
    EXPECT_EQ(rowCheck(table, 2), kWrongDepth);
    EXPECT_EQ(row(table, 2).parentId, -50);
    DeleteUVT(table);
}

TEST_F(CompletenessTest, ParentWhoseDepthChangedIsRelinkedToAnEarlierStructure) {
    const uintptr_t table = makeTable({
        {"S", "Structure"},
        {"U", "Structure", "Scalar", "1"},
        {"T", "Structure", "Scalar", "1"},
        {"A", "Real", "Scalar", "2"},
    });
    ASSERT_EQ(row(table, 3).parentId, row(table, 2).id);
    ASSERT_EQ(setCell(table, 3, 2, "0"), kEmpty);
    EXPECT_EQ(rowCheck(table, 3), "");
    EXPECT_EQ(row(table, 3).parentId, row(table, 1).id);
    DeleteUVT(table);
}

TEST_F(CompletenessTest, RowWhoseParentWasDeletedIsRelinked) {
    const uintptr_t table = makeTable({
        {"S", "Structure"},
        {"T", "Structure"},
        {"A", "Real", "Scalar", "1"},
    });
    ASSERT_EQ(row(table, 2).parentId, row(table, 1).id);
    dfnDeleteRow(table, 1);
    EXPECT_EQ(rowCheck(table, 1), "");
    EXPECT_EQ(row(table, 1).parentId, row(table, 0).id);
    DeleteUVT(table);
}

TEST_F(CompletenessTest, LinkToARowThatNeverExistedIsRepaired) {
    const uintptr_t table = CreateUVT(nullptr);
    ASSERT_EQ(fillFromRecords(table, {{0, "S", 3}, {1, "A", 1, -1, 1, 1, 77}, {2, "B", 1, -1, 1, 1, 2}}), 1);
    EXPECT_EQ(rowCheck(table, 1), "");
    EXPECT_EQ(row(table, 1).parentId, 0);
    // A row linked to itself: wrong depth, relinked by the search.
    EXPECT_EQ(rowCheck(table, 2), "");
    EXPECT_EQ(row(table, 2).parentId, 0);
    DeleteUVT(table);
}

TEST_F(CompletenessTest, RecordThatCannotBeResolvedIsAnEmptyRow) {
    const uintptr_t table = makeTable({{"A"}, {"B"}});
    // Simulate a slot whose record is gone.
    uintptr_t* slots = memory.view<uintptr_t>(header(table).rowArray);
    const uintptr_t kept = slots[1];
    slots[1] = 0;
    EXPECT_EQ(rowCheck(table, 1), kEmptyRow);
    EXPECT_EQ(tableCheck(table), kEmptyRow);
    EXPECT_EQ(getCell(table, 0, 1), kEmpty);
    slots[1] = kept;
    DeleteUVT(table);
}

TEST_F(CompletenessTest, TableCheckReportsTheFirstProblemAndRepairsEveryRow) {
    const uintptr_t table = makeTable({
        {"A"},
        {"S", "Structure"},
        {"T", "Structure"},
        {"B", "Real", "Scalar", "1"},
        {"C", "Real", "Scalar", "1"},
    });
    ASSERT_EQ(setCell(table, 0, 0, ""), kEmpty);
    dfnDeleteRow(table, 2);  // B and C lose their parent T
    EXPECT_EQ(tableCheck(table), kInvalidName);
    // The walk went on past row 0 and relinked both to S.
    EXPECT_EQ(row(table, 2).parentId, row(table, 1).id);
    EXPECT_EQ(row(table, 3).parentId, row(table, 1).id);
    ASSERT_EQ(setCell(table, 0, 0, "A"), kEmpty);
    EXPECT_EQ(tableCheck(table), "");
    DeleteUVT(table);
}

TEST_F(CompletenessTest, ChecksNeverSave) {
    const uintptr_t table = makeTable({{"S", "Structure"}, {"T", "Structure"}, {"A", "Real", "Scalar", "1"}});
    ASSERT_NE(UVTSetConfigInterface(table, config.object()), nullptr);
    dfnDeleteRow(table, 1);
    config.clearSaves();
    header(table).timeStamp = 1;
    EXPECT_EQ(rowCheck(table, 1), "");  // repairs the link
    EXPECT_EQ(tableCheck(table), "");
    EXPECT_EQ(config.beginSaves, 0);
    EXPECT_EQ(header(table).timeStamp, 1);
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
