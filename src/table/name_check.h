#pragma once

#include "table/records.h"

#include <cstdint>

namespace uvt {

// Saved-state strings and FORTRAN files carry at most this many characters
// of a name, so no longer name is accepted anywhere.
inline constexpr int kNameLimit = 16;

enum class NameCheck { Ok, Empty, BadStart, BadChar, TooLong, Duplicate };

// Checks an 8-bit name as it would be stored in row `row`; only the rows
// before it are compared for duplicates.
NameCheck checkName(const TableHeader& header, const char* name, int32_t row);

}  // namespace uvt
