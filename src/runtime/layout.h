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
#pragma once

#include "runtime/initial_values.h"

#include <cstdint>

namespace uvt {

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

}  // namespace uvt
