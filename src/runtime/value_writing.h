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
#pragma once

#include "table/records.h"

#include <cstdint>

namespace uvt {

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

}  // namespace uvt
