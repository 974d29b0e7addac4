// The saved-state string: what UVTSave writes, what UVTRestore and
// UVTRestoreRB rebuild from it, and how they stand up to strings that are
// cut short, garbled or hostile.
#include "random_tables.h"
#include "test_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace uvt_persist_test {
namespace {

constexpr int32_t kHostIds[2] = {7, 99};

class SavedStateTest : public UvtTest {
protected:
    // A fresh table with `config` attached and `text` to restore from.
    uintptr_t tableReading(ConfigObject& config, const std::string& text, const int32_t* hostIds = nullptr) {
        const uintptr_t table = CreateUVT(hostIds);
        EXPECT_NE(table, 0u);
        EXPECT_NE(UVTSetConfigInterface(table, config.object()), nullptr);
        config.primary = text;
        return table;
    }

    // The string the table is written as now, without touching its time stamp.
    static std::string savedString(uintptr_t table, ConfigObject& config) {
        config.clearSaves();
        UVTSave(table);
        return config.saved();
    }
};

std::string exampleString(int32_t time) {
    return "2$7#" + std::to_string(time) + "#6$UFORM12$NC0$-1$0$1$4$FLOW1$0$0$3$";
}

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

TEST_F(SavedStateTest, WritesTheHeaderAndOnePiecePerRowAndReturnsTheLastSaveResult) {
    const uintptr_t table = makeTable({{"NC", "Integer"}, {"FLOW", "Real", "NC", "0", "Input and Output"}}, kHostIds);
    ConfigObject config;
    UVTSetConfigInterface(table, config.object());
    setFunctionName(table, "UFORM1");
    header(table).timeStamp = 1234567890;
    config.saveResult = 42;

    EXPECT_EQ(UVTSave(table), 42);
    EXPECT_EQ(config.beginSaves, 1);
    EXPECT_EQ(config.pieces, (std::vector<std::string>{"2$7#1234567890#6$UFORM1", "2$NC0$-1$0$1$", "4$FLOW1$0$0$3$"}));
    DeleteUVT(table);
}

TEST_F(SavedStateTest, AnEmptyTableIsOnePiece) {
    const uintptr_t table = CreateUVT(kHostIds);
    ConfigObject config;
    UVTSetConfigInterface(table, config.object());
    header(table).timeStamp = 1000;
    config.saveResult = -3;

    EXPECT_EQ(UVTSave(table), -3);
    EXPECT_EQ(config.pieces, (std::vector<std::string>{"0$7#1000#0$"}));
    DeleteUVT(table);
}

TEST_F(SavedStateTest, DimensionsAreWrittenAsRowNumbersOrMinusOneForADeletedRow) {
    const uintptr_t table = makeTable({{"GONE", "Integer"},
                                       {"N", "Integer"},
                                       {"A", "Real", "N"},
                                       {"B", "Real", "GONE"},
                                       {"C", "Real", "Number of Work Outlet Streams"}});
    ConfigObject config;
    UVTSetConfigInterface(table, config.object());
    dfnDeleteRow(table, 0);          // B now refers to a row that is gone
    dfnInsertRow(table, 0);          // everything moves down one row
    setCell(table, 0, 0, "TOP");
    header(table).timeStamp = 5;

    const std::string saved = savedString(table, config);
    EXPECT_EQ(saved, "5$0#5#0$3$TOP1$-1$0$1$1$N0$-1$0$1$1$A1$1$0$1$1$B1$-1$0$1$1$C1$-26$0$1$");
    DeleteUVT(table);
}

TEST_F(SavedStateTest, WithoutAnInterfaceOrATableNothingIsWritten) {
    const uintptr_t table = makeTable({{"X"}});
    EXPECT_EQ(UVTSave(table), 0);
    EXPECT_EQ(UVTSave(0), 0);

    ConfigObject config;
    config.saveResult = 9;
    UVTSetConfigInterface(table, config.object());
    EXPECT_EQ(UVTSave(table), 9);
    UVTSetConfigInterface(table, nullptr);
    config.clearSaves();
    EXPECT_EQ(UVTSave(table), 0);
    EXPECT_EQ(config.beginSaves, 0);
    EXPECT_TRUE(config.pieces.empty());
    DeleteUVT(table);
}

TEST_F(SavedStateTest, EditsSaveTheWholeStringAndInsertionReturnsTheSaveResult) {
    const uintptr_t table = CreateUVT(kHostIds);
    ConfigObject config;
    UVTSetConfigInterface(table, config.object());
    header(table).timeStamp = 5;
    config.saveResult = 77;

    EXPECT_EQ(dfnInsertRow(table, 0), 77);
    EXPECT_EQ(config.beginSaves, 1);
    ASSERT_EQ(config.pieces.size(), 2u);
    EXPECT_NE(header(table).timeStamp, 5) << "the save step renews the time stamp";
    EXPECT_EQ(config.pieces[0], "1$7#" + std::to_string(header(table).timeStamp) + "#0$");
    EXPECT_EQ(config.pieces[1], "0$1$-1$0$1$");

    config.clearSaves();
    setCell(table, 0, 0, "Q");
    EXPECT_EQ(config.beginSaves, 1);
    EXPECT_EQ(config.pieces.back(), "1$Q1$-1$0$1$");
    DeleteUVT(table);
}

// ---------------------------------------------------------------------------
// Restoring
// ---------------------------------------------------------------------------

TEST_F(SavedStateTest, TheExampleStringRestoresIntoTheRowsItDescribes) {
    ConfigObject config;
    const int32_t ids[2] = {31, 32};
    const uintptr_t table = tableReading(config, exampleString(1700000000), ids);

    EXPECT_EQ(UVTRestore(table), 2);
    EXPECT_EQ(config.beginRestores, 1);
    EXPECT_EQ(config.beginSaves, 0) << "no save while the rows are rebuilt";
    ASSERT_EQ(dfnCountRows(table), 2);
    EXPECT_EQ(getCell(table, 0, 0), "NC");
    EXPECT_EQ(getCell(table, 1, 0), "Integer");
    EXPECT_EQ(getCell(table, 2, 0), "Scalar");
    EXPECT_EQ(getCell(table, 4, 0), "Input Only");
    EXPECT_EQ(getCell(table, 0, 1), "FLOW");
    EXPECT_EQ(getCell(table, 1, 1), "Real");
    EXPECT_EQ(getCell(table, 2, 1), "NC");
    EXPECT_EQ(getCell(table, 3, 1), "0");
    EXPECT_EQ(getCell(table, 4, 1), "Input and Output");
    EXPECT_EQ(row(table, 1).dimension, row(table, 0).id);
    EXPECT_EQ(header(table).timeStamp, 1700000000);
    EXPECT_EQ(functionNameOf(table), "UFORM1");
    EXPECT_EQ(header(table).hostIds[0], 31);
    EXPECT_EQ(header(table).hostIds[1], 32);

    // The restore leaves the saving on: the next edit writes the string again.
    setCell(table, 4, 0, "Output Only");
    EXPECT_EQ(config.beginSaves, 1);
    DeleteUVT(table);
}

TEST_F(SavedStateTest, RestoreRBReadsTheSecondSource) {
    ConfigObject config;
    const uintptr_t table = tableReading(config, "1$0#1#0$5$WRONG0$-1$0$1$");
    config.second = exampleString(42);

    EXPECT_EQ(UVTRestoreRB(table), 2);
    EXPECT_EQ(config.beginRestoresRB, 1);
    EXPECT_EQ(config.beginRestores, 0);
    EXPECT_EQ(config.primaryPosition, 0u) << "the first source is not read";
    EXPECT_EQ(getCell(table, 0, 0), "NC");
    EXPECT_EQ(getCell(table, 2, 1), "NC");
    EXPECT_EQ(header(table).timeStamp, 42);
    DeleteUVT(table);
}

// A configuration object whose host edits another table while it hands out
// the string, as a host may do from inside its own reading routine.
struct EditingConfig {
    const UvtConfigInterfaceVtbl* vtbl;
    std::string text;
    std::size_t position = 0;
    uintptr_t otherTable = 0;
    int edits = 0;

    static EditingConfig* self(UvtConfigInterface* com) { return reinterpret_cast<EditingConfig*>(com); }
    static int32_t UVT_CALL queryInterface(UvtConfigInterface* com, const GUID*, void** out) {
        *out = com;
        return 0;
    }
    static uint32_t UVT_CALL addRef(UvtConfigInterface*) { return 2; }
    static uint32_t UVT_CALL release(UvtConfigInterface*) { return 1; }
    static int32_t UVT_CALL begin(UvtConfigInterface* com) {
        self(com)->position = 0;
        return 0;
    }
    static int32_t UVT_CALL read(UvtConfigInterface* com, char* buffer, int32_t count, int32_t* delivered) {
        EditingConfig* me = self(com);
        // Every few bytes the host changes the other table at its grid.
        if (me->position % 5 == 0 && me->otherTable != 0) {
            ++me->edits;
            setCell(me->otherTable, 4, 0, me->edits % 2 == 0 ? "Output Only" : "Input Only");
        }
        const std::size_t n = std::min(static_cast<std::size_t>(count), me->text.size() - me->position);
        std::memcpy(buffer, me->text.data() + me->position, n);
        me->position += n;
        *delivered = static_cast<int32_t>(n);
        return 0;
    }
    static int32_t UVT_CALL saveBytes(UvtConfigInterface*, const char*, int32_t) { return 0; }
};

const UvtConfigInterfaceVtbl kEditingVtbl = {
    &EditingConfig::queryInterface, &EditingConfig::addRef, &EditingConfig::release, &EditingConfig::begin,
    nullptr, &EditingConfig::read, &EditingConfig::saveBytes, &EditingConfig::begin, nullptr,
    &EditingConfig::read, &EditingConfig::begin,
};

TEST_F(SavedStateTest, NoTableSavesWhileARestoreRuns) {
    const uintptr_t other = makeTable({{"OTHER"}});
    ConfigObject otherConfig;
    UVTSetConfigInterface(other, otherConfig.object());
    otherConfig.clearSaves();

    EditingConfig editing{&kEditingVtbl, exampleString(5)};
    editing.otherTable = other;
    const uintptr_t table = CreateUVT(nullptr);
    UVTSetConfigInterface(table, &editing);
    EXPECT_EQ(UVTRestore(table), 2);
    EXPECT_GT(editing.edits, 5);
    EXPECT_EQ(otherConfig.beginSaves, 0) << "the other table's edits wrote nothing during the restore";

    setCell(other, 4, 0, "Output Only");
    EXPECT_EQ(otherConfig.beginSaves, 1) << "and saves again once it is over";
    DeleteUVT(table);
    DeleteUVT(other);
}

TEST_F(SavedStateTest, RowsAlreadyThereFollowTheRestoredOnes) {
    ConfigObject config;
    const uintptr_t table = makeTable({{"OLD", "Integer"}, {"LAST", "Character"}});
    UVTSetConfigInterface(table, config.object());
    config.primary = "2$0#9#0$1$A1$-1$0$1$1$B0$-1$0$1$";

    EXPECT_EQ(UVTRestore(table), 2);
    ASSERT_EQ(dfnCountRows(table), 4);
    EXPECT_EQ(getCell(table, 0, 0), "A");
    EXPECT_EQ(getCell(table, 0, 1), "B");
    EXPECT_EQ(getCell(table, 0, 2), "OLD");
    EXPECT_EQ(getCell(table, 0, 3), "LAST");
    EXPECT_EQ(getCell(table, 1, 3), "Character");
    EXPECT_EQ(config.beginSaves, 0);
    DeleteUVT(table);
}

TEST_F(SavedStateTest, WithoutAnInterfaceNothingIsRead) {
    const uintptr_t table = makeTable({{"KEEP"}});
    EXPECT_EQ(UVTRestore(table), 0);
    EXPECT_EQ(UVTRestoreRB(table), 0);
    EXPECT_EQ(UVTRestore(0), 0);
    EXPECT_EQ(dfnCountRows(table), 1);
    EXPECT_EQ(getCell(table, 0, 0), "KEEP");
    DeleteUVT(table);
}

TEST_F(SavedStateTest, ANameLengthOfZeroReadsNoName) {
    ConfigObject config;
    const uintptr_t table = tableReading(config, "2$0#1#0$0$0$-1$0$3$1$Z1$-1$0$1$");

    EXPECT_EQ(UVTRestore(table), 2);
    for (int32_t count : config.readCounts) EXPECT_EQ(count, 1) << "no read was made for the empty name";
    EXPECT_EQ(getCell(table, 0, 0), "");
    EXPECT_EQ(getCell(table, 1, 0), "Integer");
    EXPECT_EQ(getCell(table, 4, 0), "Input and Output");
    EXPECT_EQ(getCell(table, 0, 1), "Z");
    DeleteUVT(table);
}

struct RestoreCase {
    const char* what;
    std::string text;
    int32_t result;
    std::vector<std::string> rows;  // per row: "name|type|dimension|depth|io"
};

void PrintTo(const RestoreCase& c, std::ostream* out) { *out << c.what; }

std::string cellsOf(uintptr_t table, int32_t r) {
    return getCell(table, 0, r) + "|" + getCell(table, 1, r) + "|" + getCell(table, 2, r) + "|" +
           getCell(table, 3, r) + "|" + getCell(table, 4, r);
}

class RestoreCases : public SavedStateTest, public ::testing::WithParamInterface<RestoreCase> {};

TEST_P(RestoreCases, RestoresTheRowsTheStringHolds) {
    const RestoreCase& c = GetParam();
    for (const int32_t bytesPerRead : {0, 1}) {
        ConfigObject config;
        config.bytesPerRead = bytesPerRead;
        const uintptr_t table = tableReading(config, c.text);
        EXPECT_EQ(UVTRestore(table), c.result) << "bytes per read " << bytesPerRead;
        std::vector<std::string> rows;
        for (int32_t r = 0; r < dfnCountRows(table); ++r) rows.push_back(cellsOf(table, r));
        EXPECT_EQ(rows, c.rows) << "bytes per read " << bytesPerRead;
        EXPECT_EQ(config.beginSaves, 0);
        DeleteUVT(table);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Strings, RestoreCases,
    ::testing::Values(
        RestoreCase{"header ends after the host value", "1$7$2$NC0$-1$0$1$", 1, {"NC|Integer|Scalar|0|Input Only"}},
        RestoreCase{"a 17-byte name leaves its row without a name and goes on",
                    "3$0#5#0$1$A0$-1$0$1$17$ABCDEFGHIJKLMNOPQ2$-2$0$2$1$B3$-1$0$1$",
                    3,
                    {"A|Integer|Scalar|0|Input Only", "|Character|Number of Components|0|Output Only",
                     "B|Structure|Scalar|0|Input Only"}},
        RestoreCase{"a 19-byte name as well", "2$0#5#0$19$ABCDEFGHIJKLMNOPQRS1$-1$0$1$1$B1$-1$0$1$", 2,
                    {"|Real|Scalar|0|Input Only", "B|Real|Scalar|0|Input Only"}},
        RestoreCase{"a 20-byte name ends the restore before its row",
                    "3$0#5#0$1$A0$-1$0$1$20$ABCDEFGHIJKLMNOPQRST1$-1$0$1$1$B1$-1$0$1$", 0,
                    {"A|Integer|Scalar|0|Input Only"}},
        RestoreCase{"a 16-byte name is kept", "1$0#5#0$16$ABCDEFGHIJKLMNOP1$-1$0$1$", 1,
                    {"ABCDEFGHIJKLMNOP|Real|Scalar|0|Input Only"}},
        RestoreCase{"codes outside the tables", "1$0#5#0$1$A7$-5$0$9$", 1, {"A|Real|Scalar|0|Input Only"}},
        RestoreCase{"a refused depth keeps the depth the row was inserted with",
                    "3$0#5#0$1$S3$-1$0$1$1$M0$-1$1$1$1$N0$-1$9$1$", 3,
                    {"S|Structure|Scalar|0|Input Only", "M|Integer|Scalar|1|Input Only",
                     "N|Integer|Scalar|1|Input Only"}},
        RestoreCase{"a dimension beyond the rows is scalar", "2$0#5#0$1$A0$-1$0$1$1$B1$5$0$1$", 2,
                    {"A|Integer|Scalar|0|Input Only", "B|Real|Scalar|0|Input Only"}},
        RestoreCase{"a dimension on a later row is set once that row exists",
                    "3$0#5#0$1$A1$2$0$1$1$B1$0$0$1$1$N0$1$0$1$", 3,
                    {"A|Real|N|0|Input Only", "B|Real|Scalar|0|Input Only", "N|Integer|Scalar|0|Input Only"}},
        RestoreCase{"a dimension on a row that is not read is scalar", "3$0#5#0$1$A1$2$0$1$1$B0$-1$0$1$1$N0",
                    0, {"A|Real|Scalar|0|Input Only", "B|Integer|Scalar|0|Input Only", "N|Real|Scalar|0|Input Only"}},
        RestoreCase{"a dimension on its own row", "1$0#5#0$1$N0$0$0$1$", 1, {"N|Integer|N|0|Input Only"}},
        RestoreCase{"stray bytes count as digit 0 and a late minus is skipped",
                    "1x$0#5#0$1$A1$-1$0$3-$x$Bq$0$1$-x$5$N0$-1$0$2$", 0,
                    {"A|Real|Scalar|0|Input and Output", "|Integer|Scalar|1|Input Only",
                     "|Integer|Scalar|2|Input Only"}},
        RestoreCase{"a separator the header does not expect is skipped", "#1$0#5$#0$1$A0$-1$0$1$", 1,
                    {"A|Integer|Scalar|0|Input Only"}},
        RestoreCase{"the string ends in the header", "3$7#12", 0, {}},
        RestoreCase{"the string ends in a name length", "2$0#1#0$1$A0$-1$0$1$1", 0,
                    {"A|Integer|Scalar|0|Input Only"}},
        RestoreCase{"the string ends in a name", "2$0#1#0$1$A0$-1$0$1$4$NA", 0,
                    {"A|Integer|Scalar|0|Input Only", "|Real|Scalar|0|Input Only"}},
        RestoreCase{"no rows announced", "0$0#1#0$1$A0$-1$0$1$", 0, {}},
        RestoreCase{"an empty string", "", 0, {}}),
    [](const ::testing::TestParamInfo<RestoreCase>& param) { return "Case" + std::to_string(param.index); });

TEST_F(SavedStateTest, TheHeaderRestoresTheTimeStampAndTheFunctionName) {
    struct Case {
        std::string text;
        int32_t time;
        std::string function;
        int32_t rows;
    };
    const std::vector<Case> cases = {
        {"0$0#123#0$", 123, "", 0},
        {"1$0#-5#4$NAME1$A1$-1$0$1$", -5, "NAME", 1},  // 32-bit time stamps turn negative in 2038
        {"0$0#-2147483648#0$", INT32_MIN, "", 0},
        {"0$0#2147483647#0$", INT32_MAX, "", 0},
        {"0$0#4294967297#0$", 1, "", 0},  // wraps like a 32-bit value
        {"0$0#99999999999999999999999999#0$", static_cast<int32_t>(3825205247u), "", 0},
        {"0$0#1-2#0$", 102, "", 0},  // only a leading minus is a sign
        {"1$0#7#20$ABCDEFGHIJKLMNOPQRST1$A1$-1$0$1$", 7, "ABCDEFGHIJKLMNO", 1},  // cut to 15 bytes
        {"1$0#7#3$$#-1$A1$-1$0$1$", 7, "$#-", 1},
        {"0$0#7#99999999999999$ABC", 7, "ABC", 0},
        {"0$0#7#", 7, "KEEP", 0},  // ends before the name: the old name stays
    };
    for (const Case& c : cases) {
        for (const int32_t bytesPerRead : {0, 1, 3}) {
            ConfigObject config;
            config.bytesPerRead = bytesPerRead;
            const uintptr_t table = tableReading(config, c.text);
            setFunctionName(table, "KEEP");
            UVTRestore(table);
            EXPECT_EQ(header(table).timeStamp, c.time) << c.text;
            EXPECT_EQ(functionNameOf(table), c.function) << c.text;
            EXPECT_EQ(dfnCountRows(table), c.rows) << c.text;
            DeleteUVT(table);
        }
    }
}

TEST_F(SavedStateTest, ANegativeTimeStampSurvivesSaveAndRestore) {
    const uintptr_t table = makeTable({{"X"}});
    ConfigObject config;
    UVTSetConfigInterface(table, config.object());
    header(table).timeStamp = -1000000000;
    const std::string saved = savedString(table, config);
    EXPECT_EQ(saved, "1$0#-1000000000#0$1$X1$-1$0$1$");

    ConfigObject other;
    const uintptr_t copy = tableReading(other, saved);
    EXPECT_EQ(UVTRestore(copy), 1);
    EXPECT_EQ(header(copy).timeStamp, -1000000000);
    DeleteUVT(copy);
    DeleteUVT(table);
}

// ---------------------------------------------------------------------------
// Round trips over generated tables
// ---------------------------------------------------------------------------

TEST_F(SavedStateTest, SaveThenRestoreGivesTheSameTableForManyGeneratedTables) {
    Rng rng(20240611u);
    int references = 0;
    int forwardReferences = 0;
    for (int n = 0; n < 150; ++n) {
        const int32_t ids[2] = {rng.any(), rng.any()};
        const uintptr_t original = CreateUVT(ids);
        ConfigObject config;
        UVTSetConfigInterface(original, config.object());
        TableBuilder builder(rng, original);
        const uint32_t rows = rng.below(18);
        for (uint32_t r = 0; r < rows; ++r) builder.insertRandomRow();
        builder.addReferences(40);
        builder.editAtRandom(rng.below(8));
        builder.addReferences(20);
        setFunctionName(original, randomFunctionName(rng));
        header(original).timeStamp = rng.any();

        const std::string expected = describe(original);
        for (int32_t r = 0; r < dfnCountRows(original); ++r) {
            const int32_t target = rowNumberOfId(original, row(original, r).dimension);
            if (row(original, r).dimension >= 0 && target >= 0) {
                ++references;
                if (target > r) ++forwardReferences;
            }
        }
        const std::string saved = savedString(original, config);
        const int32_t count = dfnCountRows(original);
        SCOPED_TRACE("table " + std::to_string(n) + ": " + saved);

        // Whole reads through the first source, one byte per read through
        // the second, and a few bytes per read: the same table every time.
        struct Way {
            int32_t bytesPerRead;
            bool second;
        };
        for (const Way way : {Way{0, false}, Way{1, true}, Way{3, false}}) {
            ConfigObject restoreConfig;
            const uintptr_t copy = tableReading(restoreConfig, way.second ? "" : saved, ids);
            restoreConfig.second = way.second ? saved : "";
            restoreConfig.bytesPerRead = way.bytesPerRead;
            const int32_t result = way.second ? UVTRestoreRB(copy) : UVTRestore(copy);
            EXPECT_EQ(result, count > 0 ? count : 0);
            EXPECT_EQ(restoreConfig.beginSaves, 0);
            EXPECT_EQ(describe(copy), expected) << "bytes per read " << way.bytesPerRead;
            EXPECT_EQ(savedString(copy, restoreConfig), saved);
            DeleteUVT(copy);
        }
        DeleteUVT(original);
    }
    // The generator really made what the round trip must carry.
    EXPECT_GT(references, 100);
    EXPECT_GT(forwardReferences, 30);
}

// ---------------------------------------------------------------------------
// Cut, garbled and hostile strings
// ---------------------------------------------------------------------------

TEST_F(SavedStateTest, EveryPrefixOfAValidStringRestoresTheRowsItHolds) {
    const uintptr_t original = makeTable({{"N", "Integer"},
                                          {"A", "Real"},
                                          {"LONGERNAME_16CHR", "Character", "N", "0", "Output Only"},
                                          {"M", "Integer", "Number of Components"},
                                          {"S", "Structure", "M", "0", "Input and Output"},
                                          {"X", "Real", "Scalar", "1"}});
    ASSERT_EQ(setCell(original, 2, 1, "M"), kEmpty);
    ConfigObject config;
    UVTSetConfigInterface(original, config.object());
    setFunctionName(original, "FN$1");
    header(original).timeStamp = 987654;
    config.clearSaves();
    UVTSave(original);
    const std::vector<std::string> pieces = config.pieces;
    ASSERT_EQ(pieces.size(), 7u);
    const std::string saved = config.saved();

    // Where each row's name length and name end in the string.
    std::vector<std::size_t> lengthEnds;
    std::vector<std::size_t> nameEnds;
    std::vector<std::size_t> rowEnds;
    std::size_t offset = pieces[0].size();
    for (std::size_t p = 1; p < pieces.size(); ++p) {
        const std::size_t dollar = pieces[p].find('$');
        lengthEnds.push_back(offset + dollar + 1);
        nameEnds.push_back(offset + dollar + 1 + std::stoul(pieces[p].substr(0, dollar)));
        offset += pieces[p].size();
        rowEnds.push_back(offset);
    }

    const std::size_t baseline = memory.liveBlocks();
    for (std::size_t length = 0; length <= saved.size(); ++length) {
        const std::string prefix = saved.substr(0, length);
        SCOPED_TRACE(prefix);
        ConfigObject restoreConfig;
        const uintptr_t copy = tableReading(restoreConfig, prefix);
        const int32_t result = UVTRestore(copy);
        EXPECT_EQ(result, length == saved.size() ? 6 : 0);

        int32_t inserted = 0;
        while (inserted < 6 && length >= lengthEnds[static_cast<std::size_t>(inserted)]) ++inserted;
        ASSERT_EQ(dfnCountRows(copy), inserted);
        for (int32_t r = 0; r < inserted; ++r) {
            const std::size_t k = static_cast<std::size_t>(r);
            EXPECT_EQ(getCell(copy, 0, r), length >= nameEnds[k] ? getCell(original, 0, r) : "");
            if (length >= rowEnds[k]) {
                EXPECT_EQ(getCell(copy, 1, r), getCell(original, 1, r));
                EXPECT_EQ(getCell(copy, 3, r), getCell(original, 3, r));
                EXPECT_EQ(getCell(copy, 4, r), getCell(original, 4, r));
            }
        }
        if (length >= pieces[0].size()) {
            EXPECT_EQ(functionNameOf(copy), "FN$1");
        }

        // The saving is on again afterwards.
        restoreConfig.clearSaves();
        dfnInsertRow(copy, 0);
        EXPECT_EQ(restoreConfig.beginSaves, 1);
        DeleteUVT(copy);
        EXPECT_EQ(memory.liveBlocks(), baseline) << "only the original's blocks are left";
        if (HasFailure()) break;
    }
    DeleteUVT(original);
}

TEST_F(SavedStateTest, RandomBytesNeverHurt) {
    Rng rng(777u);
    static const char kLikely[] = "0123456789$$$$####--AZaz_";
    for (int n = 0; n < 1500; ++n) {
        std::string text;
        const uint32_t length = rng.below(120);
        for (uint32_t i = 0; i < length; ++i) {
            text.push_back(rng.chance(80) ? kLikely[rng.below(sizeof kLikely - 1)]
                                          : static_cast<char>(rng.below(256)));
        }
        ConfigObject config;
        config.bytesPerRead = static_cast<int32_t>(rng.below(4));
        const uintptr_t table = tableReading(config, text);
        if (rng.chance(30)) appendRow(table, {"PRESENT", "Integer"});
        config.clearSaves();
        const int32_t before = dfnCountRows(table);
        const int32_t result = UVTRestore(table);
        const int32_t after = dfnCountRows(table);
        EXPECT_GE(after, before);
        EXPECT_TRUE(result == 0 || result == after - before) << text;
        EXPECT_EQ(config.beginSaves, 0) << text;
        for (int32_t r = 0; r < after; ++r) {
            EXPECT_NE(getCell(table, 1, r), "") << text;
            EXPECT_NE(getCell(table, 4, r), "") << text;
        }
        DeleteUVT(table);
        ASSERT_EQ(memory.liveBlocks(), 0u) << text;
    }
}

TEST_F(SavedStateTest, HugeCountsAndLengthsEndQuietly) {
    // Numbers too long for 32 bits saturate; they never wrap round to a
    // small count or length that would make the reader fall out of step.
    struct Case {
        std::string text;
        int32_t rows;
        int32_t result;
    };
    const std::vector<Case> cases = {
        {"4294967297$0#0#0$1$A1$-1$0$1$", 1, 0},
        {"99999999999999999999$0#0#0$1$A1$-1$0$1$1$B1$-1$0$1$", 2, 0},
        {"2147483647$0#0#0$1$A1$-1$0$1$", 1, 0},
        {"1$0#0#99999999999999999999$", 0, 0},
        {"1$0#0#2147483647$ABC", 0, 0},
        {"1$0#0#4294967296$1$A1$-1$0$1$", 0, 0},  // the rest of the string is a long function name
        {"1$0#0#0$99999999999999999999$ABC1$-1$0$1$", 0, 0},
        {"1$0#0#0$4294967297$A1$-1$0$1$", 0, 0},
        {"1$0#0#0$1$A99999999999999999999$-99999999999999999999$99999999999999999999$-2147483648$", 1, 1},
        {"1$0#0#0$1$A1-$--$-$-$", 1, 1},
    };
    for (const Case& c : cases) {
        for (const int32_t bytesPerRead : {0, 1}) {
            ConfigObject config;
            config.bytesPerRead = bytesPerRead;
            const uintptr_t table = tableReading(config, c.text);
            EXPECT_EQ(UVTRestore(table), c.result) << c.text;
            EXPECT_EQ(dfnCountRows(table), c.rows) << c.text;
            for (int32_t r = 0; r < dfnCountRows(table); ++r) {
                EXPECT_EQ(getCell(table, 1, r), "Real") << c.text;
                EXPECT_EQ(getCell(table, 2, r), "Scalar") << c.text;
                EXPECT_EQ(getCell(table, 3, r), "0") << c.text;
                EXPECT_EQ(getCell(table, 4, r), "Input Only") << c.text;
            }
            DeleteUVT(table);
        }
    }
}

TEST_F(SavedStateTest, ARestoreThatRunsOutOfMemoryLeavesATableThatCanBeDeleted) {
    const std::string text = "4$0#5#0$1$N0$3$0$1$1$A1$0$0$1$1$B2$-2$0$3$1$M0$-1$0$2$";
    for (int failAt = 1; failAt < 20; ++failAt) {
        ConfigObject config;
        const uintptr_t table = tableReading(config, text);
        memory.failAllocation(failAt);
        const int32_t result = UVTRestore(table);
        memory.failAllocation(0);
        EXPECT_TRUE(result == 0 || result == 4) << failAt;
        EXPECT_LE(dfnCountRows(table), 4);
        config.clearSaves();
        dfnInsertRow(table, 0);
        EXPECT_EQ(config.beginSaves, 1) << "saving is on again after a failed restore";
        DeleteUVT(table);
        ASSERT_EQ(memory.liveBlocks(), 0u) << failAt;
        ASSERT_TRUE(memory.faults().empty()) << failAt;
    }
}

}  // namespace
}  // namespace uvt_persist_test
