#include "runtime/row_locator.h"

#include "runtime/layout_index.h"
#include "runtime/nodes.h"
#include "uvt.h"

namespace uvt {
namespace {

// What a walk counts: the counter of a group that says how many of the
// wanted values it holds, and whether a leaf is one of them.
struct Selection {
    int32_t groupCounter;
    bool (*belongs)(const RuntimeNode& leaf, int32_t argument);
    int32_t argument;
};

bool belongsToDirection(const RuntimeNode& leaf, int32_t direction) {
    const int32_t io = leaf.leaf.io;
    return direction == kInputDirection ? io == UVT_IO_INPUT || io == UVT_IO_BOTH
                                        : io == UVT_IO_OUTPUT || io == UVT_IO_BOTH;
}

bool hasType(const RuntimeNode& leaf, int32_t type) { return leafArrayIndex(leaf) == type; }

// Walks down from the root to the n-th selected leaf, counting the places of
// everything it passes. Ends without result when the counters do not lead
// to a leaf (they are only as current as the last sync pass).
bool locate(const RuntimeNode& root, const Selection& selection, int32_t n, LocatedLeaf& found) {
    int32_t places[3] = {0, 0, 0};
    int32_t remaining = n;
    uintptr_t child = root.firstChild;
    while (child != 0) {
        RuntimeNode* node = resolveNode(child);
        if (node == nullptr) return false;
        if (node->kind == kGroupNode) {
            const int32_t count = node->counters[selection.groupCounter];
            if (remaining < count) {
                child = node->firstChild;  // the value lies inside this group
                continue;
            }
            remaining -= count;
            for (int32_t t = kInteger; t <= kCharacter; ++t) places[t] += node->counters[typeCounter(t)];
        } else if (const int32_t type = leafArrayIndex(*node); type >= 0) {
            if (selection.belongs(*node, selection.argument)) {
                if (remaining == 0) {
                    found.handle = child;
                    found.node = node;
                    found.place = places[type];
                    return true;
                }
                --remaining;
            }
            ++places[type];
        }
        child = node->nextSibling;
    }
    return false;
}

// The same through the layout index: the leaf at a position in tree order.
bool fromIndex(const LayoutIndex& index, int32_t seq, LocatedLeaf& found) {
    if (seq < 0) return false;
    const IndexedLeaf& leaf = index.leaf(seq);
    RuntimeNode* node = resolveNode(leaf.handle);
    if (node == nullptr) return false;
    found.handle = leaf.handle;
    found.node = node;
    found.place = leaf.place;
    return true;
}

}  // namespace

RuntimeNode* layoutRoot(const TableHeader& header) { return resolveNode(header.runtimeRoot); }

int32_t runtimeRowCount(const TableHeader& header, int32_t direction) {
    const RuntimeNode* root = layoutRoot(header);
    if (root == nullptr || !isDirection(direction)) return 0;
    return root->counters[direction == kInputDirection ? kInputCount : kOutputCount];
}

bool locateRow(const TableHeader& header, int32_t direction, int32_t row, LocatedLeaf& found) {
    const RuntimeNode* root = layoutRoot(header);
    if (root == nullptr || !isDirection(direction)) return false;
    if (row < 0 || row >= runtimeRowCount(header, direction)) return false;
    if (const LayoutIndex* index = openIndex(header)) return fromIndex(*index, index->atRow(direction, row), found);
    const Selection selection{direction == kInputDirection ? kInputCount : kOutputCount, &belongsToDirection,
                              direction};
    return locate(*root, selection, row, found);
}

bool locatePlace(const TableHeader& header, int32_t type, int32_t place, LocatedLeaf& found) {
    const RuntimeNode* root = layoutRoot(header);
    if (root == nullptr || type < kInteger || type > kCharacter) return false;
    if (place < 0 || place >= root->counters[typeCounter(type)]) return false;
    if (const LayoutIndex* index = openIndex(header)) return fromIndex(*index, index->atPlace(type, place), found);
    const Selection selection{typeCounter(type), &hasType, type};
    return locate(*root, selection, place, found);
}

}  // namespace uvt
