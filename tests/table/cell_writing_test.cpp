// Rows filled cell by cell from the integer table that a generated FORTRAN
// function carries: the name's four words in the host's byte order, then
// type, dimension, depth and IO direction, with no save step and no event.
#include "test_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace uvt_test {
namespace {

using Log = std::vector<std::string>;
using CellWriting = UvtTest;

int32_t word(const char* four, bool bigEndian) {
    uint32_t value = 0;
    for (int b = 0; b < 4; ++b) {
        const auto byte = static_cast<uint32_t>(static_cast<unsigned char>(four[b]));
        value |= bigEndian ? byte << (8 * (3 - b)) : byte << (8 * b);
    }
    return static_cast<int32_t>(value);
}

TEST_F(CellWriting, FillsARowInTheHostsByteOrder) {
    struct NameCase {
        const char* words;  // sixteen characters
        const char* name;
    };
    const std::vector<NameCase> names = {
        {"AB              ", "AB"},
        {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"},
        {"A B             ", "A B"},
        {"                ", ""},
    };
    for (const bool bigEndian : {false, true}) {
        host.reset();
        if (bigEndian) host.sizes[-50] = 4;
        const uintptr_t table = makeTable({{"LONGERNAMEOFSIXT", "Integer"}});
        ConfigObject config;
        UVTSetConfigInterface(table, config.object());
        config.clearSaves();
        for (const NameCase& entry : names) {
            host.clearLog();
            for (int32_t column = 0; column < 4; ++column) {
                rtmSetCellValue(table, 0, column, word(entry.words + 4 * column, bigEndian));
            }
            EXPECT_STREQ(row(table, 0).name, entry.name) << (bigEndian ? "big-endian " : "") << entry.words;
            EXPECT_EQ(host.log, Log(4, "query(-50)"));
            EXPECT_EQ(host.lastHostValues, nullptr);
        }
        rtmSetCellValue(table, 0, 4, 9);
        rtmSetCellValue(table, 0, 5, 12345);
        rtmSetCellValue(table, 0, 6, -3);
        rtmSetCellValue(table, 0, 7, 7);
        rtmSetCellValue(table, 0, 8, 1);
        rtmSetCellValue(table, 0, -1, 1);
        rtmSetCellValue(table, 1, 4, 1);
        rtmSetCellValue(table, -1, 4, 1);
        EXPECT_EQ(row(table, 0).type, 9);
        EXPECT_EQ(row(table, 0).dimension, 12345);
        EXPECT_EQ(row(table, 0).depth, -3);
        EXPECT_EQ(row(table, 0).io, 7);
        EXPECT_EQ(config.beginSaves, 0) << "no save step";
        EXPECT_EQ(host.releaseEvents, 0);
        host.clearLog();
        rtmSetCellValue(0, 0, 4, 1);
        EXPECT_EQ(host.log, Log{"query(-50)"}) << "the byte order is asked first, always";
        DeleteUVT(table);
    }
}

}  // namespace
}  // namespace uvt_test
