// Finds a keyword in the statement text of a fixed-form file.
#pragma once

#include "fortran/fixed_form_reader.h"

#include <string_view>

namespace uvt {

// Reads on until `keyword` has been read, and stops right after it. A
// character equal to the keyword's first letter always starts a new
// candidate; with `firstAtLineStart` only such a letter that opens its line
// counts. Letters compare exactly. False when the file ends first.
bool findKeyword(FixedFormReader& reader, std::string_view keyword, bool firstAtLineStart);

}  // namespace uvt
