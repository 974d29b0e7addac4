#include "runtime/table_replacement.h"

#include "host/counted_operation.h"
#include "host/host_routines.h"
#include "runtime/layout_index.h"
#include "runtime/layout.h"
#include "runtime/nodes.h"
#include "runtime/release.h"
#include "runtime/sync_pass.h"
#include "runtime/tree_build.h"
#include "table/completeness.h"
#include "table/table_access.h"
#include "table/table_life.h"
#include "uvt.h"

#include <utility>

namespace uvt {
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
