#include "table/row_editing.h"

#include "host/host_routines.h"
#include "table/row_array.h"
#include "table/table_access.h"

#include <cstring>

namespace uvt {

int32_t insertRow(uintptr_t table, int32_t position) {
    TableHeader* header = resolveTable(table);
    if (header == nullptr) return 0;
    if (position < 0) position = 0;
    if (position > header->rowCount) position = header->rowCount;

    // The row's block comes first, so that a failure anywhere leaves the
    // table exactly as it was: no row is ever counted without a record.
    const uintptr_t rowHandle = allocateBlock(kRowSize);
    if (rowHandle == 0) return 0;
    auto* row = resolveAs<VariableRow>(rowHandle);
    const int32_t wanted = header->rowCount + 1;
    if (row == nullptr || (rowArraySlots(*header) < wanted && !resizeRowArray(*header, wanted))) {
        releaseBlock(rowHandle, kRowSize);
        return 0;
    }
    auto* slots = resolveAs<uintptr_t>(header->rowArray);
    for (int32_t i = header->rowCount; i > position; --i) slots[i] = slots[i - 1];
    slots[position] = rowHandle;
    ++header->rowCount;

    std::memset(row, 0, sizeof *row);
    row->id = header->nextRowId++;
    row->type = kReal;
    row->dimension = kScalar;
    row->depth = 0;
    if (position > 0) {
        const VariableRow* above = resolveAs<VariableRow>(slots[position - 1]);
        if (above != nullptr) row->depth = above->depth;
    }
    row->io = UVT_IO_INPUT;
    row->parentId = kNoParent;

    int32_t saved = 0;
    return runSaveStep(table, &saved) ? saved : 1;
}

int32_t deleteRow(uintptr_t table, int32_t row) {
    TableHeader* header = resolveTable(table);
    if (header == nullptr || row < 0 || row >= header->rowCount) return 0;
    auto* slots = resolveAs<uintptr_t>(header->rowArray);
    if (slots == nullptr) return 0;
    if (slots[row] != 0) releaseBlock(slots[row], kRowSize);
    slots[row] = 0;
    for (int32_t i = row; i + 1 < header->rowCount; ++i) slots[i] = slots[i + 1];
    --header->rowCount;
    if (header->rowCount > 0) {
        slots[header->rowCount] = 0;
        // When the host cannot shrink the array it stays larger; its size is
        // tracked, so it still goes back with the right size.
        resizeRowArray(*header, header->rowCount);
    }
    int32_t saved = 0;
    runSaveStep(table, &saved);
    return 1;
}

}  // namespace uvt
