// Installing host routines: a null record changes nothing (events: turns
// them off), and within a record only the entries that are set replace the
// routine in place.
#include "test_host.h"

#include <array>

namespace uvt_test {
namespace {

// Wrappers around the test host's memory that count their calls, so a test
// can see which routine the library really used.
std::array<int, 4> memoryCalls{};

uintptr_t UVT_HOSTCALL countedAllocate(int32_t size) {
    ++memoryCalls[0];
    return TrackingMemory::allocate(size);
}
void UVT_HOSTCALL countedRelease(uintptr_t handle, int32_t size) {
    ++memoryCalls[1];
    TrackingMemory::release(handle, size);
}
void* UVT_HOSTCALL countedResolve(uintptr_t handle) {
    ++memoryCalls[2];
    return TrackingMemory::resolve(handle);
}
uintptr_t UVT_HOSTCALL countedReallocate(uintptr_t handle, int32_t oldSize, int32_t newSize) {
    ++memoryCalls[3];
    return TrackingMemory::reallocate(handle, oldSize, newSize);
}

int otherQueries = 0;
int32_t UVT_HOSTCALL otherQuerySize(int32_t*, int32_t) {
    ++otherQueries;
    return 3;
}

int otherReleaseEvents = 0;
void UVT_HOSTCALL otherReleaseEvent() { ++otherReleaseEvents; }
void UVT_HOSTCALL otherReplaceEvent(int32_t) {}

class HostRoutines : public UvtTest {
protected:
    void SetUp() override {
        UvtTest::SetUp();
        memoryCalls = {};
        otherQueries = 0;
        otherReleaseEvents = 0;
    }

    // Uses every memory routine: the array grows and shrinks through
    // reallocate, rows are resolved and everything is released.
    void useEveryMemoryRoutine() {
        const uintptr_t table = CreateUVT(nullptr);
        ASSERT_NE(table, 0u);
        for (int i = 0; i < 3; ++i) ASSERT_EQ(dfnInsertRow(table, i), 1);
        ASSERT_EQ(setCell(table, 0, 2, "flow"), kEmpty);
        dfnDeleteRow(table, 0);
        EXPECT_EQ(getCell(table, 0, 1), "FLOW");
        DeleteUVT(table);
    }
};

TEST_F(HostRoutines, NullMemoryRecordChangesNothing) {
    SetExtRoutines(nullptr);
    useEveryMemoryRoutine();
    // Still the test host's memory: its reallocate was used, the header was
    // one of its blocks, and everything came back (checked after the test).
    EXPECT_GT(memory.reallocations(), 0);
    EXPECT_GT(memory.allocationsMade(), 0);
}

TEST_F(HostRoutines, OnlyTheEntriesThatAreSetReplaceTheirRoutine) {
    using Entries = UvtMemoryRoutines;
    const std::array<Entries, 4> records = {{
        {&countedAllocate, nullptr, nullptr, nullptr},
        {nullptr, &countedRelease, nullptr, nullptr},
        {nullptr, nullptr, &countedResolve, nullptr},
        {nullptr, nullptr, nullptr, &countedReallocate},
    }};
    for (std::size_t entry = 0; entry < records.size(); ++entry) {
        SCOPED_TRACE(::testing::Message() << "entry " << entry);
        SetUp();  // the test host's routines everywhere again
        SetExtRoutines(&records[entry]);
        useEveryMemoryRoutine();
        for (std::size_t other = 0; other < memoryCalls.size(); ++other) {
            if (other == entry) {
                EXPECT_GT(memoryCalls[other], 0) << "the installed routine was not used";
            } else {
                EXPECT_EQ(memoryCalls[other], 0);
            }
        }
        // The entries left null kept the test host's routines: a default
        // resolve or release would have taken its handles for addresses.
        EXPECT_EQ(memory.liveBlocks(), 0u);
        EXPECT_TRUE(memory.faults().empty());
    }
}

TEST_F(HostRoutines, LaterInstallationsReplaceEarlierOnes) {
    const UvtMemoryRoutines counted = {&countedAllocate, &countedRelease, &countedResolve, &countedReallocate};
    SetExtRoutines(&counted);
    const UvtMemoryRoutines plain = {&TrackingMemory::allocate, nullptr, nullptr, &TrackingMemory::reallocate};
    SetExtRoutines(&plain);
    useEveryMemoryRoutine();
    EXPECT_EQ(memoryCalls[0], 0);
    EXPECT_GT(memoryCalls[1], 0);  // left in place by the second record
    EXPECT_GT(memoryCalls[2], 0);
    EXPECT_EQ(memoryCalls[3], 0);
}

TEST_F(HostRoutines, EventEntriesThatAreNullKeepTheInstalledOne) {
    const UvtEventRoutines onlyReplace = {nullptr, &otherReplaceEvent};
    SetExtUVTEvents(&onlyReplace);
    DeleteUVT(CreateUVT(nullptr));
    EXPECT_EQ(host.releaseEvents, 1);

    const UvtEventRoutines other = {&otherReleaseEvent, nullptr};
    SetExtUVTEvents(&other);
    DeleteUVT(CreateUVT(nullptr));
    EXPECT_EQ(host.releaseEvents, 1);
    EXPECT_EQ(otherReleaseEvents, 1);
}

TEST_F(HostRoutines, NullSymbolSizeRecordChangesNothing) {
    SetExtSymsize(nullptr);
    host.sizes[-2] = 2;
    const uintptr_t table = makeTable({{"X", "Real", "Number of Components"}});
    rtmInitArrays(table);
    EXPECT_EQ(host.entries("query"), std::vector<std::string>{"query(-2)"});
    EXPECT_EQ(host.entries("resize"), std::vector<std::string>{"resize(1,2)"});
    EXPECT_EQ(host.entries("store").size(), 2u);
    DeleteUVT(table);
}

TEST_F(HostRoutines, SymbolSizeEntriesThatAreNullKeepTheInstalledOne) {
    const UvtSymsizeRoutines onlyQuery = {&otherQuerySize, nullptr, nullptr};
    SetExtSymsize(&onlyQuery);
    const uintptr_t table = makeTable({{"X", "Real", "Number of Components"}});
    rtmInitArrays(table);
    EXPECT_EQ(otherQueries, 1);
    EXPECT_TRUE(host.entries("query").empty());
    // The test host still sizes and receives the three elements.
    EXPECT_EQ(host.entries("resize"), std::vector<std::string>{"resize(1,3)"});
    EXPECT_EQ(host.entries("store").size(), 3u);
    DeleteUVT(table);
}

TEST_F(HostRoutines, ReplaceEventStaysWhenOnlyReleaseEventIsInstalled) {
    const UvtEventRoutines onlyRelease = {&otherReleaseEvent, nullptr};
    SetExtUVTEvents(&onlyRelease);
    const uintptr_t target = makeTable({{"A"}});
    const uintptr_t source = makeTable({{"B"}});
    rtmInitArrays(target);
    host.clearLog();
    rtmReplaceTable(target, source);
    EXPECT_EQ(host.replacePhases, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(host.releaseEvents, 0);
    EXPECT_EQ(otherReleaseEvents, 1);  // the source table went
    DeleteUVT(target);
}

TEST_F(HostRoutines, NullEventRecordTurnsEventsOff) {
    SetExtUVTEvents(nullptr);
    DeleteUVT(CreateUVT(nullptr));
    const uintptr_t target = makeTable({{"A"}});
    rtmInitArrays(target);
    rtmReplaceTable(target, makeTable({{"B"}}));
    DeleteUVT(target);
    EXPECT_EQ(host.releaseEvents, 0);
    EXPECT_TRUE(host.replacePhases.empty());

    // Installing again brings them back.
    const UvtEventRoutines events = {&HostRecorder::releaseEvent, &HostRecorder::replaceEvent};
    SetExtUVTEvents(&events);
    DeleteUVT(CreateUVT(nullptr));
    EXPECT_EQ(host.releaseEvents, 1);
}

}  // namespace
}  // namespace uvt_test
