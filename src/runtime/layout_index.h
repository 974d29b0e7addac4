// The layout index: bookkeeping beside the layout tree that answers, in a
// few steps whatever the table's size, what the walks of the tree answer in
// time that grows with it: the value at a place or a run-time row, the place
// and run-time rows of a node, the next value after a node that passes a
// handle filter, the i-th element of an array of values.
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
// host's memory log tells it apart at a glance.
#pragma once

#include "runtime/nodes.h"
#include "table/records.h"

#include <cstdint>

namespace uvt {

struct IndexedLeaf {
    uintptr_t handle;
    int32_t place;  // in the host array of its type
    int32_t type;
    int32_t inputRow;   // -1 when the value is no input
    int32_t outputRow;  // -1 when the value is no output
};

// A node of the tree and the range of leaves (in tree order) below it: for a
// leaf, its own position and the next.
struct IndexedNode {
    uintptr_t handle;  // 0: an empty entry
    int32_t first;
    int32_t end;
    int32_t leafChildren;  // 1 when every child is a value leaf (an array of values)
};

struct LayoutIndex {
    uint32_t magic;
    int32_t bytes;
    uintptr_t root;
    int32_t leafCount;
    int32_t typeCounts[3];
    int32_t rowCounts[2];
    uint32_t nodeMask;  // entries - 1, a power of two less one
    int32_t leavesAt, placesAt, rowsAt, nextAt, nodesAt;  // byte offsets of the tables
    // 1 when the index was made right after a layout pass over the whole
    // table; the variable rows of that moment follow (definitionAt).
    int32_t wholeLayout;
    int32_t definitionRows;
    int32_t definitionAt;

    const IndexedLeaf& leaf(int32_t seq) const { return table<IndexedLeaf>(leavesAt)[seq]; }
    // Position in tree order of the value at `place` of `type`; -1 for none.
    int32_t atPlace(int32_t type, int32_t place) const;
    // Position of run-time row `row` of direction 0 (input) or 1 (output); -1 for none.
    int32_t atRow(int32_t direction, int32_t row) const;
    // The entry of a node of the tree; null for a handle that is none.
    const IndexedNode* find(uintptr_t handle) const;
    // The position of a value leaf of the tree; -1 for any other handle.
    int32_t leafPosition(uintptr_t handle) const {
        const IndexedNode* entry = find(handle);
        return entry != nullptr && entry->end == entry->first + 1 && leaf(entry->first).handle == handle ? entry->first
                                                                                                        : -1;
    }
    // The entry of an array of values (a node whose children are all value
    // leaves); null for any other handle, which callers then walk.
    const IndexedNode* valueArray(uintptr_t handle) const {
        const IndexedNode* entry = find(handle);
        return entry != nullptr && entry->leafChildren != 0 ? entry : nullptr;
    }
    static int32_t length(const IndexedNode& array) { return array.end - array.first; }
    // Element `k` (from 0) of an array of values; 0 past its end.
    uintptr_t element(const IndexedNode& array, int64_t k) const {
        return k >= 0 && k < length(array) ? leaf(array.first + static_cast<int32_t>(k)).handle : 0;
    }
    // The first value at or after position `from` that passes handle filter
    // `filter`; 0 when none does.
    uintptr_t nextMatching(int32_t from, int32_t filter) const;

    template <class T>
    const T* table(int32_t offset) const {
        return reinterpret_cast<const T*>(reinterpret_cast<const char*>(this) + offset);
    }
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
