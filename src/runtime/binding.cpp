#include "runtime/binding.h"

#include "host/counted_operation.h"
#include "host/host_routines.h"
#include "runtime/layout_index.h"
#include "runtime/layout.h"
#include "runtime/nodes.h"
#include "runtime/release.h"
#include "runtime/sync_pass.h"
#include "table/completeness.h"
#include "table/table_access.h"
#include "table/table_life.h"
#include "uvt.h"

#include <utility>

namespace uvt {
namespace {

// Builds a table's layout tree from nothing when the table is complete:
// drops any old tree and element arrays, makes a new root, lays out the
// whole table (with starting values from `source` when given) and runs an
// unforced sync pass, whose message is dropped. Returns false, changing
// nothing, for a missing or incomplete table. A root that cannot be
// allocated leaves the table unbound.
bool buildTree(uintptr_t table, InitialValueSource* source) {
    if (resolveTable(table) == nullptr || !isTableComplete(table)) return false;
    CountedOperation operation;
    TableHeader* header = resolveTable(table);
    if (header == nullptr) return false;
    dropIndex(*header);
    releaseTree(header->runtimeRoot);
    releaseElementArrays(*header);
    const uintptr_t root = createRootNode();
    if (root == 0) return true;
    header = resolveTable(table);
    header->runtimeRoot = root;
    layoutPass(table, source, 0);
    syncTable(table, false);
    if ((header = resolveTable(table)) != nullptr) rebuildIndex(*header, true);
    return true;
}

}  // namespace

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

namespace {

// Hands the target's run-time state to the source, exchanges the two headers
// and deletes what is now the target's old definition.
void takeOverDefinition(uintptr_t target, uintptr_t source) {
    TableHeader* kept = resolveTable(target);
    TableHeader* incoming = resolveTable(source);
    // The headers are exchanged whole, spare words included.
    dropIndex(*kept);
    dropIndex(*incoming);
    // The source's own element arrays would be overwritten below.
    releaseElementArrays(*incoming);
    incoming->runtimeRoot = std::exchange(kept->runtimeRoot, 0);
    for (int i = 0; i < 3; ++i) {
        incoming->elementArrays[i] = std::exchange(kept->elementArrays[i], 0);
        incoming->elementCounts[i] = std::exchange(kept->elementCounts[i], 0);
    }
    std::swap(*kept, *incoming);
    deleteTable(source);
}

}  // namespace

void replaceTable(uintptr_t target, uintptr_t source) {
    if (source == 0 || source == target || resolveTable(source) == nullptr) return;
    CountedOperation operation;
    raiseReplaceEvent(UVT_REPLACE_BEGIN);
    if (resolveTable(target) == nullptr) target = 0;
    storeElement(resolveTable(source)->hostIds, UVT_ARRAY_REPLACING, 0, nullptr);

    if (isTableComplete(source)) {
        releaseTree(resolveTable(source)->runtimeRoot);
        uintptr_t continued = target;
        if (target != 0) {
            takeOverDefinition(target, source);
        } else {
            continued = source;
            TableHeader* header = resolveTable(source);
            header->runtimeRoot = createRootNode();
        }
        if (resolveTable(continued)->runtimeRoot != 0) layoutPass(continued, nullptr, 0);
        else buildTree(continued, nullptr);
        syncTable(continued, true);
        if (TableHeader* header = resolveTable(continued)) rebuildIndex(*header, true);
    }
    raiseReplaceEvent(UVT_REPLACE_END);
}

}  // namespace uvt
