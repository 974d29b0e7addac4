// Labels: what a label is and how it is composed and copied out, the label
// exports by run-time row, handle and place, and the table's function name
// and time stamp.
#pragma once

#include "runtime/nodes.h"

#include <cstdint>

namespace uvt {

// Labels: the text under which the host shows a value, made of the names on
// the value's way down the layout tree. A named node adds "." and its name
// (no "." before the top-level name), an array element adds "(" its number
// ")". When the value's own parent is an element of a structure array, that
// element's segment has a "." before it: S.(2).A, but S(2).T.B and S(2).Z(4).
// Every label is also a path name that leads back to its value.

// Room for any label: names have at most 19 characters and the nesting is
// bounded, so the longest label is far shorter.
inline constexpr int kLabelCapacity = 512;

// Composes the label of the chain's node into `label` (NUL-terminated; a
// label that would not fit is cut). The chain's top is the root and
// contributes nothing.
void composeLabel(const NodeChain& chain, char (&label)[kLabelCapacity]);

// Copies a label out. With length > 0 exactly `length` bytes are written: the
// label, cut to length - 1 characters when it does not fit, then NUL bytes
// up to `length`. With length <= 0 the whole label and its NUL are copied.
void copyLabelOut(const char* label, char* buffer, int32_t length);

// The label exports and the table's function name and time stamp. Nothing
// here changes the table or the tree.

// By run-time row, copied out with the bounded copy. Null or a message; the
// buffer is left as it was on failure.
const char* labelByRow(uintptr_t table, int32_t row, int32_t direction, char* buffer, int32_t length);

// By handle, copied out whole. Null or a message. Once the buffer is known
// to be there, every failure leaves the empty text in it. Handles of group
// nodes name no value and are refused with "Invalid argument".
const char* labelByHandle(uintptr_t table, uintptr_t handle, char* buffer);

// By value type and place; writes the value's IO direction to ioOut (0 first,
// kept when nothing is found). Returns the buffer, or null when nothing is
// found.
char* labelByPlace(uintptr_t table, int32_t type, int32_t place, int32_t* ioOut, char* buffer, int32_t length);

// The table's function name (with its NUL) and time stamp; nothing for a
// null table.
void functionOf(uintptr_t table, char* nameOut, int32_t* timeStampOut);

}  // namespace uvt
