// Text crossing the interface is converted between UTF-16 and the 8-bit text
// of the records through the current locale, always into bounded buffers: a
// name into at most 20 bytes, 8-bit text back into at most 30 characters.
#include "test_host.h"

#include <clocale>
#include <cstddef>
#include <cstring>
#include <string>

namespace uvt_test {
namespace {

constexpr std::size_t kNameOffset = offsetof(RowView, name);
constexpr std::size_t kRowBytes = 44;

// Sets the process locale for one test and puts "C" back afterwards.
class LocaleScope {
public:
    explicit LocaleScope(const char* name) : active_(std::setlocale(LC_ALL, name) != nullptr) {}
    ~LocaleScope() { std::setlocale(LC_ALL, "C"); }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;
    bool active() const { return active_; }

private:
    bool active_;
};

class TextConversion : public UvtTest {
protected:
    void TearDown() override {
        if (table_ != 0) DeleteUVT(table_);
        UvtTest::TearDown();
    }

    // A table with one row whose bytes from the name to the end of the
    // record are `bytes`, written straight into the record.
    uintptr_t tableWithRawName(const std::string& bytes) {
        table_ = CreateUVT(nullptr);
        EXPECT_NE(table_, 0u);
        EXPECT_EQ(dfnInsertRow(table_, 0), 1);
        EXPECT_LE(bytes.size(), kRowBytes - kNameOffset);
        char* record = reinterpret_cast<char*>(&row(table_, 0));
        std::memcpy(record + kNameOffset, bytes.data(), bytes.size());
        return table_;
    }

    uintptr_t table_ = 0;
};

TEST_F(TextConversion, NameIsWidenedIntoAtMostThirtyCharacters) {
    // A record whose name has no terminator and runs on through the rest of
    // the record: the text read back stops at 30 characters, and nothing
    // past them, let alone past the record, is read.
    std::string bytes;
    for (std::size_t i = 0; i < kRowBytes - kNameOffset; ++i) bytes.push_back(static_cast<char>('A' + i % 26));
    const uintptr_t table = tableWithRawName(bytes);
    const std::u16string name = takeWide(dfnGetValue(table, 0, 0));
    ASSERT_EQ(name.size(), 30u);
    EXPECT_EQ(toAscii(reinterpret_cast<const OLECHAR*>(name.c_str())), bytes.substr(0, 30));
}

TEST_F(TextConversion, StoredNamesReadBackWhole) {
    struct Case {
        const char* stored;
    };
    for (const Case& c : std::vector<Case>{{""}, {"N"}, {"FLOW_2"}, {"ABCDEFGHIJKLMNOPQRS"}}) {
        SCOPED_TRACE(c.stored);
        const uintptr_t table = tableWithRawName(std::string(c.stored, std::strlen(c.stored) + 1));
        EXPECT_EQ(getCell(table, 0, 0), c.stored);
        DeleteUVT(table);
        table_ = 0;
    }
}

TEST_F(TextConversion, MultibyteNamesAreWidenedThroughTheLocale) {
    LocaleScope utf8("C.UTF-8");
    if (!utf8.active()) GTEST_SKIP() << "no UTF-8 locale here";
    struct Case {
        std::string stored;  // bytes from the name on, terminator included where wanted
        std::u16string read;
    };
    const std::string smile = "\xF0\x9F\x98\x80";  // one character, two UTF-16 units
    const std::vector<Case> cases = {
        {std::string("\xC3\x89T\xC3\x89", 6), u"\u00c9T\u00c9"},
        {"A" + smile + std::string(1, '\0'), u"A\U0001F600"},
        // 28 characters and the pair fit exactly into 30.
        {std::string(28, 'B') + smile, std::u16string(28, u'B') + u"\U0001F600"},
        // 29 characters leave room for one unit only: the pair goes in whole
        // or not at all, so no lone half ends the text.
        {std::string(29, 'C') + smile, std::u16string(29, u'C')},
        // An unreadable byte ends the text.
        {std::string("AB\xFF" "CD", 6), u"AB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        const uintptr_t table = tableWithRawName(c.stored);
        EXPECT_EQ(takeWide(dfnGetValue(table, 0, 0)), c.read);
        DeleteUVT(table);
        table_ = 0;
    }
}

TEST_F(TextConversion, NameIsNarrowedIntoAtMostTwentyBytes) {
    // An Integer row whose stored name has the longest length a record holds.
    const uintptr_t table = tableWithRawName(std::string("ABCDEFGHIJKLMNOPQRS", 20));
    row(table, 0).type = UVT_TYPE_INTEGER;
    ASSERT_EQ(dfnInsertRow(table, 1), 1);

    // The whole name fits 19 bytes and its terminator: the row is found.
    EXPECT_EQ(setCell(table, 2, 1, "ABCDEFGHIJKLMNOPQRS"), kEmpty);
    EXPECT_EQ(row(table, 1).dimension, row(table, 0).id);

    // One character more does not fit. Cut to fit, it would name the row
    // above; it must be refused instead, and the dimension stays.
    const char* const refused = "Invalid dimension.\n\nDimension unchanged.";
    EXPECT_EQ(setCell(table, 2, 1, "ABCDEFGHIJKLMNOPQRST"), refused);
    EXPECT_EQ(row(table, 1).dimension, row(table, 0).id);
    EXPECT_EQ(setCell(table, 2, 1, std::string(5000, 'A').c_str()), refused);
    EXPECT_EQ(row(table, 1).dimension, row(table, 0).id);
}

TEST_F(TextConversion, OverlongOrUnconvertibleNamesLeaveNoPartialName) {
    const uintptr_t table = tableWithRawName(std::string("OLD", 4));
    const std::string tooLong = setCell(table, 0, 0, std::string(5000, 'X').c_str());
    EXPECT_EQ(tooLong.rfind("Variable names are limited to 16 characters.", 0), 0u) << tooLong;
    EXPECT_EQ(getCell(table, 0, 0), "");

    // No 8-bit form in the "C" locale.
    Bstr foreign(u"A\u0416B");
    int32_t reserved = 0;
    const std::string message = take(dfnSetValue(table, 0, 0, foreign.variant(), &reserved));
    EXPECT_EQ(message.rfind("Variable names are limited to letters", 0), 0u) << message;
    EXPECT_EQ(getCell(table, 0, 0), "");
}

}  // namespace
}  // namespace uvt_test
