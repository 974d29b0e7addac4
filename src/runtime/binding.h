// Binding a table to the host's Integer, Real and Character work arrays, and
// the questions the host asks about them afterwards.
#pragma once

#include <cstdint>

namespace uvt {

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

}  // namespace uvt
