// Small helpers over runtime nodes, shared by every walk of the layout tree.
// Addresses from these helpers are good for the current operation only.
#pragma once

#include "runtime/nodes.h"
#include "table/records.h"

#include <cstdint>

namespace uvt {

// The node behind a handle; null for 0 or a handle that does not resolve.
RuntimeNode* resolveNode(uintptr_t handle);

// The node's name ("$TOP$" for the root, "1", "2", ... for array elements);
// the empty text when the node or its name block is missing, never null.
const char* nodeName(uintptr_t handle);
const char* nodeName(const RuntimeNode& node);

inline bool isValueLeaf(const RuntimeNode& node) { return node.kind == kValueLeaf; }
inline bool isArrayElement(const RuntimeNode& node) { return node.tag == kElementTag; }

// Whether the row is laid out as a value leaf (a scalar Integer, Real or
// Character row) rather than a group node.
inline bool rowNeedsValueLeaf(const VariableRow& row) {
    return row.type != kStructure && row.dimension == kScalar;
}

// Whether an array element node can stand for an element of `row`: a group
// for a Structure array, else a value leaf of the row's type.
bool elementFitsRow(const RuntimeNode& element, const VariableRow& row);

// The value type of a leaf as an array index 0..2, or -1 when it is not a
// value leaf of a known type.
int32_t leafArrayIndex(const RuntimeNode& node);

}  // namespace uvt
