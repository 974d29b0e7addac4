// Compile-time ties between the codes of the public header and the private
// names that the subsystems use for the same values. A host writes its code
// against the header; the library's layers below the exports keep names of
// their own (they do not depend on the header's spelling), so each of those
// copies is checked here against its public constant. A change on one side
// without the other stops the build. This file holds no code.
#include "uvt.h"

#include "fortran/file_path.h"
#include "fortran/function_name.h"
#include "runtime/addressing.h"
#include "runtime/labels.h"
#include "runtime/layout.h"
#include "runtime/nodes.h"
#include "table/code_tables.h"
#include "table/name_check.h"
#include "table/records.h"

#include <cstddef>
#include <iterator>

namespace uvt {
namespace {

// A code table's entry, found by its text: the tables are matched by text so
// that a reordering of either side is caught as well as a changed code.
constexpr bool sameText(const char16_t* a, const char16_t* b) {
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

template <std::size_t N>
constexpr bool tableHas(const CodeText (&table)[N], std::size_t entry, int32_t code, const char16_t* text) {
    return entry < N && table[entry].code == code && sameText(table[entry].text, text);
}

// Type codes, with the texts the grid shows beside them in the header.
constexpr int32_t code(TypeCode type) { return type; }
static_assert(code(kInteger) == UVT_TYPE_INTEGER && code(kReal) == UVT_TYPE_REAL &&
              code(kCharacter) == UVT_TYPE_CHARACTER && code(kStructure) == UVT_TYPE_STRUCTURE);
static_assert(std::size(kTypeTexts) == 4);
static_assert(tableHas(kTypeTexts, 0, UVT_TYPE_INTEGER, u"Integer"));
static_assert(tableHas(kTypeTexts, 1, UVT_TYPE_REAL, u"Real"));
static_assert(tableHas(kTypeTexts, 2, UVT_TYPE_CHARACTER, u"Character"));
static_assert(tableHas(kTypeTexts, 3, UVT_TYPE_STRUCTURE, u"Structure"));

// Dimension codes, in the order of the choice list's fixed entries.
static_assert(kScalar == UVT_DIM_SCALAR);
static_assert(std::size(kDimensionTexts) == UVT_DIM_FIXED_CHOICES);
static_assert(tableHas(kDimensionTexts, 0, UVT_DIM_SCALAR, u"Scalar"));
static_assert(tableHas(kDimensionTexts, 1, UVT_DIM_COMPONENTS, u"Number of Components"));
static_assert(tableHas(kDimensionTexts, 2, UVT_DIM_INLET_STREAMS, u"Number of Inlet Streams"));
static_assert(tableHas(kDimensionTexts, 3, UVT_DIM_MATERIAL_INLET_STREAMS, u"Number of Material Inlet Streams"));
static_assert(tableHas(kDimensionTexts, 4, UVT_DIM_HEAT_INLET_STREAMS, u"Number of Heat Inlet Streams"));
static_assert(tableHas(kDimensionTexts, 5, UVT_DIM_WORK_INLET_STREAMS, u"Number of Work Inlet Streams"));
static_assert(tableHas(kDimensionTexts, 6, UVT_DIM_OUTLET_STREAMS, u"Number of Outlet Streams"));
static_assert(tableHas(kDimensionTexts, 7, UVT_DIM_MATERIAL_OUTLET_STREAMS, u"Number of Material Outlet Streams"));
static_assert(tableHas(kDimensionTexts, 8, UVT_DIM_HEAT_OUTLET_STREAMS, u"Number of Heat Outlet Streams"));
static_assert(tableHas(kDimensionTexts, 9, UVT_DIM_WORK_OUTLET_STREAMS, u"Number of Work Outlet Streams"));

// IO codes; the choice list offers them as entries code - 1.
static_assert(std::size(kIoTexts) == 3);
static_assert(tableHas(kIoTexts, 0, UVT_IO_INPUT, u"Input Only"));
static_assert(tableHas(kIoTexts, 1, UVT_IO_OUTPUT, u"Output Only"));
static_assert(tableHas(kIoTexts, 2, UVT_IO_BOTH, u"Input and Output"));

// Rows and names.
static_assert(kNoParent == UVT_NO_PARENT);
static_assert(kNameLimit == UVT_NAME_MAX);
static_assert(kNameCapacity == UVT_TOKEN_NAME_SIZE);
static_assert(kFunctionNameCapacity == UVT_TOKEN_FUNCTION_NAME_SIZE);
static_assert(kFunctionNameCapacity == UVT_FUNCTION_NAME_BUFFER);
static_assert(kFunctionNameLength == UVT_FUNCTION_NAME_MAX);
static_assert(kPathCapacity == UVT_PATH_BUFFER);

// Run time.
static_assert(kInputDirection == UVT_DIRECTION_INPUT && kOutputDirection == UVT_DIRECTION_OUTPUT);
static_assert(kHandleSentinel == UVT_INVALID_HANDLE);
static_assert(kNoValueMarker == UVT_NO_VALUE);
static_assert(kLabelCapacity == UVT_LABEL_BUFFER);

}  // namespace
}  // namespace uvt
