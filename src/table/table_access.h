// Shared lookups over a table's rows. Addresses come from resolve and are
// used only within the current operation.
#pragma once

#include "table/records.h"

#include <cstdint>

namespace uvt {

TableHeader* resolveTable(uintptr_t table);

// Handle and record of row number `row`; 0 / null when out of range, when the
// table has no row array or when the record does not resolve.
uintptr_t rowHandleAt(const TableHeader& header, int32_t row);
VariableRow* rowAt(const TableHeader& header, int32_t row);

// First row, in row order, whose id is `id`; -1 when none.
int32_t findRowById(const TableHeader& header, int32_t id);
// The row that `row`'s parentId names, or null.
VariableRow* findParent(const TableHeader& header, const VariableRow& row);
// First row, in row order, of type Integer whose name is `name` (compared
// up to its terminator, at most the whole field); -1 when none.
int32_t findIntegerRow(const TableHeader& header, const char* name);
// Nearest row before `row` with depth `depth` - 1 and type Structure, or -1.
int32_t parentSearch(const TableHeader& header, int32_t row, int32_t depth);

// The save step that ends a design-time edit. Returns true when it ran and
// then stores the save's result.
bool runSaveStep(uintptr_t table, int32_t* saveResult);

// Library-wide: while a restore rebuilds rows, no save step runs.
bool restoreInProgress();
class RestoreScope {
public:
    RestoreScope();
    ~RestoreScope();
    RestoreScope(const RestoreScope&) = delete;
    RestoreScope& operator=(const RestoreScope&) = delete;
};

int32_t currentTime();

}  // namespace uvt
