// A host that runs out of memory in the middle of design-time editing: the
// failing insertion changes nothing and answers 0, a failing shrink keeps
// the larger array, and the table stays whole and usable afterwards.
#include "test_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
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

// Applies edits to the table and to a model of its names side by side; an
// insertion counts only when it answers nonzero.
class EditModel {
public:
    EditModel(uintptr_t table, ConfigObject& config) : table_(table), config_(config) {}

    void insert(int32_t position, const char* name) {
        const int saves = config_.beginSaves;
        const int32_t result = dfnInsertRow(table_, position);
        if (result == 0) {
            // Nothing changed and nothing was written.
            EXPECT_EQ(config_.beginSaves, saves);
        } else {
            ++inserted_;
            const auto at = static_cast<std::size_t>(position < 0 ? 0 : position);
            names_.insert(names_.begin() + static_cast<std::ptrdiff_t>(std::min(at, names_.size())), name);
            EXPECT_EQ(config_.beginSaves, saves + 1);
            const int32_t row = static_cast<int32_t>(std::min(at, names_.size() - 1));
            EXPECT_EQ(setCell(table_, 0, row, name), kEmpty);
        }
        check();
    }

    void remove(int32_t row) {
        dfnDeleteRow(table_, row);
        // After a failed insertion the row may not exist: nothing happens.
        if (row >= 0 && static_cast<std::size_t>(row) < names_.size()) names_.erase(names_.begin() + row);
        check();
    }

    void check() const {
        EXPECT_EQ(names(table_), names_);
        EXPECT_EQ(header(table_).nextRowId, inserted_);
    }

    std::size_t size() const { return names_.size(); }

private:
    uintptr_t table_;
    ConfigObject& config_;
    std::vector<std::string> names_;
    int32_t inserted_ = 0;
};

using AllocationFailureTest = UvtTest;

TEST_F(AllocationFailureTest, AnySingleFailureDuringASequenceOfEdits) {
    bool reachedEnd = false;
    for (int n = 1; !reachedEnd && n < 500; ++n) {
        SCOPED_TRACE(n);
        ConfigObject config;
        const uintptr_t table = CreateUVT(nullptr);
        ASSERT_NE(table, 0u);
        ASSERT_NE(UVTSetConfigInterface(table, config.object()), nullptr);
        EditModel model(table, config);

        const int before = memory.allocationsMade();
        memory.failAllocation(n);
        model.insert(0, "A");
        model.insert(1, "B");
        model.insert(100, "C");
        model.insert(0, "D");
        model.insert(2, "E");
        model.remove(0);
        model.remove(static_cast<int32_t>(model.size()) - 1);
        model.insert(1, "F");
        while (model.size() > 1) model.remove(1);
        model.remove(0);
        model.insert(0, "G");
        model.insert(-3, "H");
        model.remove(1);
        reachedEnd = memory.allocationsMade() - before < n;
        memory.failAllocation(0);

        // Usable afterwards: more rows, cells, checks, and a clean delete.
        const int32_t kept = dfnCountRows(table);
        for (int i = 0; i < 3; ++i) ASSERT_NE(dfnInsertRow(table, kept + i), 0);
        EXPECT_EQ(setCell(table, 0, kept, "P"), kEmpty);
        EXPECT_EQ(setCell(table, 0, kept + 1, "Q"), kEmpty);
        EXPECT_EQ(setCell(table, 0, kept + 2, "R"), kEmpty);
        EXPECT_EQ(setCell(table, 1, kept, "Integer"), kEmpty);
        EXPECT_EQ(setCell(table, 2, kept + 1, "P"), kEmpty);
        EXPECT_EQ(take(dfnIsComplete(table)), "");
        std::set<int32_t> ids;
        for (int32_t r = 0; r < dfnCountRows(table); ++r) ids.insert(row(table, r).id);
        EXPECT_EQ(ids.size(), static_cast<std::size_t>(dfnCountRows(table)));
        DeleteUVT(table);
        EXPECT_EQ(memory.liveBlocks(), 0u);
        EXPECT_TRUE(memory.faults().empty());
        EXPECT_EQ(config.references, 1);
        if (HasFailure()) break;
    }
    EXPECT_TRUE(reachedEnd);
}

TEST_F(AllocationFailureTest, InsertionFailingForTheRowBlockChangesNothing) {
    const uintptr_t table = makeTable({{"A"}, {"B"}});
    const uintptr_t array = header(table).rowArray;
    memory.failAllocation(1);
    EXPECT_EQ(dfnInsertRow(table, 1), 0);
    EXPECT_EQ(dfnCountRows(table), 2);
    EXPECT_EQ(header(table).rowArray, array);
    EXPECT_EQ(memory.sizeOf(array), 2 * kSlot);
    EXPECT_EQ(header(table).nextRowId, 2);
    EXPECT_EQ(names(table), (std::vector<std::string>{"A", "B"}));
    DeleteUVT(table);
}

TEST_F(AllocationFailureTest, InsertionFailingToGrowTheArrayGivesTheRowBack) {
    const uintptr_t table = makeTable({{"A"}, {"B"}});
    const std::size_t blocks = memory.liveBlocks();
    memory.failAllocation(2);  // the row block comes first, then the array
    EXPECT_EQ(dfnInsertRow(table, 0), 0);
    EXPECT_EQ(memory.liveBlocks(), blocks);
    EXPECT_EQ(dfnCountRows(table), 2);
    EXPECT_EQ(memory.sizeOf(header(table).rowArray), 2 * kSlot);
    EXPECT_EQ(header(table).nextRowId, 2);
    EXPECT_EQ(names(table), (std::vector<std::string>{"A", "B"}));
    DeleteUVT(table);
}

TEST_F(AllocationFailureTest, ArrayThatCannotShrinkKeepsItsTrueSize) {
    const uintptr_t table = makeTable({{"A"}, {"B"}, {"C"}});
    memory.failFrom(1);  // no shrinking at all
    dfnDeleteRow(table, 0);
    dfnDeleteRow(table, 0);
    memory.failFrom(0);
    EXPECT_EQ(names(table), (std::vector<std::string>{"C"}));
    EXPECT_EQ(memory.sizeOf(header(table).rowArray), 3 * kSlot);
    // The spare slots are used before the array grows again.
    const int reallocations = memory.reallocations();
    ASSERT_EQ(dfnInsertRow(table, 0), 1);
    ASSERT_EQ(dfnInsertRow(table, 0), 1);
    EXPECT_EQ(memory.reallocations(), reallocations);
    ASSERT_EQ(dfnInsertRow(table, 0), 1);
    EXPECT_EQ(memory.sizeOf(header(table).rowArray), 4 * kSlot);
    EXPECT_EQ(getCell(table, 0, 3), "C");
    // The release at the end passes the true size (the test host checks it).
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
