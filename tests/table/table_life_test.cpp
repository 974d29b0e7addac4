// A table's life: CreateUVT, dfnCountRows and DeleteUVT, the ids of its rows
// and the parent search that links nested rows to their Structure.
#include "test_host.h"

#include <cstring>
#include <ctime>
#include <map>
#include <string>

namespace uvt_test {
namespace {

constexpr int32_t kElementSlotBytes = 24;

uintptr_t hostText(const std::string& text) {
    const uintptr_t handle = TrackingMemory::allocate(static_cast<int32_t>(text.size() + 1));
    std::memcpy(TrackingMemory::resolve(handle), text.c_str(), text.size() + 1);
    return handle;
}

// Builds nodes in the host's memory and links them.
class TreeBuilder {
public:
    uintptr_t node(int32_t kind, const std::string& name, uintptr_t parent, int32_t tag = -1) {
        const uintptr_t handle = TrackingMemory::allocate(static_cast<int32_t>(sizeof(NodeView)));
        NodeView& n = view(handle);
        std::memset(&n, 0, sizeof n);
        n.kind = kind;
        n.parent = parent;
        n.tag = tag;
        n.name = hostText(name);
        if (parent != 0) append(parent, handle);
        return handle;
    }
    uintptr_t group(const std::string& name, uintptr_t parent, int32_t tag = -1) { return node(0, name, parent, tag); }
    uintptr_t leaf(const std::string& name, uintptr_t parent, int32_t type, int32_t tag = -1) {
        const uintptr_t handle = node(1, name, parent, tag);
        view(handle).leaf.valueType = type;
        view(handle).leaf.io = 1;
        return handle;
    }
    static NodeView& view(uintptr_t handle) { return *static_cast<NodeView*>(TrackingMemory::resolve(handle)); }

private:
    // Children are appended in order; the last child of each group is kept
    // so that long sibling lists are built in linear time.
    void append(uintptr_t parent, uintptr_t child) {
        auto it = last_.find(parent);
        if (it == last_.end()) {
            view(parent).first = child;
        } else {
            view(it->second).next = child;
        }
        last_[parent] = child;
    }
    std::map<uintptr_t, uintptr_t> last_;
};

class TableLife : public UvtTest {
protected:
    static int32_t now() { return static_cast<int32_t>(std::time(nullptr)); }
    static int32_t slotSize() { return static_cast<int32_t>(sizeof(uintptr_t)); }
    static int32_t headerSize() { return static_cast<int32_t>(sizeof(HeaderView)); }
};

// ---------------------------------------------------------------------------
// CreateUVT and dfnCountRows

TEST_F(TableLife, CreateWithoutHostValuesGivesAnEmptyHeader) {
    const int32_t before = now();
    const uintptr_t table = CreateUVT(nullptr);
    const int32_t after = now();
    ASSERT_NE(table, 0u);
    EXPECT_EQ(memory.allocationSizes(), std::vector<int32_t>{headerSize()});

    // The test host hands out garbage: every field must have been set.
    const HeaderView& h = header(table);
    EXPECT_EQ(h.rowCount, 0);
    EXPECT_EQ(h.hostIds[0], 0);
    EXPECT_EQ(h.hostIds[1], 0);
    EXPECT_GE(h.timeStamp, before);
    EXPECT_LE(h.timeStamp, after);
    EXPECT_EQ(std::string(h.functionName, sizeof h.functionName), std::string(sizeof h.functionName, '\0'));
    EXPECT_EQ(h.rowArray, 0u);
    EXPECT_EQ(h.runtimeRoot, 0u);
    for (int32_t value : h.reserved) EXPECT_EQ(value, 0);
    EXPECT_EQ(h.nextRowId, 0);
    EXPECT_EQ(h.configInterface, nullptr);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(h.elementArrays[i], 0u);
        EXPECT_EQ(h.elementCounts[i], 0);
    }
    EXPECT_EQ(dfnCountRows(table), 0);
    // Creating raises nothing and asks the host nothing else.
    EXPECT_TRUE(host.log.empty());
    DeleteUVT(table);
}

TEST_F(TableLife, CreateCopiesTheHostValues) {
    int32_t ids[2] = {7, -3};
    const uintptr_t table = CreateUVT(ids);
    ASSERT_NE(table, 0u);
    ids[0] = 99;  // a copy, not the caller's pair
    ids[1] = 99;
    EXPECT_EQ(header(table).hostIds[0], 7);
    EXPECT_EQ(header(table).hostIds[1], -3);
    DeleteUVT(table);
}

TEST_F(TableLife, CountRowsFollowsInsertionsAndDeletions) {
    const uintptr_t table = CreateUVT(nullptr);
    ASSERT_NE(table, 0u);
    for (int i = 0; i < 4; ++i) ASSERT_EQ(dfnInsertRow(table, 0), 1);
    EXPECT_EQ(dfnCountRows(table), 4);
    dfnDeleteRow(table, 3);
    dfnDeleteRow(table, 0);
    EXPECT_EQ(dfnCountRows(table), 2);
    DeleteUVT(table);
}

TEST_F(TableLife, NullAndUnknownHandlesAreNoTable) {
    DeleteUVT(0);
    EXPECT_EQ(dfnCountRows(0), 0);
    EXPECT_TRUE(host.log.empty());

    // A handle that the host resolves to null: looked up, and nothing more.
    const uintptr_t unknown = 0x8;
    DeleteUVT(unknown);
    EXPECT_EQ(dfnCountRows(unknown), 0);
    EXPECT_EQ(memory.takeFaults(), std::vector<std::string>(2, "resolve of unknown handle 8"));
    EXPECT_TRUE(host.log.empty()) << "no event for a table that is not there";
    EXPECT_EQ(memory.allocationsMade(), 0);
}

TEST_F(TableLife, CreateFailsCleanlyWithoutMemory) {
    memory.failAllocation(1);
    EXPECT_EQ(CreateUVT(nullptr), 0u);
    EXPECT_EQ(memory.liveBlocks(), 0u);
}

TEST_F(TableLife, AllocateFailingAtAnySingleCallLeaksNothing) {
    // One table's whole life; every allocation in it fails once in turn.
    ConfigObject config;
    const auto life = [&config]() -> uintptr_t {
        const int32_t ids[2] = {1, 2};
        const uintptr_t table = CreateUVT(ids);
        if (table == 0) return 0;
        UVTSetConfigInterface(table, config.object());
        for (int i = 0; i < 4; ++i) dfnInsertRow(table, i);
        setCell(table, 0, 0, "n");
        setCell(table, 1, 0, "Integer");
        setCell(table, 0, 1, "a");
        setCell(table, 2, 1, "N");
        dfnDeleteRow(table, 2);
        dfnInsertRow(table, 0);
        DeleteUVT(table);
        return table;
    };
    ASSERT_NE(life(), 0u);
    const int allocations = memory.allocationsMade();
    ASSERT_GT(allocations, 8);
    for (int n = 1; n <= allocations; ++n) {
        SCOPED_TRACE(::testing::Message() << "allocation " << n << " fails");
        memory.reset();
        host.reset();
        memory.failAllocation(n);
        const uintptr_t table = life();
        EXPECT_EQ(table == 0, n == 1);
        EXPECT_EQ(memory.liveBlocks(), 0u);
        EXPECT_EQ(memory.faults(), std::vector<std::string>{});
        EXPECT_EQ(config.references, 1);
        EXPECT_EQ(host.releaseEvents, table == 0 ? 0 : 1);
    }
}

// ---------------------------------------------------------------------------
// DeleteUVT

TEST_F(TableLife, DeleteGivesEveryBlockBackWithItsSizeAndAllocatesNothing) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"A", "Real", "N"}, {"S", "Structure"}, {"X", "Real", "Scalar", "1"}});
    const int allocationsBefore = memory.allocationsMade();
    const int reallocationsBefore = memory.reallocations();
    host.clearLog();
    DeleteUVT(table);
    EXPECT_EQ(memory.liveBlocks(), 0u);
    // Taking a table apart asks the host for no memory.
    EXPECT_EQ(memory.allocationsMade(), allocationsBefore);
    EXPECT_EQ(memory.reallocations(), reallocationsBefore);
    EXPECT_EQ(host.log, std::vector<std::string>{"release"});
}

TEST_F(TableLife, DeleteReleasesTheOneClearedSlotOfAnEmptiedTable) {
    const uintptr_t table = CreateUVT(nullptr);
    ASSERT_NE(table, 0u);
    ASSERT_EQ(dfnInsertRow(table, 0), 1);
    dfnDeleteRow(table, 0);
    ASSERT_EQ(dfnCountRows(table), 0);
    const uintptr_t slots = header(table).rowArray;
    ASSERT_NE(slots, 0u);
    EXPECT_EQ(memory.sizeOf(slots), slotSize());
    DeleteUVT(table);
    EXPECT_EQ(memory.sizeOf(slots), -1);  // released, with its size (checked by the test host)
}

TEST_F(TableLife, DeleteReleasesAnArrayTheHostCouldNotShrinkWithItsActualSize) {
    const uintptr_t table = makeTable({{"A"}, {"B"}, {"C"}});
    const uintptr_t slots = header(table).rowArray;
    memory.failFrom(1);  // from now on the host has no memory at all
    dfnDeleteRow(table, 0);
    dfnDeleteRow(table, 0);
    EXPECT_EQ(dfnCountRows(table), 1);
    EXPECT_EQ(getCell(table, 0, 0), "C");
    EXPECT_EQ(header(table).rowArray, slots);
    EXPECT_EQ(memory.sizeOf(slots), 3 * slotSize());
    DeleteUVT(table);
    EXPECT_EQ(memory.liveBlocks(), 0u);
}

TEST_F(TableLife, DeleteReleasesTheInterfaceOnceAndWritesNothing) {
    const uintptr_t table = makeTable({{"A"}, {"B"}});
    ConfigObject config;
    ASSERT_EQ(UVTSetConfigInterface(table, config.object()), config.object());
    config.calls.clear();
    DeleteUVT(table);
    EXPECT_EQ(config.calls, std::vector<std::string>{"Release"});
    EXPECT_EQ(config.references, 1);
    EXPECT_EQ(config.beginSaves, 0);
    EXPECT_TRUE(config.pieces.empty());
}

TEST_F(TableLife, DeleteRaisesOneReleaseEventWhateverTheTableHolds) {
    struct Case {
        const char* what;
        int rows;
        bool attached;
        bool tree;
        bool bound = false;
    };
    const std::vector<Case> cases = {
        {"empty table", 0, false, false},
        {"rows", 5, false, false},
        {"rows and an interface", 3, true, false},
        {"a layout tree", 2, false, true},
        {"a table bound to the host's arrays", 3, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host.reset();
        ConfigObject config;
        const uintptr_t table = CreateUVT(nullptr);
        ASSERT_NE(table, 0u);
        for (int i = 0; i < c.rows; ++i) ASSERT_EQ(dfnInsertRow(table, i), 1);
        if (c.attached) UVTSetConfigInterface(table, config.object());
        if (c.tree) {
            TreeBuilder tree;
            const uintptr_t root = tree.group("$TOP$", 0);
            const uintptr_t array = tree.group("A", root, 0);
            for (int i = 1; i <= 4; ++i) tree.leaf(std::to_string(i), array, 1, -100);
            header(table).runtimeRoot = root;
        }
        if (c.bound) {
            for (int i = 0; i < c.rows; ++i) {
                const char name[2] = {static_cast<char>('A' + i), 0};
                ASSERT_EQ(setCell(table, 0, i, name), kEmpty);
            }
            rtmInitArrays(table);
            ASSERT_NE(header(table).runtimeRoot, 0u);
            ASSERT_NE(header(table).elementArrays[1], 0u);
            host.clearLog();
        }
        DeleteUVT(table);
        EXPECT_EQ(host.log, std::vector<std::string>{"release"});
        EXPECT_EQ(memory.liveBlocks(), 0u);
    }
}

TEST_F(TableLife, DeleteReleasesTheLayoutTreeAndTheElementArrays) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"S", "Structure", "N"}, {"X", "Character", "Scalar", "1"}});
    TreeBuilder tree;
    const uintptr_t root = tree.group("$TOP$", 0);
    const uintptr_t n = tree.leaf("N", root, 0);
    TreeBuilder::view(n).leaf.value.i = 2;
    TreeBuilder::view(n).leaf.valueSet = 1;
    const uintptr_t s = tree.group("S", root, 0);
    for (int i = 1; i <= 2; ++i) {
        const uintptr_t element = tree.group(std::to_string(i), s, -100);
        const uintptr_t x = tree.leaf("X", element, 2);
        if (i == 1) {  // one Character value with its own text block, one without
            TreeBuilder::view(x).leaf.value.text = hostText("some text");
            TreeBuilder::view(x).leaf.valueSet = 1;
        }
    }
    HeaderView& h = header(table);
    h.runtimeRoot = root;
    const int32_t counts[3] = {1, 0, 2};
    for (int i = 0; i < 3; ++i) {
        h.elementCounts[i] = counts[i];
        h.elementArrays[i] = counts[i] == 0 ? 0 : TrackingMemory::allocate(counts[i] * kElementSlotBytes);
    }
    host.clearLog();
    DeleteUVT(table);
    // Nodes (48 bytes on 32-bit systems), names, the text and the element
    // arrays all came back with their sizes: the test host checks each.
    EXPECT_EQ(memory.liveBlocks(), 0u);
    EXPECT_EQ(host.log, std::vector<std::string>{"release"});
}

TEST_F(TableLife, DeleteReleasesALongSiblingListWithoutDeepRecursion) {
    // An array of many elements is a long list of siblings under one group.
    const uintptr_t table = makeTable({{"A"}});
    TreeBuilder tree;
    const uintptr_t root = tree.group("$TOP$", 0);
    const uintptr_t array = tree.group("A", root, -2);
    for (int i = 1; i <= 100000; ++i) tree.leaf(std::to_string(i), array, 1, -100);
    header(table).runtimeRoot = root;
    DeleteUVT(table);
    EXPECT_EQ(memory.liveBlocks(), 0u);
    EXPECT_EQ(host.releaseEvents, 1);
}

// ---------------------------------------------------------------------------
// Row ids

TEST_F(TableLife, RowIdsAreNeverReused) {
    const uintptr_t table = CreateUVT(nullptr);
    ASSERT_NE(table, 0u);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(dfnInsertRow(table, i), 1);
    EXPECT_EQ(row(table, 0).id, 0);
    EXPECT_EQ(row(table, 1).id, 1);
    EXPECT_EQ(row(table, 2).id, 2);
    dfnDeleteRow(table, 1);
    EXPECT_EQ(header(table).nextRowId, 3);
    ASSERT_EQ(dfnInsertRow(table, 2), 1);
    ASSERT_EQ(dfnInsertRow(table, 0), 1);
    const std::vector<int32_t> ids = {row(table, 0).id, row(table, 1).id, row(table, 2).id, row(table, 3).id};
    EXPECT_EQ(ids, (std::vector<int32_t>{4, 0, 2, 3}));
    EXPECT_EQ(header(table).nextRowId, 5);

    // Emptying the table does not start the ids again either.
    while (dfnCountRows(table) > 0) dfnDeleteRow(table, 0);
    ASSERT_EQ(dfnInsertRow(table, 0), 1);
    EXPECT_EQ(row(table, 0).id, 5);
    DeleteUVT(table);
}

// ---------------------------------------------------------------------------
// Parent search: the nearest earlier Structure row one level up, wherever it
// lies, found when the depth column is set.

TEST_F(TableLife, ParentIsTheNearestEarlierStructureOneLevelUp) {
    struct Case {
        const char* what;
        std::vector<RowSpec> rows;  // the last row's depth is set by the test
        const char* depth;
        int parentRow;  // -1: no parent
    };
    const std::vector<Case> cases = {
        {"skips a non-Structure row of that depth and crosses a shallower row",
         {{"S", "Structure"}, {"T", "Structure", "Scalar", "1"}, {"Z"}, {"X", "Real", "Scalar", "1"}, {"R"}},
         "2",
         1},
        {"takes the nearest of two",
         {{"S", "Structure"}, {"T", "Structure", "Scalar", "1"}, {"U", "Structure", "Scalar", "1"}, {"R"}},
         "2",
         2},
        {"a deeper Structure does not count",
         {{"S", "Structure"}, {"T", "Structure", "Scalar", "1"}, {"U", "Structure", "Scalar", "2"}, {"R"}},
         "2",
         1},
        {"only earlier rows count", {{"A"}, {"R"}, {"S", "Structure"}}, "1", -1},
        {"no Structure one level up", {{"A", "Integer"}, {"B"}, {"R"}}, "1", -1},
        {"depth 0 has no parent", {{"S", "Structure"}, {"R"}}, "0", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const uintptr_t table = makeTable(c.rows);
        // The row under test is the one named R.
        int32_t r = 0;
        while (std::string(row(table, r).name) != "R") ++r;
        row(table, r).parentId = 12345;  // whatever it held before goes
        setCell(table, 3, r, c.depth);
        EXPECT_EQ(getCell(table, 3, r), c.depth);
        EXPECT_EQ(row(table, r).parentId, c.parentRow < 0 ? UVT_NO_PARENT : row(table, c.parentRow).id);
        DeleteUVT(table);
    }
}

TEST_F(TableLife, ParentIsFoundByIdAfterRowsMove) {
    // The link is an id: rows inserted above keep it pointing at the same row.
    const uintptr_t table = makeTable({{"S", "Structure"}, {"X", "Real", "Scalar", "1"}});
    const int32_t structureId = row(table, 0).id;
    ASSERT_EQ(row(table, 1).parentId, structureId);
    ASSERT_EQ(dfnInsertRow(table, 0), 1);
    EXPECT_EQ(row(table, 2).parentId, structureId);
    EXPECT_EQ(row(table, 1).id, structureId);
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
