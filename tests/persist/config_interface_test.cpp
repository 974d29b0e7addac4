// Attaching the host's configuration object to a table, and the save step
// that writes the table through it after each design-time change.
#include "test_host.h"

#include <cstring>
#include <ctime>
#include <string>

namespace uvt_test {
namespace {

class ConfigInterface : public UvtTest {
protected:
    void TearDown() override {
        if (table_ != 0) DeleteUVT(table_);
        UvtTest::TearDown();
    }

    uintptr_t table(const std::vector<RowSpec>& rows = {}) {
        table_ = makeTable(rows);
        return table_;
    }

    static int32_t now() { return static_cast<int32_t>(std::time(nullptr)); }

    // Members, so that they outlive the table that TearDown deletes.
    ConfigObject config;
    ConfigObject second;
    uintptr_t table_ = 0;
};

TEST_F(ConfigInterface, AttachAsksForTheConfigurationInterfaceAndHoldsIt) {
    const uintptr_t t = table({{"A"}, {"B"}});
    config.primary = "1$0#0#0$1$Q1$-1$0$1$";  // a restore would change the table
    config.second = config.primary;
    EXPECT_EQ(UVTSetConfigInterface(t, config.object()), config.object());
    EXPECT_EQ(header(t).configInterface, config.object());
    EXPECT_EQ(config.references, 2);

    // {8AD467D4-0C32-11D2-9B42-0000C07EE8F2} in the Windows GUID layout.
    const unsigned char expected[16] = {0xD4, 0x67, 0xD4, 0x8A, 0x32, 0x0C, 0xD2, 0x11,
                                        0x9B, 0x42, 0x00, 0x00, 0xC0, 0x7E, 0xE8, 0xF2};
    EXPECT_EQ(std::memcmp(&config.lastIid, expected, sizeof expected), 0);

    // Attaching neither saves nor restores.
    EXPECT_EQ(config.calls, std::vector<std::string>{"QueryInterface"});
    EXPECT_EQ(dfnCountRows(t), 2);
    EXPECT_EQ(getCell(t, 0, 0), "A");
}

TEST_F(ConfigInterface, AttachingTheAttachedObjectAgainKeepsItAlive) {
    const uintptr_t t = table();
    ASSERT_EQ(UVTSetConfigInterface(t, config.object()), config.object());
    config.references = 1;  // the host let go of its own reference: the table's is the last
    config.calls.clear();
    EXPECT_EQ(UVTSetConfigInterface(t, config.object()), config.object());
    // The new reference first, then the old one goes: the count never
    // reaches 0 on the way.
    EXPECT_EQ(config.calls, (std::vector<std::string>{"QueryInterface", "Release"}));
    EXPECT_EQ(config.references, 1);
    EXPECT_EQ(header(t).configInterface, config.object());
    DeleteUVT(t);
    table_ = 0;
    EXPECT_EQ(config.references, 0);
}

TEST_F(ConfigInterface, AttachingAnotherObjectReleasesTheFirst) {
    const uintptr_t t = table();
    ConfigObject& first = config;
    UVTSetConfigInterface(t, first.object());
    EXPECT_EQ(UVTSetConfigInterface(t, second.object()), second.object());
    EXPECT_EQ(first.references, 1);
    EXPECT_EQ(second.references, 2);
    EXPECT_EQ(header(t).configInterface, second.object());
    EXPECT_EQ(first.calls, (std::vector<std::string>{"QueryInterface", "Release"}));
}

TEST_F(ConfigInterface, NullOrForeignObjectDetaches) {
    struct Case {
        const char* what;
        bool offersInterface;  // of the object passed; false with no object at all means null
        bool passObject;
    };
    for (const Case& c : std::vector<Case>{{"null object", false, false}, {"object without the interface", false, true}}) {
        SCOPED_TRACE(c.what);
        const uintptr_t t = CreateUVT(nullptr);
        ASSERT_NE(t, 0u);
        ConfigObject held;
        ConfigObject other;
        other.offersInterface = c.offersInterface;
        UVTSetConfigInterface(t, held.object());
        EXPECT_EQ(UVTSetConfigInterface(t, c.passObject ? other.object() : nullptr), nullptr);
        EXPECT_EQ(header(t).configInterface, nullptr);
        EXPECT_EQ(held.references, 1);
        EXPECT_EQ(other.references, 1);
        EXPECT_EQ(other.calls, c.passObject ? std::vector<std::string>{"QueryInterface"} : std::vector<std::string>{});
        // Nothing is saved any more, and deleting releases nothing again.
        held.calls.clear();
        ASSERT_EQ(dfnInsertRow(t, 0), 1);
        DeleteUVT(t);
        EXPECT_TRUE(held.calls.empty());
    }
}

TEST_F(ConfigInterface, NoTableNoAttachment) {
    EXPECT_EQ(UVTSetConfigInterface(0, config.object()), nullptr);
    EXPECT_EQ(UVTSetConfigInterface(0x8, config.object()), nullptr);  // resolves to nothing
    EXPECT_EQ(memory.takeFaults(), std::vector<std::string>{"resolve of unknown handle 8"});
    EXPECT_TRUE(config.calls.empty());
    EXPECT_EQ(config.references, 1);
}

// ---------------------------------------------------------------------------
// The save step

TEST_F(ConfigInterface, EditsWithoutAnInterfaceKeepTheTimeStamp) {
    const uintptr_t t = table({{"A"}});
    header(t).timeStamp = 1000;
    ASSERT_EQ(dfnInsertRow(t, 1), 1);
    ASSERT_EQ(setCell(t, 0, 1, "b"), kEmpty);
    dfnDeleteRow(t, 0);
    EXPECT_EQ(header(t).timeStamp, 1000);
}

TEST_F(ConfigInterface, EachEditRenewsTheTimeStampAndSavesOnce) {
    struct Edit {
        const char* what;
        void (*run)(uintptr_t);
    };
    const std::vector<Edit> edits = {
        {"insert", [](uintptr_t t) { dfnInsertRow(t, 0); }},
        {"name", [](uintptr_t t) { setCell(t, 0, 0, "flow"); }},
        {"type", [](uintptr_t t) { setCell(t, 1, 0, "Integer"); }},
        {"dimension", [](uintptr_t t) { setCell(t, 2, 1, "FLOW"); }},
        {"depth", [](uintptr_t t) { setCell(t, 3, 1, "0"); }},
        {"io", [](uintptr_t t) { setCell(t, 4, 0, "Output Only"); }},
        {"delete", [](uintptr_t t) { dfnDeleteRow(t, 1); }},
    };
    const uintptr_t t = table({{"A"}});
    UVTSetConfigInterface(t, config.object());
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.what);
        header(t).timeStamp = 1000;
        config.clearSaves();
        config.calls.clear();
        const int32_t before = now();
        edit.run(t);
        const int32_t after = now();
        const int32_t stamp = header(t).timeStamp;
        EXPECT_GE(stamp, before);
        EXPECT_LE(stamp, after);
        EXPECT_EQ(config.beginSaves, 1);
        EXPECT_EQ(config.calls.front(), "BeginSave");
        // The string written carries the renewed stamp.
        const std::string marker = '#' + std::to_string(stamp);
        EXPECT_NE(config.saved().find(marker + '#'), std::string::npos) << config.saved();
    }
}

TEST_F(ConfigInterface, NoSaveWhileARestoreRunsAndSavesAgainAfterIt) {
    // A saved-state string from a real table.
    ConfigObject source;
    {
        const uintptr_t t = table({{"N", "Integer"}, {"A", "Real", "N"}});
        UVTSetConfigInterface(t, source.object());
        ASSERT_EQ(UVTSave(t), 1);
        DeleteUVT(t);
        table_ = 0;
    }
    struct Case {
        const char* what;
        std::string string;
        int32_t rows;
    };
    const std::string whole = source.saved();
    const std::size_t secondRow = whole.rfind("1$A1$");
    ASSERT_NE(secondRow, std::string::npos) << whole;
    const std::vector<Case> cases = {
        {"complete string", whole, 2},
        {"string that ends after the first row", whole.substr(0, secondRow), 1},
        {"string that ends in the header", "2$0#", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const uintptr_t t = CreateUVT(nullptr);
        ASSERT_NE(t, 0u);
        ConfigObject restoring;
        restoring.primary = c.string;
        UVTSetConfigInterface(t, restoring.object());
        header(t).timeStamp = 1000;
        UVTRestore(t);
        EXPECT_EQ(dfnCountRows(t), c.rows);
        EXPECT_EQ(restoring.beginSaves, 0);
        EXPECT_TRUE(restoring.pieces.empty());
        // The restore is over: the next edit saves again.
        const int32_t before = now();
        ASSERT_EQ(dfnInsertRow(t, dfnCountRows(t)), 1);
        EXPECT_EQ(restoring.beginSaves, 1);
        EXPECT_GE(header(t).timeStamp, before);
        DeleteUVT(t);
    }
}

}  // namespace
}  // namespace uvt_test
