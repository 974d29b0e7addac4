// The readers' observer: the saved-state restore and the FORTRAN reader
// report every cell the grid refused or changed, with its byte or line, and
// the FORTRAN reader the lines it reads differently from compilers; with an
// observer the table read is the same as without one.
#include "test_host.h"

#include "../fortran/fortran_files.h"

#include "fortran/fortran_loader.h"
#include "persist/saved_state.h"
#include "table/read_observer.h"

#include <string>
#include <vector>

namespace uvt_test {
namespace {

struct Heard final : uvt::ReadObserver {
    std::vector<uvt::CellReport> cells;
    std::vector<uvt::ConstructReport> constructs;
    std::vector<uvt::HeaderReport> headers;
    void cellChanged(const uvt::CellReport& report) override { cells.push_back(report); }
    void construct(const uvt::ConstructReport& report) override { constructs.push_back(report); }
    void headerChanged(const uvt::HeaderReport& report) override { headers.push_back(report); }
};

// What a report must say; `refused` whether the grid answered with a message.
struct ExpectedCell {
    int64_t position;
    int32_t row;
    int32_t column;
    std::string held;
    bool refused;
    std::string result;
};

void expectCells(const std::vector<uvt::CellReport>& got, const std::vector<ExpectedCell>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].position, want[i].position);
        EXPECT_EQ(got[i].row, want[i].row);
        EXPECT_EQ(got[i].column, want[i].column);
        EXPECT_EQ(got[i].held, want[i].held);
        EXPECT_EQ(!got[i].message.empty(), want[i].refused) << got[i].message;
        EXPECT_EQ(got[i].result, want[i].result);
    }
}

// The header fields heard against those wanted; a wanted result "now"
// stands for `now`, the clock's time stamp the table was given.
void expectHeaders(const std::vector<uvt::HeaderReport>& got, const std::vector<uvt::HeaderReport>& want,
                   const std::string& now = "") {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].position, want[i].position);
        EXPECT_EQ(got[i].field, want[i].field);
        EXPECT_EQ(got[i].change, want[i].change);
        EXPECT_EQ(got[i].held, want[i].held);
        EXPECT_EQ(got[i].result, want[i].result == "now" ? now : want[i].result);
    }
}

// Every cell of every row, as the grid shows them.
std::vector<std::string> gridOf(uintptr_t table) {
    std::vector<std::string> cells;
    const int32_t rows = dfnCountRows(table);
    for (int32_t r = 0; r < rows; ++r) {
        for (int32_t c = UVT_COLUMN_NAME; c <= UVT_COLUMN_IO; ++c) cells.push_back(getCell(table, c, r));
    }
    return cells;
}

// The function name and the time stamp as the table holds them.
std::pair<std::string, int32_t> headerOf(uintptr_t table) {
    char name[UVT_FUNCTION_NAME_BUFFER] = {};
    int32_t timeStamp = 0;
    rtmGetFunction(table, name, &timeStamp);
    return {name, timeStamp};
}

// A function of the writer's form with the given row lines, from line 5.
std::string fortranFile(const std::vector<std::string>& rows, const std::string& head = "") {
    std::string text = head +
                       "      INTEGER FUNCTION TEST(NVARS,ICOL,IROW)\n"
                       "      PARAMETER (IPARAM_NVARS=1)\n"
                       "      INTEGER IVARIABLES(8,IPARAM_NVARS), IVRSN\n"
                       "      DATA IVARIABLES/\n";
    for (std::size_t i = 0; i < rows.size(); ++i) text += rows[i] + (i + 1 == rows.size() ? "/\n" : ",\n");
    return text + "      DATA IVRSN/1700000000/\n      END\n";
}

std::string fortranRow(const std::string& groups, const std::string& values) {
    return "     1  " + groups + ",  " + values;
}

class ReadObserverTest : public UvtTest {
protected:
    // Loads through the export and with an observer; both must give the same
    // table.
    uintptr_t loadObserved(const std::string& text, Heard& heard) {
        const auto file = scratch.file("t.f");
        writeBytes(file, text);
        const uintptr_t plain = loadFrom(file);
        const std::u16string wide = file.u16string();
        const uintptr_t observed = uvt::loadFromFortran(reinterpret_cast<const OLECHAR*>(wide.c_str()), &heard);
        EXPECT_EQ(plain != 0, observed != 0);
        if (plain != 0 && observed != 0) {
            EXPECT_EQ(gridOf(plain), gridOf(observed));
            EXPECT_EQ(headerOf(plain), headerOf(observed));
        }
        if (plain != 0) DeleteUVT(plain);
        return observed;
    }

    ScratchDirectory scratch;
};

TEST_F(ReadObserverTest, FortranReportsEveryRefusedOrChangedCellOnItsLine) {
    Heard heard;
    const uintptr_t table = loadObserved(
        fortranFile({
            fortranRow("4HFEED,  4H    ,  4H    ,  4H    ", "9,  -1,  0,  1"),                 // line 5: type 9
            fortranRow("4HTEMP,  4H    ,  4H    ,  4H    ", "1,  -99,  0,  7"),               // line 6
            fortranRow("4HABCD,  4HEFGH,  4HIJKL,  4HMNOP,  4HQRST", "1,  -1,  0,  1"),       // 20 characters
            fortranRow("4HFEED,  4H    ,  4H    ,  4H    ", "1,  -1,  0,  1"),                 // a duplicate
            fortranRow("4Hlow ,  4H    ,  4H    ,  4H    ", "1,  9,  0,  1"),                  // no row 9
            fortranRow("4HDEEP,  4H    ,  4H    ,  4H    ", "1,  -1,  12,  1"),                // depth 12
        }),
        heard);
    ASSERT_NE(table, 0u);
    expectCells(heard.cells, {
                                 {5, 0, UVT_COLUMN_TYPE, "9", false, "Real"},
                                 {6, 1, UVT_COLUMN_DIMENSION, "-99", true, "Scalar"},
                                 {6, 1, UVT_COLUMN_IO, "7", true, "Input Only"},
                                 {7, 2, UVT_COLUMN_NAME, "ABCDEFGHIJKLMNOPQ", true, ""},
                                 {8, 3, UVT_COLUMN_NAME, "FEED", true, ""},
                                 {9, 4, UVT_COLUMN_NAME, "low", false, "LOW"},
                                 {10, 5, UVT_COLUMN_DEPTH, "12", true, "0"},
                                 // set once every row is read, reported on its own line
                                 {9, 4, UVT_COLUMN_DIMENSION, "9", false, "Scalar"},
                             });
    EXPECT_TRUE(heard.constructs.empty());
    DeleteUVT(table);
}

TEST_F(ReadObserverTest, FortranFileAsWrittenIsReadWithoutReports) {
    Heard heard;
    const uintptr_t table = loadObserved(readText(std::string(UVT_TEST_DATA_DIR) + "/../examples/mixer.f"), heard);
    ASSERT_NE(table, 0u);
    EXPECT_EQ(dfnCountRows(table), 7);
    EXPECT_TRUE(heard.cells.empty());
    EXPECT_TRUE(heard.constructs.empty());
    DeleteUVT(table);
}

TEST_F(ReadObserverTest, FortranReportsWhatCompilersReadDifferently) {
    const std::string goodRow = fortranRow("4HFEED,  4H    ,  4H    ,  4H    ", "1,  -1,  0,  1");
    struct Case {
        const char* what;
        std::string text;
        bool loads;
        std::vector<uvt::ConstructReport> want;  // text compared for keywords and values only
    };
    std::string sequenced = goodRow + "/";
    sequenced.resize(72, ' ');
    sequenced += "SEQ00050";
    std::string sequencedFile = fortranFile({goodRow});
    sequencedFile.replace(sequencedFile.find(goodRow + "/"), goodRow.size() + 1, sequenced);
    const std::vector<Case> cases = {
        {"columns 73 to 80", sequencedFile, true, {{5, 73, uvt::FileConstruct::PastColumn72, ""}}},
        {"comment markers", fortranFile({goodRow}, "c lower\n* star\n! bang\nC upper\n"), true,
         {{1, 1, uvt::FileConstruct::CommentMarker, ""},
          {2, 1, uvt::FileConstruct::CommentMarker, ""},
          {3, 1, uvt::FileConstruct::CommentMarker, ""}}},
        {"lower-case keyword", "      integer function test(nvars)\n      DATA IVARIABLES/\n" + goodRow +
                                   "/\n      DATA IVRSN/1/\n",
         false, {{1, 0, uvt::FileConstruct::LowerCaseKeyword, "FUNCTION"}}},
        {"tab in the label field", fortranFile({"\t1  4HFEED,  4H    ,  4H    ,  4H    ,  1,  -1,  0,  1"}), true,
         {{5, 1, uvt::FileConstruct::TabInLabelField, ""}}},
        // A "!" ends a statement for compilers; the reader reads on. In the
        // row data the comment's text is read as a row, and the list is
        // malformed; on other lines it is passed over. A "!" in a quoted
        // text, on a comment line or past column 72 is no inline comment.
        {"inline comment in the rows", fortranFile({goodRow + ",  ! the feed", goodRow}), false,
         {{5, 62, uvt::FileConstruct::InlineComment, "rows"}, {5, 0, uvt::FileConstruct::MalformedValue, "dimension"}}},
        {"inline comments elsewhere",
         "      INTEGER FUNCTION TEST(NVARS)  ! the test\n"
         "      X = 'A ! B' // \"!\"  ! after texts\n"
         "c     a comment line ! with a bang\n"
         "      DATA IVARIABLES/\n" +
             goodRow + "/  ! the end\n      DATA IVRSN/1/\n",
         true,
         {{1, 37, uvt::FileConstruct::InlineComment, ""},
          {2, 27, uvt::FileConstruct::InlineComment, ""},
          {3, 1, uvt::FileConstruct::CommentMarker, ""},
          {5, 62, uvt::FileConstruct::InlineComment, ""}}},
        {"a quote open on a continuation line", "      INTEGER FUNCTION TEST(NVARS)\n      X = 'A\n     1 ! B'\n"
                                                "      DATA IVARIABLES/\n" + goodRow + "/\n      DATA IVRSN/1/\n",
         true, {}},
        {"bad dimension", fortranFile({fortranRow("4HFEED,  4H    ,  4H    ,  4H    ", "1,  X1,  0,  1")}), false,
         {{5, 0, uvt::FileConstruct::MalformedValue, "dimension"}}},
        {"bad dimension on line 3", "      INTEGER FUNCTION TEST(NVARS,ICOL,IROW)\n      DATA IVARIABLES/\n" +
                                        fortranRow("4HFEED,  4H    ,  4H    ,  4H    ", "1,  X1,  0,  1/") +
                                        "\n      DATA IVRSN/1/\n",
         false, {{3, 0, uvt::FileConstruct::MalformedValue, "dimension"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Heard heard;
        const uintptr_t table = loadObserved(c.text, heard);
        EXPECT_EQ(table != 0, c.loads);
        ASSERT_EQ(heard.constructs.size(), c.want.size());
        for (std::size_t i = 0; i < c.want.size(); ++i) {
            EXPECT_EQ(heard.constructs[i].position, c.want[i].position);
            EXPECT_EQ(heard.constructs[i].column, c.want[i].column);
            EXPECT_EQ(heard.constructs[i].kind, c.want[i].kind);
            EXPECT_EQ(heard.constructs[i].text, c.want[i].text);
        }
        if (table != 0) DeleteUVT(table);
    }
}

TEST_F(ReadObserverTest, FortranReportsAFunctionNameOrVersionTheTableCannotHold) {
    const std::string row = fortranRow("4HFEED,  4H    ,  4H    ,  4H    ", "1,  -1,  0,  1");
    struct Case {
        const char* what;
        std::string text;
        std::vector<uvt::HeaderReport> want;
        std::string name;  // the table's function name
    };
    const auto withName = [&](const std::string& name) {
        std::string text = fortranFile({row});
        text.replace(text.find("TEST("), 4, name);
        return text;
    };
    std::string bigVersion = fortranFile({row});
    bigVersion.replace(bigVersion.find("1700000000"), 10, "99999999999");
    const std::vector<Case> cases = {
        {"eight characters", withName("MIXERTWO"), {}, "MIXERTWO"},
        {"longer", withName("mixer_two_b"),
         {{1, uvt::HeaderField::FunctionName, uvt::HeaderChange::Cut, "mixer_two_b", "MIXER_TW"}}, "MIXER_TW"},
        // Without "(" the name ends where its line does: the DATA line
        // after it is still found.
        {"without arguments", "      INTEGER FUNCTION LONGERNAME\n      DATA IVARIABLES/\n" + row +
                                  "/\n      DATA IVRSN/1/\n",
         {{1, uvt::HeaderField::FunctionName, uvt::HeaderChange::Cut, "LONGERNAME", "LONGERNA"}}, "LONGERNA"},
        {"version past 32 bits", bigVersion,
         {{6, uvt::HeaderField::TimeStamp, uvt::HeaderChange::Rewritten, "99999999999", "2147483647"}}, "TEST"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Heard heard;
        const uintptr_t table = loadObserved(c.text, heard);
        ASSERT_NE(table, 0u);
        EXPECT_EQ(dfnCountRows(table), 1);
        EXPECT_EQ(headerOf(table).first, c.name);
        expectHeaders(heard.headers, c.want);
        EXPECT_TRUE(heard.cells.empty());
        DeleteUVT(table);
    }
}

TEST_F(ReadObserverTest, FortranLinesCountEveryLineEnd) {
    // "\r\n" ends one line, a lone "\r" one as well.
    Heard heard;
    std::string text = fortranFile({fortranRow("4HFEED,  4H    ,  4H    ,  4H    ", "9,  -1,  0,  1")});
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const uintptr_t table = loadObserved("\r" + crlf, heard);
    ASSERT_NE(table, 0u);
    expectCells(heard.cells, {{6, 0, UVT_COLUMN_TYPE, "9", false, "Real"}});
    DeleteUVT(table);
}

TEST_F(ReadObserverTest, ImportReportsTableRowsAfterTheOnesThere) {
    const uintptr_t table = makeTable({{"A", "Integer", "Scalar", "0", "Input Only"}});
    const auto file = scratch.file("i.f");
    writeBytes(file, fortranFile({fortranRow("4HB   ,  4H    ,  4H    ,  4H    ", "1,  -1,  0,  7")}));
    const std::u16string wide = file.u16string();
    Heard heard;
    uvt::importFortran(table, reinterpret_cast<const OLECHAR*>(wide.c_str()), &heard);
    EXPECT_EQ(dfnCountRows(table), 2);
    expectCells(heard.cells, {{5, 1, UVT_COLUMN_IO, "7", true, "Input Only"}});
    DeleteUVT(table);
}

class SavedStateObserverTest : public UvtTest {
protected:
    int32_t restore(const std::string& bytes, uintptr_t table, Heard* heard) {
        ConfigObject config;
        config.primary = bytes;
        UVTSetConfigInterface(table, config.object());
        const int32_t restored = heard == nullptr ? UVTRestore(table)
                                                  : uvt::restoreTable(table, uvt::RestoreSource::Primary, heard);
        UVTSetConfigInterface(table, nullptr);
        return restored;
    }

    // Restores `bytes` into a table without an observer and into one with
    // it: both must get `rows` rows and the same grid. What the observer
    // heard comes back.
    Heard restoredAlike(const std::string& bytes, int32_t rows) {
        const uintptr_t plain = CreateUVT(nullptr);
        const uintptr_t observed = CreateUVT(nullptr);
        Heard heard;
        EXPECT_EQ(restore(bytes, plain, nullptr), rows);
        EXPECT_EQ(restore(bytes, observed, &heard), rows);
        EXPECT_EQ(gridOf(plain), gridOf(observed));
        DeleteUVT(plain);
        DeleteUVT(observed);
        return heard;
    }
};

TEST_F(SavedStateObserverTest, ReportsEveryRefusedOrChangedCellAtItsField) {
    // Offsets from 0: the header "3$0#1700000000#3$BAD" is 20 bytes; a
    // name is reported where its bytes begin, a number where its field does.
    const std::string bytes = "3$0#1700000000#3$BAD"
                              "4$FEED9$-1$0$1$"     // type 9 at 26
                              "4$TEMP1$-99$0$7$"    // dimension at 43, IO at 49
                              "4$FEED1$5$0$1$";     // duplicate name at 53; row 5 never comes, at 59
    expectCells(restoredAlike(bytes, 3).cells, {
                                 {26, 0, UVT_COLUMN_TYPE, "9", false, "Real"},
                                 {43, 1, UVT_COLUMN_DIMENSION, "-99", true, "Scalar"},
                                 {49, 1, UVT_COLUMN_IO, "7", true, "Input Only"},
                                 {53, 2, UVT_COLUMN_NAME, "FEED", true, ""},
                                 {59, 2, UVT_COLUMN_DIMENSION, "5", false, "Scalar"},
                             });
}

TEST_F(SavedStateObserverTest, ReportsHeaderFieldsTheTableDoesNotHoldAsWritten) {
    using uvt::HeaderChange;
    using uvt::HeaderField;
    const std::string rows = "1$A1$-1$0$1$";
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<uvt::HeaderReport> want;  // result "now" for the table's own time stamp
    };
    const std::vector<Case> cases = {
        {"as written", "1$7#1700000000#5$MIXER" + rows, {}},
        {"leading zeros and a negative stamp", "1$7#-0017#0$" + rows, {}},
        {"name of 20 characters", "1$0#5#20$ABCDEFGHIJKLMNOPQRST" + rows,
         {{9, HeaderField::FunctionName, HeaderChange::Cut, "ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNO"}}},
        {"name with a NUL", std::string("1$0#5#3$A\0C", 11) + rows,
         {{8, HeaderField::FunctionName, HeaderChange::Rewritten, std::string("A\0C", 3), "A"}}},
        {"other bytes in the stamp", "1$0#17x0#0$" + rows,
         {{4, HeaderField::TimeStamp, HeaderChange::Rewritten, "17x0", "1700"}}},
        {"a stray $ in the stamp", "1$0#12$34#0$" + rows,
         {{4, HeaderField::TimeStamp, HeaderChange::Rewritten, "12$34", "1234"}}},
        {"stamp past 32 bits", "1$0#4294967297#0$" + rows,
         {{4, HeaderField::TimeStamp, HeaderChange::Rewritten, "4294967297", "1"}}},
        {"no stamp and no name", "1$0$" + rows, {{3, HeaderField::TimeStamp, HeaderChange::Missing, "", "now"}}},
        {"ends within the stamp", "0$0#17", {{4, HeaderField::TimeStamp, HeaderChange::EndsEarly, "17", "now"}}},
        {"ends within the name", "0$0#5#6$MIX",
         {{8, HeaderField::FunctionName, HeaderChange::EndsEarly, "MIX", "MIX"}}},
        {"ends within the name length", "0$0#5#6",
         {{6, HeaderField::FunctionName, HeaderChange::EndsEarly, "", ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const uintptr_t plain = CreateUVT(nullptr);
        const uintptr_t observed = CreateUVT(nullptr);
        const std::string now = std::to_string(headerOf(observed).second);
        Heard heard;
        EXPECT_EQ(restore(c.bytes, plain, nullptr), restore(c.bytes, observed, &heard));
        EXPECT_EQ(gridOf(plain), gridOf(observed));
        EXPECT_EQ(headerOf(plain).first, headerOf(observed).first);
        EXPECT_TRUE(heard.cells.empty());
        expectHeaders(heard.headers, c.want, now);
        DeleteUVT(plain);
        DeleteUVT(observed);
    }
}

TEST_F(SavedStateObserverTest, ReportsRowFieldsWithTheTextTheFileHolds) {
    // A field that is not a plain number is read with its other bytes as
    // digit 0 and an inner "-" skipped; the cell is reported with the
    // field's own text even where the grid takes the value.
    const std::string bytes = "3$0#1#1$F"
                              "1$A1x$-1$0$1$"   // type "1x" (10: Real) at 12
                              "1$N$-1$0$1-$"    // type "" (0: Integer) at 25, IO "1-" at 31
                              "1$B1$1-$0$1$";   // dimension "1-" (row 1, N) at 39
    expectCells(restoredAlike(bytes, 3).cells, {
                                 {12, 0, UVT_COLUMN_TYPE, "1x", false, "Real"},
                                 {25, 1, UVT_COLUMN_TYPE, "", false, "Integer"},
                                 {31, 1, UVT_COLUMN_IO, "1-", false, "Input Only"},
                                 {39, 2, UVT_COLUMN_DIMENSION, "1-", false, "N"},
                             });
}

TEST_F(SavedStateObserverTest, ReportsWhereALongRowNameEndsTheRestore) {
    // 19 bytes are read and refused by the name check; 20 end the restore at
    // the length field, at 20 here.
    const std::string bytes = "3$0#1#0$1$A1$-1$0$1$20$ABCDEFGHIJKLMNOPQRST1$-1$0$1$1$B1$-1$0$1$";
    const uintptr_t table = CreateUVT(nullptr);
    Heard heard;
    restore(bytes, table, &heard);
    EXPECT_EQ(dfnCountRows(table), 1);
    ASSERT_EQ(heard.constructs.size(), 1u);
    EXPECT_EQ(heard.constructs[0].position, 20);
    EXPECT_EQ(heard.constructs[0].kind, uvt::FileConstruct::LongRowName);
    EXPECT_EQ(heard.constructs[0].text, "20");
    DeleteUVT(table);
}

TEST_F(SavedStateObserverTest, DimensionNamedLaterIsReportedOnlyWhenRefused) {
    // Row 0 names row 1, an Integer that comes after it: taken, no report.
    // Row 2 names row 0, a Real: refused at its own field.
    const std::string bytes = "3$0#1#1$F"
                              "1$A1$1$0$1$"
                              "1$N0$-1$0$1$"
                              "1$B1$0$0$1$";
    const uintptr_t table = CreateUVT(nullptr);
    Heard heard;
    EXPECT_EQ(restore(bytes, table, &heard), 3);
    EXPECT_EQ(getCell(table, UVT_COLUMN_DIMENSION, 0), "N");
    expectCells(heard.cells, {{37, 2, UVT_COLUMN_DIMENSION, "0", true, "Scalar"}});
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
