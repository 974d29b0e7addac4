// Numeric codes of the type, dimension and IO columns with their display
// texts, shared by the grid, the choice lists, the restore and FORTRAN paths.
#pragma once

#include <cstdint>

namespace uvt {

struct CodeText {
    int32_t code;
    const char16_t* text;
};

inline constexpr CodeText kTypeTexts[] = {
    {0, u"Integer"}, {1, u"Real"}, {2, u"Character"}, {3, u"Structure"},
};

// Also the order of the fixed entries of the dimension choice list.
inline constexpr CodeText kDimensionTexts[] = {
    {-1, u"Scalar"},
    {-2, u"Number of Components"},
    {-13, u"Number of Inlet Streams"},
    {-14, u"Number of Material Inlet Streams"},
    {-15, u"Number of Heat Inlet Streams"},
    {-16, u"Number of Work Inlet Streams"},
    {-23, u"Number of Outlet Streams"},
    {-24, u"Number of Material Outlet Streams"},
    {-25, u"Number of Heat Outlet Streams"},
    {-26, u"Number of Work Outlet Streams"},
};

inline constexpr CodeText kIoTexts[] = {
    {1, u"Input Only"}, {2, u"Output Only"}, {3, u"Input and Output"},
};

template <std::size_t N>
const char16_t* textOfCode(const CodeText (&table)[N], int32_t code) {
    for (const CodeText& entry : table) {
        if (entry.code == code) return entry.text;
    }
    return nullptr;
}

// Exact, case-sensitive match; false when the text is not in the table.
template <std::size_t N>
bool codeOfText(const CodeText (&table)[N], const char16_t* text, int32_t* code) {
    if (text == nullptr) return false;
    for (const CodeText& entry : table) {
        const char16_t* a = entry.text;
        const char16_t* b = text;
        while (*a != 0 && *a == *b) {
            ++a;
            ++b;
        }
        if (*a == 0 && *b == 0) {
            *code = entry.code;
            return true;
        }
    }
    return false;
}

// A dimension code that the host sizes through querySize.
inline bool isHostDimension(int32_t code) {
    return code == -2 || (code <= -13 && code >= -16) || (code <= -23 && code >= -26);
}

// Text forms used where stored codes are turned back into grid input: an
// unknown type reads as Real; unknown dimension and IO codes give the empty
// text, which the grid then refuses or defaults.
const char16_t* typeTextForInput(int32_t code);
const char16_t* ioTextForInput(int32_t code);
const char16_t* dimensionCodeTextForInput(int32_t negativeCode);

}  // namespace uvt
