// Nodes of the layout tree and what every layer of the run-time code does
// with them: the node and element-slot records, the small helpers of the tree
// walks, runtime handles and their filters, the climb from a node to its
// root, the making of nodes, and the text blocks that hold node names and
// Character values.
#pragma once

#include "table/records.h"
#include "uvt.h"

#include <cstddef>
#include <cstdint>

namespace uvt {

// The runtime node: one block per variable and per array element of the
// layout tree. 48 bytes with 32-bit pointers. Group nodes keep six counters
// where value leaves keep their value.

enum NodeKind : int32_t { kGroupNode = 0, kValueLeaf = 1 };

inline constexpr int32_t kElementTag = -100;
inline constexpr int32_t kRootTag = -1;
inline constexpr const char* kRootName = "$TOP$";

union NodeValue {
    int32_t integer;
    double real;
    uintptr_t text;  // handle of a NUL-terminated block, or 0
};

struct LeafPart {
    NodeValue value;
    int32_t valueType;
    int32_t io;
    int32_t valueSet;
};

enum Counter { kValueCount = 0, kInputCount, kOutputCount, kIntegerCount, kRealCount, kCharacterCount };

struct alignas(8) RuntimeNode {
    int32_t kind;
    uintptr_t parent;
    uintptr_t nextSibling;
    uintptr_t firstChild;
    int32_t tag;
    uintptr_t name;
    union {
        LeafPart leaf;
        int32_t counters[6];
    };
};

inline constexpr int32_t kNodeSize = static_cast<int32_t>(sizeof(RuntimeNode));
static_assert(sizeof(void*) != 4 || sizeof(RuntimeNode) == 48, "runtime node must be 48 bytes");

// Element slot of the element arrays: what the host was last told of one value.
struct alignas(8) ElementSlot {
    int32_t changed;
    int32_t valueType;
    int32_t hasValue;
    NodeValue value;
};

inline constexpr int32_t kSlotBytes = static_cast<int32_t>(sizeof(ElementSlot));
static_assert(sizeof(ElementSlot) == 24, "element slot must be 24 bytes");

inline int32_t typeCounter(int32_t type) { return kIntegerCount + type; }

// What `values` values of `type` and direction `io` add to a group's counters.
inline void addToCounters(int32_t counters[6], int32_t type, int32_t io, int32_t values) {
    counters[kValueCount] += values;
    counters[typeCounter(type)] += values;
    if (io == UVT_IO_INPUT || io == UVT_IO_BOTH) counters[kInputCount] += values;
    if (io == UVT_IO_OUTPUT || io == UVT_IO_BOTH) counters[kOutputCount] += values;
}

// Small helpers over runtime nodes, shared by every walk of the layout tree.
// Addresses from these helpers are good for the current operation only.

// The node behind a handle; null for 0 or a handle that does not resolve.
RuntimeNode* resolveNode(uintptr_t handle);

// The node's name ("$TOP$" for the root, "1", "2", ... for array elements);
// the empty text when the node or its name block is missing, never null.
const char* nodeName(uintptr_t handle);
const char* nodeName(const RuntimeNode& node);

// The first child of `group` whose name is exactly the `length` bytes at
// `name`; 0 when none is.
uintptr_t childNamed(const RuntimeNode& group, const char* name, std::size_t length);

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

// Sets the counters of `group` and of every group below it from the value
// leaves of its subtree, calling visit(type, leaf) for each leaf in tree
// order; returns the number of nodes below it. Recurses into groups only,
// whose depth the structure nesting bounds; siblings are walked in a loop.
template <class LeafVisit>
int32_t recountGroup(RuntimeNode& group, LeafVisit&& visit) {
    for (int c = 0; c < 6; ++c) group.counters[c] = 0;
    int32_t nodes = 0;
    for (uintptr_t child = group.firstChild; child != 0;) {
        RuntimeNode* node = resolveNode(child);
        if (node == nullptr) break;
        ++nodes;
        if (node->kind == kGroupNode) {
            nodes += recountGroup(*node, visit);
            for (int c = 0; c < 6; ++c) group.counters[c] += node->counters[c];
        } else if (const int32_t type = leafArrayIndex(*node); type >= 0) {
            visit(type, node->leaf);
            addToCounters(group.counters, type, node->leaf.io, 1);
        }
        child = node->nextSibling;
    }
    return nodes;
}

// Runtime handles. A runtime handle is the memory handle of a node of the
// layout tree, given to the host unchanged; the handle walks pass the value
// leaves whose IO direction a filter lets through.

inline constexpr uintptr_t kHandleSentinel = 0x0FFFFFFF;

// Neither 0 nor the sentinel; nothing else is looked at.
inline bool isHandleValid(uintptr_t handle) { return handle != 0 && handle != kHandleSentinel; }

// Filters: -1 every value; 0 not Output Only; 1 not Input Only; 2 Input Only;
// 3 Output Only; 4 Input and Output; anything else none.
bool leafMatchesFilter(const RuntimeNode& leaf, int32_t filter);

// The way from the root of a layout tree down to one node, found by climbing
// the node's parent links. Labels, places and the check that a handle
// belongs to a given table all read it; climbing costs the node's depth,
// never the size of the tree.

// Far deeper than any layout: nine structure levels, each perhaps an array
// with its element level, under the root. A longer climb means the parent
// links do not lead to a root (a handle that is no node of a tree).
inline constexpr int kMaxChainLength = 64;

struct NodeChain {
    uintptr_t handles[kMaxChainLength];  // [0] the top (a node without parent), [length - 1] the node
    int length = 0;

    uintptr_t top() const { return handles[0]; }
    uintptr_t node() const { return handles[length - 1]; }
};

// Climbs from `handle` to the node without parent. False when a node on the
// way does not resolve or the climb does not end.
bool climbToTop(uintptr_t handle, NodeChain& chain);

// Making runtime nodes. Every node is one host block of kNodeSize bytes with
// its name in a block of its own; a node that cannot be made in full is not
// made at all, and the caller simply goes on without it.

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

// NUL-terminated 8-bit texts kept in host blocks of their own (length + 1
// bytes): node names and Character values.

// A new block holding a copy of `text` (null counts as the empty text);
// 0 when the host has no memory.
uintptr_t makeTextBlock(const char* text);

// Gives the block back with its size taken from the text it holds. 0 is ignored.
void releaseTextBlock(uintptr_t handle);

// The text of a block; null for handle 0 or a block that does not resolve.
const char* textOf(uintptr_t handle);

}  // namespace uvt
