#include "table/table_access.h"

#include "host/host_routines.h"
#include "table/upper_layer_hooks.h"

#include <cstring>
#include <ctime>

namespace uvt {
namespace {
bool restoringFlag = false;
}

TableHeader* resolveTable(uintptr_t table) { return resolveAs<TableHeader>(table); }

uintptr_t rowHandleAt(const TableHeader& header, int32_t row) {
    if (row < 0 || row >= header.rowCount) return 0;
    const auto* slots = resolveAs<uintptr_t>(header.rowArray);
    return slots == nullptr ? 0 : slots[row];
}

VariableRow* rowAt(const TableHeader& header, int32_t row) {
    return resolveAs<VariableRow>(rowHandleAt(header, row));
}

int32_t findRowById(const TableHeader& header, int32_t id) {
    const auto* slots = resolveAs<uintptr_t>(header.rowArray);
    if (slots == nullptr) return -1;
    for (int32_t i = 0; i < header.rowCount; ++i) {
        const auto* row = resolveAs<VariableRow>(slots[i]);
        if (row != nullptr && row->id == id) return i;
    }
    return -1;
}

VariableRow* findParent(const TableHeader& header, const VariableRow& row) {
    if (row.parentId == kNoParent) return nullptr;
    const int32_t index = findRowById(header, row.parentId);
    return index < 0 ? nullptr : rowAt(header, index);
}

int32_t findIntegerRow(const TableHeader& header, const char* name) {
    for (int32_t i = 0; i < header.rowCount; ++i) {
        const VariableRow* candidate = rowAt(header, i);
        if (candidate != nullptr && candidate->type == kInteger &&
            std::strncmp(candidate->name, name, kNameCapacity) == 0) {
            return i;
        }
    }
    return -1;
}

int32_t parentSearch(const TableHeader& header, int32_t row, int32_t depth) {
    const auto* slots = resolveAs<uintptr_t>(header.rowArray);
    if (slots == nullptr) return -1;
    if (row > header.rowCount) row = header.rowCount;
    for (int32_t i = row - 1; i >= 0; --i) {
        const auto* candidate = resolveAs<VariableRow>(slots[i]);
        if (candidate != nullptr && candidate->depth == depth - 1 && candidate->type == kStructure) {
            return i;
        }
    }
    return -1;
}

bool runSaveStep(uintptr_t table, int32_t* saveResult) {
    TableHeader* header = resolveTable(table);
    if (header == nullptr || header->configInterface == nullptr) return false;
    if (restoringFlag) return false;
    header->timeStamp = currentTime();
    const int32_t result = kUpperLayerHooks.saveTable(table);
    if (saveResult != nullptr) *saveResult = result;
    return true;
}

bool restoreInProgress() { return restoringFlag; }
RestoreScope::RestoreScope() { restoringFlag = true; }
RestoreScope::~RestoreScope() { restoringFlag = false; }

int32_t currentTime() { return static_cast<int32_t>(std::time(nullptr)); }

}  // namespace uvt
