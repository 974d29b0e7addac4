#include "runtime/value_writers.h"

#include "host/host_routines.h"
#include "runtime/nodes.h"
#include "runtime/layout_index.h"
#include "runtime/name_lookup.h"
#include "runtime/addressing.h"
#include "runtime/runtime_messages.h"
#include "runtime/value_writing.h"
#include "table/table_access.h"

namespace uvt {

const char* setValueAtPlace(uintptr_t table, int32_t type, int32_t place, const void* value) {
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return messages::kInvalidTable;
    if (layoutRoot(*header) == nullptr) return messages::kArraysNotInitialized;
    LocatedLeaf found;
    if (!locatePlace(*header, type, place, found)) return nullptr;
    return writeLeafValue(table, found.handle, value, WriteRule::plain);
}

const char* setValueByRow(uintptr_t table, int32_t row, const void* value, int32_t direction) {
    if (!isDirection(direction)) return messages::kIoNotSupported;
    const TableHeader* header = resolveTable(table);
    LocatedLeaf found;
    if (header == nullptr || !locateRow(*header, direction, row, found)) return messages::kInvalidRowOrValue;
    return writeLeafValue(table, found.handle, value, WriteRule::plain);
}

const char* setValueByHandle(uintptr_t table, uintptr_t handle, const void* value) {
    if (!isHandleValid(handle) || resolveNode(handle) == nullptr) return messages::kInvalidHandle;
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return messages::kInvalidTable;
    if (layoutRoot(*header) == nullptr) return messages::kArraysNotInitialized;
    // Writing relays the table out and syncs its arrays: a node of another
    // table (or of no tree) must not be written through this one.
    NodeChain chain;
    if (!climbToTop(handle, chain) || chain.top() != header->runtimeRoot) return messages::kInvalidHandle;
    if (resolveNode(handle)->kind != kValueLeaf) return messages::kCannotSetStructure;
    return writeLeafValue(table, handle, value, WriteRule::plain);
}

const char* setValueByName(uintptr_t table, const char* name, const int32_t* indexes, const void* value) {
    const TableHeader* header = resolveTable(table);
    if (header == nullptr || resolveAs<void>(header->rowArray) == nullptr) return messages::kInvalidTable;
    if (layoutRoot(*header) == nullptr) return messages::kArraysNotInitialized;
    if (name == nullptr || indexes == nullptr) return messages::kMissingInformation;
    const uintptr_t found =
        lookUpVariable(header->runtimeRoot, name, indexes, FinalElement::wanted, openIndex(*header));
    const RuntimeNode* node = resolveNode(found);
    if (node == nullptr) return messages::kNameNotFound;
    if (node->kind != kValueLeaf) return messages::kCannotSetStructure;
    return writeLeafValue(table, found, value, WriteRule::byName);
}

}  // namespace uvt
