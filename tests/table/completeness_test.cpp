// Row and table completeness: every message, the parent-link repairs, and
// that checking never writes the saved state.
#include "test_host.h"

#include <gtest/gtest.h>

#include <random>
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

// Tables of every kind of record: duplicate and invalid names, repeated ids,
// links to missing, wrong or later rows, depths without parents.
std::vector<RecordSpec> randomRecords(std::mt19937& random, int rows) {
    static const char* const kNames[] = {"A", "B", "C", "D", "", "1X", "A-B", "ABCDEFGHIJKLMNOPQ", "a"};
    const auto pick = [&random](int from, int to) {
        return std::uniform_int_distribution<int>(from, to)(random);
    };
    std::vector<RecordSpec> records;
    for (int i = 0; i < rows; ++i) {
        RecordSpec wanted{pick(0, 3) == 0 ? pick(10, rows + 10) : i + 10, kNames[pick(0, 8)]};
        wanted.type = pick(0, 3);
        wanted.depth = pick(0, 3);
        wanted.parentId = pick(0, 2) == 0 ? -50 : pick(8, rows + 12);
        records.push_back(wanted);
    }
    return records;
}

TEST_F(CompletenessTest, TableCheckAnswersAsTheRowChecksInOrder) {
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        const std::vector<RecordSpec> records = randomRecords(random, 1 + round % 12);
        const uintptr_t byRows = CreateUVT(nullptr);
        const uintptr_t whole = CreateUVT(nullptr);
        ASSERT_EQ(fillFromRecords(byRows, records), 1);
        ASSERT_EQ(fillFromRecords(whole, records), 1);
        std::string first;
        std::vector<std::string> messages;
        for (int32_t r = 0; r < dfnCountRows(byRows); ++r) {
            messages.push_back(rowCheck(byRows, r));
            if (first.empty()) first = messages.back();
        }
        EXPECT_EQ(tableCheck(whole), first);
        // The same repairs, and afterwards every row answers as before.
        for (int32_t r = 0; r < dfnCountRows(whole); ++r) {
            EXPECT_EQ(row(whole, r).parentId, row(byRows, r).parentId) << r;
        }
        DeleteUVT(byRows);
        DeleteUVT(whole);
    }
}

TEST_F(CompletenessTest, TableCheckCostGrowsLinearlyWithTheRows) {
    // Distinct valid names and nested structures: the worst case for a check
    // that compares every row with all rows before it.
    const auto resolvesFor = [this](int rows) {
        std::vector<RecordSpec> records;
        for (int i = 0; i < rows; ++i) {
            records.push_back({i, nullptr, i % 3 == 2 ? 1 : 3, -1, i % 3, 1, i % 3 == 0 ? -50 : 999999});
        }
        std::vector<std::string> names;
        for (int i = 0; i < rows; ++i) names.push_back(std::string("V").append(std::to_string(i)));
        for (std::size_t i = 0; i < names.size(); ++i) records[i].name = names[i].c_str();
        const uintptr_t table = CreateUVT(nullptr);
        EXPECT_EQ(fillFromRecords(table, records), 1);
        const long before = memory.resolves();
        EXPECT_EQ(tableCheck(table), "");
        const long used = memory.resolves() - before;
        DeleteUVT(table);
        return used;
    };
    const long small = resolvesFor(300);
    const long large = resolvesFor(1200);
    EXPECT_LT(large, 5 * small) << small << " resolves for 300 rows, " << large << " for 1200";
}

}  // namespace
}  // namespace uvt_test
