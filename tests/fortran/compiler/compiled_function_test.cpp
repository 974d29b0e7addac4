// The function a dump writes, compiled by a real FORTRAN compiler and called
// for the version and every row and column, answers what the table holds.
#include "fortran_files.h"

#include <cstdlib>
#include <random>
#include <sstream>

namespace uvt_test {
namespace {

bool compilerPresent() { return std::system("gfortran --version >/dev/null 2>&1") == 0; }

// Built by appending: GCC 12 at -O3 reports a false overlap (-Wrestrict)
// inside operator+ of a literal and a temporary string.
std::string quoted(const std::filesystem::path& path) {
    std::string text(1, '\'');
    text.append(path.string());
    text.push_back('\'');
    return text;
}

// What the driver prints for a table.
std::string expectedOutput(uintptr_t table) {
    const TableState state = stateOf(table);
    std::ostringstream out;
    out << "NVARS " << state.rows.size() << "\nIVRSN " << state.timeStamp << "\n";
    for (std::size_t i = 0; i < state.rows.size(); ++i) {
        const RowState& r = state.rows[i];
        std::string name = r.name.substr(0, 16);
        name.resize(16, ' ');
        out << "ROW " << i + 1 << " |" << name << "| " << r.type << " " << r.dimension << " " << r.depth << " "
            << r.io << "\n";
    }
    return out.str();
}

class CompiledFunctionTest : public UvtTest {
protected:
    void SetUp() override {
        UvtTest::SetUp();
        if (!compilerPresent()) GTEST_SKIP() << "gfortran is not installed: the generated function is not compiled";
    }

    // Dumps the table as UVTTAB, compiles it with the driver, runs it and
    // compares what it prints with the table.
    void check(uintptr_t table, const std::string& label) {
        ScratchDirectory dir;
        ASSERT_EQ(dumpTo(table, dir.file("uvttab.f")), 0) << label;
        ASSERT_STREQ(header(table).functionName, "UVTTAB");
        const std::string compile = "gfortran -std=legacy -o " + quoted(dir.file("driver")) + " " +
                                    quoted(UVT_FORTRAN_DRIVER) + " " + quoted(dir.file("uvttab.f")) + " >" +
                                    quoted(dir.file("compile.log")) + " 2>&1";
        ASSERT_EQ(std::system(compile.c_str()), 0)
            << label << ": does not compile\n"
            << readText(dir.file("compile.log")) << "\n"
            << readText(dir.file("uvttab.f"));
        const std::string run = quoted(dir.file("driver")) + " >" + quoted(dir.file("output.txt")) + " 2>&1";
        ASSERT_EQ(std::system(run.c_str()), 0) << label << "\n" << readText(dir.file("output.txt"));
        EXPECT_EQ(readText(dir.file("output.txt")), expectedOutput(table)) << label << "\n"
                                                                            << readText(dir.file("uvttab.f"));
    }
};

TEST_F(CompiledFunctionTest, TablesWithEveryKindOfRow) {
    // Short names, every type, host dimensions, nesting, references to
    // earlier, later and own rows, and one to a row that is gone (-1).
    const uintptr_t table = makeTable({
        {"GONE", "Integer"},
        {"A", "Real", "Scalar"},
        {"NC", "Integer"},
        {"S", "Structure", "Number of Components", "0", "Output Only"},
        {"IN_1", "Character", "NC", "1", "Input and Output"},
        {"FLOWRATE_OF_FEED", "Real", "Number of Work Outlet Streams", "1"},
        {"M", "Integer", "Scalar", "0", "Output Only"},
        {"ABCDEFGHIJKLMNO", "Real", "GONE"},
    });
    ASSERT_EQ(setCell(table, 2, 1, "M"), kEmpty);
    ASSERT_EQ(setCell(table, 2, 6, "M"), kEmpty);
    dfnDeleteRow(table, 0);
    header(table).timeStamp = 1234567890;
    check(table, "every kind of row");
    header(table).timeStamp = -42;
    check(table, "negative version");
    DeleteUVT(table);

    const uintptr_t empty = CreateUVT(nullptr);
    header(empty).timeStamp = 7;
    check(empty, "no rows");
    DeleteUVT(empty);
}

TEST_F(CompiledFunctionTest, GeneratedTables) {
    static const char* const kTypes[] = {"Integer", "Real", "Character", "Structure"};
    static const char* const kIo[] = {"Input Only", "Output Only", "Input and Output"};
    std::mt19937 random(31337);
    for (int n = 0; n < 6; ++n) {
        const uintptr_t table = CreateUVT(nullptr);
        const int rows = 1 + static_cast<int>(random() % 30);
        for (int i = 0; i < rows; ++i) {
            ASSERT_NE(dfnInsertRow(table, i), 0);
            std::string name(1, static_cast<char>('A' + random() % 26));
            const std::size_t length = random() % 14;
            for (std::size_t k = 0; k < length; ++k) name += "ABCXYZ_0123456789"[random() % 17];
            name += std::to_string(i);
            ASSERT_EQ(setCell(table, 0, i, name.c_str()), kEmpty);
            ASSERT_EQ(setCell(table, 1, i, kTypes[random() % 4]), kEmpty);
        }
        for (int i = 0; i < rows; ++i) {
            const int target = static_cast<int>(random() % static_cast<unsigned>(rows));
            if (getCell(table, 1, target) == "Integer" && random() % 2 == 0) {
                ASSERT_EQ(setCell(table, 2, i, getCell(table, 0, target).c_str()), kEmpty);
            }
            ASSERT_EQ(setCell(table, 4, i, kIo[random() % 3]), kEmpty);
        }
        header(table).timeStamp = static_cast<int32_t>(random());
        check(table, "generated table " + std::to_string(n));
        DeleteUVT(table);
    }
}

}  // namespace
}  // namespace uvt_test
