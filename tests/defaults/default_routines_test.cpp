// A host that installs nothing: the built-in routines serve, with ordinary
// process memory whose handles are addresses. This program never installs
// the test host, so it runs in a process of its own.
#include "test_host.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace uvt_test {
namespace {

// A letter followed by a number, such as "V12".
std::string named(char letter, int number) {
    std::string text(1, letter);
    text += std::to_string(number);
    return text;
}

TEST(DefaultRoutines, TableLivesInProcessMemory) {
    const int32_t ids[2] = {11, 22};
    const uintptr_t table = CreateUVT(ids);
    ASSERT_NE(table, 0u);
    // The default resolve is the identity: the handle is the header's address.
    const auto* header = reinterpret_cast<const HeaderView*>(table);
    EXPECT_EQ(header->hostIds[0], 11);
    EXPECT_EQ(header->hostIds[1], 22);

    for (int i = 0; i < 40; ++i) ASSERT_EQ(dfnInsertRow(table, i), 1);  // grows through the default reallocate
    EXPECT_EQ(dfnCountRows(table), 40);
    EXPECT_EQ(setCell(table, 0, 39, "last"), kEmpty);
    EXPECT_EQ(getCell(table, 0, 39), "LAST");
    for (int i = 0; i < 20; ++i) dfnDeleteRow(table, 0);
    EXPECT_EQ(getCell(table, 0, 19), "LAST");

    ConfigObject config;
    ASSERT_NE(UVTSetConfigInterface(table, config.object()), nullptr);
    EXPECT_EQ(setCell(table, 0, 0, "first"), kEmpty);
    EXPECT_EQ(config.beginSaves, 1);
    EXPECT_EQ(config.saved().substr(0, 3), "20$");
    DeleteUVT(table);
    EXPECT_EQ(config.references, 1);
}

TEST(DefaultRoutines, EventsCanBeTurnedOffAgain) {
    // With no event routines the library raises nothing; a null record keeps
    // it that way after routines were installed.
    static int releases = 0;
    const UvtEventRoutines events = {[]() { ++releases; }, nullptr};
    SetExtUVTEvents(&events);
    DeleteUVT(CreateUVT(nullptr));
    EXPECT_EQ(releases, 1);
    SetExtUVTEvents(nullptr);
    DeleteUVT(CreateUVT(nullptr));
    EXPECT_EQ(releases, 1);
}

TEST(DefaultRoutines, EveryHostSuppliedDimensionHasSizeOne) {
    // One Real array per kind of count that the host supplies.
    const char* const counts[] = {"Number of Components", "Number of Inlet Streams", "Number of Outlet Streams",
                                  "Number of Work Outlet Streams"};
    const uintptr_t table = CreateUVT(nullptr);
    ASSERT_NE(table, 0u);
    int32_t r = 0;
    for (const char* count : counts) {
        ASSERT_EQ(dfnInsertRow(table, r), 1);
        ASSERT_EQ(setCell(table, 0, r, named('X', r).c_str()), kEmpty);
        ASSERT_EQ(setCell(table, 2, r, count), kEmpty);
        ++r;
    }
    rtmInitArrays(table);
    EXPECT_EQ(rtmGetLimit(table, 1), r);
    DeleteUVT(table);
}

// From here on the host installs some routines itself. These tests come
// after the ones above, which need a host that installs nothing; each of
// them installs everything it relies on, so it also runs on its own.

// Process memory whose every block is remembered with its size, so that each
// release can be checked against it.
std::map<uintptr_t, int32_t> heapBlocks;
std::vector<std::string> heapFaults;

uintptr_t UVT_HOSTCALL heapAllocate(int32_t size) {
    void* block = std::malloc(size == 0 ? 1 : static_cast<std::size_t>(size));
    const auto handle = reinterpret_cast<uintptr_t>(block);
    heapBlocks[handle] = size;
    return handle;
}

void UVT_HOSTCALL heapRelease(uintptr_t handle, int32_t size) {
    auto it = heapBlocks.find(handle);
    if (it == heapBlocks.end()) {
        heapFaults.push_back("release of an unknown block");
    } else {
        if (it->second != size) heapFaults.push_back("release with a wrong size");
        heapBlocks.erase(it);
    }
    std::free(reinterpret_cast<void*>(handle));
}

TEST(DefaultRoutines, NullResolveKeepsTheIdentityResolve) {
    const UvtMemoryRoutines routines = {&heapAllocate, &heapRelease, nullptr, nullptr};
    SetExtRoutines(&routines);
    const int32_t ids[2] = {5, 6};
    const uintptr_t table = CreateUVT(ids);
    ASSERT_NE(table, 0u);
    ASSERT_EQ(heapBlocks.count(table), 1u);
    // The handle is still taken for the address of the header.
    EXPECT_EQ(reinterpret_cast<const HeaderView*>(table)->hostIds[0], 5);
    // The default reallocate goes through the installed allocate and release.
    for (int i = 0; i < 10; ++i) ASSERT_EQ(dfnInsertRow(table, i), 1);
    EXPECT_EQ(setCell(table, 0, 9, "tenth"), kEmpty);
    for (int i = 0; i < 5; ++i) dfnDeleteRow(table, 0);
    EXPECT_EQ(getCell(table, 0, 4), "TENTH");
    EXPECT_EQ(heapBlocks.size(), 1u + 1u + 5u);  // header, row array, rows
    DeleteUVT(table);
    EXPECT_TRUE(heapBlocks.empty());
    EXPECT_EQ(heapFaults, std::vector<std::string>{});
}

// A host with allocate, release and resolve of its own, handles that are not
// addresses, and no reallocate: the library's reallocate works on its memory.
class HostWithoutReallocate : public ::testing::Test {
protected:
    void SetUp() override {
        memory.reset();
        const UvtMemoryRoutines routines = {&TrackingMemory::allocate, &TrackingMemory::release,
                                            &TrackingMemory::resolve, nullptr};
        SetExtRoutines(&routines);
    }
    void TearDown() override {
        memory.failAllocation(0);
        EXPECT_EQ(memory.liveBlocks(), 0u);
        EXPECT_EQ(memory.faults(), std::vector<std::string>{});
        // The host's own reallocate was never installed, so never called.
        EXPECT_EQ(memory.reallocations(), 0);
        memory.reset();
    }
    TrackingMemory& memory = TrackingMemory::instance();
};

TEST_F(HostWithoutReallocate, RowArrayGrowsAndShrinksInTheHostsMemory) {
    const uintptr_t table = CreateUVT(nullptr);
    ASSERT_NE(table, 0u);
    const int32_t slot = static_cast<int32_t>(sizeof(uintptr_t));
    for (int i = 0; i < 40; ++i) {
        ASSERT_EQ(dfnInsertRow(table, i), 1);
        ASSERT_EQ(setCell(table, 0, i, named('v', i).c_str()), kEmpty);
    }
    EXPECT_EQ(memory.sizeOf(header(table).rowArray), 40 * slot);
    // Every row is still where it was: each growth copied the whole array.
    for (int i = 0; i < 40; ++i) EXPECT_EQ(getCell(table, 0, i), named('V', i));
    for (int i = 0; i < 30; ++i) dfnDeleteRow(table, 5);
    EXPECT_EQ(memory.sizeOf(header(table).rowArray), 10 * slot);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(getCell(table, 0, i), named('V', i));
    for (int i = 5; i < 10; ++i) EXPECT_EQ(getCell(table, 0, i), named('V', i + 30));
    // Every old array went back with the size it had (checked by the
    // tracking memory), so only the header, the array and the rows remain.
    EXPECT_EQ(memory.liveBlocks(), 1u + 1u + 10u);
    DeleteUVT(table);
}

TEST_F(HostWithoutReallocate, FailedAllocationKeepsTheOldBlock) {
    const uintptr_t table = CreateUVT(nullptr);
    ASSERT_NE(table, 0u);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(dfnInsertRow(table, i), 1);
        ASSERT_EQ(setCell(table, 0, i, named('k', i).c_str()), kEmpty);
    }
    const uintptr_t array = header(table).rowArray;
    const std::size_t blocks = memory.liveBlocks();
    // An insertion obtains its row, then grows the array: that allocation,
    // inside the library's reallocate, fails.
    memory.failAllocation(2);
    EXPECT_EQ(dfnInsertRow(table, 3), 0);
    EXPECT_EQ(memory.allocationsMade(), 1 + 3 * 2 + 2) << "the failure came where it was meant to";
    // The old array is kept, unreleased, with its contents.
    EXPECT_EQ(header(table).rowArray, array);
    EXPECT_EQ(memory.sizeOf(array), 3 * static_cast<int32_t>(sizeof(uintptr_t)));
    EXPECT_EQ(memory.liveBlocks(), blocks);
    EXPECT_EQ(dfnCountRows(table), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(getCell(table, 0, i), named('K', i));
    // With memory again, the table grows as before.
    EXPECT_EQ(dfnInsertRow(table, 3), 1);
    EXPECT_EQ(dfnCountRows(table), 4);
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
