// Reading values: the value type, a pointer to the value in the library's
// own storage (null while the value is not set), the element number (place
// + 1) and the place, addressed by run-time row, runtime handle or variable
// name. Nothing here changes anything or calls the host's symbol-size or
// event routines. Outputs are written only on success.
//
// Handles of group nodes (a structure, an array, an element of a structure
// array, the root) hold no value: the by-handle readers answer "Invalid
// argument" for them, as for a null output.
#pragma once

#include <cstdint>

namespace uvt {

const char* typeByRow(uintptr_t table, int32_t row, int32_t* typeOut, int32_t direction);
const char* valueByRow(uintptr_t table, int32_t row, void** valueOut, int32_t direction);
const char* elementByRow(uintptr_t table, int32_t row, int32_t direction, int32_t* elementOut);

const char* typeByHandle(uintptr_t handle, int32_t* typeOut);
const char* valueByHandle(uintptr_t handle, void** valueOut);
const char* elementByHandle(uintptr_t table, uintptr_t handle, int32_t filter, int32_t* elementOut);

// By name, in the index mode in force (name_lookup.h).
const char* varValueByName(uintptr_t table, const char* name, const int32_t* indexes, void** valueOut,
                           int32_t* typeOut);
const char* varLocationByName(uintptr_t table, const char* name, const int32_t* indexes, int32_t* placeOut,
                              int32_t* typeOut);
// Number of elements of the array that name and indexes designate; -1 for
// anything else (no table, no layout, not found, not an array, no elements).
int32_t arrayLength(uintptr_t table, const char* name, const int32_t* indexes);

}  // namespace uvt
