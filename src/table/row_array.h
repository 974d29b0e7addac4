// The row-pointer array: one handle slot per row, or one cleared slot once a
// table that had rows has none left.
#pragma once

#include "table/records.h"

#include <cstdint>

namespace uvt {

// Number of slots the array was last allocated with (0 without an array).
int32_t rowArraySlots(const TableHeader& header);
inline int32_t rowArrayBytes(const TableHeader& header) { return rowArraySlots(header) * kSlotSize; }

// Brings the array to `slots` slots, keeping the handles in front. On
// failure the array stays as it was and false is returned.
bool resizeRowArray(TableHeader& header, int32_t slots);

// Releases the array with its actual size and forgets it.
void releaseRowArray(TableHeader& header);

enum class ReleaseOrder { RowOrder, Reverse };

// Gives back the block of every row the header counts, in the given order,
// then the array with its actual size, and leaves the header without rows.
// The array is not shrunk on the way: that would copy it once per row and
// ask the host for memory while the rows are being given back.
void releaseRows(TableHeader& header, ReleaseOrder order);

}  // namespace uvt
