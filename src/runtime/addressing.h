// Addressing values: the value leaf at a run-time row or at a place in the
// host's array of its type, the place of a node, the walk that enumerates
// value leaves by handle, and the run-time rows, handles and path names
// handed out to the host.
#pragma once

#include "runtime/nodes.h"
#include "table/records.h"

#include <cstdint>

namespace uvt {

// Finding one value leaf by its rank among a kind of values: the n-th input
// or output value (a run-time row), or the n-th value of a type (a place in
// the host's array of that type). The walk skips every group that cannot
// hold the value in one step by the counters that the last sync pass left
// in it, so its cost grows with the depth of the tree and the siblings on
// the way; with the table's layout index it is one look-up.

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

// The place of a node among the values of its type, counted along the way
// from the root down to it (nodes.h) or read from the layout index.

struct LayoutIndex;

// The place of the chain's node among the values of `type`: at each level
// the values of that type in the siblings that come before the chain's node
// there. False when a node is not among its parent's children.
bool placeAlongChain(const NodeChain& chain, int32_t type, int32_t& place);

// The same, taken from the table's layout index when there is one and it
// knows the node; `index` may be null.
bool placeOfChainNode(const LayoutIndex* index, const NodeChain& chain, int32_t type, int32_t& place);

// The walk that enumerates value leaves by handle. It goes through the tree
// in pre-order from a node, without entering the node's own subtree, and
// stops at the next value leaf whose IO direction passes the filter.

// The next value leaf after `start` that matches `filter`, or 0 when none
// follows. From the root the whole tree is searched; from any other node the
// walk resumes after that node's subtree. `start` must resolve.
uintptr_t nextMatchingLeaf(uintptr_t start, int32_t filter);

// Handing out addresses of values: run-time rows, runtime handles and path
// names. Nothing here changes the table or the tree. Message-returning
// operations answer null on success and write their output only then.

int32_t numberOfRows(uintptr_t table, int32_t direction);
const char* handleByRow(uintptr_t table, int32_t row, int32_t direction, uintptr_t* handleOut);
const char* handleByName(uintptr_t table, const char* path, uintptr_t* handleOut);
const char* firstHandle(uintptr_t table, int32_t filter, uintptr_t* handleOut);
// `table` is only a hint: when its layout index knows the handle, the answer
// comes from there; any other handle is walked from as it is.
const char* nextHandle(uintptr_t table, uintptr_t handle, int32_t filter, uintptr_t* handleOut);

}  // namespace uvt
