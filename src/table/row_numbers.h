// Row numbers by row id, for one operation that looks up many references
// (every dimension of a save or of a written FORTRAN file): gathered on the
// first lookup, so that the operation stays linear in the rows. Of two rows
// with one id the first in row order answers, as a walk through the rows
// would find it; without room for the index the rows are walked instead.
#pragma once

#include "table/records.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace uvt {

class RowNumbers {
public:
    explicit RowNumbers(const TableHeader& header) : header_(header) {}

    // Number of the first row whose id is `id`; -1 when none.
    int32_t of(int32_t id);

    // A dimension as the saved-state string and the FORTRAN file carry it: a
    // code below 0 as it is, a row id as the number of its row, or -1.
    int32_t storedDimension(int32_t dimension) { return dimension < 0 ? dimension : of(dimension); }

private:
    void gather();

    const TableHeader& header_;
    std::vector<std::pair<int32_t, int32_t>> byId_;
    bool gathered_ = false;
    bool indexed_ = false;
};

}  // namespace uvt
