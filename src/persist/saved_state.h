// The saved-state string: the compact form of a table's definition that the
// host keeps behind its configuration interface.
#pragma once

#include <cstdint>

namespace uvt {

int32_t saveTable(uintptr_t table);

enum class RestoreSource { Primary, Second };
int32_t restoreTable(uintptr_t table, RestoreSource source);

}  // namespace uvt
