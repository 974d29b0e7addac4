#include "runtime/addressing.h"

#include "runtime/layout_index.h"
#include "runtime/name_lookup.h"
#include "runtime/nodes.h"
#include "runtime/runtime_messages.h"
#include "table/records.h"
#include "table/table_access.h"
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

bool placeAlongChain(const NodeChain& chain, int32_t type, int32_t& place) {
    if (type < kInteger || type > kCharacter) return false;
    int32_t sum = 0;
    for (int level = 1; level < chain.length; ++level) {
        const RuntimeNode* parent = resolveNode(chain.handles[level - 1]);
        if (parent == nullptr) return false;
        const uintptr_t wanted = chain.handles[level];
        uintptr_t child = parent->firstChild;
        while (child != wanted) {
            const RuntimeNode* sibling = resolveNode(child);
            if (sibling == nullptr) return false;  // the end of the list, or a broken link
            if (sibling->kind == kGroupNode) sum += sibling->counters[typeCounter(type)];
            else if (leafArrayIndex(*sibling) == type) ++sum;
            child = sibling->nextSibling;
        }
    }
    place = sum;
    return true;
}

bool placeOfChainNode(const LayoutIndex* index, const NodeChain& chain, int32_t type, int32_t& place) {
    if (index != nullptr && chain.length > 0 && chain.top() == index->root) {
        const int32_t seq = index->leafPosition(chain.node());
        if (seq >= 0 && index->leaf(seq).type == type) {
            place = index->leaf(seq).place;
            return true;
        }
    }
    return placeAlongChain(chain, type, place);
}

uintptr_t nextMatchingLeaf(uintptr_t start, int32_t filter) {
    const RuntimeNode* startNode = resolveNode(start);
    if (startNode == nullptr) return 0;
    uintptr_t context = startNode->parent == 0 ? start : startNode->parent;
    uintptr_t current = startNode->parent == 0 ? startNode->firstChild : startNode->nextSibling;
    for (;;) {
        while (current == 0) {
            // The end of a sibling list: go on after the group that held it.
            const RuntimeNode* group = resolveNode(context);
            if (group == nullptr || group->parent == 0) return 0;
            current = group->nextSibling;
            context = group->parent;
        }
        const RuntimeNode* node = resolveNode(current);
        if (node == nullptr) return 0;
        if (node->kind == kValueLeaf) {
            if (leafMatchesFilter(*node, filter)) return current;
            current = node->nextSibling;
        } else {
            context = current;
            current = node->firstChild;
        }
    }
}

int32_t numberOfRows(uintptr_t table, int32_t direction) {
    const TableHeader* header = resolveTable(table);
    return header == nullptr ? 0 : runtimeRowCount(*header, direction);
}

const char* handleByRow(uintptr_t table, int32_t row, int32_t direction, uintptr_t* handleOut) {
    if (handleOut == nullptr) return messages::kInvalidArgument;
    if (!isDirection(direction)) return messages::kIoNotSupported;
    const TableHeader* header = resolveTable(table);
    LocatedLeaf found;
    if (header == nullptr || !locateRow(*header, direction, row, found)) return messages::kInvalidRowNumber;
    *handleOut = found.handle;
    return nullptr;
}

const char* handleByName(uintptr_t table, const char* path, uintptr_t* handleOut) {
    if (handleOut == nullptr) return messages::kInvalidArgument;
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return messages::kInvalidTable;
    if (layoutRoot(*header) == nullptr) return messages::kArraysNotInitialized;
    const uintptr_t found = findByPath(header->runtimeRoot, path, openIndex(*header));
    if (found == 0) return messages::kInvalidRowNumber;
    *handleOut = found;
    return nullptr;
}

const char* firstHandle(uintptr_t table, int32_t filter, uintptr_t* handleOut) {
    if (handleOut == nullptr) return messages::kInvalidArgument;
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return messages::kInvalidTable;
    if (layoutRoot(*header) == nullptr) return messages::kArraysNotInitialized;
    const LayoutIndex* index = openIndex(*header);
    *handleOut = index != nullptr ? index->nextMatching(0, filter) : nextMatchingLeaf(header->runtimeRoot, filter);
    return nullptr;
}

const char* nextHandle(uintptr_t table, uintptr_t handle, int32_t filter, uintptr_t* handleOut) {
    // A handle that names no node is refused like 0: walking on from it
    // would read whatever lies behind it.
    if (!isHandleValid(handle) || resolveNode(handle) == nullptr) return messages::kInvalidArgument;
    if (handleOut == nullptr) return messages::kInvalidArgument;
    const TableHeader* header = table == 0 ? nullptr : resolveTable(table);
    const LayoutIndex* index = header == nullptr ? nullptr : openIndex(*header);
    if (const int32_t end = index == nullptr ? -1 : index->subtreeEnd(handle); end >= 0) {
        // From the root the whole tree is searched, from any other node the
        // search resumes after its subtree.
        *handleOut = index->nextMatching(handle == index->root ? 0 : end, filter);
        return nullptr;
    }
    *handleOut = nextMatchingLeaf(handle, filter);
    return nullptr;
}

}  // namespace uvt
