// An Integer write that resizes the arrays it dimensions, done on the part
// of the tree that changes rather than by laying the whole table out again.
//
// When the layout index vouches that the tree is the layout of the current
// rows, and the rows the Integer sizes are arrays among the later members of
// its own structure (or top-level rows after a top-level Integer), each of
// values or of structures whose new elements every pass lays out alike
// (their arrays sized by Integers of their own, which have no value yet, or
// by top-level Integers, whose counts the pass has seen or not),
// a layout pass from the written leaf would change nothing but the
// ends of those arrays: it would make their new elements or cut off the
// ones past the new count, in row order, and the host would hear the same
// from it as from the steps here. A new element of structures is laid out
// by the layout pass's own element step, so its nodes and blocks come in the
// same order and sizes. A pass over the whole table (a top-level
// Integer) also asks the host for the size of every row it sizes; that is
// done here too, in the same order, when all such rows are top-level arrays
// (of values, or of structures as above), and their arrays follow the
// answers. The values from the first
// changed array on move to new places; only they, and the written leaf, are
// compared with the element slots, and the index follows from the same
// gathering, element groups that came or went included. Every other case is
// left to the whole layout, which stays the reference.
#pragma once

#include "runtime/layout.h"
#include "runtime/layout_index.h"
#include "table/records.h"

#include <cstdint>
#include <vector>

namespace uvt {

class ResizingWrite {
public:
    // Whether the write to the Integer leaf `leaf` of the table can take
    // this way. The leaf holds its new value and the value-set flag that a
    // layout pass would see; nothing is changed yet.
    bool prepare(TableHeader& header, uintptr_t leaf);
    // Brings every array that the leaf sizes to the count it now gives, as
    // the layout pass would: new elements made at the end, those past the
    // count cut off through the tree release (which the write's release
    // deferral keeps aside).
    void layOut();
    // Adds the change in the number of values of each type to `sizes`.
    void addSizeChanges(int32_t sizes[3]) const;
    // The host agreed to the sizes: the counters of the groups, then the
    // sync of the written leaf and of the values from the first changed
    // array on.
    void sync();
    // After the cut-off nodes are given back: the index follows the tree.
    void followIndex();
    // The host refused and the leaf holds its previous value again, the
    // cut-off elements are back in their lists: the arrays are brought to the
    // counts a layout pass would give them now, which gives back the
    // elements this write made. The index stays when that is the tree it
    // describes, and goes otherwise.
    void takeBack();

private:
    struct SizedArray {
        uintptr_t node;
        const VariableRow* row;
        IndexedGroup entry;  // as the index had it before the write
        int32_t length;     // the elements it has now
        std::vector<uintptr_t> made;  // the elements past the index's, made by this write
        bool hostSized;
        int32_t rowIndex;
        int32_t rowsBelow;             // an array of structures: the nodes of one new element's subtree
        std::vector<KnownCount> known;  // the counts a layout pass has seen on reaching such an element
        int32_t counterChange[6] = {};  // what the groups above gain from the elements made and cut off
    };

    static int32_t oldLength(const SizedArray& array) { return array.entry.childCount; }
    static bool ofStructures(const SizedArray& array) { return array.row->type == kStructure; }
    int32_t countFor(const SizedArray& array, int32_t leafCount) const;
    uintptr_t element(const SizedArray& array, int32_t k) const;
    uintptr_t* linkAfter(SizedArray& array, int32_t count);
    void bringTo(SizedArray& array, int32_t count, bool noteReleased);

    TableHeader* header_ = nullptr;
    const LayoutIndex* index_ = nullptr;
    uintptr_t leaf_ = 0;
    int32_t leafSeq_ = 0;
    int32_t leafPlace_ = 0;
    int32_t count_ = 0;
    bool complete_ = true;  // every element the count asks for could be made
    bool changed_ = true;   // some array changed its length
    std::vector<SizedArray> arrays_;
    std::vector<uintptr_t> released_;
    IndexGathering gathered_;
};

}  // namespace uvt
