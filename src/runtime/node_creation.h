// Making runtime nodes. Every node is one host block of kNodeSize bytes with
// its name in a block of its own; a node that cannot be made in full is not
// made at all, and the caller simply goes on without it.
#pragma once

#include "table/records.h"

#include <cstdint>

namespace uvt {

inline constexpr int32_t kNoElement = -1;

// A node for `row` under `parent`. With elementIndex kNoElement it is the
// row's own node: named after the row, tagged with the row's dimension code.
// Otherwise it is the array element elementIndex (from 0), named by its
// number from 1 and tagged kElementTag. Structure rows, and the row's own
// node of an array, are group nodes with zero counters; everything else is
// a value leaf of the row's type and IO without a value. 0 when the host
// has no memory.
uintptr_t createNode(const VariableRow& row, uintptr_t parent, int32_t elementIndex);

// A fresh root: group node "$TOP$", tag -1, no parent, zero counters.
uintptr_t createRootNode();

}  // namespace uvt
