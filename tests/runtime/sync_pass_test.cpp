// The sync pass as the host sees it: which resizeArray and storeElement calls
// come, in which order, after which change.
#include "runtime_views.h"

#include <algorithm>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace uvt_test {
namespace {

using Log = std::vector<std::string>;

class SyncPass : public UvtTest {};

TEST_F(SyncPass, UnforcedPassAfterNoChangeSendsNothing) {
    host.sizes[-2] = 2;
    const uintptr_t table = makeTable({{"N", "Integer"}, {"X", "Real", "Number of Components"}, {"C", "Character"}});
    const int32_t ints[] = {4};
    const double reals[] = {1.0, 2.0};
    rtmAttachArrays(table, ints, reals);
    pokeText(nodeAt(table, "C"), "AB");
    rtmSetSymSize(table, 0);
    host.clearLog();
    rtmSetSymSize(table, 0);
    EXPECT_EQ(host.log, Log{"query(-2)"});
    for (int i = 0; i < 3; ++i) EXPECT_EQ(slotsOf(table, i)[0].changed, 0) << "array " << i;
    DeleteUVT(table);
}

struct ChangeCase {
    const char* title;
    void (*change)(uintptr_t table);
    Log expected;
};
void PrintTo(const ChangeCase& entry, std::ostream* out) { *out << entry.title; }

class SyncPassChange : public UvtTest, public ::testing::WithParamInterface<ChangeCase> {};

// Two values of each type, all set; one change, then an unforced pass.
TEST_P(SyncPassChange, OnlyTheChangedSlotIsSent) {
    const uintptr_t table = makeTable({{"I1", "Integer"},
                                       {"I2", "Integer"},
                                       {"R1", "Real"},
                                       {"R2", "Real"},
                                       {"C1", "Character"},
                                       {"C2", "Character"}});
    const int32_t ints[] = {1, 2};
    const double reals[] = {0.5, 0.25};
    rtmAttachArrays(table, ints, reals);
    pokeText(nodeAt(table, "C1"), "ONE");
    pokeText(nodeAt(table, "C2"), "TWO");
    rtmSetSymSize(table, 0);
    host.clearLog();
    GetParam().change(table);
    rtmSetSymSize(table, 0);
    EXPECT_EQ(host.log, GetParam().expected);
    DeleteUVT(table);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, SyncPassChange,
    ::testing::Values(
        ChangeCase{"Integer", [](uintptr_t handle) { pokeInteger(nodeAt(handle, "I2"), 9); }, Log{"store(0,1,i:9)"}},
        ChangeCase{"IntegerSameValue", [](uintptr_t handle) { pokeInteger(nodeAt(handle, "I2"), 2); }, Log{}},
        ChangeCase{"Real", [](uintptr_t handle) { pokeReal(nodeAt(handle, "R1"), 4.5); }, Log{"store(1,0,r:4.5)"}},
        ChangeCase{"ValueRemoved", [](uintptr_t handle) { nodeView(nodeAt(handle, "R2")).leaf.valueSet = 0; },
                   Log{"store(1,1,null)"}},
        ChangeCase{"Text", [](uintptr_t handle) { pokeText(nodeAt(handle, "C2"), "NEW"); }, Log{"store(2,1,s:NEW)"}}),
    [](const ::testing::TestParamInfo<ChangeCase>& entry) { return std::string(entry.param.title); });

TEST_F(SyncPass, CharacterSlotHoldsTheNodesTextHandle) {
    const uintptr_t table = makeTable({{"C", "Character"}});
    rtmInitArrays(table);
    const uintptr_t leaf = nodeAt(table, "C");
    pokeText(leaf, "AB");
    host.clearLog();
    rtmSetSymSize(table, 0);
    EXPECT_EQ(host.log, Log{"store(2,0,s:AB)"});
    const SlotView& slot = slotsOf(table, 2)[0];
    EXPECT_EQ(slot.hasValue, 1);
    EXPECT_EQ(slot.valueType, 2);
    EXPECT_EQ(slot.value.text, nodeView(leaf).leaf.value.text);
    DeleteUVT(table);
}

struct ResizeCase {
    const char* title;
    int32_t from;
    int32_t to;
    Log expected;
};
void PrintTo(const ResizeCase& entry, std::ostream* out) { *out << entry.title; }

class SyncPassResize : public UvtTest, public ::testing::WithParamInterface<ResizeCase> {};

TEST_P(SyncPassResize, HostCountChangeResizesAndNotifies) {
    host.sizes[-2] = GetParam().from;
    const uintptr_t table = makeTable({{"X", "Real", "Number of Components"}});
    rtmInitArrays(table);
    host.sizes[-2] = GetParam().to;
    host.clearLog();
    rtmSetSymSize(table, 0);
    EXPECT_EQ(host.log, GetParam().expected);
    EXPECT_EQ(rtmGetLimit(table, 1), std::max(GetParam().to, 0));
    expectElementArraysConsistent(table);
    DeleteUVT(table);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, SyncPassResize,
    ::testing::Values(
        ResizeCase{"Shrink", 5, 3, Log{"query(-2)", "resize(1,3)", "store(1,3,null)", "store(1,4,null)", "release"}},
        ResizeCase{"Grow", 3, 5, Log{"query(-2)", "resize(1,5)", "store(1,3,null)", "store(1,4,null)"}},
        ResizeCase{"ToZero", 2, 0, Log{"query(-2)", "resize(1,0)", "store(1,0,null)", "store(1,1,null)", "release"}},
        ResizeCase{"FromZero", 0, 2, Log{"query(-2)", "resize(1,2)", "store(1,0,null)", "store(1,1,null)"}},
        ResizeCase{"NegativeAnswerIsZero", 2, -3,
                   Log{"query(-2)", "resize(1,0)", "store(1,0,null)", "store(1,1,null)", "release"}}),
    [](const ::testing::TestParamInfo<ResizeCase>& entry) { return std::string(entry.param.title); });

TEST_F(SyncPass, RaisedComponentCountSendsNewElementAndMovedValues) {
    host.sizes[-2] = 2;
    const uintptr_t table = makeTable({{"X", "Real", "Number of Components"}, {"Y", "Real"}});
    const double reals[] = {1.0, 2.0, 9.0};
    rtmAttachArrays(table, nullptr, reals);
    host.sizes[-2] = 3;
    host.clearLog();
    rtmSetSymSize(table, 0);
    // X's third element takes Y's old place; Y moves one on and is sent there.
    EXPECT_EQ(host.log, (Log{"query(-2)", "resize(1,4)", "store(1,2,null)", "store(1,3,r:9)"}));
    EXPECT_EQ(treeText(table), "$TOP$(X(1=r:1 2=r:2 3) Y=r:9)");
    DeleteUVT(table);
}

TEST_F(SyncPass, MessageStopsSendingButNotResizing) {
    host.sizes[-2] = 3;
    const uintptr_t table = makeTable({{"I", "Integer"}, {"R", "Real", "Number of Components"}, {"C", "Character"}});
    host.storeAnswer = [](int32_t array, int32_t element, const void*) -> const char* {
        return array == 0 && element == 0 ? "host full" : nullptr;
    };
    host.clearLog();
    rtmInitArrays(table);
    EXPECT_EQ(host.log, (Log{"query(-2)", "resize(0,1)", "store(0,0,null)", "resize(1,3)", "resize(2,1)"}));
    expectElementArraysConsistent(table);

    // After a message the cut-off elements of a shrink are still told.
    pokeInteger(nodeAt(table, "I"), 5);
    pokeText(nodeAt(table, "C"), "Q");
    host.sizes[-2] = 1;
    host.clearLog();
    rtmSetSymSize(table, 0);
    EXPECT_EQ(host.log, (Log{"query(-2)", "store(0,0,i:5)", "resize(1,1)", "store(1,1,null)", "store(1,2,null)",
                             "release"}));
    EXPECT_EQ(rtmGetLimit(table, 1), 1);
    DeleteUVT(table);
}

TEST_F(SyncPass, ArrayThatCannotGrowIsSentWholeAndAgainNextTime) {
    host.sizes[-2] = 2;
    const uintptr_t table = makeTable({{"X", "Real", "Number of Components"}});
    const double reals[] = {0.5, 1.5};
    rtmAttachArrays(table, nullptr, reals);
    host.sizes[-2] = 4;
    host.clearLog();
    // Elements 3 and 4 take a name block and a node each; then the Real
    // element array is to grow, and cannot.
    memory.failAllocation(5);
    rtmSetSymSize(table, 0);
    memory.failAllocation(0);
    EXPECT_EQ(memory.allocationSizes().back(), 4 * 24);
    EXPECT_EQ(host.log, (Log{"query(-2)", "resize(1,4)", "store(1,2,null)", "store(1,3,null)"}));
    // No slots are claimed without an array, so the next pass starts afresh.
    EXPECT_EQ(header(table).elementCounts[1], 0);
    EXPECT_EQ(header(table).elementArrays[1], 0u);
    host.clearLog();
    rtmSetSymSize(table, 0);
    EXPECT_EQ(host.log, (Log{"query(-2)", "resize(1,4)", "store(1,0,r:0.5)", "store(1,1,r:1.5)", "store(1,2,null)",
                             "store(1,3,null)"}));
    expectElementArraysConsistent(table);
    DeleteUVT(table);
}

TEST_F(SyncPass, ElementArraysMirrorTheTreeInOrder) {
    host.sizes[-2] = 2;
    const uintptr_t table = makeTable({{"N", "Integer"}, {"X", "Real", "Number of Components"}, {"M", "Integer"}});
    const int32_t ints[] = {6, 99999999};
    const double reals[] = {0.5, 1.5};
    rtmAttachArrays(table, ints, reals);
    const SlotView* integers = slotsOf(table, 0);
    EXPECT_EQ(integers[0].hasValue, 1);
    EXPECT_EQ(integers[0].valueType, 0);
    EXPECT_EQ(integers[0].value.i, 6);
    EXPECT_EQ(integers[1].hasValue, 0);
    const SlotView* realSlots = slotsOf(table, 1);
    EXPECT_EQ(realSlots[1].hasValue, 1);
    EXPECT_EQ(realSlots[1].value.r, 1.5);
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
