#pragma once

#include <cstdint>

namespace uvt {

int32_t insertRow(uintptr_t table, int32_t position);
int32_t deleteRow(uintptr_t table, int32_t row);

}  // namespace uvt
