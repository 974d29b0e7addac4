// Writing values: the write of one value leaf that passes the change on to
// the host, and the writers that find their leaf by place, run-time row,
// handle or name and then write it.
#pragma once

#include "table/records.h"

#include <cstdint>

namespace uvt {

// Writing one value leaf and passing the change on to the host.
//
// A Character value is copied into a block of its own; a Real is sent and,
// when the host's storeElement refuses it, taken back with the host's text
// as the answer; an Integer may resize the arrays that it dimensions, so the
// tree is laid out with it, the host is asked through resizeArray for every
// array whose size would change, and only when it agrees to all of them is
// the change sent. A refused write changes nothing: the leaf keeps its value
// and its value-set flag, and elements that the new value would have cut off
// keep theirs.

enum class WriteRule {
    // rtmSetValue, rtmSetValueByRow, rtmSetValueByHandle: a null value
    // clears the leaf, and clearing a leaf without value does nothing at all.
    plain,
    // rtmSetVarValueByName: the whole write runs even for a null value.
    byName,
};

// `leaf` must be a value leaf of the tree of `table`. `value` points to an
// int32, a double or the text, by the leaf's type; null stores 0, 0.0 or the
// empty text without value. Returns null, or the host's refusal: the Real's
// storeElement text as given, or for an Integer the formatted text in the
// library's message buffer.
const char* writeLeafValue(uintptr_t table, uintptr_t leaf, const void* value, WriteRule rule);

// The value writers: each finds its value leaf its own way and then writes
// it (above). They answer null on success, a constant message of
// the library, or the host's refusal.

// By value type and place in the host's array of that type. A place outside
// the array, or another type, writes nothing and answers null.
const char* setValueAtPlace(uintptr_t table, int32_t type, int32_t place, const void* value);

// By run-time row of a direction (0 input, 1 output).
const char* setValueByRow(uintptr_t table, int32_t row, const void* value, int32_t direction);

// By runtime handle, which must be a value leaf of this table's tree.
const char* setValueByHandle(uintptr_t table, uintptr_t handle, const void* value);

// By variable name and index list (name_lookup.h), in the index mode in
// force.
const char* setValueByName(uintptr_t table, const char* name, const int32_t* indexes, const void* value);

}  // namespace uvt
