// Filling a variable row cell by cell from the integer table that a
// generated FORTRAN function carries: per row four words of the name, then
// type, dimension, depth and IO direction. The host says how its words hold
// characters: querySize(null, -50) answering 4 means the first character
// of each word is its most significant byte, anything else its least.
#pragma once

#include <cstdint>

namespace uvt {

// Writes column 0..7 of row `rowIndex`. Asks the byte order on every call,
// first; nothing else is checked or reported, no save step runs, no layout
// and no event routine is touched.
void setCellValue(uintptr_t table, int32_t rowIndex, int32_t column, int32_t value);

}  // namespace uvt
