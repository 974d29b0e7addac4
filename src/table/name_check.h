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

// The rules on the text alone, in this order: empty, first character, later
// characters, length. Ok when they all pass.
NameCheck checkNameText(const char* name, std::size_t length);

// True when one of the rows before row `row` has this non-empty name.
bool nameTakenBefore(const TableHeader& header, const char* name, std::size_t length, int32_t row);

// Length of the name that a row holds, bounded by its field: a record built
// elsewhere need not end in a NUL.
std::size_t storedNameLength(const VariableRow& row);

}  // namespace uvt
