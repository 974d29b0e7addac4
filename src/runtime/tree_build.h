// Building a table's layout tree from nothing and binding it to the host's
// arrays.
#pragma once

#include "runtime/layout.h"

#include <cstdint>

namespace uvt {

// When the table is complete: drops any old tree and element arrays, makes
// a new root, lays out the whole table (with starting values from `source`
// when given) and runs an unforced sync pass, whose message is dropped.
// Returns false, changing nothing, for a missing or incomplete table. A root
// that cannot be allocated leaves the table unbound.
bool buildTree(uintptr_t table, InitialValueSource* source);

}  // namespace uvt
