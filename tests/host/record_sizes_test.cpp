// What the host's allocate sees: with 32-bit pointers a table header is 88
// bytes, a variable row 44 and a row-pointer slot 4; with 64-bit pointers the
// handle fields widen (header 120, slot 8) and a row stays 44. The fields are
// read back from the raw blocks at their fixed offsets, so a reordered or
// resized field shows even where the total happens to stay the same.
#include "test_host.h"

#include <algorithm>
#include <cstring>
#include <ctime>

namespace uvt_test {
namespace {

struct Layout {
    int32_t headerSize;
    int32_t slotSize;
    // Offsets in the table header.
    std::size_t rowCount, hostIds, timeStamp, functionName, rowArray, runtimeRoot, reserved, nextRowId,
        configInterface, elementArrays, elementCounts;
};

constexpr Layout kLayout32 = {88, 4, 0, 4, 12, 16, 32, 36, 40, 56, 60, 64, 76};
constexpr Layout kLayout64 = {120, 8, 0, 4, 12, 16, 32, 40, 48, 64, 72, 80, 104};
constexpr const Layout& kLayout = sizeof(void*) == 4 ? kLayout32 : kLayout64;

constexpr int32_t kRowSize = 44;

template <class T>
T fieldAt(const void* block, std::size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const char*>(block) + offset, sizeof value);
    return value;
}

class RecordSizes : public UvtTest {};

TEST_F(RecordSizes, HostSeesTheRecordSizesOfThisPlatform) {
    const int32_t ids[2] = {11, 22};
    const uintptr_t table = CreateUVT(ids);
    ASSERT_NE(table, 0u);
    EXPECT_EQ(memory.allocationSizes(), (std::vector<int32_t>{kLayout.headerSize}));
    EXPECT_EQ(memory.sizeOf(table), kLayout.headerSize);

    ASSERT_NE(dfnInsertRow(table, 0), 0);
    ASSERT_NE(dfnInsertRow(table, 1), 0);
    // Each insertion brings a row; the first makes a one-slot array, the
    // second grows it by a slot (the test host's reallocate allocates afresh).
    std::vector<int32_t> sizes = memory.allocationSizes();
    std::sort(sizes.begin() + 1, sizes.end());
    std::vector<int32_t> expected = {kLayout.headerSize, kLayout.slotSize, 2 * kLayout.slotSize, kRowSize, kRowSize};
    std::sort(expected.begin() + 1, expected.end());
    EXPECT_EQ(sizes, expected);
    DeleteUVT(table);
    // The leak and size checks of the fixture see every block come back with
    // the size it was handed out with.
}

TEST_F(RecordSizes, HeaderFieldsSitAtTheirOffsets) {
    const int32_t ids[2] = {11, 22};
    const int32_t before = static_cast<int32_t>(std::time(nullptr));
    const uintptr_t table = CreateUVT(ids);
    ASSERT_NE(table, 0u);
    const int32_t after = static_cast<int32_t>(std::time(nullptr));
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(fieldAt<int32_t>(memory.view<void>(table), kLayout.reserved + 4 * i), 0) << "reserved " << i;
    }
    ASSERT_EQ(dfnInsertRow(table, 0), 1);
    ASSERT_EQ(dfnInsertRow(table, 1), 1);
    ConfigObject config;
    void* held = UVTSetConfigInterface(table, config.object());
    ASSERT_NE(held, nullptr);

    const void* block = memory.view<void>(table);
    EXPECT_EQ(fieldAt<int32_t>(block, kLayout.rowCount), 2);
    EXPECT_EQ(fieldAt<int32_t>(block, kLayout.hostIds), 11);
    EXPECT_EQ(fieldAt<int32_t>(block, kLayout.hostIds + 4), 22);
    const int32_t stamp = fieldAt<int32_t>(block, kLayout.timeStamp);
    EXPECT_GE(stamp, before);
    EXPECT_LE(stamp, after);
    EXPECT_EQ(fieldAt<char>(block, kLayout.functionName), '\0');
    const uintptr_t rowArray = fieldAt<uintptr_t>(block, kLayout.rowArray);
    EXPECT_EQ(memory.sizeOf(rowArray), 2 * kLayout.slotSize);
    EXPECT_EQ(fieldAt<uintptr_t>(block, kLayout.runtimeRoot), 0u);
    EXPECT_EQ(fieldAt<int32_t>(block, kLayout.nextRowId), 2);
    EXPECT_EQ(fieldAt<void*>(block, kLayout.configInterface), held);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(fieldAt<uintptr_t>(block, kLayout.elementArrays + sizeof(uintptr_t) * i), 0u);
        EXPECT_EQ(fieldAt<int32_t>(block, kLayout.elementCounts + 4 * i), 0);
    }
    // The row slots hold the rows' handles in row order.
    const void* slots = memory.view<void>(rowArray);
    EXPECT_EQ(memory.sizeOf(fieldAt<uintptr_t>(slots, 0)), kRowSize);
    EXPECT_EQ(memory.sizeOf(fieldAt<uintptr_t>(slots, sizeof(uintptr_t))), kRowSize);
    DeleteUVT(table);
}

TEST_F(RecordSizes, RowFieldsSitAtTheirOffsets) {
    const uintptr_t table = CreateUVT(nullptr);
    ASSERT_NE(table, 0u);
    ASSERT_EQ(dfnInsertRow(table, 0), 1);
    ASSERT_EQ(dfnInsertRow(table, 1), 1);
    ASSERT_EQ(setCell(table, 0, 1, "flow"), kEmpty);

    const auto* slots = memory.view<uintptr_t>(header(table).rowArray);
    const void* second = memory.view<void>(slots[1]);
    EXPECT_EQ(fieldAt<int32_t>(second, 0), 1);  // id
    char name[20];
    std::memcpy(name, static_cast<const char*>(second) + 4, sizeof name);
    EXPECT_STREQ(name, "FLOW");
    EXPECT_EQ(fieldAt<int32_t>(second, 24), 1);    // type: Real
    EXPECT_EQ(fieldAt<int32_t>(second, 28), -1);   // dimension: Scalar
    EXPECT_EQ(fieldAt<int32_t>(second, 32), 0);    // depth
    EXPECT_EQ(fieldAt<int32_t>(second, 36), 1);    // io: Input Only
    EXPECT_EQ(fieldAt<int32_t>(second, 40), -50);  // parentId: none
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
