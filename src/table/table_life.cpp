#include "table/table_life.h"

#include "host/counted_operation.h"
#include "host/host_routines.h"
#include "persist/config_interface.h"
#include "runtime/runtime_state.h"
#include "table/row_array.h"
#include "table/row_editing.h"
#include "table/table_access.h"

#include <cstring>

namespace uvt {

uintptr_t createTable(const int32_t* hostIds) {
    const uintptr_t handle = allocateBlock(kHeaderSize);
    if (handle == 0) return 0;
    TableHeader* header = resolveTable(handle);
    if (header == nullptr) {
        releaseBlock(handle, kHeaderSize);
        return 0;
    }
    std::memset(header, 0, sizeof *header);
    if (hostIds != nullptr) {
        header->hostIds[0] = hostIds[0];
        header->hostIds[1] = hostIds[1];
    }
    header->timeStamp = currentTime();
    return handle;
}

void deleteTable(uintptr_t table) {
    TableHeader* header = resolveTable(table);
    if (header == nullptr) return;
    CountedOperation operation;
    // Detached first, so that taking the rows away writes no saved state.
    detachConfigInterface(*header);
    for (int32_t n = header->rowCount; n > 0; --n) deleteRow(table, 0);
    releaseRowArray(*header);
    releaseRuntimeState(*header);
    releaseBlock(table, kHeaderSize);
    noteReleased();
}

int32_t countRows(uintptr_t table) {
    const TableHeader* header = resolveTable(table);
    return header == nullptr ? 0 : header->rowCount;
}

}  // namespace uvt
