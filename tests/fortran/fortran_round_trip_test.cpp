// A dumped table loads back as the same table, for many generated tables,
// and an import appends the same rows after those a table already has.
#include "fortran_files.h"

#include <random>

namespace uvt_test {
namespace {

const char* const kTypes[] = {"Integer", "Real", "Character", "Structure"};
const char* const kHostDimensions[] = {"Number of Components", "Number of Inlet Streams",
                                       "Number of Heat Outlet Streams", "Number of Work Inlet Streams"};
const char* const kIo[] = {"Input Only", "Output Only", "Input and Output"};

std::string randomName(std::mt19937& random, int index) {
    static const char kFirst[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    static const char kLater[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_";
    // Unique through the index in the last characters; 1 to 16 characters.
    const std::string suffix = std::to_string(index);
    const std::size_t length = std::uniform_int_distribution<std::size_t>(1, 16 - suffix.size())(random);
    std::string name(1, kFirst[random() % (sizeof kFirst - 1)]);
    while (name.size() < length) name += kLater[random() % (sizeof kLater - 1)];
    return name + suffix;
}

// Rows are named and typed first and get their other cells afterwards, so
// that dimensions may name later rows as well as earlier ones and the row
// itself.
uintptr_t generateTable(std::mt19937& random) {
    const uintptr_t table = CreateUVT(nullptr);
    const int rows = std::uniform_int_distribution<int>(1, 24)(random);
    std::vector<int> integers;
    for (int i = 0; i < rows; ++i) {
        EXPECT_NE(dfnInsertRow(table, i), 0);
        EXPECT_EQ(setCell(table, 0, i, randomName(random, i).c_str()), kEmpty);
        const int type = static_cast<int>(random() % 4);
        EXPECT_EQ(setCell(table, 1, i, kTypes[type]), kEmpty);
        if (type == 0) integers.push_back(i);
    }
    int previousDepth = 0;
    for (int i = 0; i < rows; ++i) {
        const unsigned pick = random() % 4;
        std::string dimension = "Scalar";
        if (pick == 1) dimension = kHostDimensions[random() % 4];
        if (pick >= 2 && !integers.empty()) dimension = getCell(table, 0, integers[random() % integers.size()]);
        EXPECT_EQ(setCell(table, 2, i, dimension.c_str()), kEmpty);
        const int depth = i == 0 ? 0 : static_cast<int>(random() % static_cast<unsigned>(std::min(previousDepth + 2, 9)));
        EXPECT_EQ(setCell(table, 3, i, std::to_string(depth).c_str()), kEmpty);
        previousDepth = depth;
        EXPECT_EQ(setCell(table, 4, i, kIo[random() % 3]), kEmpty);
    }
    header(table).timeStamp = static_cast<int32_t>(random());
    return table;
}

class FortranRoundTripTest : public UvtTest {
protected:
    ScratchDirectory scratch;
};

TEST_F(FortranRoundTripTest, GeneratedTablesLoadBackTheSame) {
    std::mt19937 random(20240611);
    int forwardReferences = 0;
    for (int n = 0; n < 150; ++n) {
        const uintptr_t table = generateTable(random);
        const std::string name = "tab" + std::to_string(n);
        ASSERT_EQ(dumpTo(table, scratch.file(name + ".f")), 0);
        const TableState written = stateOf(table);
        for (std::size_t i = 0; i < written.rows.size(); ++i) {
            if (written.rows[i].dimension > static_cast<int32_t>(i)) ++forwardReferences;
        }

        const std::string text = readBytes(scratch.file(name + ".f"));
        const std::string crlf = [&] {
            std::string converted;
            for (char c : readText(scratch.file(name + ".f"))) {
                if (c == '\n') converted += '\r';
                converted += c;
            }
            return converted;
        }();
        // A comment line after every line, full of the keywords.
        const std::string commented = [&] {
            std::string converted = "C     INTEGER FUNCTION WRONG(A)\n";
            for (char c : readText(scratch.file(name + ".f"))) {
                converted += c;
                if (c == '\n') converted += "C     DATA IVARIABLES/4HX,0,-1,0,1/ DATA IVRSN/1/\n";
            }
            return converted;
        }();
        writeBytes(scratch.file(name + "_crlf.f"), crlf);
        writeBytes(scratch.file(name + "_comments.f"), commented);

        for (const std::string variant : {"", "_crlf", "_comments"}) {
            const uintptr_t loaded = loadFrom(scratch.file(name + variant + ".f"));
            ASSERT_NE(loaded, 0u) << name << variant;
            TableState expected = written;
            EXPECT_EQ(stateOf(loaded), expected) << name << variant;
            // Written again under the same name, it gives the same file.
            ScratchDirectory again;
            ASSERT_EQ(dumpTo(loaded, again.file(name + ".f")), 0);
            EXPECT_EQ(readBytes(again.file(name + ".f")), text) << name << variant;
            DeleteUVT(loaded);
        }
        DeleteUVT(table);
    }
    EXPECT_GT(forwardReferences, 50) << "the generator should produce forward references";
}

// An import into a table with rows maps the file's row numbers to the rows
// it appends, and keeps the table's name and version.
TEST_F(FortranRoundTripTest, ImportAppendsAfterTheRowsAlreadyThere) {
    std::mt19937 random(777);
    for (int n = 0; n < 40; ++n) {
        const uintptr_t source = generateTable(random);
        ASSERT_EQ(dumpTo(source, scratch.file("src.f")), 0);
        const TableState written = stateOf(source);

        const uintptr_t table = makeTable({{"FIRST", "Integer"}, {"SECOND", "Integer"}, {"THIRD", "Real", "FIRST"}});
        // Ids no longer equal row numbers.
        dfnDeleteRow(table, 1);
        ASSERT_EQ(setFunctionName(table, "keep"), 4);
        header(table).timeStamp = 11;
        const TableState before = stateOf(table);

        importFrom(table, scratch.file("src.f"));
        TableState expected = before;
        for (RowState r : written.rows) {
            if (r.dimension >= 0) r.dimension += 2;
            if (r.parentRow >= 0) r.parentRow += 2;
            expected.rows.push_back(r);
        }
        EXPECT_EQ(stateOf(table), expected) << n;
        DeleteUVT(table);
        DeleteUVT(source);
    }
}

TEST_F(FortranRoundTripTest, ImportIntoAnEmptyTableTakesNameAndVersion) {
    const uintptr_t source = makeTable({{"NC", "Integer"}, {"FLOW", "Real", "NC"}});
    header(source).timeStamp = 99;
    ASSERT_EQ(dumpTo(source, scratch.file("uform1.f")), 0);

    // A table that had rows once: ids start above 0.
    const uintptr_t table = makeTable({{"GONE"}});
    dfnDeleteRow(table, 0);
    importFrom(table, scratch.file("uform1.f"));
    EXPECT_EQ(stateOf(table), stateOf(source));

    // Twice: the second copy's names exist already and are refused, and its
    // dimension, naming a row without a name, stays scalar.
    importFrom(table, scratch.file("uform1.f"));
    ASSERT_EQ(dfnCountRows(table), 4);
    EXPECT_EQ(getCell(table, 0, 2), "");
    EXPECT_EQ(getCell(table, 0, 3), "");
    EXPECT_EQ(getCell(table, 2, 3), "Scalar");
    EXPECT_EQ(getCell(table, 2, 1), "NC");
    EXPECT_EQ(header(table).timeStamp, 99);
    DeleteUVT(table);
    DeleteUVT(source);
}

TEST_F(FortranRoundTripTest, ImportRunsTheSaveStepOfTheEditsItMakes) {
    const uintptr_t source = makeTable({{"NC", "Integer"}, {"FLOW", "Real", "NC"}});
    ASSERT_EQ(dumpTo(source, scratch.file("uform1.f")), 0);

    ConfigObject config;
    const uintptr_t table = makeTable({{"A"}});
    UVTSetConfigInterface(table, config.object());
    config.clearSaves();
    importFrom(table, scratch.file("uform1.f"));
    EXPECT_GE(config.beginSaves, 2);
    const std::string saved = config.saved();
    EXPECT_EQ(saved.substr(0, 2), "3$");
    EXPECT_NE(saved.find("#6$UFORM11$A1$-1$0$1$2$NC0$-1$0$1$4$FLOW1$1$0$1$"), std::string::npos) << saved;
    DeleteUVT(table);
    DeleteUVT(source);
}

TEST_F(FortranRoundTripTest, MissingTableOrPathReadsNothing) {
    const uintptr_t source = makeTable({{"NC", "Integer"}});
    ASSERT_EQ(dumpTo(source, scratch.file("uform1.f")), 0);
    importFrom(0, scratch.file("uform1.f"));

    const uintptr_t table = CreateUVT(nullptr);
    VARIANT none;
    VariantInit(&none);
    none.vt = VT_BSTR;
    none.bstrVal = nullptr;
    dfnImportFortran(table, none);
    importFrom(table, std::u16string());
    importFrom(table, scratch.file("missing.f"));
    EXPECT_EQ(dfnLoadFromFORTRAN(none), 0u);
    EXPECT_EQ(loadFrom(std::u16string()), 0u);
    EXPECT_EQ(loadFrom(scratch.file("missing.f")), 0u);
    EXPECT_EQ(dfnCountRows(table), 0);
    EXPECT_STREQ(header(table).functionName, "");
    DeleteUVT(table);
    DeleteUVT(source);
}

}  // namespace
}  // namespace uvt_test
