// The name of the FORTRAN function that carries a table, and how a file's
// path gives it.
#pragma once

#include "uvt.h"

#include <cstddef>
#include <cstdint>

namespace uvt {

// Longest function name, in characters.
inline constexpr std::size_t kFunctionNameLength = 8;

// Stores `name`, upper-cased, as the table's function name and runs the save
// step. Returns the save's result when it ran, else the number of bytes
// stored; 0 for an empty name, a missing table or text, or a name the locale
// cannot express; the length for a name of more than 8 characters, which is
// refused. The caller's text is left as it is.
int32_t setFunctionName(uintptr_t table, const OLECHAR* name);

// The last component of `path` (after its last "\", "/" or ":"), up to its
// first "." and at most 8 characters, upper-cased. Empty when the path ends
// with a separator or its last component begins with ".".
void functionNameFromPath(const OLECHAR* path, OLECHAR (&name)[kFunctionNameLength + 1]);

}  // namespace uvt
