// Laying a table out: the layout pass that brings the layout tree in line
// with the table's rows, the starting values it hands to new leaves, and
// the count of the values below a node that the tree itself gives.
#pragma once

#include "table/records.h"

#include <cstddef>
#include <cstdint>

namespace uvt {

// Starting values that the host hands over when it attaches arrays that
// already hold values: the k-th Integer value leaf in tree order takes the
// k-th int32, the k-th Real leaf the k-th double.

// The int32 that stands for "no value".
inline constexpr int32_t kNoValueMarker = 99999999;

struct InitialValueSource {
    // Either may be null: leaves of that type then take no value, while the
    // cursor still advances, so that the other type's places stay right.
    const int32_t* integers = nullptr;
    const double* reals = nullptr;
    int32_t integerCursor = 0;  // the layout pass sets both to 0 when it starts
    int32_t realCursor = 0;
};

// The layout pass: brings a table's layout tree in line with its rows.
//
// Every variable row gets a node below the root "$TOP$" (rows of depth 0)
// or below its Structure (the following rows one level deeper); arrays get
// element nodes "1", "2", ... whose count comes from the host's querySize
// (dimension codes below -1) or from the value of an Integer row laid out
// earlier in the same pass (dimension codes 0 and up name that row's id).
// Existing nodes are reused when they still match their row by name, kind
// and type, so values and node handles survive a relayout; nodes that no
// longer match anything are released (the host hears of it once, when the
// outermost counted operation ends).

// table: the table's handle; nothing happens for 0, for a table without rows
// or, with no start node, for a table without a tree.
// source: starting values for Integer and Real leaves in tree order, or null
// (its cursors are reset first).
// startNode: 0 for the whole table. Otherwise only the row that owns the
// node is refreshed (for an array element node: the row of its array). A
// start node that is the root means the whole table. When the node no
// longer fits its row (the definition changed under a bound table) nothing
// happens; a whole-table pass puts that right.
void layoutPass(uintptr_t table, InitialValueSource* source, uintptr_t startNode);

// The value a layout pass has seen of Integer row `row` by the time it
// reaches some node: the count of the rows that it sizes from there on.
struct KnownCount {
    int32_t row;
    int32_t count;
};

// Element `elementIndex` (from 0) of array node `array` of row `rowIndex`,
// made and laid out exactly as a layout pass without starting values makes
// a missing element, and linked in at `place`: for an array of structures
// the element's members, and theirs, in row order. The pass is taken to
// have seen the `knownCount` counts at `known` and no other Integer before
// the element. Returns the element, or 0 when the host had no memory for it.
uintptr_t layoutNewElement(TableHeader& header, uintptr_t array, int32_t rowIndex, int32_t elementIndex,
                           uintptr_t* place, const KnownCount* known = nullptr, std::size_t knownCount = 0);

// Counting the values below a node straight from the tree, without the
// counters that the sync pass keeps.

// For a group node: sets the three counters to the numbers of Integer, Real
// and Character value leaves in its subtree. For a value leaf, or a handle
// that does not resolve, the counters keep what they held.
void countValues(uintptr_t node, int32_t& integers, int32_t& reals, int32_t& characters);

}  // namespace uvt
