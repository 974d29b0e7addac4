#include "table/row_array.h"

#include "host/host_routines.h"

#include <algorithm>

namespace uvt {
namespace {
// The array normally has max(rowCount, 1) slots, but when the host cannot
// shrink it, it keeps more. Its true slot count is therefore kept in the
// first reserved field, so that it always goes back with its actual size.
int32_t& noteOfSlots(TableHeader& header) { return header.reserved[0]; }
}  // namespace

int32_t rowArraySlots(const TableHeader& header) {
    if (header.rowArray == 0) return 0;
    return header.reserved[0] > 0 ? header.reserved[0] : std::max(header.rowCount, 1);
}

bool resizeRowArray(TableHeader& header, int32_t slots) {
    const int32_t current = rowArraySlots(header);
    uintptr_t fresh = 0;
    if (header.rowArray == 0) {
        fresh = allocateBlock(slots * kSlotSize);
    } else {
        fresh = reallocateBlock(header.rowArray, current * kSlotSize, slots * kSlotSize);
    }
    if (fresh == 0) return false;
    header.rowArray = fresh;
    noteOfSlots(header) = slots;
    return true;
}

void releaseRowArray(TableHeader& header) {
    if (header.rowArray != 0) releaseBlock(header.rowArray, rowArrayBytes(header));
    header.rowArray = 0;
    noteOfSlots(header) = 0;
}

void releaseRows(TableHeader& header, ReleaseOrder order) {
    if (auto* slots = resolveAs<uintptr_t>(header.rowArray)) {
        for (int32_t k = 0; k < header.rowCount; ++k) {
            const int32_t i = order == ReleaseOrder::RowOrder ? k : header.rowCount - 1 - k;
            if (slots[i] != 0) releaseBlock(slots[i], kRowSize);
            slots[i] = 0;
        }
    }
    header.rowCount = 0;
    releaseRowArray(header);
}

}  // namespace uvt
