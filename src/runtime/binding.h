// Binding a table to the host's work arrays and keeping it bound: the build
// of a table's layout tree from nothing, the binding exports and the
// questions the host asks afterwards, and the replacement that gives a bound
// table a new definition while it keeps its run-time state.
#pragma once

#include <cstdint>

namespace uvt {

// Binding a table to the host's Integer, Real and Character work arrays, and
// the questions the host asks about them afterwards.

// Builds the tree of a complete table and sends the host its sizes and
// values. A null or incomplete table is left as it is.
void initArrays(uintptr_t table);

// As initArrays, for arrays that already hold values: the k-th Integer leaf
// in tree order takes integers[k] (99999999: no value), the k-th Real leaf
// reals[k]. The host is asked to size its arrays but not sent the values it
// supplied: its storeElement is set aside for the call and put back.
void attachArrays(uintptr_t table, const int32_t* integers, const double* reals);

// Lays out the whole table again, so that every array asks the host's
// counts anew, and sends what changed. Keeps the tree and its values.
void setSymSize(uintptr_t table);

// Number of values of `type` (0 Integer, 1 Real, 2 Character); builds the
// tree of a complete table that has none first. 0 for a null or incomplete
// table and for any other type.
int32_t getLimit(uintptr_t table, int32_t type);

// The same from the table's address, without building anything: the counts
// of the last sync pass; 0 without a tree or for a null address.
int32_t getLimitDirect(const void* tableAddress, int32_t type);

// Giving a bound table a new definition while it keeps its run-time state.

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
