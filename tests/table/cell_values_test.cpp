// Cell editing through dfnSetValue and dfnGetValue: every column, every
// message, the name rules in their order, and which entries run the save step.
#include "test_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace uvt_test {
namespace {

const std::string kInvalidRow = "Invalid row number";
const std::string kBadChar =
    "Variable names are limited to letters, digits, and '_'.\n\nPlease check the variable and enter again.";
const std::string kBadStart = "Variable name must begin with a letter.\n\nPlease check the variable and enter again.";
const std::string kTooLong = "Variable names are limited to 16 characters.\n\nPlease check the variable and enter again.";
const std::string kDuplicate = "Variable already exists";
const std::string kInvalidType = "Invalid type.\n\nType will remain unchanged.";
const std::string kInvalidDimension = "Invalid dimension.\n\nDimension unchanged.";
const std::string kInvalidDepth = "Invalid depth. Depth must be between 0 and 8.\n\nSetting depth to default value";
const std::string kInvalidIo = "Invalid IO,\n\nsetting to default (Input Only)";

std::string setWide(uintptr_t table, int32_t column, int32_t row, const Bstr& value) {
    int32_t reserved = 0;
    return take(dfnSetValue(table, column, row, value.variant(), &reserved));
}

// A table with a configuration object attached, so that every save step
// shows as one BeginSave.
class CellTest : public UvtTest {
protected:
    void attach(uintptr_t table) {
        ASSERT_NE(UVTSetConfigInterface(table, config.object()), nullptr);
        config.clearSaves();
    }
    ConfigObject config;
};

// ---------------------------------------------------------------------------
// Column 0: the name.
// ---------------------------------------------------------------------------

struct NameCase {
    std::u16string input;
    std::string message;     // kEmpty when accepted without a message
    std::string stored;      // what the row holds afterwards
    std::string callerText;  // the caller's own string afterwards ('?' for non-ASCII)
};

std::u16string repeated(char16_t c, std::size_t n) { return std::u16string(n, c); }

// Joined by append: one compiler warns falsely about operator+ here.
template <class Text>
Text joined(Text first, const Text& second) {
    first.append(second);
    return first;
}

TEST_F(CellTest, NamesAreCheckedInOrderAndUpperCasedInTheCallersString) {
    const std::vector<NameCase> cases = {
        {u"flow_1", kEmpty, "FLOW_1", "FLOW_1"},
        {u"a", kEmpty, "A", "A"},
        {u"Z9_", kEmpty, "Z9_", "Z9_"},
        {u"abcdefghijklmnop", kEmpty, "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"},  // 16: the limit
        {u"", kEmpty, "", ""},
        {u"1ABC", kBadStart, "", "1ABC"},
        {u"_a", kBadStart, "", "_A"},
        {u" A", kBadStart, "", " A"},
        {u"A-B", kBadChar, "", "A-B"},
        {u"ab c", kBadChar, "", "AB C"},
        {u"A\u00e9", kBadChar, "", "A?"},  // letters beyond A to Z are no letters
        {u"x", kDuplicate, "", "X"},       // upper-cased before the comparison with row 0
        {u"abcdefghijklmnopq", kTooLong, "", "ABCDEFGHIJKLMNOPQ"},
        // The character rules come before the length rule, however long the text.
        {u"ABCDEFGHIJKLMNOP-", kBadChar, "", "ABCDEFGHIJKLMNOP-"},
        {u"1ABCDEFGHIJKLMNOPQ", kBadStart, "", "1ABCDEFGHIJKLMNOPQ"},
        {joined(repeated(u'A', 70), std::u16string(u"-")), kBadChar, "", joined(std::string(70, 'A'), std::string("-"))},
        {joined(std::u16string(u"1"), repeated(u'B', 70)), kBadStart, "", joined(std::string("1"), std::string(70, 'B'))},
        {repeated(u'C', 300), kTooLong, "", std::string(300, 'C')},
        // Text that the locale cannot convert counts as an invalid character;
        // a first character that converts and is no letter is reported first.
        {u"A\u4e00", kBadChar, "", "A?"},
        {u"\u4e00A", kBadChar, "", "?A"},
        {u"1\u4e00", kBadStart, "", "1?"},
        {joined(repeated(u'D', 40), std::u16string(u"\u4e00")), kBadChar, "", joined(std::string(40, 'D'), std::string("?"))},
    };
    const uintptr_t table = makeTable({{"X"}, {"OLD"}});
    attach(table);
    for (const NameCase& c : cases) {
        SCOPED_TRACE(toAscii(reinterpret_cast<const OLECHAR*>(c.input.c_str())));
        ASSERT_EQ(setCell(table, 0, 1, "OLD"), kEmpty);
        config.clearSaves();
        const Bstr value(c.input);
        EXPECT_EQ(setWide(table, 0, 1, value), c.message);
        EXPECT_EQ(getCell(table, 0, 1), c.stored);
        EXPECT_EQ(value.ascii(), c.callerText);
        // Only an accepted name is saved; refused and empty names clear the
        // row without a save step.
        EXPECT_EQ(config.beginSaves, c.stored.empty() ? 0 : 1);
    }
    DeleteUVT(table);
}

TEST_F(CellTest, NullNameClearsTheRowWithoutSaving) {
    const uintptr_t table = makeTable({{"A"}});
    attach(table);
    EXPECT_EQ(setCellNull(table, 0, 0), kEmpty);
    EXPECT_EQ(getCell(table, 0, 0), "");
    EXPECT_EQ(config.beginSaves, 0);
    DeleteUVT(table);
}

TEST_F(CellTest, DuplicatesAreLookedForOnlyAmongEarlierRows) {
    const uintptr_t table = makeTable({{"A"}, {"B"}});
    // Row 0 is not compared with itself.
    EXPECT_EQ(setCell(table, 0, 0, "A"), kEmpty);
    // Row 1 named X first, then row 0 named X: both are accepted.
    EXPECT_EQ(setCell(table, 0, 1, "x"), kEmpty);
    EXPECT_EQ(setCell(table, 0, 0, "X"), kEmpty);
    EXPECT_EQ(getCell(table, 0, 0), "X");
    EXPECT_EQ(getCell(table, 0, 1), "X");
    // Renaming the later row again now finds the earlier one.
    EXPECT_EQ(setCell(table, 0, 1, "X"), kDuplicate);
    EXPECT_EQ(getCell(table, 0, 1), "");
    // An unnamed earlier row is no duplicate of an empty name.
    EXPECT_EQ(setCell(table, 0, 1, ""), kEmpty);
    DeleteUVT(table);
}

// ---------------------------------------------------------------------------
// Column 1: the type.
// ---------------------------------------------------------------------------

TEST_F(CellTest, TypeTakesTheFourTextsExactly) {
    const uintptr_t table = makeTable({{"A"}});
    attach(table);
    const std::vector<std::pair<std::string, int32_t>> valid = {
        {"Integer", 0}, {"Real", 1}, {"Character", 2}, {"Structure", 3}};
    for (const auto& [text, code] : valid) {
        SCOPED_TRACE(text);
        config.clearSaves();
        EXPECT_EQ(setCell(table, 1, 0, text.c_str()), kEmpty);
        EXPECT_EQ(row(table, 0).type, code);
        EXPECT_EQ(getCell(table, 1, 0), text);
        EXPECT_EQ(config.beginSaves, 1);
    }
    for (const char* text : {"integer", "INTEGER", "Int", "", "Real ", " Real", "0"}) {
        SCOPED_TRACE(text);
        config.clearSaves();
        EXPECT_EQ(setCell(table, 1, 0, text), kInvalidType);
        EXPECT_EQ(getCell(table, 1, 0), "Structure");
        EXPECT_EQ(config.beginSaves, 0);
    }
    config.clearSaves();
    EXPECT_EQ(setCellNull(table, 1, 0), kInvalidType);
    EXPECT_EQ(getCell(table, 1, 0), "Structure");
    EXPECT_EQ(config.beginSaves, 0);
    DeleteUVT(table);
}

// ---------------------------------------------------------------------------
// Column 2: the dimension.
// ---------------------------------------------------------------------------

TEST_F(CellTest, DimensionTakesTheTenTextsWithTheirCodes) {
    const uintptr_t table = makeTable({{"A"}});
    const std::vector<std::pair<std::string, int32_t>> codes = {
        {"Scalar", -1},
        {"Number of Components", -2},
        {"Number of Inlet Streams", -13},
        {"Number of Material Inlet Streams", -14},
        {"Number of Heat Inlet Streams", -15},
        {"Number of Work Inlet Streams", -16},
        {"Number of Outlet Streams", -23},
        {"Number of Material Outlet Streams", -24},
        {"Number of Heat Outlet Streams", -25},
        {"Number of Work Outlet Streams", -26},
    };
    for (const auto& [text, code] : codes) {
        SCOPED_TRACE(text);
        EXPECT_EQ(setCell(table, 2, 0, text.c_str()), kEmpty);
        EXPECT_EQ(row(table, 0).dimension, code);
        EXPECT_EQ(getCell(table, 2, 0), text);
    }
    DeleteUVT(table);
}

TEST_F(CellTest, DimensionNamesAnIntegerRowAnywhereInTheTable) {
    const uintptr_t table = makeTable({{"A"}, {"N", "Integer"}, {"R", "Real"}, {"M", "Integer"}});
    const int32_t idN = row(table, 1).id;
    const int32_t idM = row(table, 3).id;
    // A later row, the row itself and an earlier row are all found.
    EXPECT_EQ(setCell(table, 2, 0, "N"), kEmpty);
    EXPECT_EQ(row(table, 0).dimension, idN);
    EXPECT_EQ(getCell(table, 2, 0), "N");
    EXPECT_EQ(setCell(table, 2, 1, "N"), kEmpty);
    EXPECT_EQ(row(table, 1).dimension, idN);
    EXPECT_EQ(setCell(table, 2, 3, "N"), kEmpty);
    EXPECT_EQ(setCell(table, 2, 2, "M"), kEmpty);
    EXPECT_EQ(row(table, 2).dimension, idM);
    DeleteUVT(table);
}

TEST_F(CellTest, DimensionRefusalsKeepTheFieldButStillSave) {
    const uintptr_t table = makeTable({{"A"}, {"N", "Integer"}, {"R", "Real"}});
    attach(table);
    ASSERT_EQ(setCell(table, 2, 0, "Number of Components"), kEmpty);
    // Lower case does not match: the text is not upper-cased for this column.
    for (const char* text : {"n", "R", "", "scalar", "NN", "A"}) {
        SCOPED_TRACE(text);
        config.clearSaves();
        EXPECT_EQ(setCell(table, 2, 0, text), kInvalidDimension);
        EXPECT_EQ(row(table, 0).dimension, -2);
        EXPECT_EQ(config.beginSaves, 1);
    }
    config.clearSaves();
    EXPECT_EQ(setCellNull(table, 2, 0), kInvalidDimension);
    EXPECT_EQ(row(table, 0).dimension, -2);
    EXPECT_EQ(config.beginSaves, 1);
    DeleteUVT(table);
}

TEST_F(CellTest, DimensionTakesTheFirstIntegerRowOfThatName) {
    // Row 1 is named N first, then row 0 (a Real) gets the same name; only
    // the Integer row counts.
    const uintptr_t table = makeTable({{"A"}, {"N", "Integer"}, {"B"}});
    ASSERT_EQ(setCell(table, 0, 0, "N"), kEmpty);
    EXPECT_EQ(setCell(table, 2, 2, "N"), kEmpty);
    EXPECT_EQ(row(table, 2).dimension, row(table, 1).id);
    DeleteUVT(table);
}

// ---------------------------------------------------------------------------
// Column 3: the depth.
// ---------------------------------------------------------------------------

TEST_F(CellTest, DepthAcceptsDigitsFromZeroToEight) {
    const uintptr_t table = makeTable({{"S", "Structure"}, {"A"}});
    attach(table);
    const std::vector<std::pair<std::string, std::string>> accepted = {
        {"1", "1"}, {"08", "8"}, {"0", "0"}, {"8", "8"}, {"", "0"}, {"0000000000007", "7"}};
    for (const auto& [text, shown] : accepted) {
        SCOPED_TRACE(text);
        config.clearSaves();
        EXPECT_EQ(setCell(table, 3, 1, text.c_str()), kEmpty);
        EXPECT_EQ(getCell(table, 3, 1), shown);
        EXPECT_EQ(config.beginSaves, 1);
    }
    ASSERT_EQ(setCell(table, 3, 1, "2"), kEmpty);
    config.clearSaves();
    EXPECT_EQ(setCellNull(table, 3, 1), kEmpty);  // no text is depth 0
    EXPECT_EQ(getCell(table, 3, 1), "0");
    EXPECT_EQ(row(table, 1).parentId, -50);
    EXPECT_EQ(config.beginSaves, 1);
    DeleteUVT(table);
}

TEST_F(CellTest, InvalidDepthLeavesTheRowAsItWasAndSavesNothing) {
    const uintptr_t table = makeTable({{"S", "Structure"}, {"A", "Real", "Scalar", "1"}});
    const int32_t parent = row(table, 0).id;
    attach(table);
    for (const char* text : {"9", "-1", "+1", " 1", "1 ", "1.0", "x", "10", "4294967295", "99999999999999999999"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(setCell(table, 3, 1, text), kInvalidDepth);
        EXPECT_EQ(getCell(table, 3, 1), "1");
        EXPECT_EQ(row(table, 1).parentId, parent);
    }
    // Row 0 cannot be nested.
    EXPECT_EQ(setCell(table, 3, 0, "1"), kInvalidDepth);
    EXPECT_EQ(getCell(table, 3, 0), "0");
    EXPECT_EQ(config.beginSaves, 0);
    EXPECT_TRUE(config.pieces.empty());
    DeleteUVT(table);
}

TEST_F(CellTest, DepthLinksTheNearestEarlierStructureOneLevelUp) {
    const uintptr_t table = makeTable({
        {"S", "Structure"},
        {"T", "Structure", "Scalar", "1"},
        {"U", "Real", "Scalar", "1"},
        {"V", "Real", "Scalar", "0"},
        {"W"},
    });
    // Across a Real of depth 1 and a row of depth 0, back to T.
    EXPECT_EQ(setCell(table, 3, 4, "2"), kEmpty);
    EXPECT_EQ(row(table, 4).parentId, row(table, 1).id);
    EXPECT_EQ(row(table, 1).parentId, row(table, 0).id);
    // No Structure of depth 2 before it: stored without parent or message.
    EXPECT_EQ(setCell(table, 3, 4, "3"), kEmpty);
    EXPECT_EQ(getCell(table, 3, 4), "3");
    EXPECT_EQ(row(table, 4).parentId, -50);
    // Depth 0 drops the link.
    EXPECT_EQ(setCell(table, 3, 2, "0"), kEmpty);
    EXPECT_EQ(row(table, 2).parentId, -50);
    DeleteUVT(table);
}

// ---------------------------------------------------------------------------
// Column 4 and the others.
// ---------------------------------------------------------------------------

TEST_F(CellTest, IoTakesTheThreeTextsAndDefaultsOtherwise) {
    const uintptr_t table = makeTable({{"A"}});
    attach(table);
    const std::vector<std::pair<std::string, int32_t>> valid = {
        {"Input Only", 1}, {"Output Only", 2}, {"Input and Output", 3}};
    for (const auto& [text, code] : valid) {
        SCOPED_TRACE(text);
        config.clearSaves();
        EXPECT_EQ(setCell(table, 4, 0, text.c_str()), kEmpty);
        EXPECT_EQ(row(table, 0).io, code);
        EXPECT_EQ(getCell(table, 4, 0), text);
        EXPECT_EQ(config.beginSaves, 1);
    }
    for (const char* text : {"Input and output", "Output", "", "3"}) {
        SCOPED_TRACE(text);
        ASSERT_EQ(setCell(table, 4, 0, "Output Only"), kEmpty);
        config.clearSaves();
        EXPECT_EQ(setCell(table, 4, 0, text), kInvalidIo);
        EXPECT_EQ(getCell(table, 4, 0), "Input Only");
        EXPECT_EQ(config.beginSaves, 1);
    }
    ASSERT_EQ(setCell(table, 4, 0, "Output Only"), kEmpty);
    EXPECT_EQ(setCellNull(table, 4, 0), kInvalidIo);
    EXPECT_EQ(getCell(table, 4, 0), "Input Only");
    DeleteUVT(table);
}

TEST_F(CellTest, OtherColumnsAnswerTheEmptyTextAndSave) {
    const uintptr_t table = makeTable({{"A"}});
    attach(table);
    for (int32_t column : {5, -1, 100}) {
        SCOPED_TRACE(column);
        config.clearSaves();
        EXPECT_EQ(setCell(table, column, 0, "Real"), "");
        EXPECT_EQ(config.beginSaves, 1);
        EXPECT_EQ(getCell(table, column, 0), "");
    }
    DeleteUVT(table);
}

TEST_F(CellTest, RowsOutsideTheTableAreRefusedWithoutSaving) {
    const uintptr_t table = makeTable({{"A"}, {"B"}});
    attach(table);
    for (int32_t r : {-1, 2, 3, 1000}) {
        for (int32_t column = 0; column <= 5; ++column) {
            SCOPED_TRACE(testing::Message() << "row " << r << " column " << column);
            EXPECT_EQ(setCell(table, column, r, "Integer"), kInvalidRow);
        }
    }
    EXPECT_EQ(config.beginSaves, 0);
    // A null table answers nothing at all.
    EXPECT_EQ(setCell(0, 0, 0, "A"), kEmpty);
    EXPECT_EQ(getCell(0, 0, 0), kEmpty);
    DeleteUVT(table);
}

TEST_F(CellTest, EmptyTableHasNoRowToSet) {
    const uintptr_t table = CreateUVT(nullptr);
    EXPECT_EQ(setCell(table, 0, 0, "A"), kInvalidRow);
    DeleteUVT(table);
}

// ---------------------------------------------------------------------------
// dfnGetValue.
// ---------------------------------------------------------------------------

TEST_F(CellTest, TrailingRowShowsTheDefaultsOfANewRow) {
    const uintptr_t table = makeTable({{"A", "Integer", "Number of Components", "0", "Output Only"}});
    const std::vector<std::string> expected = {"", "Real", "Scalar", "0", "Input Only"};
    for (int32_t column = 0; column < 5; ++column) {
        SCOPED_TRACE(column);
        VARIANT value = dfnGetValue(table, column, 1);
        // Column 0 is an empty text, not VT_EMPTY.
        EXPECT_EQ(value.vt, VT_BSTR);
        EXPECT_EQ(take(value), expected[static_cast<std::size_t>(column)]);
    }
    EXPECT_EQ(getCell(table, 7, 1), "");
    EXPECT_EQ(getCell(table, 1, 2), kEmpty);
    EXPECT_EQ(getCell(table, 1, -1), kEmpty);
    DeleteUVT(table);
}

TEST_F(CellTest, TableWithoutRowsShowsNothing) {
    const uintptr_t table = CreateUVT(nullptr);
    for (int32_t column = -1; column <= 5; ++column) EXPECT_EQ(getCell(table, column, 0), kEmpty) << column;
    // Once its last row is gone, the same.
    ASSERT_NE(dfnInsertRow(table, 0), 0);
    EXPECT_EQ(getCell(table, 1, 1), "Real");
    dfnDeleteRow(table, 0);
    EXPECT_EQ(getCell(table, 1, 0), kEmpty);
    DeleteUVT(table);
}

TEST_F(CellTest, ReadsTheStoredCells) {
    const uintptr_t table = makeTable({
        {"NC", "Integer"},
        {"S", "Structure"},
        {"FLOW", "Character", "NC", "1", "Input and Output"},
    });
    EXPECT_EQ(getCell(table, 0, 2), "FLOW");
    EXPECT_EQ(getCell(table, 1, 2), "Character");
    EXPECT_EQ(getCell(table, 2, 2), "NC");
    EXPECT_EQ(getCell(table, 3, 2), "1");
    EXPECT_EQ(getCell(table, 4, 2), "Input and Output");
    DeleteUVT(table);
}

TEST_F(CellTest, DanglingDimensionReadsAsScalarAndIsRepairedWithoutSaving) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"A", "Real", "N"}, {"B", "Real", "N"}});
    const int32_t idN = row(table, 0).id;
    attach(table);
    dfnDeleteRow(table, 0);
    config.clearSaves();
    // The reference stays in place until a reader looks at it.
    EXPECT_EQ(row(table, 0).dimension, idN);
    EXPECT_EQ(getCell(table, 2, 0), "Scalar");
    EXPECT_EQ(row(table, 0).dimension, -1);
    EXPECT_EQ(row(table, 1).dimension, idN);
    EXPECT_EQ(config.beginSaves, 0);
    DeleteUVT(table);
}

TEST_F(CellTest, DimensionNamingAnUnnamedRowReadsAsScalar) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"A", "Real", "N"}});
    // The named row loses its name: the reference is no longer shown.
    ASSERT_EQ(setCell(table, 0, 0, ""), kEmpty);
    EXPECT_EQ(getCell(table, 2, 1), "Scalar");
    EXPECT_EQ(row(table, 1).dimension, -1);
    DeleteUVT(table);
}

TEST_F(CellTest, RecordsWithUnknownCodesReadAsEmptyTexts) {
    // Records copied in without validation: codes that the grid never stores.
    const uintptr_t table = CreateUVT(nullptr);
    ASSERT_EQ(fillFromRecords(table, {{5, "A", 7, -5, 4, 9, -50}, {6, "B", 0, 6, 0, 0, -50}}), 1);
    EXPECT_EQ(getCell(table, 1, 0), "");
    EXPECT_EQ(getCell(table, 4, 0), "");
    EXPECT_EQ(getCell(table, 3, 0), "4");
    // An unused negative code names no row: Scalar, and repaired.
    EXPECT_EQ(getCell(table, 2, 0), "Scalar");
    EXPECT_EQ(row(table, 0).dimension, -1);
    // A dimension by id shows the row's name whatever its type.
    EXPECT_EQ(getCell(table, 2, 1), "B");
    DeleteUVT(table);
}

TEST_F(CellTest, LongestStoredNameIsShownWhole) {
    const uintptr_t table = CreateUVT(nullptr);
    ASSERT_EQ(fillFromRecords(table, {{0, "ABCDEFGHIJKLMNOPQRS"}}), 1);
    EXPECT_EQ(getCell(table, 0, 0), "ABCDEFGHIJKLMNOPQRS");
    DeleteUVT(table);
}

TEST_F(CellTest, AcceptedEditsReachTheSavedState) {
    const uintptr_t table = makeTable({{"NC", "Integer"}, {"X"}});
    attach(table);
    header(table).timeStamp = 1;
    ASSERT_EQ(setCell(table, 2, 1, "NC"), kEmpty);
    // The time stamp is renewed before the string is written.
    EXPECT_GT(header(table).timeStamp, 1);
    ASSERT_EQ(config.pieces.size(), 3u);
    EXPECT_EQ(config.pieces[0].substr(0, 2), "2$");
    const std::string stamp = joined(joined(std::string("#"), std::to_string(header(table).timeStamp)), std::string("#"));
    EXPECT_NE(config.pieces[0].find(stamp), std::string::npos);
    EXPECT_EQ(config.pieces[1], "2$NC0$-1$0$1$");
    EXPECT_EQ(config.pieces[2], "1$X1$0$0$1$");
    // A refused entry leaves the time stamp alone.
    header(table).timeStamp = 1;
    EXPECT_EQ(setCell(table, 1, 1, "Float"), kInvalidType);
    EXPECT_EQ(header(table).timeStamp, 1);
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
