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
// The text of a text argument: the BSTR of a VT_BSTR, the BSTR that a
// VT_BSTR | VT_BYREF points at, and null (the empty text) for every other
// type and for a null reference.
BSTR textArgument(const VARIANT& value);

}  // namespace uvt
