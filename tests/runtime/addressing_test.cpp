// Addressing values at run time: run-time rows per direction, runtime
// handles and their walk, and path names.
#include "runtime_views.h"

#include <functional>
#include <string>
#include <vector>

namespace uvt_test {
namespace {

class Addressing : public UvtTest {};

uintptr_t handleAtRow(uintptr_t table, int32_t row, int32_t direction) {
    uintptr_t handle = 0;
    EXPECT_EQ(rtmHandleByRow(table, row, direction, &handle), nullptr) << "row " << row << " direction " << direction;
    return handle;
}

TEST_F(Addressing, InputAndOutputRowsWithTheirPlaces) {
    host.sizes[-2] = 3;
    const uintptr_t table =
        makeTable({{"X", "Real", "Number of Components", "0", "Input Only"}, {"Y", "Integer", "Scalar", "0", "Output Only"}});
    rtmInitArrays(table);
    EXPECT_EQ(rtmGetNumberOfRows(table, 0), 3);
    EXPECT_EQ(rtmGetNumberOfRows(table, 1), 1);
    for (int32_t row = 0; row < 3; ++row) {
        EXPECT_EQ(handleAtRow(table, row, 0), nodeAt(table, "X/" + std::to_string(row + 1)));
        int32_t element = 0;
        ASSERT_EQ(rtmGetElementByRow(table, row, 0, &element), nullptr);
        EXPECT_EQ(element, row + 1) << "X(" << row + 1 << ") is Real place " << row;
    }
    uintptr_t untouched = 77;
    EXPECT_STREQ(rtmHandleByRow(table, 3, 0, &untouched), "Invalid row number");
    EXPECT_EQ(untouched, 77u);
    EXPECT_EQ(handleAtRow(table, 0, 1), nodeAt(table, "Y"));
    int32_t element = 0;
    ASSERT_EQ(rtmGetElementByRow(table, 0, 1, &element), nullptr);
    EXPECT_EQ(element, 1) << "Y is the first Integer";
    DeleteUVT(table);
}

TEST_F(Addressing, InputAndOutputValueHasARowInBothDirections) {
    const uintptr_t table = makeTable({{"N", "Integer", "Scalar", "0", "Input and Output"}});
    rtmInitArrays(table);
    EXPECT_EQ(rtmGetNumberOfRows(table, 0), 1);
    EXPECT_EQ(rtmGetNumberOfRows(table, 1), 1);
    EXPECT_EQ(handleAtRow(table, 0, 0), handleAtRow(table, 0, 1));
    EXPECT_EQ(handleAtRow(table, 0, 0), nodeAt(table, "N"));
    DeleteUVT(table);
}

// Rows are numbered per direction in tree order, across structures and
// arrays, and a value that belongs to both directions has a number in each.
TEST_F(Addressing, RowsFollowTreeOrderPerDirection) {
    host.sizes[-13] = 2;
    const uintptr_t table = makeTable({{"A", "Integer", "Scalar", "0", "Input Only"},
                                       {"S", "Structure", "Number of Inlet Streams", "0", "Input Only"},
                                       {"B", "Real", "Scalar", "1", "Output Only"},
                                       {"C", "Character", "Scalar", "1", "Input and Output"},
                                       {"D", "Real", "Scalar", "0", "Input Only"}});
    rtmInitArrays(table);
    const std::vector<std::string> inputs = {"A", "S/1/C", "S/2/C", "D"};
    const std::vector<std::string> outputs = {"S/1/B", "S/1/C", "S/2/B", "S/2/C"};
    ASSERT_EQ(rtmGetNumberOfRows(table, 0), 4);
    ASSERT_EQ(rtmGetNumberOfRows(table, 1), 4);
    for (int32_t row = 0; row < 4; ++row) {
        EXPECT_EQ(handleAtRow(table, row, 0), nodeAt(table, inputs[static_cast<std::size_t>(row)])) << row;
        EXPECT_EQ(handleAtRow(table, row, 1), nodeAt(table, outputs[static_cast<std::size_t>(row)])) << row;
    }
    // Places count every value of the type, whatever its direction.
    const std::vector<int32_t> outputElements = {1, 1, 2, 2};  // S(1).B, S(1).C, S(2).B, S(2).C
    for (int32_t row = 0; row < 4; ++row) {
        int32_t element = 0;
        ASSERT_EQ(rtmGetElementByRow(table, row, 1, &element), nullptr);
        EXPECT_EQ(element, outputElements[static_cast<std::size_t>(row)]) << row;
    }
    int32_t element = 0;
    ASSERT_EQ(rtmGetElementByRow(table, 3, 0, &element), nullptr);
    EXPECT_EQ(element, 3) << "D follows S(1).B and S(2).B among the Reals";
    DeleteUVT(table);
}

TEST_F(Addressing, MessagesInTheOrderTheyAreTested) {
    const uintptr_t bound = makeTable({{"X", "Integer", "Scalar", "0", "Input Only"}});
    const uintptr_t unbound = makeTable({{"X", "Integer"}});
    rtmInitArrays(bound);
    uintptr_t out = 0;
    const uintptr_t leaf = nodeAt(bound, "X");
    expectMessages({
        {"ByRow, null output before bad direction", [&] { return rtmHandleByRow(0, -1, 7, nullptr); }, "Invalid argument"},
        {"ByRow, direction before row", [&] { return rtmHandleByRow(0, -1, 2, &out); }, "IO argument not supported"},
        {"ByRow, negative direction", [&] { return rtmHandleByRow(bound, 0, -1, &out); }, "IO argument not supported"},
        {"ByRow, null table", [&] { return rtmHandleByRow(0, 0, 0, &out); }, "Invalid row number"},
        {"ByRow, unbound table", [&] { return rtmHandleByRow(unbound, 0, 0, &out); }, "Invalid row number"},
        {"ByRow, row -1", [&] { return rtmHandleByRow(bound, -1, 0, &out); }, "Invalid row number"},
        {"ByRow, row = count", [&] { return rtmHandleByRow(bound, 1, 0, &out); }, "Invalid row number"},
        {"ByRow, no outputs", [&] { return rtmHandleByRow(bound, 0, 1, &out); }, "Invalid row number"},
        {"ByRow", [&] { return rtmHandleByRow(bound, 0, 0, &out); }, nullptr},
        {"ByName, null output before null table", [&] { return rtmHandleByName(0, "X", nullptr); }, "Invalid argument"},
        {"ByName, null table", [&] { return rtmHandleByName(0, "X", &out); }, "Invalid table"},
        {"ByName, unbound table", [&] { return rtmHandleByName(unbound, "X", &out); }, "Arrays not initialized"},
        {"ByName, null path", [&] { return rtmHandleByName(bound, nullptr, &out); }, "Invalid row number"},
        {"ByName", [&] { return rtmHandleByName(bound, "X", &out); }, nullptr},
        {"First, null output before null table", [&] { return rtmGetFirstHandle(0, -1, nullptr); }, "Invalid argument"},
        {"First, null table", [&] { return rtmGetFirstHandle(0, -1, &out); }, "Invalid table"},
        {"First, unbound table", [&] { return rtmGetFirstHandle(unbound, -1, &out); }, "Arrays not initialized"},
        {"First", [&] { return rtmGetFirstHandle(bound, -1, &out); }, nullptr},
        {"Next from 0", [&] { return rtmGetNextHandle(bound, 0, -1, &out); }, "Invalid argument"},
        {"Next from the sentinel", [&] { return rtmGetNextHandle(bound, UVT_INVALID_HANDLE, -1, &out); }, "Invalid argument"},
        {"Next, null output", [&] { return rtmGetNextHandle(bound, leaf, -1, nullptr); }, "Invalid argument"},
        {"Next, table not used", [&] { return rtmGetNextHandle(0, leaf, -1, &out); }, nullptr},
    });
    EXPECT_EQ(rtmGetNumberOfRows(0, 0), 0);
    EXPECT_EQ(rtmGetNumberOfRows(unbound, 0), 0);
    EXPECT_EQ(rtmGetNumberOfRows(bound, 2), 0);
    EXPECT_EQ(rtmGetNumberOfRows(bound, -1), 0);
    EXPECT_EQ(rtmGetNumberOfRows(bound, 0), 1);
    DeleteUVT(bound);
    DeleteUVT(unbound);
}

TEST_F(Addressing, HandleValidityLooksAtNothingButTheNumber) {
    const uintptr_t table = makeTable({{"X", "Integer"}});
    for (const uintptr_t anyTable : {uintptr_t{0}, table, uintptr_t{12345}}) {
        EXPECT_EQ(rtmIsHandleValid(anyTable, 0), 0);
        EXPECT_EQ(rtmIsHandleValid(anyTable, 0x0FFFFFFF), 0);
        EXPECT_EQ(rtmIsHandleValid(anyTable, 1), 1);
        EXPECT_EQ(rtmIsHandleValid(anyTable, 0x0FFFFFFE), 1);
        EXPECT_EQ(rtmIsHandleValid(anyTable, 0x10000000), 1);
    }
    DeleteUVT(table);
}

// ---------------------------------------------------------------------------
// The handle walk with every filter.
// ---------------------------------------------------------------------------
class HandleWalk : public UvtTest {
protected:
    void SetUp() override {
        UvtTest::SetUp();
        table = makeTable({{"A", "Integer", "Scalar", "0", "Input Only"},
                           {"B", "Real", "Scalar", "0", "Output Only"},
                           {"C", "Character", "Scalar", "0", "Input and Output"},
                           {"S", "Structure", "Scalar", "0", "Input Only"},
                           {"D", "Integer", "Scalar", "1", "Output Only"},
                           {"E", "Real", "Scalar", "1", "Input and Output"},
                           {"F", "Real", "Scalar", "0", "Input Only"}});
        rtmInitArrays(table);
    }
    void TearDown() override {
        DeleteUVT(table);
        UvtTest::TearDown();
    }

    // Every handle of an enumeration, named by its place in the tree.
    std::vector<std::string> enumerate(int32_t filter) {
        std::vector<std::string> names;
        uintptr_t handle = 0;
        EXPECT_EQ(rtmGetFirstHandle(table, filter, &handle), nullptr);
        while (rtmIsHandleValid(table, handle) != 0 && names.size() < 20) {
            names.push_back(pathOf(handle));
            EXPECT_EQ(rtmGetNextHandle(table, handle, filter, &handle), nullptr);
        }
        return names;
    }

    std::string pathOf(uintptr_t handle) {
        for (const char* path : {"A", "B", "C", "S/D", "S/E", "F"}) {
            if (nodeAt(table, path) == handle) return path;
        }
        return "?";
    }

    uintptr_t table = 0;
};

TEST_F(HandleWalk, EveryFilterSelectsItsDirections) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(enumerate(-1), (Names{"A", "B", "C", "S/D", "S/E", "F"}));
    EXPECT_EQ(enumerate(0), (Names{"A", "C", "S/E", "F"}));
    EXPECT_EQ(enumerate(1), (Names{"B", "C", "S/D", "S/E"}));
    EXPECT_EQ(enumerate(2), (Names{"A", "F"}));
    EXPECT_EQ(enumerate(3), (Names{"B", "S/D"}));
    EXPECT_EQ(enumerate(4), (Names{"C", "S/E"}));
    EXPECT_EQ(enumerate(5), Names{});
    EXPECT_EQ(enumerate(-2), Names{});
}

TEST_F(HandleWalk, WalkResumesAfterTheStartingNodesSubtree) {
    uintptr_t handle = 99;
    ASSERT_EQ(rtmGetNextHandle(table, nodeAt(table, "S"), -1, &handle), nullptr);
    EXPECT_EQ(handle, nodeAt(table, "F")) << "a structure's members are skipped";
    ASSERT_EQ(rtmGetNextHandle(table, nodeAt(table, "S"), 3, &handle), nullptr);
    EXPECT_EQ(handle, 0u) << "no Output Only value follows S";
    ASSERT_EQ(rtmGetNextHandle(table, nodeAt(table, "F"), -1, &handle), nullptr);
    EXPECT_EQ(handle, 0u) << "the last value has no successor";
    ASSERT_EQ(rtmGetNextHandle(table, nodeAt(table, "S/D"), 0, &handle), nullptr);
    EXPECT_EQ(handle, nodeAt(table, "S/E"));
    ASSERT_EQ(rtmGetNextHandle(table, nodeAt(table, "S/E"), -1, &handle), nullptr);
    EXPECT_EQ(handle, nodeAt(table, "F")) << "the walk climbs out of the structure";
    ASSERT_EQ(rtmGetNextHandle(table, header(table).runtimeRoot, -1, &handle), nullptr);
    EXPECT_EQ(handle, nodeAt(table, "A")) << "from the root the whole tree is searched";
}

TEST_F(HandleWalk, NumbersThatNameNoNodeAreRefused) {
    uintptr_t handle = 5;
    EXPECT_STREQ(rtmGetNextHandle(table, 0x7777770, -1, &handle), "Invalid argument");
    EXPECT_EQ(handle, 5u);
    EXPECT_FALSE(memory.takeFaults().empty()) << "the made-up number was asked of the host";
}

TEST_F(Addressing, LayoutWithoutValuesEnumeratesNothing) {
    host.sizes[-2] = 0;
    const uintptr_t table = makeTable({{"X", "Integer", "Number of Components"}});
    rtmInitArrays(table);
    uintptr_t handle = 99;
    ASSERT_EQ(rtmGetFirstHandle(table, -1, &handle), nullptr);
    EXPECT_EQ(handle, 0u);
    DeleteUVT(table);
}

// ---------------------------------------------------------------------------
// Path names.
// ---------------------------------------------------------------------------
struct PathCase {
    const char* path;
    const char* node;  // a runtime_views path below the root; null: not found
};

TEST_F(Addressing, PathNamesWithInterchangeableSeparators) {
    host.sizes[-2] = 3;
    host.sizes[-13] = 2;
    host.sizes[-23] = 0;
    const uintptr_t table = makeTable({{"X", "Integer", "Number of Components"},
                                       {"S", "Structure", "Number of Inlet Streams"},
                                       {"A", "Real", "Scalar", "1"},
                                       {"T", "Structure", "Scalar", "1"},
                                       {"B", "Character", "Scalar", "2"},
                                       {"E", "Real", "Number of Outlet Streams"},
                                       {"XY", "Real"}});
    rtmInitArrays(table);
    const std::vector<PathCase> cases = {
        {"X", "X"},           {"X(3)", "X/3"},       {"X(1)", "X/1"},      {"S", "S"},
        {"S(2)", "S/2"},      {"S(2).A", "S/2/A"},   {"S.2.A", "S/2/A"},   {"S(2)A", "S/2/A"},
        {"(S)(2)(A)", "S/2/A"}, {"S(1).T.B", "S/1/T/B"}, {"S.(1).T(B)", "S/1/T/B"}, {"X)", "X"},
        {".X", "X"},          {"XY", "XY"},          {"E", "E"},           {"X(4)", nullptr},
        {"", nullptr},        {"...", nullptr},      {"()", nullptr},      {"X(", nullptr},
        {"X.", nullptr},      {"x", nullptr},        {"X(03)", nullptr},   {"X(0)", nullptr},
        {"X(+1)", nullptr},   {"E(1)", nullptr},     {"$TOP$", nullptr},   {"S.A", nullptr},
        {"XYZ", nullptr},     {"S(3).A", nullptr},   {"S(2).A.B", nullptr},
    };
    for (const PathCase& entry : cases) {
        uintptr_t handle = 4242;
        const char* answer = rtmHandleByName(table, entry.path, &handle);
        if (entry.node == nullptr) {
            EXPECT_STREQ(answer, "Invalid row number") << entry.path;
            EXPECT_EQ(handle, 4242u) << entry.path;
        } else {
            EXPECT_EQ(answer, nullptr) << entry.path;
            EXPECT_EQ(handle, nodeAt(table, entry.node)) << entry.path;
            EXPECT_NE(handle, 0u) << entry.path;
        }
    }
    DeleteUVT(table);
}

// ---------------------------------------------------------------------------
// The row locator skips whole groups by their counters: finding a value
// after a long array costs about the same as finding it after a short one.
// ---------------------------------------------------------------------------
long resolvesFor(const std::function<void()>& call) {
    const long before = TrackingMemory::instance().resolves();
    call();
    return TrackingMemory::instance().resolves() - before;
}

TEST_F(Addressing, RowLocatorCostDoesNotGrowWithSkippedValues) {
    long costs[2] = {0, 0};
    const int32_t lengths[2] = {2, 2000};
    for (int i = 0; i < 2; ++i) {
        host.sizes[-13] = lengths[i];
        const uintptr_t table = makeTable({{"S", "Structure", "Number of Inlet Streams", "0", "Input Only"},
                                           {"A", "Real", "Scalar", "1", "Input Only"},
                                           {"B", "Integer", "Scalar", "1", "Input Only"},
                                           {"Y", "Real", "Scalar", "0", "Input Only"}});
        rtmInitArrays(table);
        uintptr_t handle = 0;
        const int32_t lastRow = rtmGetNumberOfRows(table, 0) - 1;
        costs[i] = resolvesFor([&] { ASSERT_EQ(rtmHandleByRow(table, lastRow, 0, &handle), nullptr); });
        EXPECT_EQ(handle, nodeAt(table, "Y"));
        int32_t element = 0;
        ASSERT_EQ(rtmGetElementByRow(table, lastRow, 0, &element), nullptr);
        EXPECT_EQ(element, lengths[i] + 1) << "Y follows every A among the Reals";
        DeleteUVT(table);
    }
    EXPECT_EQ(costs[0], costs[1]);
}

}  // namespace
}  // namespace uvt_test
