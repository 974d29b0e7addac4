#pragma once

#include "uvt.h"

#include <cstdint>

namespace uvt {

VARIANT setCellValue(uintptr_t table, int32_t column, int32_t row, BSTR text);
VARIANT getCellValue(uintptr_t table, int32_t column, int32_t row);

// Sets a cell from a UTF-16 literal, the way the restore and import paths
// rebuild rows; the answer is dropped.
void setCellText(uintptr_t table, int32_t column, int32_t row, const char16_t* text);

}  // namespace uvt
