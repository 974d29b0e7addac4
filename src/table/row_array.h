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

}  // namespace uvt
