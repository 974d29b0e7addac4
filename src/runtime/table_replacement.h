// Giving a bound table a new definition while it keeps its run-time state.
#pragma once

#include <cstdint>

namespace uvt {

// The table behind `target` takes over the definition of `source` (its rows,
// function name, host values and configuration interface) and keeps its
// tree, values and element arrays; nodes are matched to the new rows by name,
// so every variable that keeps its name, kind and type keeps its value. Then
// every value is sent to the host again, and `source`'s handle is deleted
// along with the target's old definition.
//
// The host hears replaceEvent(0) first and replaceEvent(1) last, with one
// storeElement(-1, 0, null) after the first; a releaseEvent, if anything was
// released, follows the replaceEvent(1). An incomplete source changes
// nothing else. A null target binds the source in place. A null source, a
// source that does not resolve, and the same handle given twice do nothing.
void replaceTable(uintptr_t target, uintptr_t source);

}  // namespace uvt
