// Writes a table as a FORTRAN integer function whose DATA statements carry
// every variable definition, so that compiled user code can see the table
// without the library.
#pragma once

#include "uvt.h"

#include <cstdint>

namespace uvt {

// Names the function after the file, then writes it. 0 when the file was
// written, 1 when the table or path is missing, the path does not fit, or
// the file cannot be opened or written.
int32_t dumpFortran(uintptr_t table, const OLECHAR* path);

}  // namespace uvt
