#include "test_host.h"

namespace uvt_test {

void appendRow(uintptr_t table, const RowSpec& wanted) {
    ASSERT_EQ(tryAppendRow(table, wanted), "");
}

uintptr_t makeTable(const std::vector<RowSpec>& rows, const int32_t* hostIds) {
    const uintptr_t table = CreateUVT(hostIds);
    EXPECT_NE(table, 0u);
    for (const RowSpec& wanted : rows) appendRow(table, wanted);
    return table;
}

void UvtTest::SetUp() { installTestHost(); }

void UvtTest::TearDown() {
    memory.failAllocation(0);
    memory.failFrom(0);
    EXPECT_EQ(memory.liveBlocks(), 0u) << "blocks leaked by the test";
    for (const std::string& fault : memory.faults()) ADD_FAILURE() << fault;
    memory.reset();
}

}  // namespace uvt_test
