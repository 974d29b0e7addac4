// The layout index: bookkeeping beside the layout tree that answers, in a
// few steps whatever the table's size, what the walks of the tree answer in
// time that grows with it: the value at a place or a run-time row, the place
// and run-time rows of a node, the next value after a node that passes a
// handle filter, the k-th element of an array (of values or of structures).
//
// It is one host block, made from the tree after a relayout has been synced
// (binding, an Integer write, a symbol-size refresh, a replacement) and
// given back whenever a layout pass may change the tree's shape, so an index
// that exists always describes the tree as it is. An Integer write that only
// makes or cuts off the ends of arrays changes the tree without a layout
// pass and brings the index up to date in place, from the first changed
// array on; its tables have room to spare for that, and it is made anew when
// the room runs out. Other value writes, reads, labels and handle
// calls only read it. When the block cannot be had, every caller walks the
// tree instead, with the same results.
//
// The block's handle is kept in the table header's spare words 2 and 3.
// Its size is always 3 more than a multiple of 256, which no other block of
// a table has (headers, rows, nodes and slots are even, texts short), so a
// host's memory log tells it apart at a glance. The block is made anew with
// every relayout but the resizing write's, so its tables are kept lean (30
// to 40 bytes per value on a 64-bit host, and a 64th part to spare): a leaf
// is found by handle through a table of 4-byte slots, and the handle filters
// are bit sets with a skip table of words.
#pragma once

#include "runtime/nodes.h"
#include "table/records.h"

#include <cstdint>
#include <vector>

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
    int32_t groupCount;   // entries of the group table in use, those on the free list included
    int32_t filterWords;  // 64-leaf words of each handle filter's bit set in use
    uint32_t slotMask;    // slots - 1, a power of two less one
    // Every table that follows the leaves is made with room to spare, so
    // that a write that adds or removes a few values or element groups can
    // bring the index up to date in place. The entries of groups that left
    // the tree form a free list (through `first`, -1 ending it); every child
    // list has a word before it that holds how many children it has room
    // for, and lists that outgrow their room move to the unused end of the
    // table of lists.
    int32_t leafCapacity, placeCapacity[3], rowCapacity[2], filterWordCapacity, groupCapacity, childCapacity;
    int32_t freeGroup, freeGroups, childUsed;
    // Byte offsets of the tables: the leaves; per type the positions of its
    // values by place; per direction the positions of its run-time rows; the
    // filter bit sets and skip tables; the groups, their child lists, the slots.
    // The handles, places and types of the leaves are tables of their own
    // (13 bytes a leaf).
    int32_t leavesAt, leafPlacesAt, leafTypesAt, placesAt[3], rowsAt[2], filterBitsAt, nextWordAt, groupsAt,
        childListAt, slotsAt;
    // 1 when the tree is what a layout pass over the whole table would make
    // of the rows of that moment, which follow (definitionAt).
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

    // How many values of `type` come before position `seq` in tree order.
    int32_t placesBefore(int32_t type, int32_t seq) const;

    template <class T>
    const T* table(int32_t offset) const {
        return reinterpret_cast<const T*>(reinterpret_cast<const char*>(this) + offset);
    }
    template <class T>
    T* table(int32_t offset) {
        return reinterpret_cast<T*>(reinterpret_cast<char*>(this) + offset);
    }

    // The slot entry of a node: v > 0 for leaf v - 1, v < 0 for group -v - 1, 0 for none.
    int32_t entryOf(uintptr_t handle) const;
    // The node an entry stands for.
    uintptr_t entryHandle(int32_t entry) const {
        return entry > 0 ? leafHandle(entry - 1) : table<IndexedGroup>(groupsAt)[-entry - 1].handle;
    }
};

// The leaves and groups of a stretch of the tree in tree order, numbered on
// from the counts before it: what an index is made of, whole or in part.
struct IndexGathering {
    int32_t seqBase = 0;                        // position of the first leaf gathered
    std::vector<IndexedLeaf> leaves;            // places numbered on from the counts below
    std::vector<uint8_t> traits;                // per leaf, filter and row bits
    std::vector<IndexedGroup> groups;           // every group entered, with its range
    std::vector<IndexedGroup> closed;           // groups only left (the start's ancestors): handle and end
    std::vector<uintptr_t> children;            // the lists of groups that have group children
    std::vector<std::vector<uintptr_t>> pending;  // per depth, the list of the group being walked
    // The children of the stretch's first parent from where the stretch
    // starts: how many come before (kept as the index has them) and the
    // ones walked, which replace the rest of its list.
    int32_t keptChildren = 0;
    std::vector<uintptr_t> tail;
    bool tailHasGroups = false;
    int32_t typeCounts[3] = {0, 0, 0};          // counts so far, the totals once the walk is done
    int32_t rowCounts[2] = {0, 0};
    bool usable = true;
};

// Gathers the tree from node `start` (0: none) and its later siblings on,
// whose parent is `parent`, to the end of the tree: then the later siblings
// of `parent`, of its parent, and so on. `parent` keeps its first
// `keptChildren` children before `start`. The counts before the stretch come
// from `index`, which must still describe the tree up to position `seqBase`.
void gatherFrom(const LayoutIndex& index, uintptr_t start, uintptr_t parent, int32_t keptChildren, int32_t seqBase,
                IndexGathering& out);

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

// Brings the index in line with the tree after a change that left every
// leaf before position `gathered.seqBase` where it was, and every group
// before it with the children it had: the stretch from there on was
// gathered with gatherFrom, and `released` lists the nodes cut off the tree,
// leaves and groups. Groups of the stretch the index does not know yet are
// added. Makes the index anew when its room does not suffice; drops it when
// the element arrays do not mirror the tree. `wholeLayout` as for
// rebuildIndex.
void updateIndex(TableHeader& header, const IndexGathering& gathered, const std::vector<uintptr_t>& released,
                 bool wholeLayout);

// Whether the tree was shaped by a layout pass over the whole table of the
// very rows the table has now, and (unless `hostSizesAllowed`) none of them
// takes its size from the host: then laying any part of it out again asks
// the host nothing and changes only what a changed count changes.
bool layoutFollowsRows(const LayoutIndex& index, const TableHeader& header, bool hostSizesAllowed);

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
