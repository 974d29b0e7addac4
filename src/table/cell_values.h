#pragma once

#include "uvt.h"

#include <cstdint>

namespace uvt {

class CellLookups;
class RowNumbers;

VARIANT setCellValue(uintptr_t table, int32_t column, int32_t row, BSTR text);
// The same, with the questions about other rows answered by `lookups`.
VARIANT setCellValue(uintptr_t table, int32_t column, int32_t row, BSTR text, CellLookups& lookups);
VARIANT getCellValue(uintptr_t table, int32_t column, int32_t row);
// The same, with the row a dimension names found through `rowNumbers`, made
// for this table's header: a caller inside the build that reads every cell
// (the tool's whole grid) stays linear in the rows, where each lookup would
// walk them.
VARIANT getCellValue(uintptr_t table, int32_t column, int32_t row, RowNumbers& rowNumbers);

// Sets a cell from a UTF-16 literal, the way a rebuild of rows sets them
// (row_rebuild.h); the answer is dropped.
void setCellText(uintptr_t table, int32_t column, int32_t row, const char16_t* text, CellLookups& lookups);

}  // namespace uvt
