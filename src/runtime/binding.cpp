#include "runtime/binding.h"

#include "host/counted_operation.h"
#include "host/host_routines.h"
#include "runtime/layout_index.h"
#include "runtime/layout.h"
#include "runtime/nodes.h"
#include "runtime/sync_pass.h"
#include "runtime/tree_build.h"
#include "table/table_access.h"

namespace uvt {

void initArrays(uintptr_t table) {
    if (table == 0) return;
    buildTree(table, nullptr);
}

void attachArrays(uintptr_t table, const int32_t* integers, const double* reals) {
    if (table == 0) return;
    SilentStoreElement silent;
    InitialValueSource source;
    source.integers = integers;
    source.reals = reals;
    buildTree(table, &source);
}

void setSymSize(uintptr_t table) {
    if (resolveTable(table) == nullptr) return;
    CountedOperation operation;
    layoutPass(table, nullptr, 0);
    syncTable(table, false);
    if (TableHeader* header = resolveTable(table)) rebuildIndex(*header, true);
}

int32_t getLimit(uintptr_t table, int32_t type) {
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return 0;
    if (header->runtimeRoot == 0) buildTree(table, nullptr);
    return getLimitDirect(resolveTable(table), type);
}

int32_t getLimitDirect(const void* tableAddress, int32_t type) {
    if (tableAddress == nullptr || type < kInteger || type > kCharacter) return 0;
    const auto* header = static_cast<const TableHeader*>(tableAddress);
    const RuntimeNode* root = resolveNode(header->runtimeRoot);
    return root == nullptr ? 0 : root->counters[typeCounter(type)];
}

}  // namespace uvt
