// Row insertion and deletion: positions, defaults, ids, the row-pointer
// array, references left for the readers, and the save step with its result.
#include "test_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace uvt_test {
namespace {

constexpr int32_t kSlot = static_cast<int32_t>(sizeof(uintptr_t));

std::vector<std::string> names(uintptr_t table) {
    std::vector<std::string> result;
    for (int32_t r = 0; r < dfnCountRows(table); ++r) result.push_back(getCell(table, 0, r));
    return result;
}

using RowEditingTest = UvtTest;

struct PositionCase {
    int32_t position;
    std::vector<std::string> expected;  // "" marks the new row
};

TEST_F(RowEditingTest, PositionsAreBroughtIntoRange) {
    const std::vector<PositionCase> cases = {
        {-5, {"", "A", "B", "C"}},
        {0, {"", "A", "B", "C"}},
        {1, {"A", "", "B", "C"}},
        {2, {"A", "B", "", "C"}},
        {3, {"A", "B", "C", ""}},
        {100, {"A", "B", "C", ""}},
    };
    for (const PositionCase& c : cases) {
        SCOPED_TRACE(c.position);
        const uintptr_t table = makeTable({{"A"}, {"B"}, {"C"}});
        EXPECT_EQ(dfnInsertRow(table, c.position), 1);
        EXPECT_EQ(dfnCountRows(table), 4);
        EXPECT_EQ(names(table), c.expected);
        DeleteUVT(table);
    }
}

TEST_F(RowEditingTest, FirstRowGetsTheDefaultsAndAOneSlotArray) {
    const uintptr_t table = CreateUVT(nullptr);
    EXPECT_EQ(header(table).rowArray, 0u);
    EXPECT_EQ(dfnInsertRow(table, 0), 1);
    ASSERT_NE(header(table).rowArray, 0u);
    EXPECT_EQ(memory.sizeOf(header(table).rowArray), kSlot);
    const RowView& first = row(table, 0);
    EXPECT_EQ(first.id, 0);
    EXPECT_EQ(first.name[0], 0);
    EXPECT_EQ(first.type, 1);
    EXPECT_EQ(first.dimension, -1);
    EXPECT_EQ(first.depth, 0);
    EXPECT_EQ(first.io, 1);
    EXPECT_EQ(first.parentId, -50);
    EXPECT_EQ(header(table).nextRowId, 1);
    const std::vector<std::string> shown = {"", "Real", "Scalar", "0", "Input Only"};
    for (int32_t column = 0; column < 5; ++column) EXPECT_EQ(getCell(table, column, 0), shown[column]);
    DeleteUVT(table);
}

TEST_F(RowEditingTest, NewRowCopiesTheDepthAboveWithoutAParent) {
    const uintptr_t table = makeTable({
        {"S", "Structure"},
        {"T", "Structure", "Scalar", "1"},
        {"U", "Real", "Scalar", "2"},
    });
    ASSERT_EQ(dfnInsertRow(table, 3), 1);
    EXPECT_EQ(getCell(table, 3, 3), "2");
    EXPECT_EQ(row(table, 3).parentId, -50);
    // The completeness check then finds the parent.
    ASSERT_EQ(setCell(table, 0, 3, "V"), kEmpty);
    EXPECT_EQ(take(dfnIsRowComplete(table, 3)), "");
    EXPECT_EQ(row(table, 3).parentId, row(table, 1).id);
    // At the top the depth is 0.
    ASSERT_EQ(dfnInsertRow(table, 0), 1);
    EXPECT_EQ(getCell(table, 3, 0), "0");
    DeleteUVT(table);
}

TEST_F(RowEditingTest, IdsAreNeverReused) {
    const uintptr_t table = makeTable({{"A"}, {"B"}, {"C"}});
    dfnDeleteRow(table, 1);
    ASSERT_EQ(dfnInsertRow(table, 1), 1);
    EXPECT_EQ(row(table, 1).id, 3);
    for (int n = dfnCountRows(table); n > 0; --n) dfnDeleteRow(table, 0);
    EXPECT_EQ(header(table).nextRowId, 4);
    ASSERT_EQ(dfnInsertRow(table, 0), 1);
    EXPECT_EQ(row(table, 0).id, 4);
    DeleteUVT(table);
}

TEST_F(RowEditingTest, LastDeletionKeepsOneClearedSlotForTheNextInsertion) {
    const uintptr_t table = makeTable({{"A"}, {"B"}});
    EXPECT_EQ(memory.sizeOf(header(table).rowArray), 2 * kSlot);
    dfnDeleteRow(table, 1);
    EXPECT_EQ(memory.sizeOf(header(table).rowArray), kSlot);
    dfnDeleteRow(table, 0);
    EXPECT_EQ(dfnCountRows(table), 0);
    const uintptr_t array = header(table).rowArray;
    ASSERT_NE(array, 0u);
    EXPECT_EQ(memory.sizeOf(array), kSlot);
    EXPECT_EQ(memory.view<uintptr_t>(array)[0], 0u);
    EXPECT_EQ(memory.liveBlocks(), 2u);  // header and array: both rows went back
    // The next insertion reuses the array: only the row's block is obtained.
    const std::size_t before = memory.allocationSizes().size();
    const int reallocations = memory.reallocations();
    ASSERT_EQ(dfnInsertRow(table, 0), 1);
    EXPECT_EQ(header(table).rowArray, array);
    EXPECT_EQ(memory.reallocations(), reallocations);
    ASSERT_EQ(memory.allocationSizes().size(), before + 1);
    EXPECT_EQ(memory.allocationSizes().back(), 44);
    DeleteUVT(table);
}

TEST_F(RowEditingTest, ArrayFollowsTheRowCount) {
    const uintptr_t table = CreateUVT(nullptr);
    const std::vector<std::pair<bool, int32_t>> steps = {
        {true, 0}, {true, 0}, {true, 2}, {true, 1}, {false, 0}, {false, 2}, {true, 9}, {false, 1}, {false, 0}};
    for (const auto& [insert, where] : steps) {
        if (insert) {
            ASSERT_EQ(dfnInsertRow(table, where), 1);
        } else {
            dfnDeleteRow(table, where);
        }
        const int32_t count = dfnCountRows(table);
        EXPECT_EQ(memory.sizeOf(header(table).rowArray), (count > 0 ? count : 1) * kSlot) << count;
    }
    DeleteUVT(table);
}

TEST_F(RowEditingTest, DeletionMovesLaterRowsUp) {
    const uintptr_t table = makeTable({{"A"}, {"B"}, {"C"}, {"D"}});
    dfnDeleteRow(table, 1);
    EXPECT_EQ(names(table), (std::vector<std::string>{"A", "C", "D"}));
    dfnDeleteRow(table, 2);
    EXPECT_EQ(names(table), (std::vector<std::string>{"A", "C"}));
    dfnDeleteRow(table, 0);
    EXPECT_EQ(names(table), (std::vector<std::string>{"C"}));
    DeleteUVT(table);
}

TEST_F(RowEditingTest, ReferencesFollowTheirRowsByIdNotByPosition) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"X"}, {"A", "Real", "N"}});
    const int32_t idN = row(table, 0).id;
    ASSERT_EQ(dfnInsertRow(table, 0), 1);
    EXPECT_EQ(getCell(table, 0, 1), "N");
    EXPECT_EQ(getCell(table, 2, 3), "N");
    EXPECT_EQ(row(table, 3).dimension, idN);
    DeleteUVT(table);
}

TEST_F(RowEditingTest, DeletedRowLeavesDanglingReferencesForTheReaders) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"S", "Structure"}, {"A", "Real", "N", "1"}});
    const int32_t idN = row(table, 0).id;
    const int32_t idS = row(table, 1).id;
    ASSERT_EQ(row(table, 2).parentId, idS);
    dfnDeleteRow(table, 1);
    dfnDeleteRow(table, 0);
    // Nothing was rewritten.
    EXPECT_EQ(row(table, 0).dimension, idN);
    EXPECT_EQ(row(table, 0).parentId, idS);
    EXPECT_EQ(getCell(table, 2, 0), "Scalar");
    EXPECT_EQ(take(dfnIsRowComplete(table, 0)), "Parent of this row is missing, must set the depth to 0");
    DeleteUVT(table);
}

TEST_F(RowEditingTest, DeletionOutsideTheTableChangesNothing) {
    ConfigObject config;
    const uintptr_t table = makeTable({{"A"}, {"B"}});
    ASSERT_NE(UVTSetConfigInterface(table, config.object()), nullptr);
    config.clearSaves();
    const uintptr_t array = header(table).rowArray;
    for (int32_t r : {2, 3, -1, 1000}) dfnDeleteRow(table, r);
    EXPECT_EQ(names(table), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(header(table).rowArray, array);
    EXPECT_EQ(config.beginSaves, 0);
    dfnDeleteRow(0, 0);
    EXPECT_EQ(dfnInsertRow(0, 0), 0);
    DeleteUVT(table);
}

TEST_F(RowEditingTest, EachInsertionAndDeletionSavesOnce) {
    ConfigObject config;
    const uintptr_t table = CreateUVT(nullptr);
    ASSERT_NE(UVTSetConfigInterface(table, config.object()), nullptr);
    header(table).timeStamp = 1;
    EXPECT_EQ(dfnInsertRow(table, 0), 1);  // the save's own result
    EXPECT_EQ(config.beginSaves, 1);
    EXPECT_GT(header(table).timeStamp, 1);
    ASSERT_EQ(config.pieces.size(), 2u);
    EXPECT_EQ(config.pieces[1], "0$1$-1$0$1$");

    config.saveResult = 7;
    config.clearSaves();
    EXPECT_EQ(dfnInsertRow(table, 5), 7);
    EXPECT_EQ(config.beginSaves, 1);
    EXPECT_EQ(config.pieces.size(), 3u);

    config.clearSaves();
    header(table).timeStamp = 1;
    dfnDeleteRow(table, 0);
    EXPECT_EQ(config.beginSaves, 1);
    EXPECT_EQ(config.pieces.size(), 2u);
    EXPECT_GT(header(table).timeStamp, 1);
    config.clearSaves();
    dfnDeleteRow(table, 0);
    EXPECT_EQ(config.beginSaves, 1);
    EXPECT_EQ(config.saved().substr(0, 2), "0$");
    DeleteUVT(table);
}

TEST_F(RowEditingTest, InsertionWithoutAnInterfaceReturnsOne) {
    const uintptr_t table = CreateUVT(nullptr);
    EXPECT_EQ(dfnInsertRow(table, 0), 1);
    // Detaching stops the saves again.
    ConfigObject config;
    ASSERT_NE(UVTSetConfigInterface(table, config.object()), nullptr);
    config.saveResult = 5;
    EXPECT_EQ(dfnInsertRow(table, 0), 5);
    EXPECT_EQ(UVTSetConfigInterface(table, nullptr), nullptr);
    EXPECT_EQ(dfnInsertRow(table, 0), 1);
    EXPECT_EQ(config.beginSaves, 1);
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
