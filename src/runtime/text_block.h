// NUL-terminated 8-bit texts kept in host blocks of their own (length + 1
// bytes): node names and Character values.
#pragma once

#include <cstdint>

namespace uvt {

// A new block holding a copy of `text` (null counts as the empty text);
// 0 when the host has no memory.
uintptr_t makeTextBlock(const char* text);

// Gives the block back with its size taken from the text it holds. 0 is ignored.
void releaseTextBlock(uintptr_t handle);

// The text of a block; null for handle 0 or a block that does not resolve.
const char* textOf(uintptr_t handle);

}  // namespace uvt
