// The layout index: bookkeeping beside the layout tree that answers, in a
// few steps whatever the table's size, what the walks of the tree answer in
// time that grows with it: the value at a place or a run-time row, the place
// and run-time rows of a node, the next value after a node that passes a
// handle filter, the k-th element of an array (of values or of structures).
//
// It is one host block, made from the tree after a relayout has been synced
// (binding, an Integer write, a symbol-size refresh, a replacement) and
// given back whenever the tree may change shape (every layout pass and tree
// release), so an index that exists always describes the tree as it is.
// Value writes, reads, labels and handle calls only read it. When the block
// cannot be had, every caller walks the tree instead, with the same results.
//
// The block's handle is kept in the table header's spare words 2 and 3.
// Its size is always 3 more than a multiple of 256, which no other block of
// a table has (headers, rows, nodes and slots are even, texts short), so a
// host's memory log tells it apart at a glance. The block is made anew with
// every relayout, so its tables are kept lean (30 to 40 bytes per value on a
// 64-bit host): a leaf is found by handle through a table of 4-byte slots,
// and the handle filters are bit sets with a skip table of words.
#pragma once

#include "runtime/nodes.h"
#include "table/records.h"

#include <cstdint>

namespace uvt {

struct IndexedLeaf {
    uintptr_t handle;
    int32_t place;  // in the host array of its type
    int32_t type;
};

// A group node of the tree: the range of leaves (in tree order) below it and
// where its children are listed. The children of a group whose children are
// all value leaves (an array of values) are those leaves themselves; any
// other group's children are listed in the index's table of children.
struct IndexedGroup {
    uintptr_t handle;
    int32_t first;
    int32_t end;
    int32_t childCount;
    int32_t childrenAt;  // -1: child k is leaf first + k
};

struct LayoutIndex {
    uint32_t magic;
    int32_t bytes;
    uintptr_t root;
    int32_t leafCount;
    int32_t typeCounts[3];
    int32_t rowCounts[2];
    int32_t groupCount;
    int32_t filterWords;  // 64-leaf words of each handle filter's bit set
    uint32_t slotMask;    // slots - 1, a power of two less one
    // Byte offsets of the tables; the handles, places and types of the
    // leaves are tables of their own (13 bytes a leaf).
    int32_t leavesAt, leafPlacesAt, leafTypesAt, placesAt, rowsAt, filterBitsAt, nextWordAt, groupsAt, childListAt,
        slotsAt;
    // 1 when the index was made right after a layout pass over the whole
    // table; the variable rows of that moment follow (definitionAt).
    int32_t wholeLayout;
    int32_t definitionRows;
    int32_t definitionAt;

    IndexedLeaf leaf(int32_t seq) const {
        return IndexedLeaf{leafHandle(seq), table<int32_t>(leafPlacesAt)[seq], table<uint8_t>(leafTypesAt)[seq]};
    }
    uintptr_t leafHandle(int32_t seq) const { return table<uintptr_t>(leavesAt)[seq]; }
    // Position in tree order of the value at `place` of `type`; -1 for none.
    int32_t atPlace(int32_t type, int32_t place) const;
    // Position of run-time row `row` of direction 0 (input) or 1 (output); -1 for none.
    int32_t atRow(int32_t direction, int32_t row) const;
    // The position of a value leaf of the tree; -1 for any other handle.
    int32_t leafPosition(uintptr_t handle) const;
    // The entry of a group node of the tree; null for any other handle.
    const IndexedGroup* group(uintptr_t handle) const;
    // The position in tree order just past the subtree of a node of the
    // tree (a leaf's own position and one); -1 for a handle that is none.
    int32_t subtreeEnd(uintptr_t handle) const;
    static int32_t childCount(const IndexedGroup& group) { return group.childCount; }
    // Child `k` (from 0) of a group, an array's element k; 0 past its end.
    uintptr_t child(const IndexedGroup& group, int64_t k) const {
        if (k < 0 || k >= group.childCount) return 0;
        const auto at = static_cast<int32_t>(k);
        return group.childrenAt < 0 ? leafHandle(group.first + at)
                                    : table<uintptr_t>(childListAt)[group.childrenAt + at];
    }
    // The first value at or after position `from` that passes handle filter
    // `filter`; 0 when none does.
    uintptr_t nextMatching(int32_t from, int32_t filter) const;

    template <class T>
    const T* table(int32_t offset) const {
        return reinterpret_cast<const T*>(reinterpret_cast<const char*>(this) + offset);
    }

private:
    // The slot entry of a node: v > 0 for leaf v - 1, v < 0 for group -v - 1, 0 for none.
    int32_t entryOf(uintptr_t handle) const;
};

// The table's index, or null when it has none.
const LayoutIndex* openIndex(const TableHeader& header);

// Gives the index back (the tree is about to change).
void dropIndex(TableHeader& header);

// Replaces the index by one of the tree as it is now, which a layout pass
// over the whole table (wholeLayout) or over a part of it has just shaped.
// Makes none when the element arrays do not mirror the tree (a sync pass
// could not size them), when a value has an unknown type, or when the host
// has no memory.
void rebuildIndex(TableHeader& header, bool wholeLayout);

// Whether laying the table out again for a new value of the Integer leaf
// `leaf` would leave the tree exactly as it is and ask the host nothing: the
// tree was shaped by a whole layout of the very rows the table has now, no
// row takes its size from the host, the leaf is no array element, and either
// the count the leaf gives the rows it sizes stays as it was (`countKept`)
// or no row is sized by the leaf's variable. A whole layout of unchanged
// rows with unchanged counts finds every node matching and every count as it
// was, and so does a layout of any part of it.
bool integerWriteKeepsLayout(const LayoutIndex& index, const TableHeader& header, const RuntimeNode& leaf,
                             bool countKept);

}  // namespace uvt
