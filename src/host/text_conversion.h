// Conversion between the UTF-16 text of the design-time interface and the
// 8-bit text stored in the records, through the C library's conversions for
// the current locale, always into bounded buffers.
#pragma once

#include "uvt.h"

#include <cstddef>
#include <cstdint>

namespace uvt {

enum class Narrowing {
    Ok,             // the whole text fitted
    Truncated,      // the text was cut to fit the buffer
    Unconvertible,  // a character has no 8-bit form in the current locale
};

struct NarrowResult {
    Narrowing status;
    std::size_t length;  // bytes written before the terminator
};

// Converts a NUL-terminated UTF-16 text (null counts as empty) into at most
// capacity - 1 bytes plus a terminator. capacity must be at least 1. On
// Unconvertible the buffer holds the part converted before the fault.
NarrowResult narrowText(const OLECHAR* text, char* out, std::size_t capacity);

// Converts 8-bit text into at most capacity - 1 UTF-16 characters plus a
// terminator; stops quietly at a byte sequence the locale cannot read, and
// never splits a surrogate pair. Reads the text only as far as the
// characters that fit need. Returns the number of characters written.
std::size_t widenText(const char* text, OLECHAR* out, std::size_t capacity);

// Number of UTF-16 characters before the terminator (0 for null).
std::size_t wideLength(const OLECHAR* text);

// Letters a to z become A to Z, in place; nothing else changes.
void upperCaseInPlace(OLECHAR* text);
void upperCaseInPlace(char* text);

}  // namespace uvt
