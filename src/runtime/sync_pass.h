// The sync pass: recounts the layout tree, brings the three element arrays
// (what the host was last told, one 24-byte slot per value in tree order)
// in line with it, tells the host new array sizes through resizeArray and
// sends it, through storeElement, the values whose state changed.
//
// Per array, in the order Integer, Real, Character: resizeArray when the
// count changed; after a shrink a storeElement with a null value for every
// element cut off; then storeElement for every changed slot (every slot when
// forced), with null for a slot without value. The first message that
// storeElement answers stops the sending of values for the rest of the pass,
// but later arrays are still resized.
//
// Character slots hold the node's text handle and are compared by handle,
// so whoever changes a Character value must obtain the new text block
// before giving back the old one: a reused handle would read as unchanged.
#pragma once

#include "runtime/layout_index.h"
#include "table/records.h"

#include <cstdint>

namespace uvt {

// Returns the first message that storeElement answered, or null. Without a
// tree every array is brought to 0 elements and nothing is sent.
const char* syncPass(TableHeader& header, bool force);

// The same for a table handle; null for a table that does not resolve.
const char* syncTable(uintptr_t table, bool force);

// The sync pass after a change of one leaf's value and nothing else. With
// the layout index every other slot is known to mirror its node already
// (each pass leaves them so, and only value writes change nodes between
// relayouts), so only the leaf's own slot is compared and sent, which is
// what the whole pass would do; without the index the whole pass runs.
const char* syncValueChange(TableHeader& header, uintptr_t leaf);

// The sync pass after a write that changed the Integer leaf `written` (at
// `writtenPlace`) and reshaped the tree from a point on: the stretch of the
// tree from there, gathered with its new places. Every other slot mirrors
// its node (the index vouches for that), so only the written leaf's slot and
// the slots of the stretch are compared, and the host hears exactly what the
// whole pass would tell it, in the same order.
const char* syncStretch(TableHeader& header, uintptr_t written, int32_t writtenPlace, const IndexGathering& stretch);

}  // namespace uvt
