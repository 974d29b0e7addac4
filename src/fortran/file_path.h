// The path of a FORTRAN file arrives as UTF-16 text and is opened through the
// C library, which takes 8-bit text in the current locale.
#pragma once

#include "uvt.h"

#include <cstddef>
#include <cstdio>
#include <memory>

namespace uvt {

// Room for a converted path, terminator included.
inline constexpr std::size_t kPathCapacity = 160;

// Converts the path into `out`. False, with nothing usable in `out`, for a
// missing or empty path, one that does not fit, or one with a character the
// locale cannot express: opening a shortened or altered name would reach a
// different file.
bool narrowPath(const OLECHAR* path, char (&out)[kPathCapacity]);

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
// Closed however the operation that opened it ends.
using OpenFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens the file that `path` names in text mode ("r" or "w"); empty when
// the path is refused or the file cannot be opened.
OpenFile openFile(const OLECHAR* path, const char* mode);

}  // namespace uvt
