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


// The next value leaf after `start` that matches `filter`, or 0 when none
// follows. From the root the whole tree is searched; from any other node the
// walk resumes after that node's subtree. `start` must resolve.
uintptr_t nextMatchingLeaf(uintptr_t start, int32_t filter);

}  // namespace uvt
