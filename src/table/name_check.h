#pragma once

#include "table/records.h"

#include <cstddef>
#include <cstdint>

namespace uvt {

// Saved-state strings and FORTRAN files carry at most this many characters
// of a name, so no longer name is accepted anywhere.
inline constexpr int kNameLimit = 16;

// A name must begin with one of the letters A to Z or a to z.
inline bool isNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

enum class NameCheck { Ok, Empty, BadStart, BadChar, TooLong, Duplicate };

// Checks the `length` bytes of an 8-bit name as it would be stored in row
// `row`, in this order: empty, first character, later characters, length,
// then duplicates among the rows before it (later rows are not compared).
NameCheck checkName(const TableHeader& header, const char* name, std::size_t length, int32_t row);

// The same check for the name that row `row` holds.
NameCheck checkStoredName(const TableHeader& header, const VariableRow& stored, int32_t row);

}  // namespace uvt
