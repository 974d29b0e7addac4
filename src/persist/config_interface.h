// The host's configuration interface, a COM object that keeps the saved-state
// string of one table.
#pragma once

#include "uvt.h"
#include "table/records.h"

#include <cstdint>

namespace uvt {

void* attachConfigInterface(uintptr_t table, void* object);
// Gives the table's reference back and forgets the interface.
void detachConfigInterface(TableHeader& header);

inline UvtConfigInterface* configOf(const TableHeader& header) {
    return static_cast<UvtConfigInterface*>(header.configInterface);
}

}  // namespace uvt
