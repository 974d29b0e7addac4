#include "table/table_life.h"

#include "host/counted_operation.h"
#include "host/host_routines.h"
#include "persist/config_interface.h"
#include "runtime/runtime_state.h"
#include "table/row_array.h"
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

namespace {

// Gives the rows back from the top, in row order. The array is not shrunk on
// the way: that would copy it once per row and ask the host for memory while
// the table is being given back; it goes back whole, with its actual size.
void releaseRows(TableHeader& header) {
    auto* slots = resolveAs<uintptr_t>(header.rowArray);
    if (slots != nullptr) {
        for (int32_t i = 0; i < header.rowCount; ++i) {
            if (slots[i] != 0) releaseBlock(slots[i], kRowSize);
            slots[i] = 0;
        }
    }
    header.rowCount = 0;
}

}  // namespace

void deleteTable(uintptr_t table) {
    TableHeader* header = resolveTable(table);
    if (header == nullptr) return;
    CountedOperation operation;
    // Detached first, so that nothing that follows can write saved state.
    detachConfigInterface(*header);
    releaseRows(*header);
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
