// The text form: UVTToText hands the records to a host sink line by line;
// UVTFromText reads them back from a host token source. The source here is
// what a host would write: it splits the written lines at single blanks, so
// that a row without a name (two blanks in a row) gives an empty token.
#include "random_tables.h"
#include "test_host.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace uvt_persist_test {
namespace {

// Host routines are plain functions, as a host would install them; their
// state lives here.
std::vector<std::string> gLines;
std::deque<std::string> gTokens;
int gRequests = 0;
int gFailAtRequest = 0;          // 0: never fail
std::size_t gUnterminatedText = 0;  // >0: texts are written as this many bytes without terminator
std::vector<int32_t> gKinds;

void UVT_HOSTCALL collectLine(const char* line) { gLines.emplace_back(line); }

int32_t UVT_HOSTCALL nextToken(int32_t kind, void* destination) {
    ++gRequests;
    gKinds.push_back(kind);
    if (gRequests == gFailAtRequest || gTokens.empty()) return 0;
    const std::string token = gTokens.front();
    gTokens.pop_front();
    if (kind == 0) {
        if (gUnterminatedText > 0) {
            std::memset(destination, 'W', gUnterminatedText);
        } else {
            std::memcpy(destination, token.c_str(), token.size() + 1);
        }
    } else {
        const int32_t value = static_cast<int32_t>(std::strtol(token.c_str(), nullptr, 10));
        std::memcpy(destination, &value, sizeof value);
    }
    return 1;
}

std::vector<std::string> splitAtBlanks(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    for (const char c : line) {
        if (c == ' ') {
            fields.push_back(field);
            field.clear();
        } else {
            field.push_back(c);
        }
    }
    fields.push_back(field);
    return fields;
}

// The tokens of the written lines: the header line begins with an empty
// line and every line ends with a line feed.
std::deque<std::string> tokensOf(const std::vector<std::string>& lines) {
    std::deque<std::string> tokens;
    for (std::string line : lines) {
        if (!line.empty() && line.front() == '\n') line.erase(0, 1);
        if (!line.empty() && line.back() == '\n') line.pop_back();
        for (const std::string& field : splitAtBlanks(line)) tokens.push_back(field);
    }
    return tokens;
}

class TextFormTest : public UvtTest {
protected:
    void SetUp() override {
        UvtTest::SetUp();
        gLines.clear();
        gTokens.clear();
        gRequests = 0;
        gFailAtRequest = 0;
        gUnterminatedText = 0;
        gKinds.clear();
    }

    static std::vector<std::string> linesOf(uintptr_t table) {
        gLines.clear();
        UVTToText(table, &collectLine);
        return gLines;
    }

    static int32_t readInto(uintptr_t table, const std::vector<std::string>& lines) {
        gTokens = tokensOf(lines);
        gRequests = 0;
        return UVTFromText(table, &nextToken);
    }

    // Raw records, ids and parent ids included.
    static std::string records(uintptr_t table) {
        std::string out = functionNameOf(table) + " " + std::to_string(header(table).timeStamp) + " " +
                          std::to_string(dfnCountRows(table)) + "\n";
        for (int32_t r = 0; r < dfnCountRows(table); ++r) {
            const RowView& v = row(table, r);
            out += std::to_string(v.id) + "|" + std::string(v.name, strnlen(v.name, sizeof v.name)) + "|" +
                   std::to_string(v.type) + "|" + std::to_string(v.dimension) + "|" + std::to_string(v.depth) + "|" +
                   std::to_string(v.io) + "|" + std::to_string(v.parentId) + "\n";
        }
        return out;
    }
};

TEST_F(TextFormTest, WritesAHeaderLineAndOneLinePerRow) {
    const uintptr_t table = makeTable({{"N", "Integer"},
                                       {"S", "Structure", "N", "0", "Output Only"},
                                       {"M", "Character", "Number of Heat Inlet Streams", "1", "Input and Output"}});
    dfnInsertRow(table, 0);  // a row without a name, id 3, on top
    setFunctionName(table, "UFORM1");
    header(table).timeStamp = 1234;

    EXPECT_EQ(linesOf(table), (std::vector<std::string>{"\nUFORM1 1234 4\n", "3  1 -1 0 1 -50\n",
                                                        "0 N 0 -1 0 1 -50\n", "1 S 3 0 0 2 -50\n",
                                                        "2 M 2 -15 1 3 1\n"}));
    DeleteUVT(table);
}

TEST_F(TextFormTest, ATableWithoutNameOrRowsIsTheHeaderLineOnly) {
    const uintptr_t table = CreateUVT(nullptr);
    header(table).timeStamp = -7;
    EXPECT_EQ(linesOf(table), (std::vector<std::string>{"\nNONAME -7 0\n"}));

    // Read back, the table is named NONAME.
    const uintptr_t copy = CreateUVT(nullptr);
    EXPECT_EQ(readInto(copy, linesOf(table)), 1);
    EXPECT_EQ(functionNameOf(copy), "NONAME");
    EXPECT_EQ(header(copy).timeStamp, -7);
    EXPECT_EQ(dfnCountRows(copy), 0);
    EXPECT_EQ(memory.sizeOf(header(copy).rowArray), static_cast<int32_t>(sizeof(uintptr_t)))
        << "no rows: a one-slot array";
    DeleteUVT(copy);
    DeleteUVT(table);
}

TEST_F(TextFormTest, NullTableOrRoutinesAreRefusedQuietly) {
    UVTToText(0, &collectLine);
    EXPECT_TRUE(gLines.empty());
    const uintptr_t table = makeTable({{"X"}});
    UVTToText(table, nullptr);
    EXPECT_EQ(UVTFromText(0, &nextToken), 0);
    EXPECT_EQ(gRequests, 0);
    EXPECT_EQ(UVTFromText(table, nullptr), 0);
    EXPECT_EQ(getCell(table, 0, 0), "X");
    DeleteUVT(table);
}

TEST_F(TextFormTest, GeneratedTablesRoundTripThroughTheWrittenLines) {
    Rng rng(90210u);
    int unnamed = 0;
    for (int n = 0; n < 60; ++n) {
        const uintptr_t original = CreateUVT(nullptr);
        TableBuilder builder(rng, original);
        const uint32_t rows = rng.below(15);
        for (uint32_t r = 0; r < rows; ++r) builder.insertRandomRow();
        builder.addReferences(30);
        builder.editAtRandom(rng.below(6));
        for (int32_t r = 0; r < dfnCountRows(original); ++r) {
            if (row(original, r).name[0] == 0) ++unnamed;
        }
        // Function names in this form are single words: the form has no quoting.
        std::string function = rng.chance(30) ? "" : "F";
        if (!function.empty()) function += std::to_string(rng.below(100000));
        setFunctionName(original, function);
        header(original).timeStamp = rng.any();

        const std::vector<std::string> lines = linesOf(original);
        // Into a table that already has rows of its own: they are replaced.
        const uintptr_t copy = makeTable({{"GOES"}, {"AWAY", "Integer"}});
        EXPECT_EQ(readInto(copy, lines), 1);
        EXPECT_TRUE(gTokens.empty()) << "every token was asked for";

        std::string expected = records(original);
        if (functionNameOf(original).empty()) expected.insert(0, "NONAME");
        EXPECT_EQ(records(copy), expected);
        EXPECT_EQ(linesOf(copy), lines);
        EXPECT_EQ(header(copy).hostIds[0], 0);
        DeleteUVT(copy);
        DeleteUVT(original);
    }
    EXPECT_GT(unnamed, 10) << "rows without a name were written and read back";
}

TEST_F(TextFormTest, AskForTheFieldsInTheirOrderWithTheirKinds) {
    const uintptr_t table = makeTable({{"A"}});
    const uintptr_t copy = CreateUVT(nullptr);
    EXPECT_EQ(readInto(copy, linesOf(table)), 1);
    EXPECT_EQ(gKinds, (std::vector<int32_t>{0, 1, 1, 1, 0, 1, 1, 1, 1, 1}));
    DeleteUVT(copy);
    DeleteUVT(table);
}

TEST_F(TextFormTest, ValuesAreTakenAsTheyAre) {
    const uintptr_t table = CreateUVT(nullptr);
    gTokens = {"lower", "5", "1", "40", "name_x", "17", "-99", "12", "0", "-3"};
    EXPECT_EQ(UVTFromText(table, &nextToken), 1);
    EXPECT_EQ(records(table), "lower 5 1\n40|name_x|17|-99|12|0|-3\n");
    DeleteUVT(table);
}

TEST_F(TextFormTest, NewRowsGetIdsAboveEveryIdRead) {
    const uintptr_t table = CreateUVT(nullptr);
    gTokens = {"T", "0", "3", "5", "A", "0", "-1", "0", "1", "-50", "17", "B", "1", "5", "0", "1", "-50",
               "3",  "C", "1", "-1", "0", "1", "-50"};
    EXPECT_EQ(UVTFromText(table, &nextToken), 1);
    EXPECT_EQ(header(table).nextRowId, 18);
    dfnInsertRow(table, 3);
    EXPECT_EQ(row(table, 3).id, 18);
    EXPECT_EQ(getCell(table, 2, 1), "A") << "B's dimension is the id of A";
    DeleteUVT(table);
}

TEST_F(TextFormTest, RowsReadBackSaveTheirReferencesAsRowNumbers) {
    // Ids as a foreign writer may give them: out of order, one of them twice.
    const uintptr_t table = CreateUVT(nullptr);
    gTokens = {"T",  "5", "4",  "30", "A", "1", "7",  "0", "1", "-50", "7", "N", "0", "-1",
               "0", "1", "-50", "7",  "M", "0", "-1", "0", "1", "-50", "2", "B", "1", "30",
               "0", "3", "-50"};
    EXPECT_EQ(UVTFromText(table, &nextToken), 1);
    ConfigObject config;
    UVTSetConfigInterface(table, config.object());
    UVTSave(table);
    EXPECT_EQ(config.saved(), "4$0#5#1$T1$A1$1$0$1$1$N0$-1$0$1$1$M0$-1$0$1$1$B1$0$0$3$")
        << "A names the first row with id 7, B the row with id 30";
    DeleteUVT(table);
}

TEST_F(TextFormTest, ReadingKeepsNextRowIdWhenItIsAlreadyHigher) {
    const uintptr_t table = makeTable({{"A"}, {"B"}, {"C"}});
    dfnDeleteRow(table, 0);
    dfnDeleteRow(table, 0);
    dfnDeleteRow(table, 0);
    gTokens = {"T", "0", "1", "1", "X", "1", "-1", "0", "1", "-50"};
    EXPECT_EQ(UVTFromText(table, &nextToken), 1);
    EXPECT_EQ(header(table).nextRowId, 3);
    DeleteUVT(table);
}

TEST_F(TextFormTest, TheOldRowsGoBackToTheHost) {
    const uintptr_t table = makeTable({{"A"}, {"B"}, {"C"}, {"D"}});
    const uintptr_t oldRow = memory.view<uintptr_t>(header(table).rowArray)[2];
    gTokens = {"T", "9", "1", "0", "X", "1", "-1", "0", "1", "-50"};
    EXPECT_EQ(UVTFromText(table, &nextToken), 1);
    EXPECT_EQ(memory.liveBlocks(), 3u) << "header, array and the one row read";
    EXPECT_EQ(memory.sizeOf(oldRow), -1);
    EXPECT_EQ(dfnCountRows(table), 1);
    EXPECT_EQ(getCell(table, 0, 0), "X");
    DeleteUVT(table);
}

TEST_F(TextFormTest, AFailureInTheHeaderLeavesTheRowsAlone) {
    for (int failAt = 1; failAt <= 3; ++failAt) {
        const uintptr_t table = makeTable({{"A"}, {"B", "Integer"}});
        setFunctionName(table, "OLD");
        header(table).timeStamp = 1;
        gTokens = {"NEW", "2", "1", "0", "X", "1", "-1", "0", "1", "-50"};
        gRequests = 0;
        gFailAtRequest = failAt;
        EXPECT_EQ(UVTFromText(table, &nextToken), 0);
        EXPECT_EQ(dfnCountRows(table), 2);
        EXPECT_EQ(getCell(table, 0, 1), "B");
        EXPECT_EQ(getCell(table, 1, 1), "Integer");
        // Header fields read before the failure keep their new values.
        EXPECT_EQ(functionNameOf(table), failAt > 1 ? "NEW" : "OLD");
        EXPECT_EQ(header(table).timeStamp, failAt > 2 ? 2 : 1);
        DeleteUVT(table);
    }
}

TEST_F(TextFormTest, AFailureAmongTheRowsCountsOnlyTheRowsMade) {
    const uintptr_t source = makeTable({{"A"}, {"B"}, {"C"}});
    const std::vector<std::string> lines = linesOf(source);
    // Requests 4 to 10 are row 0, 11 to 17 row 1, 18 to 24 row 2.
    struct Case {
        int failAt;
        int32_t rows;
    };
    for (const Case c : {Case{4, 1}, Case{10, 1}, Case{11, 2}, Case{15, 2}, Case{24, 3}}) {
        const uintptr_t table = makeTable({{"OLD"}});
        gTokens = tokensOf(lines);
        gRequests = 0;
        gFailAtRequest = c.failAt;
        EXPECT_EQ(UVTFromText(table, &nextToken), 0) << c.failAt;
        EXPECT_EQ(dfnCountRows(table), c.rows) << c.failAt;
        for (int32_t r = 0; r + 1 < c.rows; ++r) EXPECT_EQ(getCell(table, 0, r), getCell(source, 0, r));
        // The table stays usable and comes apart cleanly.
        EXPECT_NE(dfnInsertRow(table, 0), 0);
        EXPECT_GT(row(table, 0).id, 0);
        DeleteUVT(table);
    }
    DeleteUVT(source);
}

TEST_F(TextFormTest, AHugeAnnouncedCountCostsOnlyTheRowsDelivered) {
    const uintptr_t table = CreateUVT(nullptr);
    gTokens = {"T", "0", "2147483647", "0", "A", "1", "-1", "0", "1", "-50", "1", "B", "1", "-1", "0", "1", "-50"};
    EXPECT_EQ(UVTFromText(table, &nextToken), 0);
    EXPECT_EQ(dfnCountRows(table), 3) << "two rows read and the one made when the source ran dry";
    for (const int32_t size : memory.allocationSizes()) EXPECT_LE(size, 1024) << "no block for rows not delivered";
    DeleteUVT(table);
}

TEST_F(TextFormTest, ManyRowsGrowTheArrayAsTheyArrive) {
    const uintptr_t table = CreateUVT(nullptr);
    gTokens = {"MANY", "3", "300"};
    for (int i = 0; i < 300; ++i) {
        std::string name = "R";
        name += std::to_string(i);
        for (const std::string& token : {std::to_string(i * 2), name, std::string("0"), std::string("-1"),
                                         std::string("0"), std::string("3"), std::string("-50")}) {
            gTokens.push_back(token);
        }
    }
    EXPECT_EQ(UVTFromText(table, &nextToken), 1);
    ASSERT_EQ(dfnCountRows(table), 300);
    EXPECT_EQ(getCell(table, 0, 299), "R299");
    EXPECT_EQ(row(table, 150).id, 300);
    EXPECT_EQ(header(table).nextRowId, 599);
    EXPECT_LT(memory.reallocations(), 20) << "the array grows in steps, not row by row";
    DeleteUVT(table);
}

TEST_F(TextFormTest, ANegativeCountReadsNoRows) {
    const uintptr_t table = makeTable({{"A"}});
    gTokens = {"T", "0", "-4"};
    EXPECT_EQ(UVTFromText(table, &nextToken), 1);
    EXPECT_EQ(dfnCountRows(table), 0);
    DeleteUVT(table);
}

TEST_F(TextFormTest, AnUnterminatedTextIsCutAtTheEndOfItsField) {
    const uintptr_t table = CreateUVT(nullptr);
    gTokens = {"x", "0", "1", "0", "x", "1", "-1", "0", "1", "-50"};
    // Exactly the capacity of each field, with no terminator: the source
    // writes 16 bytes into the function name and 20 into the row name.
    gUnterminatedText = 16;
    gRequests = 0;
    gFailAtRequest = 4;  // stop after the header
    EXPECT_EQ(UVTFromText(table, &nextToken), 0);
    EXPECT_EQ(functionNameOf(table), std::string(15, 'W'));

    gTokens = {"x", "0", "1", "0", "x", "1", "-1", "0", "1", "-50"};
    gUnterminatedText = 16;
    gRequests = 0;
    gFailAtRequest = 0;
    // The name field holds 20 bytes; write them all.
    struct Widen {
        static int32_t UVT_HOSTCALL source(int32_t kind, void* destination) {
            if (kind == 0 && gRequests >= 3) gUnterminatedText = 20;
            return nextToken(kind, destination);
        }
    };
    EXPECT_EQ(UVTFromText(table, &Widen::source), 1);
    EXPECT_EQ(std::string(row(table, 0).name, strnlen(row(table, 0).name, 20)), std::string(19, 'W'));
    DeleteUVT(table);
}

TEST_F(TextFormTest, WithoutMemoryReadingFailsAndLeavesADeletableTable) {
    const uintptr_t source = makeTable({{"A"}, {"B"}, {"C"}});
    const std::vector<std::string> lines = linesOf(source);
    for (int failAt = 1; failAt <= 4; ++failAt) {
        const uintptr_t table = makeTable({{"OLD"}});
        gTokens = tokensOf(lines);
        gRequests = 0;
        memory.failAllocation(failAt);
        EXPECT_EQ(UVTFromText(table, &nextToken), 0) << failAt;
        memory.failAllocation(0);
        if (failAt == 1) {
            // Without a new array the old rows stay.
            EXPECT_EQ(dfnCountRows(table), 1);
            EXPECT_EQ(getCell(table, 0, 0), "OLD");
        } else {
            EXPECT_EQ(dfnCountRows(table), failAt - 2) << failAt;
        }
        DeleteUVT(table);
        EXPECT_EQ(memory.liveBlocks(), 5u) << "only the source table is left";
    }
    DeleteUVT(source);
}

}  // namespace
}  // namespace uvt_persist_test
