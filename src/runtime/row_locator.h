// Finding one value leaf by its rank among a kind of values: the n-th input
// or output value (a run-time row), or the n-th value of a type (a place in
// the host's array of that type). The walk skips every group that cannot
// hold the value in one step by the counters that the last sync pass left
// in it, so its cost grows with the depth of the tree and the siblings on
// the way; with the table's layout index it is one look-up.
#pragma once

#include "runtime/nodes.h"
#include "table/records.h"

#include <cstdint>

namespace uvt {

inline constexpr int32_t kInputDirection = 0;
inline constexpr int32_t kOutputDirection = 1;

inline bool isDirection(int32_t direction) {
    return direction == kInputDirection || direction == kOutputDirection;
}

struct LocatedLeaf {
    uintptr_t handle = 0;
    RuntimeNode* node = nullptr;
    int32_t place = 0;  // index in the host array of the leaf's type
};

// The root of the table's layout tree; null without a layout.
RuntimeNode* layoutRoot(const TableHeader& header);

// Number of run-time rows of a direction (the root's input or output count);
// 0 without a layout or for another direction.
int32_t runtimeRowCount(const TableHeader& header, int32_t direction);

// Run-time row `row` of `direction`. False for a table without layout, a
// direction other than 0 and 1, or a row outside 0 .. count - 1.
bool locateRow(const TableHeader& header, int32_t direction, int32_t row, LocatedLeaf& found);

// The value at `place` of the host array of `type` (0, 1, 2). False without
// a layout, for another type, or for a place outside 0 .. count - 1.
bool locatePlace(const TableHeader& header, int32_t type, int32_t place, LocatedLeaf& found);

}  // namespace uvt
