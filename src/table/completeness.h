#pragma once

#include "uvt.h"

#include <cstdint>

namespace uvt {

VARIANT checkRowComplete(uintptr_t table, int32_t row);
VARIANT checkTableComplete(uintptr_t table);
// The run-time gate: true only when the whole-table check answers the empty text.
bool isTableComplete(uintptr_t table);

}  // namespace uvt
