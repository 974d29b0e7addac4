// The label exports (label_text.h says what a label is) and the table's
// function name and time stamp. Nothing here changes the table or the tree.
#pragma once

#include <cstdint>

namespace uvt {

// By run-time row, copied out with the bounded copy. Null or a message; the
// buffer is left as it was on failure.
const char* labelByRow(uintptr_t table, int32_t row, int32_t direction, char* buffer, int32_t length);

// By handle, copied out whole. Null or a message. Once the buffer is known
// to be there, every failure leaves the empty text in it. Handles of group
// nodes name no value and are refused with "Invalid argument".
const char* labelByHandle(uintptr_t table, uintptr_t handle, char* buffer);

// By value type and place; writes the value's IO direction to ioOut (0 first,
// kept when nothing is found). Returns the buffer, or null when nothing is
// found.
char* labelByPlace(uintptr_t table, int32_t type, int32_t place, int32_t* ioOut, char* buffer, int32_t length);

// The table's function name (with its NUL) and time stamp; nothing for a
// null table.
void functionOf(uintptr_t table, char* nameOut, int32_t* timeStampOut);

}  // namespace uvt
