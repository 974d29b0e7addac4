// Labels: the text under which the host shows a value, made of the names on
// the value's way down the layout tree. A named node adds "." and its name
// (no "." before the top-level name), an array element adds "(" its number
// ")". When the value's own parent is an element of a structure array, that
// element's segment has a "." before it: S.(2).A, but S(2).T.B and S(2).Z(4).
// Every label is also a path name that leads back to its value.
#pragma once

#include "runtime/nodes.h"

#include <cstdint>

namespace uvt {

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

}  // namespace uvt
