#pragma once

#include <cstdint>

namespace uvt {

uintptr_t createTable(const int32_t* hostIds);
void deleteTable(uintptr_t table);
int32_t countRows(uintptr_t table);

}  // namespace uvt
