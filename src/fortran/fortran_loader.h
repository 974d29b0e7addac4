// Reads a FORTRAN function of the form the writer produces back into table
// rows, through the grid's own insertion and cell validation.
#pragma once

#include "table/read_observer.h"
#include "uvt.h"

#include <cstdint>

namespace uvt {

// A new table holding the file's function name, rows and version; 0 when
// the path is missing or too long, the file cannot be read completely or
// memory runs out. A table begun and not handed out is released again.
// `observer`, when given, hears of every cell refused or changed and of the
// lines compilers read differently.
uintptr_t loadFromFortran(const OLECHAR* path, ReadObserver* observer);

// Appends the file's rows to `table`. The function name is taken only when
// the table has none, the version only when it had no rows.
void importFortran(uintptr_t table, const OLECHAR* path, ReadObserver* observer);

}  // namespace uvt
