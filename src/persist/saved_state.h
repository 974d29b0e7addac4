// The saved-state string: the compact form of a table's definition that the
// host keeps behind its configuration interface.
#pragma once

#include "table/read_observer.h"

#include <cstdint>

namespace uvt {

int32_t saveTable(uintptr_t table);

enum class RestoreSource { Primary, Second };
// `observer`, when given, hears of every cell the grid refused or changed,
// at the byte offset of its field.
int32_t restoreTable(uintptr_t table, RestoreSource source, ReadObserver* observer);

}  // namespace uvt
