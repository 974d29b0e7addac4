#pragma once

#include "uvt.h"

#include <cstdint>
#include <vector>

namespace uvt {

VARIANT checkRowComplete(uintptr_t table, int32_t row);
VARIANT checkTableComplete(uintptr_t table);
// What checkRowComplete answers for each row when asked row by row in row
// order (nullptr: complete), with the same parent links repaired, in one
// walk of the table: linear, where asking row by row walks the rows before
// each one. For callers inside the build that show a whole table; empty
// for a table that does not resolve.
std::vector<const char16_t*> checkEveryRow(uintptr_t table);
// The run-time gate: true only when the whole-table check answers the empty text.
bool isTableComplete(uintptr_t table);

}  // namespace uvt
