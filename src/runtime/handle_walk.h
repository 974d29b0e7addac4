// Runtime handles and the walk that enumerates value leaves by handle.
//
// A runtime handle is the memory handle of a node of the layout tree, given
// to the host unchanged. The walk goes through the tree in pre-order from a
// node, without entering the node's own subtree, and stops at the next
// value leaf whose IO direction passes the filter.
#pragma once

#include "runtime/nodes.h"

#include <cstdint>

namespace uvt {

inline constexpr uintptr_t kHandleSentinel = 0x0FFFFFFF;

// Neither 0 nor the sentinel; nothing else is looked at.
inline bool isHandleValid(uintptr_t handle) { return handle != 0 && handle != kHandleSentinel; }

// Filters: -1 every value; 0 not Output Only; 1 not Input Only; 2 Input Only;
// 3 Output Only; 4 Input and Output; anything else none.
bool leafMatchesFilter(const RuntimeNode& leaf, int32_t filter);

// The next value leaf after `start` that matches `filter`, or 0 when none
// follows. From the root the whole tree is searched; from any other node the
// walk resumes after that node's subtree. `start` must resolve.
uintptr_t nextMatchingLeaf(uintptr_t start, int32_t filter);

}  // namespace uvt
