// Counting the values below a node straight from the tree, without the
// counters that the sync pass keeps.
#pragma once

#include <cstdint>

namespace uvt {

// For a group node: sets the three counters to the numbers of Integer, Real
// and Character value leaves in its subtree. For a value leaf, or a handle
// that does not resolve, the counters keep what they held.
void countValues(uintptr_t node, int32_t& integers, int32_t& reals, int32_t& characters);

}  // namespace uvt
