#pragma once

#include "uvt.h"

#include <cstdint>

namespace uvt {

int32_t countChoices(uintptr_t table, int32_t column, int32_t row);
VARIANT choiceText(uintptr_t table, int32_t column, int32_t row, int32_t entry);

}  // namespace uvt
