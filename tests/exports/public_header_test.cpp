// The public header seen from C and from C++ must describe the same binary
// interface: the records have one layout, and exports called from C99 code
// (VARIANT arguments and results included) behave as from C++.
#include "test_host.h"

#include "public_header_c99.h"

#include <cstddef>
#include <string>

namespace uvt_test {
namespace {

UvtHeaderLayout layoutFromCpp() {
    UvtHeaderLayout layout{};
    layout.olechar = sizeof(OLECHAR);
    layout.variant = sizeof(VARIANT);
    layout.variantBstr = offsetof(VARIANT, bstrVal);
    layout.guid = sizeof(GUID);
    layout.memoryRoutines = sizeof(UvtMemoryRoutines);
    layout.symsizeRoutines = sizeof(UvtSymsizeRoutines);
    layout.eventRoutines = sizeof(UvtEventRoutines);
    layout.configSlots = sizeof(UvtConfigInterfaceVtbl);
    layout.saveBytesSlot = offsetof(UvtConfigInterfaceVtbl, SaveBytes);
    layout.beginRestoreSlot = offsetof(UvtConfigInterfaceVtbl, BeginRestore);
    layout.invalidHandle = UVT_INVALID_HANDLE;
    layout.noParent = UVT_NO_PARENT;
    layout.vtBstr = VT_BSTR;
    layout.variantBstrRef = offsetof(VARIANT, pbstrVal);
    layout.vtBstrRef = VT_BSTR | VT_BYREF;
    layout.noValue = UVT_NO_VALUE;
    layout.byteOrderQuery = UVT_QUERY_BYTE_ORDER;
    layout.filterAny = UVT_FILTER_ANY;
    layout.dimWorkOutletStreams = UVT_DIM_WORK_OUTLET_STREAMS;
    layout.version = UVT_VERSION;
    return layout;
}

TEST(PublicHeader, CAndCppSeeTheSameBinaryInterface) {
    UvtHeaderLayout c{};
    uvtHeaderLayoutFromC(&c);
    const UvtHeaderLayout cpp = layoutFromCpp();
    const std::size_t pointer = sizeof(void*);
    struct Case {
        const char* what;
        std::size_t fromC, fromCpp, expected;
    };
    const Case cases[] = {
        {"OLECHAR", c.olechar, cpp.olechar, 2},
        {"VARIANT", c.variant, cpp.variant, 8 + 2 * pointer},
        {"VARIANT bstrVal offset", c.variantBstr, cpp.variantBstr, 8},
        {"GUID", c.guid, cpp.guid, 16},
        {"UvtMemoryRoutines", c.memoryRoutines, cpp.memoryRoutines, 4 * pointer},
        {"UvtSymsizeRoutines", c.symsizeRoutines, cpp.symsizeRoutines, 3 * pointer},
        {"UvtEventRoutines", c.eventRoutines, cpp.eventRoutines, 2 * pointer},
        {"configuration slots", c.configSlots, cpp.configSlots, 11 * pointer},
        {"SaveBytes slot", c.saveBytesSlot, cpp.saveBytesSlot, 6 * pointer},
        {"BeginRestore slot", c.beginRestoreSlot, cpp.beginRestoreSlot, 10 * pointer},
        {"UVT_INVALID_HANDLE", c.invalidHandle, cpp.invalidHandle, 0x0FFFFFFF},
        {"VT_BSTR", static_cast<std::size_t>(c.vtBstr), static_cast<std::size_t>(cpp.vtBstr), 8},
        {"VARIANT pbstrVal offset", c.variantBstrRef, cpp.variantBstrRef, 8},
        {"VT_BSTR | VT_BYREF", static_cast<std::size_t>(c.vtBstrRef), static_cast<std::size_t>(cpp.vtBstrRef),
         0x4008},
        {"UVT_NO_VALUE", static_cast<std::size_t>(c.noValue), static_cast<std::size_t>(cpp.noValue), 99999999},
    };
    for (const Case& check : cases) {
        EXPECT_EQ(check.fromC, check.expected) << check.what << " as C sees it";
        EXPECT_EQ(check.fromCpp, check.expected) << check.what << " as C++ sees it";
    }
    struct SignedCase {
        const char* what;
        long fromC, fromCpp, expected;
    };
    const SignedCase signedCases[] = {
        {"UVT_NO_PARENT", c.noParent, cpp.noParent, -50},
        {"UVT_QUERY_BYTE_ORDER", c.byteOrderQuery, cpp.byteOrderQuery, -50},
        {"UVT_FILTER_ANY", c.filterAny, cpp.filterAny, -1},
        {"UVT_DIM_WORK_OUTLET_STREAMS", c.dimWorkOutletStreams, cpp.dimWorkOutletStreams, -26},
    };
    for (const SignedCase& check : signedCases) {
        EXPECT_EQ(check.fromC, check.expected) << check.what << " as C sees it";
        EXPECT_EQ(check.fromCpp, check.expected) << check.what << " as C++ sees it";
    }
    EXPECT_STREQ(c.version, cpp.version);
}

#define UVT_TEST_STRINGIFY(x) #x
#define UVT_TEST_TEXT_OF(x) UVT_TEST_STRINGIFY(x)

// The build reads UVT_VERSION as the project's version, and hosts test the
// three numbers: they must spell the same version, each part a plain
// decimal number (no parentheses, sign or leading zero).
TEST(PublicHeader, VersionMacrosAgree) {
    EXPECT_STREQ(UVT_TEST_TEXT_OF(UVT_VERSION_MAJOR) "." UVT_TEST_TEXT_OF(UVT_VERSION_MINOR) "." UVT_TEST_TEXT_OF(
                     UVT_VERSION_PATCH),
                 UVT_VERSION);
    const std::string numbers = std::to_string(UVT_VERSION_MAJOR) + "." + std::to_string(UVT_VERSION_MINOR) + "." +
                                std::to_string(UVT_VERSION_PATCH);
    EXPECT_EQ(numbers, UVT_VERSION);
}

class PublicHeaderFromC : public UvtTest {};

TEST_F(PublicHeaderFromC, ExportsWorkWhenCalledFromC) {
    UvtEditFromC result{};
    uvtEditFromC(&result);
    EXPECT_TRUE(result.created);
    EXPECT_EQ(result.inserted, 1);
    EXPECT_STREQ(result.setAnswer, kEmpty);
    EXPECT_STREQ(result.name, "PRESSURE");
    EXPECT_STREQ(result.type, "Real");
    EXPECT_EQ(result.rows, 1);
    EXPECT_EQ(host.releaseEvents, 1);
    // The fixture checks that every block came back with its size.
}

}  // namespace
}  // namespace uvt_test
