// The library's own BSTR and VARIANT functions on systems without OLE
// Automation. Hosts written against the Windows functions rely on the same
// layout and semantics, so these are checked byte for byte.
#ifndef _WIN32

#include "test_host.h"

#include <cstddef>
#include <cstring>
#include <string>

namespace uvt_test {
namespace {

uint32_t lengthPrefix(BSTR text) {
    uint32_t bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<const char*>(text) - sizeof bytes, sizeof bytes);
    return bytes;
}

TEST(OleAutomation, VariantHasTheWindowsLayout) {
    EXPECT_EQ(sizeof(VARIANT), sizeof(void*) == 4 ? 16u : 24u);
    EXPECT_EQ(offsetof(VARIANT, vt), 0u);
    EXPECT_EQ(offsetof(VARIANT, bstrVal), 8u);
    EXPECT_EQ(VT_EMPTY, 0);
    EXPECT_EQ(VT_BSTR, 8);
    EXPECT_EQ(sizeof(OLECHAR), 2u);
    EXPECT_EQ(sizeof(GUID), 16u);
}

TEST(OleAutomation, SysAllocStringCarriesAByteLengthPrefixAndATerminator) {
    struct Case {
        std::u16string text;
    };
    for (const Case& c : std::vector<Case>{{u""}, {u"A"}, {u"FLOW"}, {u"\u00c9t\u00e9 \U0001F600"}}) {
        BSTR text = SysAllocString(reinterpret_cast<const OLECHAR*>(c.text.c_str()));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(lengthPrefix(text), 2 * c.text.size());
        EXPECT_EQ(SysStringLen(text), c.text.size());
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text)), c.text);
        EXPECT_EQ(text[c.text.size()], 0);
        // A copy, not the caller's buffer.
        EXPECT_NE(reinterpret_cast<const void*>(text), reinterpret_cast<const void*>(c.text.c_str()));
        SysFreeString(text);
    }
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
}

TEST(OleAutomation, SysAllocStringLenKeepsEmbeddedNulsAndCountsThem) {
    const char16_t source[] = {u'A', 0, u'B', 0, 0, u'C'};
    BSTR text = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(source), 6);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(lengthPrefix(text), 12u);
    EXPECT_EQ(SysStringLen(text), 6u);
    EXPECT_EQ(std::memcmp(text, source, sizeof source), 0);
    EXPECT_EQ(text[6], 0);
    SysFreeString(text);

    // Only the given length is copied, even when the source goes on.
    BSTR cut = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(u"ABCDEF"), 3);
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(SysStringLen(cut), 3u);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(cut)), u"ABC");
    SysFreeString(cut);
}

TEST(OleAutomation, SysAllocStringLenWithoutTextMakesRoomOfThatLength) {
    BSTR room = SysAllocStringLen(nullptr, 5);
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(SysStringLen(room), 5u);
    EXPECT_EQ(room[5], 0);
    for (int i = 0; i < 5; ++i) room[i] = static_cast<OLECHAR>(u'a' + i);  // writable to its length
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(room)), u"abcde");
    SysFreeString(room);

    BSTR none = SysAllocStringLen(nullptr, 0);
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(SysStringLen(none), 0u);
    EXPECT_EQ(none[0], 0);
    SysFreeString(none);
}

TEST(OleAutomation, NullStringsAreHarmless) {
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
    VariantInit(nullptr);
    EXPECT_EQ(VariantClear(nullptr), 0);
}

TEST(OleAutomation, VariantInitMakesAnEmptyVariant) {
    VARIANT value;
    std::memset(&value, 0xA5, sizeof value);
    VariantInit(&value);
    EXPECT_EQ(value.vt, VT_EMPTY);
    EXPECT_EQ(value.wReserved1, 0);
    EXPECT_EQ(value.wReserved2, 0);
    EXPECT_EQ(value.wReserved3, 0);
}

TEST(OleAutomation, VariantClearFreesTheStringAndLeavesEmpty) {
    // Under the address sanitizer a string that VariantClear did not free
    // shows as a leak, and one freed twice as an error.
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(reinterpret_cast<const OLECHAR*>(u"text"));
    ASSERT_NE(value.bstrVal, nullptr);
    EXPECT_EQ(VariantClear(&value), 0);
    EXPECT_EQ(value.vt, VT_EMPTY);
    EXPECT_EQ(value.bstrVal, nullptr);
    EXPECT_EQ(VariantClear(&value), 0);  // a second clear has nothing to free
    EXPECT_EQ(value.vt, VT_EMPTY);

    // Other types own nothing: their value is not taken for a string.
    VARIANT number;
    VariantInit(&number);
    number.vt = VT_I4;
    number.lVal = 42;
    EXPECT_EQ(VariantClear(&number), 0);
    EXPECT_EQ(number.vt, VT_EMPTY);
}

class LibraryText : public UvtTest {};

TEST_F(LibraryText, IsABstrThatVariantClearFrees) {
    // A text that the library hands out is the caller's, in the same form.
    const uintptr_t table = CreateUVT(nullptr);
    ASSERT_NE(table, 0u);
    ASSERT_EQ(dfnInsertRow(table, 0), 1);
    VARIANT text = dfnGetValue(table, 1, 0);  // a new row's type
    ASSERT_EQ(text.vt, VT_BSTR);
    EXPECT_EQ(SysStringLen(text.bstrVal), 4u);
    EXPECT_EQ(lengthPrefix(text.bstrVal), 8u);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text.bstrVal)), u"Real");
    EXPECT_EQ(VariantClear(&text), 0);
    EXPECT_EQ(text.vt, VT_EMPTY);
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test

#endif  // _WIN32
