// Truncated, garbled and hostile files, and memory running out, never crash
// the reader and never leak: the fixture checks every block after each test.
#include "fortran_files.h"

#include <random>

namespace uvt_test {
namespace {

class FortranHostileTest : public UvtTest {
protected:
    // A table with host dimensions, structures and references both ways.
    std::string validFile() {
        const uintptr_t table = makeTable({
            {"A", "Real", "Scalar"},
            {"N", "Integer"},
            {"S", "Structure", "Number of Components"},
            {"M", "Integer", "Scalar", "1"},
            {"FLOWRATE_OF_FEED", "Character", "N", "1", "Input and Output"},
        });
        EXPECT_EQ(setCell(table, 2, 0, "M"), kEmpty);
        header(table).timeStamp = 1700000000;
        EXPECT_EQ(dumpTo(table, scratch.file("valid.f")), 0);
        DeleteUVT(table);
        return readBytes(scratch.file("valid.f"));
    }

    // Loads and imports `bytes`; true when the load gave a table.
    bool readBoth(const std::string& bytes) {
        writeBytes(scratch.file("input.f"), bytes);
        const uintptr_t loaded = loadFrom(scratch.file("input.f"));
        if (loaded != 0) {
            EXPECT_LE(dfnCountRows(loaded), static_cast<int32_t>(bytes.size()));
            DeleteUVT(loaded);
        }
        const uintptr_t table = makeTable({{"OLD", "Integer"}});
        importFrom(table, scratch.file("input.f"));
        EXPECT_EQ(getCell(table, 0, 0), "OLD");
        DeleteUVT(table);
        return loaded != 0;
    }

    ScratchDirectory scratch;
};

TEST_F(FortranHostileTest, EveryPrefixOfAValidFile) {
    const std::string text = validFile();
    const std::size_t versionEnd = text.find("DATA IVRSN/") + std::string("DATA IVRSN/").size();
    ASSERT_NE(text.find("DATA IVRSN/"), std::string::npos);
    for (std::size_t length = 0; length <= text.size(); ++length) {
        // Only a file that reaches the version keyword loads.
        EXPECT_EQ(readBoth(text.substr(0, length)), length >= versionEnd) << length;
    }
}

TEST_F(FortranHostileTest, RandomBytesAndMutations) {
    const std::string text = validFile();
    std::mt19937 random(4242);
    for (int n = 0; n < 300; ++n) {
        std::string bytes(random() % 600, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        readBoth(bytes);
        // Random bytes drawn from what the reader looks for.
        static const char kAlphabet[] = "0123456789H,-/ \n\rC\tDATAIVRSNFUNCTION(\xFF";
        for (char& c : bytes) c = kAlphabet[random() % (sizeof kAlphabet - 1)];
        readBoth(bytes);
        std::string mutated = text;
        for (int k = 0; k < 4; ++k) mutated[random() % mutated.size()] = static_cast<char>(random());
        readBoth(mutated);
    }
}

TEST_F(FortranHostileTest, VeryLongLinesNamesAndNumbers) {
    const std::string head = "      INTEGER FUNCTION LONG(NVARS,ICOL,IROW)\n      DATA IVARIABLES/\n     1  ";
    const std::string digits(5000, '9');
    const std::string letters(100000, 'Q');
    const std::vector<std::string> files = {
        std::string(200000, 'X'),
        std::string(200000, '\xFF'),
        "      INTEGER FUNCTION " + letters,
        head + "100000H" + letters + ",0,-1,0,1/\n      DATA IVRSN/1/\n",
        head + digits + "H" + letters + "," + digits + "," + digits + "," + digits + "," + digits +
            "/\n      DATA IVRSN/" + digits + "/\n",
        head + "4HA,0,-" + digits + ",0,1/\n      DATA IVRSN/-" + digits + "/\n",
        head + [] {
            std::string groups;
            for (int i = 0; i < 20000; ++i) groups += "1HZ,";
            return groups;
        }() + "0,-1,0,1/\n      DATA IVRSN/1/\n",
        head + [] {
            std::string rows;
            for (int i = 0; i < 300; ++i) rows += "4HR" + std::to_string(i) + ",0," + std::to_string(i + 1) + ",0,1,";
            return rows;
        }() + "4HEND,0,0,0,1/\n      DATA IVRSN/1/\n",
    };
    for (const std::string& file : files) readBoth(file);

    // A name far beyond the name buffer is cut and refused; the row stays.
    writeBytes(scratch.file("long.f"), files[3]);
    const uintptr_t loaded = loadFrom(scratch.file("long.f"));
    ASSERT_NE(loaded, 0u);
    ASSERT_EQ(dfnCountRows(loaded), 1);
    EXPECT_EQ(getCell(loaded, 0, 0), "");
    EXPECT_EQ(getCell(loaded, 1, 0), "Integer");
    DeleteUVT(loaded);

    // Many rows that each name the next one, resolved once all are read.
    writeBytes(scratch.file("chain.f"), files[7]);
    const uintptr_t chain = loadFrom(scratch.file("chain.f"));
    ASSERT_NE(chain, 0u);
    ASSERT_EQ(dfnCountRows(chain), 301);
    EXPECT_EQ(getCell(chain, 2, 0), "R1");
    EXPECT_EQ(getCell(chain, 2, 299), "END");
    EXPECT_EQ(getCell(chain, 2, 300), "R0");
    DeleteUVT(chain);
}

// Memory that runs out at each allocation in turn: a load gives a table or
// nothing, an import keeps the rows it managed, and nothing leaks. A failed
// load tells the host of no release: it never saw the table.
TEST_F(FortranHostileTest, MemoryRunningOutAtEveryAllocation) {
    const std::string text = validFile();
    writeBytes(scratch.file("input.f"), text);
    bool completed = false;
    for (int n = 1; !completed && n < 500; ++n) {
        host.releaseEvents = 0;
        memory.failAllocation(n);
        const uintptr_t loaded = loadFrom(scratch.file("input.f"));
        memory.failAllocation(0);
        if (loaded != 0) {
            completed = dfnCountRows(loaded) == 5 && getCell(loaded, 0, 4) == "FLOWRATE_OF_FEED";
            DeleteUVT(loaded);
        } else {
            EXPECT_EQ(host.releaseEvents, 0) << n;
        }
        EXPECT_EQ(memory.liveBlocks(), 0u) << n;
    }
    EXPECT_TRUE(completed);

    completed = false;
    for (int n = 1; !completed && n < 500; ++n) {
        const uintptr_t table = makeTable({{"OLD", "Integer"}});
        memory.failAllocation(n);
        importFrom(table, scratch.file("input.f"));
        memory.failAllocation(0);
        completed = dfnCountRows(table) == 6;
        EXPECT_EQ(getCell(table, 0, 0), "OLD") << n;
        DeleteUVT(table);
        EXPECT_EQ(memory.liveBlocks(), 0u) << n;
    }
    EXPECT_TRUE(completed);
}

}  // namespace
}  // namespace uvt_test
