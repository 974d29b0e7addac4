#include "persist/text_form.h"

#include "host/host_routines.h"
#include "table/row_array.h"
#include "table/table_access.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace uvt {
namespace {

constexpr std::size_t kLineSize = 100;
constexpr int32_t kFirstSlots = 64;
constexpr int32_t kMaxSlots = INT32_MAX / kSlotSize;

// The source must respect the capacities; a text that it leaves without
// terminator inside the field is cut at the field's end, also when the
// source then reports that it had nothing.
bool readText(UvtTokenSource source, char* field, std::size_t capacity) {
    const bool delivered = source(UVT_TOKEN_TEXT, field) != 0;
    field[capacity - 1] = 0;
    return delivered;
}

bool readNumber(UvtTokenSource source, int32_t* field) { return source(UVT_TOKEN_INT32, field) != 0; }

}  // namespace

void writeTextForm(uintptr_t table, UvtTextSink sink) {
    const TableHeader* header = resolveTable(table);
    if (header == nullptr || sink == nullptr) return;
    char line[kLineSize];
    const char* name = header->functionName[0] != 0 ? header->functionName : "NONAME";
    std::snprintf(line, sizeof line, "\n%.15s %d %d\n", name, static_cast<int>(header->timeStamp),
                  static_cast<int>(header->rowCount));
    sink(line);
    for (int32_t i = 0; i < header->rowCount; ++i) {
        const VariableRow* row = rowAt(*header, i);
        if (row == nullptr) continue;
        std::snprintf(line, sizeof line, "%d %.19s %d %d %d %d %d\n", static_cast<int>(row->id), row->name,
                      static_cast<int>(row->type), static_cast<int>(row->dimension), static_cast<int>(row->depth),
                      static_cast<int>(row->io), static_cast<int>(row->parentId));
        sink(line);
    }
}

int32_t readTextForm(uintptr_t table, UvtTokenSource source) {
    TableHeader* header = resolveTable(table);
    if (header == nullptr || source == nullptr) return 0;
    if (!readText(source, header->functionName, sizeof header->functionName)) return 0;
    if (!readNumber(source, &header->timeStamp)) return 0;
    int32_t announced = 0;
    if (!readNumber(source, &announced)) return 0;
    if (announced < 0) announced = 0;

    // The read rows replace the table's rows. The new array is obtained
    // first, so that a host without memory leaves the table as it was; the
    // old rows and their array then go back to the host. The array grows
    // with the rows that really arrive, so a huge announced count costs
    // nothing until the source delivers that many rows.
    // The old rows travel in a copy of the header; they go back from the
    // last to the first.
    TableHeader old = *header;
    header->rowArray = 0;
    if (!resizeRowArray(*header, announced < kFirstSlots ? (announced > 0 ? announced : 1) : kFirstSlots)) {
        *header = old;
        return 0;
    }
    header->rowCount = 0;
    releaseRows(old, ReleaseOrder::Reverse);

    for (int32_t i = 0; i < announced; ++i) {
        const int32_t slotCount = rowArraySlots(*header);
        if (i == slotCount) {
            const int32_t grown = slotCount > kMaxSlots / 2 ? kMaxSlots : slotCount * 2;
            if (grown <= slotCount || !resizeRowArray(*header, announced < grown ? announced : grown)) return 0;
        }
        const uintptr_t handle = allocateBlock(kRowSize);
        if (handle == 0) return 0;
        auto* row = resolveAs<VariableRow>(handle);
        if (row == nullptr) {
            releaseBlock(handle, kRowSize);
            return 0;
        }
        std::memset(row, 0, sizeof *row);
        auto* slots = resolveAs<uintptr_t>(header->rowArray);
        if (slots == nullptr) {
            releaseBlock(handle, kRowSize);
            return 0;
        }
        slots[i] = handle;
        // Only rows that exist are counted, so a table left by a failing
        // source can still be taken apart.
        header->rowCount = i + 1;
        if (!readNumber(source, &row->id)) return 0;
        // Ids stay unique: the next inserted row gets one above every id read.
        if (row->id >= header->nextRowId && row->id < INT32_MAX) header->nextRowId = row->id + 1;
        const bool complete = readText(source, row->name, sizeof row->name) && readNumber(source, &row->type) &&
                              readNumber(source, &row->dimension) && readNumber(source, &row->depth) &&
                              readNumber(source, &row->io) && readNumber(source, &row->parentId);
        if (!complete) return 0;
    }
    return 1;
}

}  // namespace uvt
