#include "table/row_numbers.h"

#include "table/table_access.h"

#include <algorithm>
#include <climits>
#include <new>

namespace uvt {

int32_t RowNumbers::of(int32_t id) {
    if (!gathered_) gather();
    if (!indexed_) return findRowById(header_, id);
    const auto found = std::lower_bound(byId_.begin(), byId_.end(), std::make_pair(id, INT32_MIN));
    return (found != byId_.end() && found->first == id) ? found->second : -1;
}

void RowNumbers::gather() {
    gathered_ = true;
    try {
        byId_.reserve(static_cast<std::size_t>(std::max(header_.rowCount, 0)));
        for (int32_t i = 0; i < header_.rowCount; ++i) {
            if (const VariableRow* row = rowAt(header_, i)) byId_.emplace_back(row->id, i);
        }
        // Ties keep the lowest row number first.
        std::sort(byId_.begin(), byId_.end());
        indexed_ = true;
    } catch (const std::bad_alloc&) {
        byId_.clear();
    }
}

}  // namespace uvt
