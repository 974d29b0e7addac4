// Text arguments of every VARIANT-taking export, in every form a host may
// pass them: a BSTR, a reference to one, and VARIANTs of other types whose
// union holds a number or an address that is not a string. Only the first
// two carry text; every other form reads as the empty text, and the library
// never follows its union as a BSTR. Where the union of such a VARIANT does
// hold a string's address, that string must come out untouched.
#include "../fortran/fortran_files.h"

#include <cstring>
#include <filesystem>

namespace uvt_test {
namespace {

// Type tags with no name in the stand-ins.
constexpr VARTYPE kDispatch = 9;
constexpr VARTYPE kArrayOfBstr = 0x2000 | 8;

// What the VARIANT's union is filled with.
enum class Fill {
    Text,          // the BSTR itself
    TextByRef,     // the address of a variable that holds the BSTR
    Null,          // a null pointer
    RefToNull,     // the address of a variable that holds a null BSTR
    Three,         // the 32-bit integer 3, the rest of the union 0
};

struct VariantKind {
    const char* id;
    VARTYPE vt;
    Fill fill;
    bool carriesText;
};

const VariantKind kKinds[] = {
    {"Bstr", VT_BSTR, Fill::Text, true},
    {"BstrByRef", VT_BSTR | VT_BYREF, Fill::TextByRef, true},
    {"NullBstr", VT_BSTR, Fill::Null, false},
    {"NullBstrReference", VT_BSTR | VT_BYREF, Fill::Null, false},
    {"ReferenceToNullBstr", VT_BSTR | VT_BYREF, Fill::RefToNull, false},
    {"EmptyOverAString", VT_EMPTY, Fill::Text, false},
    {"NullOverAString", VT_NULL, Fill::Text, false},
    {"I4OfThree", VT_I4, Fill::Three, false},
    {"I4OverAString", VT_I4, Fill::Text, false},
    {"I4ByRefToAString", VT_I4 | VT_BYREF, Fill::TextByRef, false},
    {"R8OverAString", VT_R8, Fill::Text, false},
    {"DispatchOverAString", kDispatch, Fill::Text, false},
    {"ArrayOfBstrOverAString", kArrayOfBstr, Fill::Text, false},
};

// One argument of a kind around a text; the text outlives the call.
class Argument {
public:
    Argument(const VariantKind& kind, const std::u16string& text) : kind_(kind), text_(text) {}

    VARIANT variant() {
        VARIANT v;
        std::memset(&v, 0, sizeof v);
        v.vt = kind_.vt;
        switch (kind_.fill) {
            case Fill::Text: v.bstrVal = text_.get(); break;
            case Fill::TextByRef:
                held_ = text_.get();
                v.pbstrVal = &held_;
                break;
            case Fill::Null: v.bstrVal = nullptr; break;
            case Fill::RefToNull:
                held_ = nullptr;
                v.pbstrVal = &held_;
                break;
            case Fill::Three: v.lVal = 3; break;
        }
        return v;
    }
    // The caller's own string as it is now.
    std::string text() const { return text_.ascii(); }

private:
    const VariantKind& kind_;
    Bstr text_;
    BSTR held_ = nullptr;
};

class VariantArgumentTest : public UvtTest, public ::testing::WithParamInterface<VariantKind> {
protected:
    bool carriesText() const { return GetParam().carriesText; }
    ScratchDirectory scratch;
};

TEST_P(VariantArgumentTest, SetValueNamesARowOnlyFromText) {
    const uintptr_t table = makeTable({{"OLD"}});
    Argument name(GetParam(), u"pump1");
    int32_t reserved = 0;
    EXPECT_EQ(take(dfnSetValue(table, UVT_COLUMN_NAME, 0, name.variant(), &reserved)), kEmpty);
    // A name is upper-cased in the caller's string, and only when it is read.
    EXPECT_EQ(getCell(table, UVT_COLUMN_NAME, 0), carriesText() ? "PUMP1" : "");
    EXPECT_EQ(name.text(), carriesText() ? "PUMP1" : "pump1");
    DeleteUVT(table);
}

TEST_P(VariantArgumentTest, SetValueTakesATypeOnlyFromText) {
    const uintptr_t table = makeTable({{"X"}});
    Argument type(GetParam(), u"Integer");
    int32_t reserved = 0;
    EXPECT_EQ(take(dfnSetValue(table, UVT_COLUMN_TYPE, 0, type.variant(), &reserved)),
              carriesText() ? kEmpty : "Invalid type.\n\nType will remain unchanged.");
    EXPECT_EQ(getCell(table, UVT_COLUMN_TYPE, 0), carriesText() ? "Integer" : "Real");
    DeleteUVT(table);
}

TEST_P(VariantArgumentTest, SetFunctionNameOnlyFromText) {
    const uintptr_t table = CreateUVT(nullptr);
    Argument name(GetParam(), u"pump1");
    EXPECT_EQ(dfnSetFunctionName(table, name.variant()), carriesText() ? 5 : 0);
    EXPECT_STREQ(header(table).functionName, carriesText() ? "PUMP1" : "");
    EXPECT_EQ(name.text(), "pump1");
    DeleteUVT(table);
}

TEST_P(VariantArgumentTest, DumpWritesOnlyToAPathGivenAsText) {
    const uintptr_t table = makeTable({{"X"}});
    const std::filesystem::path file = scratch.file("uf1.f");
    Argument path(GetParam(), file.u16string());
    EXPECT_EQ(dfnDumpFORTRAN(table, path.variant()), carriesText() ? 0 : 1);
    EXPECT_EQ(std::filesystem::exists(file), carriesText());
    EXPECT_STREQ(header(table).functionName, carriesText() ? "UF1" : "");
    DeleteUVT(table);
}

TEST_P(VariantArgumentTest, LoadReadsOnlyAPathGivenAsText) {
    const uintptr_t source = makeTable({{"X"}});
    const std::filesystem::path file = scratch.file("uf2.f");
    ASSERT_EQ(dumpTo(source, file), 0);
    DeleteUVT(source);

    Argument path(GetParam(), file.u16string());
    const uintptr_t loaded = dfnLoadFromFORTRAN(path.variant());
    EXPECT_EQ(loaded != 0, carriesText());
    if (loaded != 0) {
        EXPECT_EQ(dfnCountRows(loaded), 1);
        DeleteUVT(loaded);
    }
}

TEST_P(VariantArgumentTest, ImportReadsOnlyAPathGivenAsText) {
    const uintptr_t source = makeTable({{"X"}, {"Y"}});
    const std::filesystem::path file = scratch.file("uf3.f");
    ASSERT_EQ(dumpTo(source, file), 0);
    DeleteUVT(source);

    const uintptr_t table = CreateUVT(nullptr);
    Argument path(GetParam(), file.u16string());
    dfnImportFortran(table, path.variant());
    EXPECT_EQ(dfnCountRows(table), carriesText() ? 2 : 0);
    DeleteUVT(table);
}

INSTANTIATE_TEST_SUITE_P(TextForms, VariantArgumentTest, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<VariantKind>& kind) { return kind.param.id; });

}  // namespace
}  // namespace uvt_test
