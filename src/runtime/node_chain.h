// The way from the root of a layout tree down to one node, found by climbing
// the node's parent links. Labels, places and the check that a handle
// belongs to a given table all read it; climbing costs the node's depth,
// never the size of the tree.
#pragma once

#include "runtime/nodes.h"

#include <cstdint>

namespace uvt {

struct LayoutIndex;


// The place of the chain's node among the values of `type`: at each level
// the values of that type in the siblings that come before the chain's node
// there. False when a node is not among its parent's children.
bool placeAlongChain(const NodeChain& chain, int32_t type, int32_t& place);

// The same, taken from the table's layout index when there is one and it
// knows the node; `index` may be null.
bool placeOfChainNode(const LayoutIndex* index, const NodeChain& chain, int32_t type, int32_t& place);

}  // namespace uvt
