#include "runtime/value_reading.h"

#include "host/host_routines.h"
#include "runtime/addressing.h"
#include "runtime/layout_index.h"
#include "runtime/name_lookup.h"
#include "runtime/nodes.h"
#include "runtime/runtime_messages.h"
#include "table/table_access.h"

namespace uvt {
namespace {

// Where the leaf's value can be read; null while it has none.
void* valuePointer(RuntimeNode& leaf) {
    if (leaf.leaf.valueSet == 0) return nullptr;
    if (leaf.leaf.valueType == kCharacter) return resolveAs<char>(leaf.leaf.value.text);
    return &leaf.leaf.value;
}

// The run-time row's leaf, or the message of the by-row readers.
const char* leafOfRow(uintptr_t table, int32_t row, int32_t direction, LocatedLeaf& found) {
    if (!isDirection(direction)) return messages::kIoNotSupported;
    const TableHeader* header = resolveTable(table);
    if (header == nullptr || !locateRow(*header, direction, row, found)) return messages::kInvalidRowNumber;
    return nullptr;
}

// The handle's node, or "Invalid handle" for a handle that fails the
// validity test or names no node at all (a number the host made up).
const char* leafOfHandle(uintptr_t handle, RuntimeNode*& leaf) {
    leaf = isHandleValid(handle) ? resolveNode(handle) : nullptr;
    return leaf == nullptr ? messages::kInvalidHandle : nullptr;
}

// What a by-name reader answers when its name designates no value.
struct NameMessages {
    const char* notFound;
    const char* isStructure;
};

// The node that a by-name reader designates, for both families, and the
// table's layout index (null when it has none), which the reader needs next.
const char* leafOfName(uintptr_t table, const char* name, const int32_t* indexes, const NameMessages& texts,
                       uintptr_t& handle, RuntimeNode*& leaf, const LayoutIndex*& index) {
    const TableHeader* header = resolveTable(table);
    if (header == nullptr || name == nullptr) return messages::kInvalidTableOrName;
    if (layoutRoot(*header) == nullptr) return messages::kArraysNotInitialized;
    index = openIndex(*header);
    handle = lookUpVariable(header->runtimeRoot, name, indexes, FinalElement::wanted, index);
    leaf = resolveNode(handle);
    if (leaf == nullptr) return texts.notFound;
    if (leaf->kind != kValueLeaf || leafArrayIndex(*leaf) < 0) return texts.isStructure;
    return nullptr;
}

}  // namespace

const char* typeByRow(uintptr_t table, int32_t row, int32_t* typeOut, int32_t direction) {
    LocatedLeaf found;
    if (const char* message = leafOfRow(table, row, direction, found)) return message;
    if (typeOut == nullptr) return messages::kInvalidArgument;
    *typeOut = found.node->leaf.valueType;
    return nullptr;
}

const char* valueByRow(uintptr_t table, int32_t row, void** valueOut, int32_t direction) {
    LocatedLeaf found;
    if (const char* message = leafOfRow(table, row, direction, found)) return message;
    if (valueOut == nullptr) return messages::kInvalidArgument;
    *valueOut = valuePointer(*found.node);
    return nullptr;
}

const char* elementByRow(uintptr_t table, int32_t row, int32_t direction, int32_t* elementOut) {
    LocatedLeaf found;
    if (const char* message = leafOfRow(table, row, direction, found)) return message;
    if (elementOut == nullptr) return messages::kInvalidArgument;
    *elementOut = found.place + 1;
    return nullptr;
}

const char* typeByHandle(uintptr_t handle, int32_t* typeOut) {
    RuntimeNode* leaf = nullptr;
    if (const char* message = leafOfHandle(handle, leaf)) return message;
    if (typeOut == nullptr || leaf->kind != kValueLeaf) return messages::kInvalidArgument;
    *typeOut = leaf->leaf.valueType;
    return nullptr;
}

const char* valueByHandle(uintptr_t handle, void** valueOut) {
    RuntimeNode* leaf = nullptr;
    if (const char* message = leafOfHandle(handle, leaf)) return message;
    if (valueOut == nullptr || leaf->kind != kValueLeaf) return messages::kInvalidArgument;
    *valueOut = valuePointer(*leaf);
    return nullptr;
}

const char* elementByHandle(uintptr_t table, uintptr_t handle, int32_t filter, int32_t* elementOut) {
    RuntimeNode* leaf = nullptr;
    if (const char* message = leafOfHandle(handle, leaf)) return message;
    if (elementOut == nullptr) return messages::kInvalidArgument;
    // The climb proves that the node belongs to this table's tree.
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return messages::kInvalidTable;
    if (layoutRoot(*header) == nullptr) return messages::kArraysNotInitialized;
    NodeChain chain;
    if (!climbToTop(handle, chain) || chain.top() != header->runtimeRoot) return messages::kInvalidTable;
    const int32_t type = leafArrayIndex(*leaf);
    int32_t place = 0;
    if (type < 0 || !placeOfChainNode(openIndex(*header), chain, type, place)) return messages::kInvalidArgument;
    if (!leafMatchesFilter(*leaf, filter)) return messages::kInvalidArgument;
    *elementOut = place + 1;
    return nullptr;
}

const char* varValueByName(uintptr_t table, const char* name, const int32_t* indexes, void** valueOut,
                           int32_t* typeOut) {
    if (valueOut == nullptr || typeOut == nullptr) return messages::kInvalidTableOrName;
    uintptr_t handle = 0;
    RuntimeNode* leaf = nullptr;
    const LayoutIndex* index = nullptr;
    const NameMessages texts{messages::kValueNotFound, messages::kValueIsStructure};
    if (const char* message = leafOfName(table, name, indexes, texts, handle, leaf, index)) return message;
    *typeOut = leaf->leaf.valueType;
    *valueOut = valuePointer(*leaf);
    return nullptr;
}

const char* varLocationByName(uintptr_t table, const char* name, const int32_t* indexes, int32_t* placeOut,
                              int32_t* typeOut) {
    if (placeOut == nullptr || typeOut == nullptr) return messages::kInvalidTableOrName;
    uintptr_t handle = 0;
    RuntimeNode* leaf = nullptr;
    const LayoutIndex* index = nullptr;
    const NameMessages texts{messages::kLocationNotFound, messages::kLocationIsStructure};
    if (const char* message = leafOfName(table, name, indexes, texts, handle, leaf, index)) return message;
    // Found from the table's root, so the climb leads back there.
    NodeChain chain;
    int32_t place = 0;
    if (!climbToTop(handle, chain) ||
        !placeOfChainNode(index, chain, leafArrayIndex(*leaf), place)) {
        return messages::kLocationNotFound;
    }
    *typeOut = leaf->leaf.valueType;
    *placeOut = place;
    return nullptr;
}

int32_t arrayLength(uintptr_t table, const char* name, const int32_t* indexes) {
    const TableHeader* header = resolveTable(table);
    if (header == nullptr || name == nullptr || layoutRoot(*header) == nullptr) return -1;
    const LayoutIndex* index = openIndex(*header);
    const uintptr_t found = lookUpVariable(header->runtimeRoot, name, indexes, FinalElement::notWanted, index);
    const RuntimeNode* array = resolveNode(found);
    if (array == nullptr || array->kind != kGroupNode) return -1;
    const RuntimeNode* element = resolveNode(array->firstChild);
    if (element == nullptr || !isArrayElement(*element)) return -1;
    if (const IndexedGroup* entry = index == nullptr ? nullptr : index->group(found)) {
        return LayoutIndex::childCount(*entry);
    }
    int32_t count = 0;
    for (uintptr_t child = array->firstChild; child != 0;) {
        const RuntimeNode* node = resolveNode(child);
        if (node == nullptr) break;
        ++count;
        child = node->nextSibling;
    }
    return count;
}

}  // namespace uvt
