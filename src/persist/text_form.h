// The line-oriented text form: the table's records as they are, ids and
// parent ids included, passed line by line to a host sink and read back
// value by value from a host token source.
#pragma once

#include "uvt.h"

#include <cstdint>

namespace uvt {

void writeTextForm(uintptr_t table, UvtTextSink sink);
int32_t readTextForm(uintptr_t table, UvtTokenSource source);

}  // namespace uvt
