#include "runtime/addressing.h"

#include "runtime/handle_walk.h"
#include "runtime/layout_index.h"
#include "runtime/node_access.h"
#include "runtime/path_lookup.h"
#include "runtime/row_locator.h"
#include "runtime/runtime_messages.h"
#include "table/table_access.h"

namespace uvt {

int32_t numberOfRows(uintptr_t table, int32_t direction) {
    const TableHeader* header = resolveTable(table);
    return header == nullptr ? 0 : runtimeRowCount(*header, direction);
}

const char* handleByRow(uintptr_t table, int32_t row, int32_t direction, uintptr_t* handleOut) {
    if (handleOut == nullptr) return messages::kInvalidArgument;
    if (!isDirection(direction)) return messages::kIoNotSupported;
    const TableHeader* header = resolveTable(table);
    LocatedLeaf found;
    if (header == nullptr || !locateRow(*header, direction, row, found)) return messages::kInvalidRowNumber;
    *handleOut = found.handle;
    return nullptr;
}

const char* handleByName(uintptr_t table, const char* path, uintptr_t* handleOut) {
    if (handleOut == nullptr) return messages::kInvalidArgument;
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return messages::kInvalidTable;
    if (layoutRoot(*header) == nullptr) return messages::kArraysNotInitialized;
    const uintptr_t found = findByPath(header->runtimeRoot, path, openIndex(*header));
    if (found == 0) return messages::kInvalidRowNumber;
    *handleOut = found;
    return nullptr;
}

const char* firstHandle(uintptr_t table, int32_t filter, uintptr_t* handleOut) {
    if (handleOut == nullptr) return messages::kInvalidArgument;
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return messages::kInvalidTable;
    if (layoutRoot(*header) == nullptr) return messages::kArraysNotInitialized;
    const LayoutIndex* index = openIndex(*header);
    *handleOut = index != nullptr ? index->nextMatching(0, filter) : nextMatchingLeaf(header->runtimeRoot, filter);
    return nullptr;
}

const char* nextHandle(uintptr_t table, uintptr_t handle, int32_t filter, uintptr_t* handleOut) {
    // A handle that names no node is refused like 0: walking on from it
    // would read whatever lies behind it.
    if (!isHandleValid(handle) || resolveNode(handle) == nullptr) return messages::kInvalidArgument;
    if (handleOut == nullptr) return messages::kInvalidArgument;
    const TableHeader* header = table == 0 ? nullptr : resolveTable(table);
    const LayoutIndex* index = header == nullptr ? nullptr : openIndex(*header);
    if (const int32_t end = index == nullptr ? -1 : index->subtreeEnd(handle); end >= 0) {
        // From the root the whole tree is searched, from any other node the
        // search resumes after its subtree.
        *handleOut = index->nextMatching(handle == index->root ? 0 : end, filter);
        return nullptr;
    }
    *handleOut = nextMatchingLeaf(handle, filter);
    return nullptr;
}

}  // namespace uvt
