// A host that installs nothing: the built-in routines serve, with ordinary
// process memory whose handles are addresses. This program never installs
// the test host, so it runs in a process of its own.
#include "test_host.h"

#include <gtest/gtest.h>

namespace uvt_test {
namespace {

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

}  // namespace
}  // namespace uvt_test
