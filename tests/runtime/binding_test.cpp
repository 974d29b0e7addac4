// Binding a table to the host's arrays: the gate of completeness, the
// initial values of an attach, the limits, the events, and what happens when
// the host's allocate fails part way.
#include "runtime_views.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace uvt_test {
namespace {

using Log = std::vector<std::string>;

class Binding : public UvtTest {};

TEST_F(Binding, IncompleteTablesAreNotBound) {
    const uintptr_t empty = CreateUVT(nullptr);
    const uintptr_t unnamed = makeTable({{"A", "Integer"}});
    ASSERT_NE(dfnInsertRow(unnamed, 1), 0);  // a second row without a name
    const int32_t ints[] = {1, 2};
    for (const uintptr_t table : {empty, unnamed}) {
        host.clearLog();
        rtmInitArrays(table);
        rtmAttachArrays(table, ints, nullptr);
        rtmSetSymSize(table, 0);
        EXPECT_EQ(rtmGetLimit(table, 0), 0);
        EXPECT_EQ(header(table).runtimeRoot, 0u);
        EXPECT_EQ(host.log, Log{});
    }
    DeleteUVT(empty);
    DeleteUVT(unnamed);
}

TEST_F(Binding, GetLimitBindsAnUnboundTableOnce) {
    host.sizes[-2] = 3;
    const uintptr_t table = makeTable(kSampleRows);
    host.clearLog();
    EXPECT_EQ(rtmGetLimitDirect(memory.view<void>(table), 1), 0) << "direct never binds";
    EXPECT_EQ(header(table).runtimeRoot, 0u);
    EXPECT_EQ(rtmGetLimit(table, 1), 4);
    EXPECT_NE(header(table).runtimeRoot, 0u);
    const Log afterBuild = host.log;
    EXPECT_EQ(afterBuild.front(), "query(-2)");
    EXPECT_EQ(rtmGetLimit(table, 0), 1);
    EXPECT_EQ(host.log, afterBuild) << "a bound table is not laid out again";

    void* address = memory.view<void>(table);
    EXPECT_EQ(rtmGetLimitDirect(address, 0), 1);
    EXPECT_EQ(rtmGetLimitDirect(address, 1), 4);
    EXPECT_EQ(rtmGetLimitDirect(address, 2), 0);
    EXPECT_EQ(rtmGetLimitDirect(address, 3), 0);
    EXPECT_EQ(rtmGetLimitDirect(address, -1), 0);
    EXPECT_EQ(rtmGetLimit(table, 3), 0);
    EXPECT_EQ(rtmGetLimit(table, -1), 0);
    DeleteUVT(table);
}

TEST_F(Binding, NullTablesAreIgnored) {
    const int32_t ints[] = {1};
    rtmInitArrays(0);
    rtmAttachArrays(0, ints, nullptr);
    rtmSetSymSize(0, 0);
    rtmReplaceTable(0, 0);
    EXPECT_EQ(rtmGetLimit(0, 0), 0);
    EXPECT_EQ(rtmGetLimitDirect(nullptr, 1), 0);
    EXPECT_EQ(host.log, Log{});
}

TEST_F(Binding, AttachTakesValuesWithoutSendingThem) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"A", "Real", "N"}, {"M", "Integer"}});
    const int32_t ints[] = {99999999, 12};
    const double reals[] = {7.5};
    host.clearLog();
    rtmAttachArrays(table, ints, reals);
    // N has no value, so A has no elements; M takes the next Integer value.
    EXPECT_EQ(treeText(table), "$TOP$(N A() M=i:12)");
    EXPECT_EQ(host.log, (Log{"resize(0,2)"}));

    // The host's own storeElement is back in place afterwards.
    pokeInteger(nodeAt(table, "N"), 1);
    host.clearLog();
    rtmSetSymSize(table, 0);
    EXPECT_EQ(host.log, (Log{"store(0,0,i:1)", "resize(1,1)", "store(1,0,null)"}));
    DeleteUVT(table);
}

TEST_F(Binding, AttachWithoutRealArrayLeavesRealsUnset) {
    const uintptr_t table = makeTable({{"R", "Real"}, {"N", "Integer"}});
    const int32_t ints[] = {4};
    rtmAttachArrays(table, ints, nullptr);
    EXPECT_EQ(treeText(table), "$TOP$(R N=i:4)");
    DeleteUVT(table);
}

TEST_F(Binding, RebindingDropsTheOldTreeWithOneEvent) {
    host.sizes[-2] = 4;
    const uintptr_t table = makeTable(kSampleRows);
    const int32_t ints[] = {2, 7, 8};
    rtmAttachArrays(table, ints, nullptr);
    EXPECT_EQ(host.releaseEvents, 0);
    host.clearLog();
    rtmInitArrays(table);
    EXPECT_EQ(treeText(table), "$TOP$(NC X(1 2 3 4) S() Y)");
    EXPECT_EQ(host.releaseEvents, 1);
    EXPECT_EQ(host.log.back(), "release");
    // The element arrays start afresh: every value is sent again.
    EXPECT_EQ(host.entries("store").size(), 1u + 4u + 1u);
    expectElementArraysConsistent(table);
    DeleteUVT(table);
    EXPECT_EQ(host.releaseEvents, 2);
}

TEST_F(Binding, DeletingABoundTableReleasesEverythingWithOneEvent) {
    host.sizes[-2] = 3;
    const uintptr_t table = makeTable(kSampleRows);
    const int32_t ints[] = {2, 7, 8};
    rtmAttachArrays(table, ints, nullptr);
    pokeText(nodeAt(table, "S/2/B"), "TEXT");
    host.clearLog();
    DeleteUVT(table);
    EXPECT_EQ(host.log, Log{"release"});
    EXPECT_EQ(memory.liveBlocks(), 0u);
}

// ---------------------------------------------------------------------------
// With allocate failing at one call, every step on the way is tried: the
// library must not crash or leak, must keep its counts in line with its
// element arrays, and the table must still be deletable.
// ---------------------------------------------------------------------------
struct FailureCase {
    const char* title;
    std::function<uintptr_t()> prepare;         // runs with memory intact
    std::function<void(uintptr_t)> operation;  // runs with one allocation failing
    std::function<uintptr_t()> source = nullptr;  // a second table made with memory intact
};
void PrintTo(const FailureCase& entry, std::ostream* out) { *out << entry.title; }

class RuntimeAllocationFailure : public UvtTest, public ::testing::WithParamInterface<FailureCase> {};

void checkTreeCountsAgainstArrays(uintptr_t table) {
    expectElementArraysConsistent(table);
    const HeaderView& h = header(table);
    if (h.runtimeRoot == 0) return;
    const NodeView& root = nodeView(h.runtimeRoot);
    // After a pass the host's sizes are the root's counts, or the arrays were
    // dropped to be sent afresh next time.
    for (int i = 0; i < 3; ++i) {
        if (h.elementCounts[i] != 0) {
            EXPECT_EQ(h.elementCounts[i], root.counters[3 + i]) << "array " << i;
        }
    }
}

TEST_P(RuntimeAllocationFailure, EverySingleFailureIsSurvived) {
    bool failureHit = true;
    int attempts = 0;
    for (int n = 1; failureHit && n < 400; ++n) {
        SCOPED_TRACE(::testing::Message() << "allocation " << n);
        host.reset();
        host.sizes[-2] = 3;
        const uintptr_t table = GetParam().prepare();
        // A replacement source is used up by a replacement that goes through.
        const uintptr_t source = GetParam().source ? GetParam().source() : 0;
        const int before = memory.allocationsMade();
        memory.failAllocation(n);
        if (source != 0) rtmReplaceTable(table, source);
        else GetParam().operation(table);
        failureHit = memory.allocationsMade() - before >= n;
        memory.failAllocation(0);
        checkTreeCountsAgainstArrays(table);
        // The table still works and goes away whole.
        rtmSetSymSize(table, 0);
        checkTreeCountsAgainstArrays(table);
        DeleteUVT(table);
        EXPECT_EQ(memory.liveBlocks(), 0u);
        EXPECT_EQ(memory.faults(), std::vector<std::string>{});
        ++attempts;
        if (HasFailure()) break;
    }
    EXPECT_FALSE(failureHit) << "the sweep did not reach an operation that needs no further allocation";
    EXPECT_GT(attempts, 1) << "no allocation failed";
}

uintptr_t sampleTable() { return makeTable(kSampleRows); }

uintptr_t boundSampleTable() {
    const uintptr_t table = makeTable(kSampleRows);
    const int32_t ints[] = {1, 7};
    rtmAttachArrays(table, ints, nullptr);
    pokeText(nodeAt(table, "S/1/B"), "B1");
    return table;
}

uintptr_t replacementSource() {
    return makeTable({{"NC", "Integer"},
                      {"Z", "Real", "Number of Components"},
                      {"S", "Structure", "NC"},
                      {"A", "Integer", "Scalar", "1"},
                      {"B", "Character", "Scalar", "1"},
                      {"C", "Character", "Scalar", "1"}});
}

void noOperation(uintptr_t) {}

INSTANTIATE_TEST_SUITE_P(
    Steps, RuntimeAllocationFailure,
    ::testing::Values(
        FailureCase{"Attach", sampleTable,
                    [](uintptr_t table) {
                        const int32_t ints[] = {2, 7, 8};
                        const double reals[] = {1, 2, 3, 4};
                        rtmAttachArrays(table, ints, reals);
                    }},
        FailureCase{"Init", sampleTable, [](uintptr_t table) { rtmInitArrays(table); }},
        FailureCase{"GetLimit", sampleTable, [](uintptr_t table) { rtmGetLimit(table, 0); }},
        FailureCase{"Rebind", boundSampleTable, [](uintptr_t table) { rtmInitArrays(table); }},
        FailureCase{"RelayoutGrowing", boundSampleTable,
                    [](uintptr_t table) {
                        pokeInteger(nodeAt(table, "NC"), 4);
                        HostRecorder::instance().sizes[-2] = 6;
                        rtmSetSymSize(table, 0);
                    }},
        FailureCase{"RelayoutShrinking", boundSampleTable,
                    [](uintptr_t table) {
                        pokeInteger(nodeAt(table, "NC"), 0);
                        HostRecorder::instance().sizes[-2] = 1;
                        rtmSetSymSize(table, 0);
                    }},
        FailureCase{"Replacement", boundSampleTable, noOperation, replacementSource},
        FailureCase{"ReplacementOfUnbound", sampleTable, noOperation, replacementSource}),
    [](const ::testing::TestParamInfo<FailureCase>& entry) { return std::string(entry.param.title); });

}  // namespace
}  // namespace uvt_test
