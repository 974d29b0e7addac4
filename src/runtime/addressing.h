// Handing out addresses of values: run-time rows, runtime handles and path
// names. Nothing here changes the table or the tree. Message-returning
// operations answer null on success and write their output only then.
#pragma once

#include <cstdint>

namespace uvt {

int32_t numberOfRows(uintptr_t table, int32_t direction);
const char* handleByRow(uintptr_t table, int32_t row, int32_t direction, uintptr_t* handleOut);
const char* handleByName(uintptr_t table, const char* path, uintptr_t* handleOut);
const char* firstHandle(uintptr_t table, int32_t filter, uintptr_t* handleOut);
// `table` is only a hint: when its layout index knows the handle, the answer
// comes from there; any other handle is walked from as it is.
const char* nextHandle(uintptr_t table, uintptr_t handle, int32_t filter, uintptr_t* handleOut);

}  // namespace uvt
