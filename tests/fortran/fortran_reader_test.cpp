// Reading FORTRAN functions back: the layout rules of fixed-form source, the
// keywords, the row data and the version, through hand-written files.
#include "fortran_files.h"

#include <climits>
#include <ctime>

namespace uvt_test {
namespace {

const std::string kHead =
    "      INTEGER FUNCTION UFORM1(NVARS,ICOL,IROW)\n"
    "      PARAMETER (IPARAM_NVARS=2)\n"
    "      INTEGER IVARIABLES(8,IPARAM_NVARS), IVRSN\n";
const std::string kData =
    "      DATA IVARIABLES/\n"
    "     1  4HNC  ,  4H    ,  4H    ,  4H    ,  0,  -1,  0,  1,\n"
    "     1  4HFLOW,  4H    ,  4H    ,  4H    ,  1,  0,  0,  3/\n"
    "\n";
const std::string kVersion = "      DATA IVRSN/777/\n";
const std::string kBody =
    "      NVARS = IPARAM_NVARS\n"
    "      IF(IROW .EQ. 0) THEN\n"
    "          UFORM1=IVRSN\n"
    "      ELSE IF(IROW .LE. NVARS) THEN\n"
    "          UFORM1=IVARIABLES(ICOL,IROW)\n"
    "      ENDIF\n"
    "      RETURN\n"
    "      END\n";
const std::string kFile = kHead + kData + kVersion + kBody;

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

RowState rowState(const char* name, int32_t type, int32_t dimension = -1, int32_t depth = 0, int32_t io = 1,
                  int32_t parent = -50) {
    return RowState{name, type, dimension, depth, io, parent};
}

const std::vector<RowState> kRows = {rowState("NC", 0), rowState("FLOW", 1, 0, 0, 3)};
// The version a file without a readable one leaves: the table's creation time.
constexpr int32_t kCreationTime = INT32_MIN + 1;

struct ReadCase {
    const char* label;
    std::string text;
    bool loads;
    std::string functionName = "UFORM1";
    int32_t version = 777;
    std::vector<RowState> rows = kRows;
};

std::vector<ReadCase> readCases() {
    const std::string row = "     1  ";
    return {
        {"as written", kFile, true},
        {"CR LF line ends", replaceAll(kFile, "\n", "\r\n"), true},
        {"CR line ends", replaceAll(kFile, "\n", "\r"), true},
        {"comment line hides FUNCTION", "C     INTEGER FUNCTION WRONG(NVARS,ICOL,IROW)\n" + kFile, true},
        {"lower-case c starts no comment", "c     INTEGER FUNCTION LOWER(NVARS,ICOL,IROW)\n" + kFile, true, "LOWER"},
        {"comment line hides DATA",
         kHead + "C     DATA IVARIABLES/4HBAD ,4H,4H,4H,0,-1,0,1/\n" + kData + kVersion + kBody, true},
        {"comment line hides IVRSN", kHead + kData + "C     DATA IVRSN/1/\n" + kVersion + kBody, true},
        {"comment lines with CR LF and tabs",
         replaceAll(kHead + "C\tcomment\n" + kData + "C\n" + kVersion + kBody, "\n", "\r\n"), true},
        {"DATA statement on a continuation line",
         "      INTEGER FUNCTION UFORM1(NVARS,ICOL,IROW)\n      INTEGER IVARIABLES(8,2),\n     1DATA IVARIABLES/\n" +
             kData.substr(kData.find('\n') + 1) + kVersion + kBody,
         true},
        {"DATA keyword spread over continuation lines",
         kHead + "      DATA\n     1 IVAR\n     2IABLES\n     3  /\n" + kData.substr(kData.find('\n') + 1) + kVersion,
         true},
        {"D that is not first on its line",
         kHead + "      X = 1 DATA IVARIABLES/4HBAD ,4H,4H,4H,0,-1,0,1/\n" + kData + kVersion, true},
        {"only DATA not first on its line", kHead + "      XDATA IVARIABLES/4HBAD ,4H,4H,4H,0,-1,0,1/\n" + kVersion,
         false},
        {"last line a comment without line end", kFile + "C     END OF DATA IVRSN/5/", true},
        {"comment without line end before IVRSN", kHead + kData + "C     DATA IVRSN/5/", false},
        {"FUNCTION missing", kData + kVersion, false},
        {"FUNCTION in lower case", replaceAll(kFile, "FUNCTION", "function"), false},
        {"file ends in the function name", "      INTEGER FUNCTION UFO", false},
        {"keyword restarts at its first letter", replaceAll(kFile, "FUNCTION", "FUNCFUNCTION"), true},
        {"function name longer than 8 characters", replaceAll(kFile, "UFORM1(", "LONGNAMEXYZ("), true, "LONGNAME"},
        {"function name in lower case", replaceAll(kFile, "UFORM1(", "uForm1("), true},
        {"IVRSN missing", kHead + kData + kBody, false},
        {"bad dimension value", kHead + "      DATA IVARIABLES/\n" + row + "4HNC  ,4H,4H,4H,0,X,0,1/\n" + kVersion,
         false},
        {"bad depth value", kHead + "      DATA IVARIABLES/\n" + row + "4HNC  ,4H,4H,4H,0,-1,+0,1/\n" + kVersion,
         false},
        {"bad IO value", kHead + "      DATA IVARIABLES/\n" + row + "4HNC  ,4H,4H,4H,0,-1,0,/\n" + kVersion, false},
        {"labels, tabs and bytes of value 255",
         "\xFF\xFF\xFF\xFF\xFF\xFF\tINTEGER FUNCTION UFORM1(NVARS,ICOL,IROW)\n"
         "100   \xFF\xFF\n"
         "C \xFF comment\n"
         "\t     DATA\tIVARIABLES/\n" +
             row + "4HNC\t\t,  4H    ,  4H    ,  4H    ,\t0,  -1,  0,  1,\n" + row +
             "4HFLOW,  4H    ,  4H    ,  4H    ,  1,  0,  0,  3/\n" + kVersion,
         true},
        {"empty list as the old writer gave it", kHead + "      DATA IVARIABLES/\n" + kVersion + kBody, true, "UFORM1",
         777, {}},
        {"empty list closed at once", kHead + "      DATA IVARIABLES//\n" + kVersion, true, "UFORM1", 777, {}},
        {"first row without a name",
         kHead + "      DATA IVARIABLES/\n" + row + "4H    ,  4H    ,  4H    ,  4H    ,  0,  -1,  0,  1,\n" + row +
             "4HFLOW,  4H    ,  4H    ,  4H    ,  1,  0,  0,  3/\n" + kVersion,
         true, "UFORM1", 777, {rowState("", 0), rowState("FLOW", 1, -1, 0, 3)}},
        {"names in longer groups",
         kHead + "      DATA IVARIABLES/\n" + row + "8HABCDEFGH,8HIJKLMNOP,0,-1,0,1,\n" + row +
             "8HABCDEFGH,8HIJKLMNOP,1HQ,0,-1,0,1,\n" + row + "40HABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMN,1,-1,0,1,\n" +
             row + "2HX1,2H_2,0,-1,0,1/\n" + kVersion,
         true, "UFORM1", 777,
         {rowState("ABCDEFGHIJKLMNOP", 0), rowState("", 0), rowState("", 1), rowState("X1_2", 0)}},
        {"references to later, missing and non-Integer rows",
         kHead + "      DATA IVARIABLES/\n" + row + "4HA,1,1,0,1,\n" + row + "4HN,0,-1,0,1,\n" + row + "4HB,1,9,0,1,\n" +
             row + "4HC,1,0,0,1,\n" + row + "4HD,1,3,0,1/\n" + kVersion,
         true, "UFORM1", 777,
         {rowState("A", 1, 1), rowState("N", 0), rowState("B", 1), rowState("C", 1), rowState("D", 1)}},
        {"unknown codes",
         kHead + "      DATA IVARIABLES/\n" + row + "4HS,3,-1,0,2,\n" + row + "4HA,7,-7,9,9,\n" + row +
             "4HB,2,-13,1,3/\n" + kVersion,
         true, "UFORM1", 777, {rowState("S", 3, -1, 0, 2), rowState("A", 1), rowState("B", 2, -13, 1, 3, 0)}},
        {"numbers with many digits",
         kHead + "      DATA IVARIABLES/\n" + row + "99999999999999999999H,4HN,0,123456789012345678901234567890," +
             "99999999999999999999,1,\n" + row + "4HM,0,-99999999999999999999,0,99999999999999999999/\n" +
             "      DATA IVRSN/99999999999999999999/\n",
         true, "UFORM1", INT32_MAX, {rowState("N", 0), rowState("M", 0)}},
        {"lowest version", replaceAll(kFile, "IVRSN/777/", "IVRSN/-99999999999/"), true, "UFORM1", INT32_MIN},
        {"version with a sign", replaceAll(kFile, "IVRSN/777/", "IVRSN/+42/"), true, "UFORM1", 42},
        {"version after a line end", replaceAll(kFile, "IVRSN/777/", "IVRSN/\n   \t 17/"), true, "UFORM1", 17},
        {"version that is no number", replaceAll(kFile, "IVRSN/777/", "IVRSN/X/"), true, "UFORM1", kCreationTime},
    };
}

class FortranReaderTest : public UvtTest {
protected:
    ScratchDirectory scratch;
};

void expectState(uintptr_t table, const ReadCase& c, const char* how) {
    const TableState state = stateOf(table);
    EXPECT_EQ(state.rows, c.rows) << how << ": " << c.label;
    EXPECT_EQ(state.functionName, c.functionName) << how << ": " << c.label;
    if (c.version == kCreationTime) {
        EXPECT_LE(std::abs(static_cast<long long>(state.timeStamp) - static_cast<long long>(std::time(nullptr))), 100)
            << how << ": " << c.label;
    } else {
        EXPECT_EQ(state.timeStamp, c.version) << how << ": " << c.label;
    }
}

TEST_F(FortranReaderTest, LoadsWhatTheFileHolds) {
    int n = 0;
    int loaded = 0;
    for (const ReadCase& c : readCases()) {
        const std::filesystem::path file = scratch.file("case" + std::to_string(n++) + ".f");
        writeBytes(file, c.text);
        const uintptr_t table = loadFrom(file);
        EXPECT_EQ(table != 0, c.loads) << c.label;
        if (table == 0) continue;
        ++loaded;
        expectState(table, c, "load");
        EXPECT_EQ(header(table).hostIds[0], 0) << c.label;
        EXPECT_EQ(header(table).hostIds[1], 0) << c.label;
        EXPECT_EQ(header(table).configInterface, nullptr) << c.label;
        DeleteUVT(table);
    }
    // Only the deletions of loaded tables tell the host of releases.
    EXPECT_EQ(host.releaseEvents, loaded);
}

// An import into an empty, fresh table reads the same as a load, whether or
// not the load would succeed.
TEST_F(FortranReaderTest, ImportIntoAFreshTableReadsTheSame) {
    int n = 0;
    for (const ReadCase& c : readCases()) {
        if (!c.loads) continue;
        const std::filesystem::path file = scratch.file("case" + std::to_string(n++) + ".f");
        writeBytes(file, c.text);
        const uintptr_t table = CreateUVT(nullptr);
        importFrom(table, file);
        expectState(table, c, "import");
        DeleteUVT(table);
    }
}

struct PartialCase {
    const char* label;
    std::string text;
    std::vector<RowState> rows;  // what an import keeps
    const char* functionName;
};

TEST_F(FortranReaderTest, FailedImportKeepsWhatItRead) {
    const std::string row = "     1  ";
    const std::vector<PartialCase> cases = {
        {"IVRSN missing", kHead + kData + kBody, kRows, "UFORM1"},
        {"bad IO value of the second row",
         kHead + "      DATA IVARIABLES/\n" + row + "4HNC,0,-1,0,1,\n" + row + "4HFLOW,1,0,0,X/\n" + kVersion,
         {rowState("NC", 0), rowState("FLOW", 1, 0)},
         "UFORM1"},
        {"bad dimension of a row that a forward reference names",
         kHead + "      DATA IVARIABLES/\n" + row + "4HA,1,1,0,1,\n" + row + "4HN,0,X/\n" + kVersion,
         {rowState("A", 1, 1), rowState("N", 0)},
         "UFORM1"},
        {"DATA missing", kHead + kVersion + kBody, {}, "UFORM1"},
        {"FUNCTION missing", kData + kVersion, {}, ""},
    };
    int n = 0;
    for (const PartialCase& c : cases) {
        const std::filesystem::path file = scratch.file("partial" + std::to_string(n++) + ".f");
        writeBytes(file, c.text);
        EXPECT_EQ(loadFrom(file), 0u) << c.label;
        const uintptr_t table = CreateUVT(nullptr);
        header(table).timeStamp = 3;
        importFrom(table, file);
        const TableState state = stateOf(table);
        EXPECT_EQ(state.rows, c.rows) << c.label;
        EXPECT_EQ(state.functionName, c.functionName) << c.label;
        EXPECT_EQ(state.timeStamp, 3) << c.label;
        DeleteUVT(table);
    }
}

}  // namespace
}  // namespace uvt_test
