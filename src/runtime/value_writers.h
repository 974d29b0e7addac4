// The value writers: each finds its value leaf its own way and then writes
// it (value_write.h). They answer null on success, a constant message of
// the library, or the host's refusal.
#pragma once

#include <cstdint>

namespace uvt {

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
