// The function name: set directly, and derived from the path of a dump.
#include "fortran_files.h"

#include <ctime>

namespace uvt_test {
namespace {

class FunctionNameTest : public UvtTest {};

struct NameCase {
    const char* text;
    int32_t result;
    const char* stored;  // the function name afterwards ("OLD" = unchanged)
};

TEST_F(FunctionNameTest, ResultsAndStoredNameWithoutInterface) {
    const std::vector<NameCase> cases = {
        {"pump1", 5, "PUMP1"},         {"ABCDEFGHI", 9, "OLD"},   {"", 0, "OLD"},
        {"abcdefgh", 8, "ABCDEFGH"},   {"x", 1, "X"},            {"a-b.c", 5, "A-B.C"},
        {"thirty_two_characters_long__", 28, "OLD"},
    };
    for (const NameCase& c : cases) {
        const uintptr_t table = CreateUVT(nullptr);
        ASSERT_EQ(setFunctionName(table, "old"), 3);
        EXPECT_EQ(setFunctionName(table, c.text), c.result) << c.text;
        EXPECT_STREQ(header(table).functionName, c.stored) << c.text;
        DeleteUVT(table);
    }
}

TEST_F(FunctionNameTest, LeavesTheCallersTextAlone) {
    const uintptr_t table = CreateUVT(nullptr);
    Bstr name("pump");
    EXPECT_EQ(dfnSetFunctionName(table, name.variant()), 4);
    EXPECT_EQ(name.ascii(), "pump");
    EXPECT_STREQ(header(table).functionName, "PUMP");
    DeleteUVT(table);
}

TEST_F(FunctionNameTest, MissingTableOrTextChangesNothing) {
    Bstr name("pump");
    EXPECT_EQ(dfnSetFunctionName(0, name.variant()), 0);

    const uintptr_t table = CreateUVT(nullptr);
    VARIANT none;
    VariantInit(&none);
    none.vt = VT_BSTR;
    none.bstrVal = nullptr;
    EXPECT_EQ(dfnSetFunctionName(table, none), 0);
    EXPECT_STREQ(header(table).functionName, "");
    DeleteUVT(table);
}

TEST_F(FunctionNameTest, AcceptedNameRunsTheSaveStepAndReturnsItsResult) {
    ConfigObject config;
    config.saveResult = 77;
    const uintptr_t table = makeTable({{"NC", "Integer"}});
    UVTSetConfigInterface(table, config.object());
    header(table).timeStamp = 5;
    config.clearSaves();

    EXPECT_EQ(setFunctionName(table, "uform1"), 77);
    EXPECT_EQ(config.beginSaves, 1);
    EXPECT_GT(header(table).timeStamp, 5);
    const std::string expected =
        "1$0#" + std::to_string(header(table).timeStamp) + "#6$UFORM1" + "2$NC0$-1$0$1$";
    EXPECT_EQ(config.saved(), expected);

    // Refused names save nothing.
    config.clearSaves();
    EXPECT_EQ(setFunctionName(table, "ninechars"), 9);
    EXPECT_EQ(setFunctionName(table, ""), 0);
    EXPECT_EQ(config.beginSaves, 0);
    DeleteUVT(table);
}

// The file of a dump names the function.
class DerivedNameTest : public UvtTest {
protected:
    ScratchDirectory scratch;
};

TEST_F(DerivedNameTest, LastComponentUpToItsFirstDot) {
    struct Case {
        std::string file;
        const char* name;  // "OLD" = the previous name stays
    };
    std::vector<Case> cases = {
        {"pumpmodel.f", "PUMPMODE"}, {"uf1.for", "UF1"},       {"Mixed.Case.f", "MIXED"},
        {"noext", "NOEXT"},          {"abcdefghijk", "ABCDEFGH"}, {".f", "OLD"},
    };
#ifndef _WIN32
    // Backslash and colon separate components too, wherever the host's
    // paths come from; here they can be part of a file name.
    cases.push_back({"D:uf2.f", "UF2"});
    cases.push_back({"work\\uf3.f", "UF3"});
#endif
    for (const Case& c : cases) {
        const uintptr_t table = CreateUVT(nullptr);
        ASSERT_EQ(setFunctionName(table, "old"), 3);
        ASSERT_EQ(dumpTo(table, scratch.file(c.file)), 0) << c.file;
        EXPECT_STREQ(header(table).functionName, c.name) << c.file;
        const std::string text = readText(scratch.file(c.file));
        EXPECT_EQ(text.substr(0, text.find('\n') + 1),
                  "      INTEGER FUNCTION " + std::string(c.name) + "(NVARS,ICOL,IROW)\n")
            << c.file;
        DeleteUVT(table);
    }
}

TEST_F(DerivedNameTest, PathWithoutSeparator) {
    const std::filesystem::path kept = std::filesystem::current_path();
    std::filesystem::current_path(scratch.path());
    const uintptr_t table = CreateUVT(nullptr);
    const int32_t result = dumpTo(table, std::u16string(u"uf2.f"));
    std::filesystem::current_path(kept);
    EXPECT_EQ(result, 0);
    EXPECT_STREQ(header(table).functionName, "UF2");
    EXPECT_TRUE(std::filesystem::exists(scratch.file("uf2.f")));
    DeleteUVT(table);
}

TEST_F(DerivedNameTest, EmptyNameWithoutPreviousNameLeavesTheNameOut) {
    const uintptr_t table = makeTable({{"X"}});
    header(table).timeStamp = 9;
    ASSERT_EQ(dumpTo(table, scratch.file(".f")), 0);
    const std::string text = readText(scratch.file(".f"));
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "      INTEGER FUNCTION (NVARS,ICOL,IROW)\n");
    EXPECT_NE(text.find("\n          =IVRSN\n"), std::string::npos);
    EXPECT_NE(text.find("\n          =IVARIABLES(ICOL,IROW)\n"), std::string::npos);
    DeleteUVT(table);
}

TEST_F(DerivedNameTest, DumpSavesOnceWhenItNamesTheFunction) {
    ConfigObject config;
    const uintptr_t table = makeTable({{"NC", "Integer"}});
    UVTSetConfigInterface(table, config.object());
    header(table).timeStamp = 5;
    config.clearSaves();

    ASSERT_EQ(dumpTo(table, scratch.file("uform1.f")), 0);
    EXPECT_EQ(config.beginSaves, 1);
    // The save renewed the time stamp before the file was written.
    const int32_t stamp = header(table).timeStamp;
    EXPECT_GT(stamp, 5);
    EXPECT_NE(readText(scratch.file("uform1.f")).find("      DATA IVRSN/" + std::to_string(stamp) + "/\n"),
              std::string::npos);
    EXPECT_NE(config.saved().find("#6$UFORM1"), std::string::npos);

    config.clearSaves();
    ASSERT_EQ(dumpTo(table, scratch.file(".f")), 0);
    EXPECT_EQ(config.beginSaves, 0);
    EXPECT_STREQ(header(table).functionName, "UFORM1");
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
