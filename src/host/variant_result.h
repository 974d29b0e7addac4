// The VARIANT conventions of the design-time exports: results start as
// VT_EMPTY and carry text as a BSTR that the caller frees.
#pragma once

#include "uvt.h"

#include <cstddef>

namespace uvt {

// Longest text, in UTF-16 characters, that 8-bit text is widened into.
inline constexpr std::size_t kWideTextLimit = 30;

VARIANT emptyResult();
VARIANT textResult(const char16_t* text);
// 8-bit text widened into at most kWideTextLimit characters.
VARIANT narrowTextResult(const char* text);
// The BSTR of a text argument, whatever its type tag says.
BSTR textArgument(const VARIANT& value);

}  // namespace uvt
