// The FORTRAN function a dump writes, line for line, and the dumps that are
// refused.
#include "fortran_files.h"

namespace uvt_test {
namespace {

class FortranWriterTest : public UvtTest {
protected:
    ScratchDirectory scratch;
};

std::string tail(const std::string& name, int32_t version) {
    return "      DATA IVRSN/" + std::to_string(version) +
           "/\n"
           "      NVARS = IPARAM_NVARS\n"
           "      IF(IROW .EQ. 0) THEN\n"
           "          " + name + "=IVRSN\n"
           "      ELSE IF(IROW .LE. NVARS) THEN\n"
           "          " + name + "=IVARIABLES(ICOL,IROW)\n"
           "      ENDIF\n"
           "      RETURN\n"
           "      END\n";
}

TEST_F(FortranWriterTest, WritesEveryRowAsHollerithWordsAndCodes) {
    const uintptr_t table = makeTable({
        {"NC", "Integer"},
        {"FLOW", "Real", "NC", "0", "Input and Output"},
        {"ABCDEFGHIJKLMNOP", "Structure", "Number of Work Outlet Streams", "0", "Output Only"},
        {"in_1", "Character", "Scalar", "1", "Input Only"},
    });
    header(table).timeStamp = 1234567890;
    ASSERT_EQ(dumpTo(table, scratch.file("uform1.f")), 0);
    EXPECT_EQ(readText(scratch.file("uform1.f")),
              "      INTEGER FUNCTION UFORM1(NVARS,ICOL,IROW)\n"
              "      PARAMETER (IPARAM_NVARS=4)\n"
              "      INTEGER IVARIABLES(8,IPARAM_NVARS), IVRSN\n"
              "      DATA IVARIABLES/\n"
              "     1  4HNC  ,  4H    ,  4H    ,  4H    ,  0,  -1,  0,  1,\n"
              "     1  4HFLOW,  4H    ,  4H    ,  4H    ,  1,  0,  0,  3,\n"
              "     1  4HABCD,  4HEFGH,  4HIJKL,  4HMNOP,  3,  -26,  0,  2,\n"
              "     1  4HIN_1,  4H    ,  4H    ,  4H    ,  2,  -1,  1,  1/\n"
              "\n" +
                  tail("UFORM1", 1234567890));
    DeleteUVT(table);
}

TEST_F(FortranWriterTest, DimensionsAreWrittenAsRowNumbers) {
    // A reference to a later row, to the row itself, and one whose row is
    // gone (-1); ids differ from row numbers after the deletion.
    const uintptr_t table = makeTable({{"GONE", "Integer"}, {"A"}, {"B", "Integer"}, {"N", "Integer"}});
    ASSERT_EQ(setCell(table, 2, 1, "N"), kEmpty);
    ASSERT_EQ(setCell(table, 2, 2, "B"), kEmpty);
    ASSERT_EQ(setCell(table, 2, 3, "GONE"), kEmpty);
    dfnDeleteRow(table, 0);
    header(table).timeStamp = -7;
    ASSERT_EQ(dumpTo(table, scratch.file("refs.f")), 0);
    const std::string text = readText(scratch.file("refs.f"));
    EXPECT_NE(text.find("     1  4HA   ,  4H    ,  4H    ,  4H    ,  1,  2,  0,  1,\n"), std::string::npos) << text;
    EXPECT_NE(text.find("     1  4HB   ,  4H    ,  4H    ,  4H    ,  0,  1,  0,  1,\n"), std::string::npos) << text;
    EXPECT_NE(text.find("     1  4HN   ,  4H    ,  4H    ,  4H    ,  0,  -1,  0,  1/\n"), std::string::npos) << text;
    EXPECT_NE(text.find("      DATA IVRSN/-7/\n"), std::string::npos);
    DeleteUVT(table);
}

TEST_F(FortranWriterTest, TableWithoutRowsKeepsOneColumnOfZeros) {
    const uintptr_t table = CreateUVT(nullptr);
    header(table).timeStamp = 42;
    ASSERT_EQ(dumpTo(table, scratch.file("empty.f")), 0);
    EXPECT_EQ(readText(scratch.file("empty.f")),
              "      INTEGER FUNCTION EMPTY(NVARS,ICOL,IROW)\n"
              "      PARAMETER (IPARAM_NVARS=0)\n"
              "      INTEGER IVARIABLES(8,1), IVRSN\n"
              "      DATA IVARIABLES/\n"
              "     1  8*0/\n"
              "\n" +
                  tail("EMPTY", 42));

    const uintptr_t loaded = loadFrom(scratch.file("empty.f"));
    ASSERT_NE(loaded, 0u);
    EXPECT_EQ(dfnCountRows(loaded), 0);
    EXPECT_STREQ(header(loaded).functionName, "EMPTY");
    EXPECT_EQ(header(loaded).timeStamp, 42);
    DeleteUVT(loaded);
    DeleteUVT(table);
}

TEST_F(FortranWriterTest, RefusedDumpsWriteNothingAndKeepTheName) {
    const uintptr_t table = makeTable({{"X"}});
    ASSERT_EQ(setFunctionName(table, "old"), 3);
    const std::filesystem::path missingDirectory = scratch.file("no_such_directory") / "uf.f";

    VARIANT none;
    VariantInit(&none);
    none.vt = VT_BSTR;
    none.bstrVal = nullptr;
    EXPECT_EQ(dfnDumpFORTRAN(table, none), 1);
    EXPECT_EQ(dumpTo(table, std::u16string()), 1);
    EXPECT_EQ(dumpTo(table, missingDirectory), 1);
    EXPECT_EQ(dumpTo(0, scratch.file("nothing.f")), 1);
    EXPECT_STREQ(header(table).functionName, "OLD");
    EXPECT_TRUE(std::filesystem::is_empty(scratch.path()));
    DeleteUVT(table);
}

// The converted path has 159 bytes of room; a longer one is refused whole
// rather than cut, which would name another file.
TEST_F(FortranWriterTest, PathsLongerThanTheBufferAreRefused) {
    const uintptr_t table = makeTable({{"X"}});
    const std::u16string directory = (scratch.path() / "").u16string();
    ASSERT_LT(directory.size(), 120u) << "the temporary directory is too deep for this test";
    const auto pathOf = [&](std::size_t bytes) { return directory + std::u16string(bytes - directory.size(), u'p'); };

    EXPECT_EQ(dumpTo(table, pathOf(159)), 0);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(pathOf(159))));
    EXPECT_STREQ(header(table).functionName, "PPPPPPPP");

    ASSERT_EQ(setFunctionName(table, "old"), 3);
    EXPECT_EQ(dumpTo(table, pathOf(160)), 1);
    EXPECT_EQ(dumpTo(table, pathOf(400)), 1);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(pathOf(160))));
    EXPECT_STREQ(header(table).functionName, "OLD");

    // The readers refuse such paths as well, even when the file exists.
    const uintptr_t loaded = loadFrom(pathOf(159));
    EXPECT_NE(loaded, 0u);
    DeleteUVT(loaded);
    std::filesystem::copy_file(std::filesystem::path(pathOf(159)), std::filesystem::path(pathOf(200)));
    EXPECT_EQ(loadFrom(pathOf(200)), 0u);
    importFrom(table, pathOf(200));
    EXPECT_EQ(dfnCountRows(table), 1);
    DeleteUVT(table);
}

TEST_F(FortranWriterTest, AFailedWriteIsReported) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no device that refuses writes here";
    const uintptr_t table = makeTable({{"X"}});
    EXPECT_EQ(dumpTo(table, std::filesystem::path("/dev/full")), 1);
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
