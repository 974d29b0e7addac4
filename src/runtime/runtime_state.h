#pragma once

#include "table/records.h"

#include <cstdint>

namespace uvt {

// Releases the node in `place`, its whole subtree and all its later
// siblings, and sets `place` to 0. While a ReleaseDeferral is active
// (release_deferral.h) they are only detached and kept aside.
void releaseTree(uintptr_t& place);

// Releases the three element arrays and zeroes their handles and counts.
void releaseElementArrays(TableHeader& header);

// Drops a table's whole run-time state: the layout tree and element arrays.
void releaseRuntimeState(TableHeader& header);

}  // namespace uvt
