// Which design-time edits end with the save step: each of them writes the
// whole saved-state string once through the attached configuration object,
// every other call writes nothing.
#include "test_host.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace uvt_test {
namespace {

struct SaveCase {
    const char* what;
    std::function<void(uintptr_t)> edit;
    bool saves;
};

void set(uintptr_t table, int32_t column, int32_t row, const char* text) { setCell(table, column, row, text); }

using SaveStepTest = UvtTest;

TEST_F(SaveStepTest, EachEditWritesOnceOrNotAtAll) {
    const std::vector<SaveCase> cases = {
        {"valid name", [](uintptr_t t) { set(t, 0, 2, "B"); }, true},
        {"empty name", [](uintptr_t t) { set(t, 0, 2, ""); }, false},
        {"null name", [](uintptr_t t) { setCellNull(t, 0, 2); }, false},
        {"name with a bad start", [](uintptr_t t) { set(t, 0, 2, "9B"); }, false},
        {"name with a bad character", [](uintptr_t t) { set(t, 0, 2, "B.C"); }, false},
        {"name too long", [](uintptr_t t) { set(t, 0, 2, "ABCDEFGHIJKLMNOPQ"); }, false},
        {"duplicate name", [](uintptr_t t) { set(t, 0, 2, "N"); }, false},
        {"valid type", [](uintptr_t t) { set(t, 1, 2, "Character"); }, true},
        {"invalid type", [](uintptr_t t) { set(t, 1, 2, "Float"); }, false},
        {"valid dimension", [](uintptr_t t) { set(t, 2, 2, "N"); }, true},
        {"invalid dimension", [](uintptr_t t) { set(t, 2, 2, "Q"); }, true},
        {"valid depth", [](uintptr_t t) { set(t, 3, 2, "0"); }, true},
        {"invalid depth", [](uintptr_t t) { set(t, 3, 2, "9"); }, false},
        {"depth on row 0", [](uintptr_t t) { set(t, 3, 0, "1"); }, false},
        {"valid IO", [](uintptr_t t) { set(t, 4, 2, "Output Only"); }, true},
        {"invalid IO", [](uintptr_t t) { set(t, 4, 2, "Both"); }, true},
        {"other column", [](uintptr_t t) { set(t, 6, 2, "x"); }, true},
        {"row out of range", [](uintptr_t t) { set(t, 1, 3, "Real"); }, false},
        {"insertion", [](uintptr_t t) { dfnInsertRow(t, 1); }, true},
        {"deletion", [](uintptr_t t) { dfnDeleteRow(t, 1); }, true},
        {"deletion out of range", [](uintptr_t t) { dfnDeleteRow(t, 3); }, false},
        {"reading every cell", [](uintptr_t t) {
             for (int32_t r = 0; r <= 3; ++r) {
                 for (int32_t c = 0; c < 5; ++c) getCell(t, c, r);
             }
         }, false},
        {"completeness checks", [](uintptr_t t) {
             take(dfnIsRowComplete(t, 2));
             take(dfnIsComplete(t));
         }, false},
        {"choice lists", [](uintptr_t t) {
             dfnCountValidStrings(t, 2, 2);
             take(dfnGetValidString(t, 2, 2, 10));
         }, false},
        {"row count", [](uintptr_t t) { dfnCountRows(t); }, false},
    };
    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.what);
        ConfigObject config;
        const uintptr_t table = makeTable({{"N", "Integer"}, {"S", "Structure"}, {"A", "Real", "Scalar", "1"}});
        ASSERT_NE(UVTSetConfigInterface(table, config.object()), nullptr);
        config.clearSaves();
        c.edit(table);
        EXPECT_EQ(config.beginSaves, c.saves ? 1 : 0);
        // A save writes the header piece and one piece per row.
        EXPECT_EQ(config.pieces.size(), c.saves ? static_cast<std::size_t>(dfnCountRows(table)) + 1 : 0u);
        DeleteUVT(table);
        EXPECT_EQ(config.references, 1);
    }
}

TEST_F(SaveStepTest, NothingIsWrittenWithoutAnInterface) {
    // The same edits on a table without an interface, then one is attached:
    // attaching writes nothing, and the first edit writes the current rows.
    ConfigObject config;
    const uintptr_t table = makeTable({{"N", "Integer"}, {"A"}});
    ASSERT_EQ(dfnInsertRow(table, 2), 1);
    ASSERT_NE(UVTSetConfigInterface(table, config.object()), nullptr);
    EXPECT_EQ(config.beginSaves, 0);
    ASSERT_EQ(setCell(table, 0, 2, "B"), kEmpty);
    EXPECT_EQ(config.beginSaves, 1);
    ASSERT_EQ(config.pieces.size(), 4u);
    EXPECT_EQ(config.pieces[3], "1$B1$-1$0$1$");
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
