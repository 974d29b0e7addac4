#include "table/table_life.h"

#include "host/counted_operation.h"
#include "host/host_routines.h"
#include "table/row_array.h"
#include "table/table_access.h"
#include "table/upper_layer_hooks.h"

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
    // Detached first, so that nothing that follows can write saved state.
    kUpperLayerHooks.detachConfigInterface(*header);
    releaseRows(*header, ReleaseOrder::RowOrder);
    kUpperLayerHooks.releaseRuntimeState(*header);
    releaseBlock(table, kHeaderSize);
    noteReleased();
}

int32_t countRows(uintptr_t table) {
    const TableHeader* header = resolveTable(table);
    return header == nullptr ? 0 : header->rowCount;
}

}  // namespace uvt
