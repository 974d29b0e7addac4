#include "runtime/tree_build.h"

#include "host/counted_operation.h"
#include "runtime/layout_index.h"
#include "runtime/layout.h"
#include "runtime/nodes.h"
#include "runtime/release.h"
#include "runtime/sync_pass.h"
#include "table/completeness.h"
#include "table/table_access.h"

namespace uvt {

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

}  // namespace uvt
